#include "Hosts.h"

#include <cctype>
#include <cstring>

namespace {

struct HostMatch {
  const char* substring;
  EHost host;
};

// Tested in this order; the first substring found wins.
const HostMatch kHostMatches[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMPT},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

struct HostName {
  EHost host;
  const char* name;
};

const HostName kHostNames[] = {
    {kHostReaper, "Reaper"},
    {kHostProTools, "ProTools"},
    {kHostCubase, "Cubase"},
    {kHostNuendo, "Nuendo"},
    {kHostSonar, "Sonar"},
    {kHostVegas, "Vegas"},
    {kHostFL, "FLStudio"},
    {kHostSamplitude, "Samplitude"},
    {kHostAbletonLive, "Live"},
    {kHostVSTScanner, "VSTScanner"},
    {kHostAULab, "AULab"},
    {kHostForte, "Forte"},
    {kHostChainer, "Chainer"},
    {kHostAudition, "Audition"},
    {kHostOrion, "Orion"},
    {kHostSAWStudio, "SAWStudio"},
    {kHostLogic, "Logic"},
    {kHostGarageBand, "GarageBand"},
    {kHostDigitalPerformer, "DigitalPerformer"},
    {kHostStandalone, "Standalone"},
    {kHostAudioMulch, "AudioMulch"},
    {kHostStudioOne, "StudioOne"},
    {kHostVST3TestHost, "VST3PluginTestHost"},
    {kHostArdour, "Ardour"},
    {kHostRenoise, "Renoise"},
    {kHostOpenMPT, "OpenMPT"},
};

}  // namespace

void ToLower(char* out, const char* in) {
  while (*in)
    *out++ = static_cast<char>(std::tolower(static_cast<unsigned char>(*in++)));
  *out = '\0';
}

bool IsWhitespace(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

EHost LookUpHost(const char* name) {
  if (!name) return kHostUnknown;
  // Names longer than the buffer are cut before lower-casing.
  char lower[MAX_HOST_NAME_LEN + 1];
  char cut[MAX_HOST_NAME_LEN + 1];
  size_t n = strnlen(name, MAX_HOST_NAME_LEN);
  std::memcpy(cut, name, n);
  cut[n] = '\0';
  ToLower(lower, cut);
  for (const HostMatch& m : kHostMatches) {
    if (std::strstr(lower, m.substring)) return m.host;
  }
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out) {
  const char* name = "Unknown";
  for (const HostName& h : kHostNames) {
    if (h.host == host) name = h.name;
  }
  std::strcpy(out, name);
}
