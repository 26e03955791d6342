#pragma once

#include "IPluginStructs.h"

// Known hosts; values 10, 11 and 19 are not produced.
enum {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostMelodyneStudio = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30
};

// Longest host name LookUpHost reads, and the size GetHostNameStr's output needs.
enum { MAX_HOST_NAME_LEN = 255, MAX_HOST_NAME_STR_LEN = 32 };

// Recognises a host from a substring of its lower-cased name (first match in a fixed order).
EHost LookUpHost(const char* name);
// Writes the host's name, "Unknown" for values without one; out holds MAX_HOST_NAME_STR_LEN.
void GetHostNameStr(EHost host, char* out);
// Writes the lower-case form of in, then a terminating zero.
void ToLower(char* out, const char* in);
// Tab, line feed, carriage return and space.
bool IsWhitespace(char c);
