#pragma once

// Small records shared by the plug-in framework, its host wrappers and the effect.

// The plug-in interface a wrapper presents to the host.
// kAPILV2 is the LV2 wrapper for Linux hosts.
enum EAPI {
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIRTAS = 3,
  kAPIAAX = 4,
  kAPISA = 5,
  kAPILV2 = 6
};

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

// A timestamped MIDI short message: a status byte (kind in the upper nibble,
// channel in the lower) and two data bytes, at a sample offset within the block.
struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers 0..127; the common ones by name.
  enum EControlChangeMsg {
    kBankSelect = 0,
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kDataEntry = 6,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSostenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kAllSoundOff = 120,
    kResetAllControllers = 121,
    kAllNotesOff = 123
  };

  int mOffset = 0;
  unsigned char mStatus = 0, mData1 = 0, mData2 = 0;

  IMidiMsg() = default;
  IMidiMsg(int offset, unsigned char status, unsigned char data1, unsigned char data2)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  void Clear();
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value -1..1 maps onto the 14-bit wheel range, 0 at its centre (8192).
  void MakePitchWheelMsg(double value, int channel = 0);
  // value 0..1 maps onto 0..127.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const { return mStatus & 0x0F; }
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const { return static_cast<EControlChangeMsg>(mData1); }
  double ControlChange(EControlChangeMsg idx) const;

  static const char* StatusMsgStr(EStatusMsg msg);
  void LogMsg() const {}
};

// A timestamped system-exclusive message; the bytes belong to the sender.
struct ISysEx {
  int mOffset = 0;
  int mSize = 0;
  const unsigned char* mData = nullptr;

  ISysEx() = default;
  ISysEx(int offset, const unsigned char* data, int size)
      : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
  void LogMsg() const {}
};

// Writes the first min(size, maxLength / 3) bytes as "%02X" separated by spaces
// into out (maxLength chars with the zero); an absent or empty message gives "".
char* SysExStr(char* out, int maxLength, const unsigned char* data, int size);
