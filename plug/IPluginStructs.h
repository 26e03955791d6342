#pragma once

// Small records shared by the plug-in framework, its host wrappers and the effect.

// The plug-in interface a wrapper presents to the host.
enum EAPI { kAPIVST2 = 0, kAPIVST3 = 1, kAPIAU = 2, kAPIRTAS = 3, kAPIAAX = 4, kAPISA = 5 };

// Host identifier: -1 not yet identified, 0 not recognised (values in Hosts.h).
typedef int EHost;

// What the instance factory hands to the wrapper's constructor.  The texts are
// copied by the wrapper, so they need only live through construction.
struct IPluginInstanceInfo {
  const char* mBundleID = "";
  const char* mCocoaViewFactoryClassName = "";
};

// Transport and tempo information; fields the host does not report keep the caller's values.
struct ITimeInfo {
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// Longest text written by the version formatters ("v65535.255.255"), zero included.
enum { MAX_VERSION_STR_LEN = 16 };

// Versions are packed as major * 65536 + minor * 256 + patch.
void GetVersionParts(int version, int* major, int* minor, int* patch);
int GetDecimalVersion(int version);
// Writes "v%d.%d.%d"; out must hold MAX_VERSION_STR_LEN chars.
void GetVersionStr(int version, char* out);

// A four-character code ('Vnt1') as the 32-bit int it is held in.
constexpr int FourCC(char a, char b, char c, char d) {
  return static_cast<int>((static_cast<unsigned>(static_cast<unsigned char>(a)) << 24) |
                          (static_cast<unsigned>(static_cast<unsigned char>(b)) << 16) |
                          (static_cast<unsigned>(static_cast<unsigned char>(c)) << 8) |
                          static_cast<unsigned>(static_cast<unsigned char>(d)));
}
