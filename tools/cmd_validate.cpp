// vantrose validate: a host-side validation of the effect's Audio Unit, section by
// section, printing each check with PASS or FAIL and what was measured.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "AUHost.h"
#include "Commands.h"
#include "HostOrders.h"
#include "IPluginAU.h"
#include "VantroseComponent.h"
#include "au-utilities.h"

namespace {

typedef std::chrono::steady_clock Clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Counts the checks and prints one line per check.
struct Report {
  int passed = 0, failed = 0;

  void Section(const char* name) { std::printf("\n== %s\n", name); }

  bool Check(bool ok, const char* what, const char* fmt = "", ...) {
    char figures[256] = "";
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(figures, sizeof figures, fmt, args);
    va_end(args);
    std::printf("  %s  %s%s%s\n", ok ? "PASS" : "FAIL", what, *figures ? "  " : "", figures);
    (ok ? passed : failed)++;
    return ok;
  }
};

struct Context {
  Report report;
  AudioComponent component = nullptr;
  std::mt19937 rng{1};

  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
  int Index(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
};

int NParams(AudioUnit u) {
  UInt32 size = 0;
  AudioUnitGetPropertyInfo(u, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size,
                           nullptr);
  return static_cast<int>(size / sizeof(AudioUnitParameterID));
}

bool ParamInfo(AudioUnit u, int idx, AudioUnitParameterInfo* info) {
  UInt32 size = sizeof *info;
  if (AudioUnitGetProperty(u, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global,
                           static_cast<UInt32>(idx), info, &size) != noErr)
    return false;
  if (info->cfNameString && (info->flags & kAudioUnitParameterFlag_CFNameRelease))
    CFRelease(info->cfNameString);
  info->cfNameString = nullptr;
  return true;
}

std::string ValueText(AudioUnit u, int idx, float value) {
  AudioUnitParameterStringFromValue s = {static_cast<UInt32>(idx), &value, nullptr};
  UInt32 size = sizeof s;
  if (AudioUnitGetProperty(u, kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global,
                           0, &s, &size) != noErr)
    return "<error>";
  std::string text = CFStringGetCStringPtr(s.outString, kCFStringEncodingUTF8);
  CFRelease(s.outString);
  return text;
}

bool TextValue(AudioUnit u, int idx, const std::string& text, float* value) {
  CFStringRef str = CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8);
  AudioUnitParameterValueFromString v = {static_cast<UInt32>(idx), str, 0.0f};
  UInt32 size = sizeof v;
  OSStatus status = AudioUnitGetProperty(u, kAudioUnitProperty_ParameterValueFromString,
                                         kAudioUnitScope_Global, 0, &v, &size);
  CFRelease(str);
  *value = v.outValue;
  return status == noErr;
}

// Value to text to value to text gives the same text.
bool TextRoundTrip(AudioUnit u, int idx, float value) {
  std::string first = ValueText(u, idx, value);
  float back = 0.0f;
  return TextValue(u, idx, first, &back) && ValueText(u, idx, back) == first;
}

// Samples that are NaN, infinite or subnormal.
int BadSamples(const std::vector<float>& v) {
  int bad = 0;
  for (float x : v) {
    int c = std::fpclassify(x);
    if (c == FP_NAN || c == FP_INFINITE || c == FP_SUBNORMAL) ++bad;
  }
  return bad;
}

// Planar buffers of nCh channels.
struct Planar {
  Planar(UInt32 nCh, UInt32 nFrames) : data(nCh, std::vector<float>(nFrames)) {
    for (auto& ch : data)
      ptrs.push_back(ch.data());
  }
  void Noise(std::mt19937& rng) {
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    for (auto& ch : data)
      for (float& x : ch)
        x = d(rng);
  }
  int Bad() const {
    int bad = 0;
    for (const auto& ch : data)
      bad += BadSamples(ch);
    return bad;
  }
  std::vector<std::vector<float>> data;
  std::vector<float*> ptrs;
};

// A unit configured and initialised for nCh channels at rate fs.
struct ReadyUnit {
  ReadyUnit(AudioComponent c, double fs, UInt32 nCh, UInt32 maxFrames) : host(c) {
    status = host.IsOpen() ? host.Configure(fs, nCh, maxFrames) : OSStatus(badComponentInstance);
    if (status == noErr) status = host.Initialize();
  }
  AUHost host;
  OSStatus status;
};

// Renders nBlocks noise blocks of nFrames; returns the first failure and counts bad samples.
OSStatus RenderNoise(Context& ctx, AUHost& host, UInt32 nCh, UInt32 nFrames, int nBlocks,
                     int* bad) {
  Planar in(nCh, nFrames), out(nCh, nFrames);
  for (int b = 0; b < nBlocks; ++b) {
    in.Noise(ctx.rng);
    OSStatus status = host.Render(in.ptrs.data(), out.ptrs.data(), nCh, nFrames);
    if (status != noErr) return status;
    *bad += out.Bad();
  }
  return noErr;
}

// ---- Sections ----

// Opens and closes the unit n times; returns how many opened.
int OpenCloseCycles(AudioComponent component, int n) {
  int opened = 0;
  for (int i = 0; i < n; ++i) {
    AudioUnit u = nullptr;
    if (AudioComponentInstanceNew(component, &u) == noErr) {
      ++opened;
      AudioComponentInstanceDispose(u);
    }
  }
  return opened;
}

long HeapInUse() {
  return static_cast<long>(mallinfo2().uordblks);
}

void OpenClose(Context& ctx) {
  Report& r = ctx.report;
  r.Section("open and close");
  auto start = Clock::now();
  {
    AUHost cold(ctx.component);
    r.Check(cold.IsOpen(), "cold open", "%.3f ms", MsSince(start));
  }
  start = Clock::now();
  {
    AUHost warm(ctx.component);
    r.Check(warm.IsOpen(), "warm open", "%.3f ms", MsSince(start));
  }
  // A leak grows the heap in every window of cycles; a process-wide cache that fills
  // once grows it in one window only.
  long live0 = cfstandin::LiveObjectCount(), heap0 = HeapInUse();
  start = Clock::now();
  int opened = OpenCloseCycles(ctx.component, 100);
  double ms = MsSince(start);
  long heap1 = HeapInUse();
  opened += OpenCloseCycles(ctx.component, 200);
  long heap2 = HeapInUse();
  opened += OpenCloseCycles(ctx.component, 200);
  long heap3 = HeapInUse(), liveDelta = cfstandin::LiveObjectCount() - live0;
  long growth = std::min(heap2 - heap1, heap3 - heap2);
  r.Check(opened == 500 && growth < 256 && liveDelta == 0, "100 open/close cycles",
          "%.3f ms each; heap %+ld bytes, then %+ld and %+ld over two windows of 200; "
          "objects %+ld",
          ms / 100, heap1 - heap0, heap2 - heap1, heap3 - heap2, liveDelta);
}

void DefaultFormats(Context& ctx) {
  Report& r = ctx.report;
  r.Section("default formats");
  AUHost host(ctx.component);
  for (AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output}) {
    AudioStreamBasicDescription f = {};
    UInt32 size = sizeof f;
    OSStatus status =
        AudioUnitGetProperty(host.Get(), kAudioUnitProperty_StreamFormat, scope, 0, &f, &size);
    bool ok = status == noErr && f.mSampleRate == 44100.0 && f.mChannelsPerFrame == 2 &&
              f.mFormatID == kAudioFormatLinearPCM && (f.mFormatFlags & kAudioFormatFlagIsFloat) &&
              (f.mFormatFlags & kAudioFormatFlagIsNonInterleaved) && f.mBitsPerChannel == 32;
    r.Check(ok, scope == kAudioUnitScope_Input ? "input format" : "output format",
            "%.0f Hz, %u channels, flags 0x%X, %u bits", f.mSampleRate, f.mChannelsPerFrame,
            f.mFormatFlags, f.mBitsPerChannel);
  }
}

void RequiredProperties(Context& ctx) {
  Report& r = ctx.report;
  r.Section("required properties");
  AUHost host(ctx.component);
  struct Prop {
    const char* name;
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 size;
    bool writable;
  };
  const Prop props[] = {
      {"ClassInfo", kAudioUnitProperty_ClassInfo, 0, 8, true},
      {"SampleRate", kAudioUnitProperty_SampleRate, 0, 8, true},
      {"ParameterList", kAudioUnitProperty_ParameterList, 0, 60, false},
      {"StreamFormat (input)", kAudioUnitProperty_StreamFormat, 1, 40, true},
      {"StreamFormat (output)", kAudioUnitProperty_StreamFormat, 2, 40, true},
      {"ElementCount", kAudioUnitProperty_ElementCount, 1, 4, false},
      {"Latency", kAudioUnitProperty_Latency, 0, 8, false},
      {"SupportedNumChannels", kAudioUnitProperty_SupportedNumChannels, 0, 8, false},
      {"MaximumFramesPerSlice", kAudioUnitProperty_MaximumFramesPerSlice, 0, 4, true},
      {"TailTime", kAudioUnitProperty_TailTime, 0, 8, false},
      {"BypassEffect", kAudioUnitProperty_BypassEffect, 0, 4, true},
      {"LastRenderError", kAudioUnitProperty_LastRenderError, 0, 4, false},
      {"FactoryPresets", kAudioUnitProperty_FactoryPresets, 0, 8, false},
      {"PresentPreset", kAudioUnitProperty_PresentPreset, 0, 16, true},
      {"SetRenderCallback", kAudioUnitProperty_SetRenderCallback, 1, 16, true},
      {"MakeConnection", kAudioUnitProperty_MakeConnection, 1, 16, true},
  };
  for (const Prop& p : props) {
    UInt32 size = 0;
    Boolean writable = false;
    OSStatus status = AudioUnitGetPropertyInfo(host.Get(), p.id, p.scope, 0, &size, &writable);
    r.Check(status == noErr && size == p.size && (writable != 0) == p.writable, p.name,
            "size %u, %s", size, writable ? "writable" : "read-only");
  }
  Float64 latency = -1.0, tail = -1.0;
  UInt32 size = 8;
  AudioUnitGetProperty(host.Get(), kAudioUnitProperty_Latency, 0, 0, &latency, &size);
  AudioUnitGetProperty(host.Get(), kAudioUnitProperty_TailTime, 0, 0, &tail, &size);
  r.Check(latency == 0.0 && tail == 0.0, "latency and tail", "%g s, %g s", latency, tail);
}

// The "data" bytes of a saved state.
std::vector<UInt8> StateBytes(CFPropertyListRef state) {
  ByteChunk chunk;
  if (!state || !GetDataFromDict(static_cast<CFDictionaryRef>(state), "data", &chunk)) return {};
  return std::vector<UInt8>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

CFPropertyListRef SaveState(AudioUnit u) {
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof state;
  if (AudioUnitGetProperty(u, kAudioUnitProperty_ClassInfo, 0, 0, &state, &size) != noErr)
    return nullptr;
  return state;
}

OSStatus RestoreState(AudioUnit u, CFPropertyListRef state) {
  return AudioUnitSetProperty(u, kAudioUnitProperty_ClassInfo, 0, 0, &state, sizeof state);
}

// The folder of the running program, standing in for the effect's bundle.
std::string ProgramFolder() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  path[n] = '\0';
  std::string s = path;
  return s.substr(0, s.rfind('/'));
}

void EditorView(Context& ctx) {
  Report& r = ctx.report;
  r.Section("editor view");
  AUHost host(ctx.component);
  AudioComponentDescription view = {};
  UInt32 size = sizeof view;
  OSStatus status =
      AudioUnitGetProperty(host.Get(), kAudioUnitProperty_GetUIComponentList, 0, 0, &view, &size);
  r.Check(status == noErr && view.componentType == kAudioUnitCarbonViewComponentType &&
              view.componentSubType == static_cast<OSType>(FourCC('V', 'n', 't', '1')) &&
              view.componentManufacturer == static_cast<OSType>(FourCC('K', 'l', 'v', 'n')),
          "view component", "status %d", static_cast<int>(status));
  std::string folder = ProgramFolder();
  VantroseComponent::RegisterBundle(folder.c_str());
  AudioUnitCocoaViewInfo cocoa = {};
  size = sizeof cocoa;
  status = AudioUnitGetProperty(host.Get(), kAudioUnitProperty_CocoaUI, 0, 0, &cocoa, &size);
  std::string cls, where;
  if (status == noErr) {
    cls = CFStringGetCStringPtr(cocoa.mCocoaAUViewClass[0], kCFStringEncodingUTF8);
    CFStringRef path = CFURLCopyFileSystemPath(cocoa.mCocoaAUViewBundleLocation, 0);
    where = CFStringGetCStringPtr(path, kCFStringEncodingUTF8);
    CFRelease(path);
    CFRelease(cocoa.mCocoaAUViewBundleLocation);
    CFRelease(cocoa.mCocoaAUViewClass[0]);
  }
  r.Check(status == noErr && cls == "Vantrose_View" && where == folder, "Cocoa view",
          "class \"%s\" in %s", cls.c_str(), where.c_str());
}

void RandomiseParameters(Context& ctx, AUHost& host) {
  for (int i = 0; i < NParams(host.Get()); ++i) {
    AudioUnitParameterInfo info;
    if (ParamInfo(host.Get(), i, &info))
      host.SetParameter(static_cast<UInt32>(i), ctx.Uniform(info.minValue, info.maxValue));
  }
}

void ClassInfo(Context& ctx) {
  Report& r = ctx.report;
  r.Section("class-info state");
  AUHost host(ctx.component);
  CFPropertyListRef saved = SaveState(host.Get());
  std::vector<UInt8> before = StateBytes(saved);
  RandomiseParameters(ctx, host);
  CFPropertyListRef changed = SaveState(host.Get());
  std::vector<UInt8> randomised = StateBytes(changed);
  if (changed) CFRelease(changed);
  OSStatus status = RestoreState(host.Get(), saved);
  CFPropertyListRef again = SaveState(host.Get());
  std::vector<UInt8> after = StateBytes(again);
  r.Check(saved && !before.empty() && status == noErr && before == after && before != randomised,
          "save, randomise, restore", "chunk %zu bytes, byte-identical: %s", before.size(),
          before == after ? "yes" : "no");
  CFRelease(saved);
  CFRelease(again);
}

void FactoryPresets(Context& ctx) {
  Report& r = ctx.report;
  r.Section("factory presets");
  AUHost host(ctx.component);
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof presets;
  OSStatus status =
      AudioUnitGetProperty(host.Get(), kAudioUnitProperty_FactoryPresets, 0, 0, &presets, &size);
  CFIndex n = status == noErr ? CFArrayGetCount(presets) : 0;
  r.Check(status == noErr && n > 0, "preset list", "%ld presets", static_cast<long>(n));
  for (CFIndex i = 0; i < n; ++i) {
    const AUPreset* p = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
    OSStatus set =
        AudioUnitSetProperty(host.Get(), kAudioUnitProperty_PresentPreset, 0, 0, p, sizeof *p);
    AUPreset current = {-1, nullptr};
    size = sizeof current;
    AudioUnitGetProperty(host.Get(), kAudioUnitProperty_PresentPreset, 0, 0, &current, &size);
    bool same =
        current.presetNumber == p->presetNumber && CFEqual(current.presetName, p->presetName);
    char name[64] = "";
    CFStringGetCString(p->presetName, name, sizeof name, kCFStringEncodingUTF8);
    r.Check(set == noErr && same, "restore preset", "%d \"%s\"", static_cast<int>(p->presetNumber),
            name);
    if (current.presetName) CFRelease(current.presetName);
  }
  if (presets) CFRelease(presets);
}

void Parameters(Context& ctx) {
  Report& r = ctx.report;
  r.Section("parameters");
  AUHost host(ctx.component);
  AudioUnit u = host.Get();
  int n = NParams(u);
  r.Check(n == 15, "parameter list", "%d parameters", n);
  for (int i = 0; i < n; ++i) {
    AudioUnitParameterInfo info;
    bool ok = ParamInfo(u, i, &info);
    ok = ok && info.minValue <= info.defaultValue && info.defaultValue <= info.maxValue &&
         (info.flags & kAudioUnitParameterFlag_IsReadable) &&
         (info.flags & kAudioUnitParameterFlag_IsWritable);
    CFArrayRef strings = nullptr;
    UInt32 size = sizeof strings;
    OSStatus vs = AudioUnitGetProperty(u, kAudioUnitProperty_ParameterValueStrings, 0,
                                       static_cast<UInt32>(i), &strings, &size);
    ok = ok && (vs == noErr || vs == kAudioUnitErr_InvalidProperty);
    if (strings) CFRelease(strings);
    int trips = 0;
    for (float v : {info.minValue, 0.5f * (info.minValue + info.maxValue), info.maxValue})
      trips += TextRoundTrip(u, i, v);
    char what[96];
    std::snprintf(what, sizeof what, "parameter %d \"%s\"", i, info.name);
    r.Check(ok && trips == 3, what, "%g .. %g, default %g, unit %u, text \"%s\"", info.minValue,
            info.maxValue, info.defaultValue, info.unit,
            ValueText(u, i, info.defaultValue).c_str());
  }
}

void ChannelPairs(Context& ctx) {
  Report& r = ctx.report;
  r.Section("channel configurations");
  // Fewer outputs than inputs as well as more: only 1-1 and 2-2 are the effect's.
  const int pairs[][2] = {{1, 1}, {1, 2}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}, {2, 1},
                          {2, 2}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {2, 8}, {4, 1}, {4, 2},
                          {4, 4}, {4, 5}, {5, 5}, {6, 6}, {7, 7}, {8, 2}, {8, 8}};
  for (const auto& p : pairs) {
    AUHost host(ctx.component);
    OSStatus out = host.SetFormat(kAudioUnitScope_Output, static_cast<UInt32>(p[1]), 44100.0);
    OSStatus in = host.SetFormat(kAudioUnitScope_Input, static_cast<UInt32>(p[0]), 44100.0);
    OSStatus init = host.Initialize();
    bool accepted = out == noErr && in == noErr && init == noErr;
    bool expected = p[0] == p[1] && p[0] <= 2;
    char what[32];
    std::snprintf(what, sizeof what, "%d-%d", p[0], p[1]);
    r.Check(accepted == expected, what, "%s (output %d, input %d, initialize %d)",
            accepted ? "accepted" : "refused", static_cast<int>(out), static_cast<int>(in),
            static_cast<int>(init));
  }
}

void RenderSizes(Context& ctx) {
  Report& r = ctx.report;
  r.Section("render");
  struct Case {
    const char* name;
    double fs;
    UInt32 nCh, maxFrames, frames;
    int blocks;
  };
  const Case cases[] = {
      {"512 @ 44100", 44100, 2, 512, 512, 4},      {"sliced at 64", 44100, 2, 512, 64, 32},
      {"64 @ 22050", 22050, 2, 64, 64, 16},        {"137 @ 96000", 96000, 2, 137, 137, 16},
      {"4096 @ 48000", 48000, 2, 4096, 4096, 4},   {"4096 @ 192000", 192000, 2, 4096, 4096, 4},
      {"4096 @ 11025", 11025, 2, 4096, 4096, 4},   {"512 @ 44100 again", 44100, 2, 512, 512, 4},
      {"one channel, 512", 44100, 1, 512, 512, 4},
  };
  for (const Case& c : cases) {
    ReadyUnit unit(ctx.component, c.fs, c.nCh, c.maxFrames);
    int bad = 0;
    auto start = Clock::now();
    OSStatus status = unit.status == noErr
                          ? RenderNoise(ctx, unit.host, c.nCh, c.frames, c.blocks, &bad)
                          : unit.status;
    double ms = MsSince(start);
    double realtime = ms > 0.0 ? (c.frames * c.blocks / c.fs * 1000.0) / ms : 0.0;
    r.Check(status == noErr && bad == 0, c.name, "status %d, %d bad samples, %.1fx realtime",
            static_cast<int>(status), bad, realtime);
  }
  // 8192 frames against a maximum of 512: refused, outputs and input untouched.
  ReadyUnit unit(ctx.component, 44100, 2, 512);
  Planar in(2, 8192), out(2, 8192);
  for (auto& ch : out.data)
    ch.assign(8192, 0.5f);
  OSStatus status = unit.host.Render(in.ptrs.data(), out.ptrs.data(), 2, 8192);
  bool untouched = out.data[0] == std::vector<float>(8192, 0.5f) &&
                   out.data[1] == std::vector<float>(8192, 0.5f) && unit.host.pulls == 0;
  r.Check(status != noErr && untouched, "bad max frames", "status %d, buffers untouched: %s",
          static_cast<int>(status), untouched ? "yes" : "no");
}

void HostOrders(Context& ctx) {
  Report& r = ctx.report;
  r.Section("host orders");
  for (const HostOrderCheck& c : CheckHostOrders(ctx.component, 11))
    r.Check(c.ok, c.what.c_str(), "%s", c.figures.c_str());
}

void NoiseSweep(Context& ctx) {
  Report& r = ctx.report;
  r.Section("noise at every rate and block size");
  for (double fs : {44100.0, 48000.0, 96000.0}) {
    for (UInt32 frames : {64u, 128u, 256u, 512u, 1024u}) {
      ReadyUnit unit(ctx.component, fs, 2, frames);
      int bad = 0;
      OSStatus status =
          unit.status == noErr ? RenderNoise(ctx, unit.host, 2, frames, 10, &bad) : unit.status;
      char what[48];
      std::snprintf(what, sizeof what, "%.0f Hz, %u frames", fs, frames);
      r.Check(status == noErr && bad == 0, what, "10 blocks, %d NaN/inf/subnormal", bad);
    }
  }
}

void Automation(Context& ctx) {
  Report& r = ctx.report;
  r.Section("automation");
  ReadyUnit unit(ctx.component, 44100, 2, 512);
  AudioUnit u = unit.host.Get();
  std::vector<AudioUnitParameterInfo> infos(static_cast<size_t>(NParams(u)));
  for (size_t i = 0; i < infos.size(); ++i)
    ParamInfo(u, static_cast<int>(i), &infos[i]);
  Planar in(2, 32), out(2, 32);
  int bad = 0, changes = 0;
  OSStatus status = unit.status;
  for (int slice = 0; slice < 400 && status == noErr; ++slice) {
    int n = ctx.Index(11);
    for (int k = 0; k < n && status == noErr; ++k) {
      int p = ctx.Index(static_cast<int>(infos.size()));
      status = unit.host.SetParameter(static_cast<UInt32>(p),
                                      ctx.Uniform(infos[p].minValue, infos[p].maxValue));
      ++changes;
    }
    in.Noise(ctx.rng);
    if (status == noErr) status = unit.host.Render(in.ptrs.data(), out.ptrs.data(), 2, 32);
    bad += out.Bad();
  }
  r.Check(status == noErr && bad == 0, "32-frame slices with parameter changes",
          "400 slices, %d changes, %d bad samples", changes, bad);
}

void RandomValues(Context& ctx) {
  Report& r = ctx.report;
  r.Section("random parameter values");
  AUHost host(ctx.component);
  AudioUnit u = host.Get();
  for (int i = 0; i < NParams(u); ++i) {
    AudioUnitParameterInfo info;
    ParamInfo(u, i, &info);
    float range = info.maxValue - info.minValue;
    int good = 0;
    for (int k = 0; k < 5; ++k) {
      float v = ctx.Uniform(info.minValue - 0.25f * range, info.maxValue + 0.25f * range);
      float expect = v < info.minValue ? info.minValue : (v > info.maxValue ? info.maxValue : v);
      bool ok = host.SetParameter(static_cast<UInt32>(i), v) == noErr &&
                host.GetParameter(static_cast<UInt32>(i)) == expect && TextRoundTrip(u, i, expect);
      good += ok;
    }
    char what[96];
    std::snprintf(what, sizeof what, "parameter %d \"%s\"", i, info.name);
    r.Check(good == 5, what, "%d of 5 set, read back clamped and converted", good);
  }
}

// A copy of state with key replaced by value (removed when value is null).
CFMutableDictionaryRef Variant(CFPropertyListRef state, const char* key, CFTypeRef value) {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  for (const char* k : {"version", "type", "subtype", "manufacturer", "name", "data"}) {
    CFStringRef ks = CFStringCreateWithCString(nullptr, k, kCFStringEncodingUTF8);
    CFTypeRef v = std::strcmp(k, key) == 0
                      ? value
                      : CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), ks);
    if (v) CFDictionarySetValue(d, ks, v);
    CFRelease(ks);
  }
  return d;
}

void StateFuzz(Context& ctx) {
  Report& r = ctx.report;
  r.Section("state fuzz");
  ReadyUnit unit(ctx.component, 44100, 2, 512);
  AudioUnit u = unit.host.Get();
  CFPropertyListRef good = SaveState(u);
  // Every key missing, every key of the wrong type, and another product's subtype.
  SInt32 foreign = FourCC('O', 't', 'h', 'r');
  CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &foreign);
  std::vector<CFTypeRef> refused;
  refused.push_back(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
  for (const char* k : {"version", "type", "subtype", "manufacturer", "name", "data"}) {
    bool isName = std::strcmp(k, "name") == 0;
    refused.push_back(Variant(good, k, nullptr));
    refused.push_back(Variant(good, k, isName ? static_cast<CFTypeRef>(number) : CFSTR("x")));
  }
  refused.push_back(Variant(good, "subtype", number));
  CFRelease(number);
  int wrongResults = 0;
  for (CFTypeRef state : refused) {
    if (RestoreState(u, state) != kAudioUnitErr_InvalidPropertyValue) ++wrongResults;
    CFRelease(state);
  }
  r.Check(wrongResults == 0, "empty, missing keys, wrong types, foreign subtype",
          "%zu dictionaries, %d not refused", refused.size(), wrongResults);

  int applied = 0, rejected = 0, other = 0, bad = 0;
  std::vector<UInt8> bytes(1 << 20);
  for (int k = 0; k < 3; ++k) {
    for (UInt8& b : bytes)
      b = static_cast<UInt8>(ctx.rng());
    CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
    CFMutableDictionaryRef state = Variant(good, "data", data);
    OSStatus status = RestoreState(u, state);
    (status == noErr ? applied : status == kAudioUnitErr_InvalidPropertyValue ? rejected : other)++;
    CFRelease(state);
    CFRelease(data);
    RenderNoise(ctx, unit.host, 2, 512, 2, &bad);
  }
  OSStatus back = RestoreState(u, good);
  CFRelease(good);
  r.Check(other == 0 && back == noErr, "3 x 1 MB of random bytes as data",
          "%d applied, %d rejected, %d NaN/inf/subnormal after, good state restored: %s", applied,
          rejected, bad, back == noErr ? "yes" : "no");
}

void Threads(Context& ctx) {
  Report& r = ctx.report;
  r.Section("threads");
  ReadyUnit unit(ctx.component, 44100, 2, 512);
  int nParams = NParams(unit.host.Get());
  std::vector<AudioUnitParameterInfo> infos(static_cast<size_t>(nParams));
  for (int i = 0; i < nParams; ++i)
    ParamInfo(unit.host.Get(), i, &infos[static_cast<size_t>(i)]);
  int setFailures = 0;
  std::thread setter([&] {
    std::mt19937 rng(7);
    for (int k = 0; k < 500; ++k) {
      int p = std::uniform_int_distribution<int>(0, nParams - 1)(rng);
      float v = std::uniform_real_distribution<float>(infos[p].minValue, infos[p].maxValue)(rng);
      if (unit.host.SetParameter(static_cast<UInt32>(p), v) != noErr) ++setFailures;
      if (k % 8 == 0) std::this_thread::yield();
    }
  });
  int bad = 0;
  auto start = Clock::now();
  OSStatus status =
      unit.status == noErr ? RenderNoise(ctx, unit.host, 2, 512, 500, &bad) : unit.status;
  setter.join();
  r.Check(status == noErr && bad == 0 && setFailures == 0,
          "500 parameter sets on a second thread during 500 blocks",
          "%.1f ms, %d bad samples, %d failed sets", MsSince(start), bad, setFailures);
}

void Routes(Context& ctx) {
  Report& r = ctx.report;
  r.Section("entry routes");
  std::vector<float> results[2];
  AudioComponent components[2] = {VantroseComponent::RegisterFactory(),
                                  VantroseComponent::RegisterEntry()};
  for (int k = 0; k < 2; ++k) {
    ReadyUnit unit(components[k], 48000, 2, 256);
    unit.host.SetParameter(10, 4.5f);
    unit.host.SetParameter(0, 0.8f);
    std::mt19937 rng(3);
    Planar in(2, 256), out(2, 256);
    for (int b = 0; b < 8 && unit.status == noErr; ++b) {
      in.Noise(rng);
      unit.host.Render(in.ptrs.data(), out.ptrs.data(), 2, 256);
      for (const auto& ch : out.data)
        results[k].insert(results[k].end(), ch.begin(), ch.end());
    }
  }
  bool same = !results[0].empty() && results[0] == results[1];
  r.Check(same, "factory and selector routes render the same", "%zu samples, bit-identical: %s",
          results[0].size(), same ? "yes" : "no");
}

struct Section {
  const char* name;
  void (*run)(Context&);
};

const Section kSections[] = {
    {"open", OpenClose},      {"formats", DefaultFormats}, {"properties", RequiredProperties},
    {"view", EditorView},     {"state", ClassInfo},        {"presets", FactoryPresets},
    {"params", Parameters},   {"channels", ChannelPairs},  {"render", RenderSizes},
    {"orders", HostOrders},   {"noise", NoiseSweep},       {"automation", Automation},
    {"values", RandomValues}, {"fuzz", StateFuzz},         {"threads", Threads},
    {"routes", Routes},
};

struct ValidateArgs {
  std::string route = "factory", only;
  unsigned seed = 1;
};

CommandApp ValidateApp(ValidateArgs* a) {
  CommandApp app = NewCommandApp("validate", "host-side validation of the Audio Unit");
  app->add_option("--route", a->route, "the entry route the unit is opened through")
      ->check(CLI::IsMember({"factory", "entry"}))
      ->capture_default_str();
  std::vector<std::string> names;
  for (const Section& s : kSections)
    names.push_back(s.name);
  app->add_option("--section", a->only, "run one section only")
      ->type_name("NAME")
      ->check(CLI::IsMember(names));
  app->add_option("--seed", a->seed, "seed of the random values and noise")
      ->type_name("N")
      ->capture_default_str();
  return app;
}

}  // namespace

CommandApp ValidateCommandLine() {
  static ValidateArgs unused;
  return ValidateApp(&unused);
}

int RunValidate(int argc, char** argv) {
  ValidateArgs args;
  const int code = ParseCommandLine(*ValidateApp(&args), argc, argv);
  if (code >= 0) return code;
  const std::string& route = args.route;
  const std::string& only = args.only;
  const unsigned seed = args.seed;

  Context ctx;
  ctx.rng.seed(seed);
  ctx.component = route == "factory" ? VantroseComponent::RegisterFactory()
                                     : VantroseComponent::RegisterEntry();
  std::printf("Validating 'aufx' 'Vnt1' 'Klvn' (Kelvorin: Vantrose), %s route, seed %u\n",
              route.c_str(), seed);
  for (const Section& s : kSections) {
    if (only.empty() || only == s.name) s.run(ctx);
  }
  std::printf("\nvalidate: %d passed, %d failed\n", ctx.report.passed, ctx.report.failed);
  std::printf("%s\n", ctx.report.failed == 0 ? "AU VALIDATION SUCCEEDED" : "AU VALIDATION FAILED");
  return ctx.report.failed == 0 ? 0 : 1;
}
