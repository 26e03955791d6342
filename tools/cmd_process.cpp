// vantrose process: runs a sound file through the effect's Audio Unit, block by block,
// as a host does, and writes the result as a 32-bit float WAV.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AUHost.h"
#include "AudioFile.h"
#include "Commands.h"
#include "EffectSetup.h"
#include "OutputPath.h"
#include "PresetFile.h"
#include "Progress.h"
#include "SampleRateRange.h"
#include "StateFile.h"
#include "VantroseComponent.h"

namespace {

constexpr int kMaxBlock = 1 << 16;

struct ProcessArgs {
  std::string in, out;
  int block = 512;
  std::string preset;
  std::string state, saveState;
  std::vector<ParamSetting> sets;
};

CommandApp ProcessApp(ProcessArgs* a) {
  CommandApp app = NewCommandApp(
      "process", "run a sound file through the effect's Audio Unit into a 32-bit float WAV");
  app->add_option("IN", a->in,
                  "a mono or stereo sound file (WAV, AIFF, FLAC, ...), 8000 to 768000 Hz")
      ->required();
  app->add_option("OUT", a->out,
                  "the processed audio: 32-bit float WAV (RF64 past 4 GiB), same rate and "
                  "channels; a new file or a regular one in an existing folder, not IN")
      ->required();
  app->add_option("--block", a->block, "frames per processing block, 1 to 65536")
      ->check(CLI::Range(1, kMaxBlock))
      ->type_name("N")
      ->capture_default_str();
  app->add_option("--state", a->state, "a saved unit state (class info) restored before the rest")
      ->type_name("FILE");
  app->add_option("--preset", a->preset,
                  "a program file, loaded after the state (the --sets still apply after it)")
      ->type_name("FILE.fxp");
  AddSetOption(*app, &a->sets);
  app->add_option("--save-state", a->saveState,
                  "the unit's state (class info) after processing; not IN, OUT or a file read")
      ->type_name("FILE");
  return app;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vantrose process: %s\n", message.c_str());
  return kExitUsage;
}

// The files this run reads; no output may land on one of them.
std::vector<std::string> Inputs(const ProcessArgs& args) {
  return {args.in, args.state, args.preset};
}

std::string StatusText(const char* what, OSStatus status) {
  return std::string(what) + " (error " + std::to_string(status) + ")";
}

// The effect's unit at the file's rate and channels: a saved state first, then the
// settings through the host's parameter call, then Initialize.
std::string SetUpUnit(AUHost& host, const ProcessArgs& args, double rate, int channels,
                      const std::vector<ParamSetting>& settings) {
  if (!host.IsOpen()) return "can't open the effect's Audio Unit";
  OSStatus status =
      host.Configure(rate, static_cast<UInt32>(channels), static_cast<UInt32>(args.block));
  if (status != noErr) return StatusText("the unit refused the stream setup", status);
  if (!args.state.empty()) {
    std::string error;
    CFPropertyListRef state = ReadStateFile(args.state.c_str(), &error);
    if (!state) return error;
    status = AudioUnitSetProperty(host.Get(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global,
                                  0, &state, sizeof state);
    CFRelease(state);
    if (status != noErr)
      return StatusText(("the unit refused the state in '" + args.state + "'").c_str(), status);
  }
  for (const ParamSetting& s : settings) {
    status = host.SetParameter(static_cast<UInt32>(s.idx), static_cast<float>(s.value));
    if (status != noErr) return StatusText("the unit refused a parameter", status);
  }
  status = host.Initialize();
  return status == noErr ? "" : StatusText("the unit failed to initialise", status);
}

std::string SaveUnitState(AUHost& host, const ProcessArgs& args) {
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof state;
  OSStatus status = AudioUnitGetProperty(host.Get(), kAudioUnitProperty_ClassInfo,
                                         kAudioUnitScope_Global, 0, &state, &size);
  if (status != noErr) return StatusText("the unit's state could not be read", status);
  std::string error;
  std::vector<std::string> taken = Inputs(args);
  taken.push_back(args.out);
  bool ok = WriteStateFile(args.saveState.c_str(), state, &error, taken);
  CFRelease(state);
  return ok ? "" : error;
}

// The output and state names are judged before any work: neither may land on a file
// the run reads, nor on each other.
std::string CheckOutputs(const ProcessArgs& args) {
  std::string error;
  if (!CheckOutputPath(args.out, &error, Inputs(args))) return error;
  if (args.saveState.empty()) return "";
  std::vector<std::string> taken = Inputs(args);
  taken.push_back(args.out);
  if (!CheckOutputPath(args.saveState, &error, taken)) return "--save-state: " + error;
  return "";
}

void ReportTruncation(const AudioReader& reader, const std::string& path, long long done) {
  if (done >= reader.PromisedFrames()) return;
  std::fprintf(stderr,
               "vantrose process: warning: '%s' is truncated: its header promises %lld frames, "
               "the file holds %lld; the output has %lld\n",
               path.c_str(), reader.PromisedFrames(), done, done);
}

void PrintLevels(const char* what, const LevelMeter* meters, int channels) {
  for (int ch = 0; ch < channels; ++ch) {
    const char* name = channels == 1 ? "mono" : (ch == 0 ? "left" : "right");
    std::printf("  %-6s %-5s  peak %8.2f dBFS   RMS %8.2f dBFS\n", what, name, meters[ch].PeakDb(),
                meters[ch].RmsDb());
  }
}

}  // namespace

CommandApp ProcessCommandLine() {
  static ProcessArgs unused;
  return ProcessApp(&unused);
}

int RunProcess(int argc, char** argv) {
  ProcessArgs args;
  const int code = ParseCommandLine(*ProcessApp(&args), argc, argv);
  if (code >= 0) return code;
  std::string error = CheckOutputs(args);
  if (!error.empty()) return Fail(error);

  AudioReader reader;
  if (!reader.Open(args.in, &error)) return Fail(error);
  const int channels = reader.Channels();
  if (channels != 1 && channels != 2) {
    return Fail("'" + args.in + "' has " + std::to_string(channels) +
                " channels; the effect takes mono or stereo");
  }
  if (!IsSupportedSampleRate(reader.SampleRate())) {
    return Fail("'" + args.in + "' is at " + std::to_string(reader.SampleRate()) +
                " Hz; the effect takes " + RateRangeText());
  }
  std::vector<ParamSetting> settings;
  if (!args.preset.empty() && !ProgramFileSettings(args.preset.c_str(), &settings, &error)) {
    return Fail(error);
  }
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  settings.insert(settings.end(), args.sets.begin(), args.sets.end());

  AUHost host(VantroseComponent::RegisterFactory());
  error = SetUpUnit(host, args, reader.SampleRate(), channels, settings);
  if (!error.empty()) return Fail(error);
  AudioWriter writer;
  if (!writer.Open(args.out, reader.SampleRate(), channels, &error, Inputs(args)))
    return Fail(error);

  std::vector<float> interleaved(static_cast<size_t>(args.block) * channels);
  std::vector<float> planarIn(static_cast<size_t>(args.block) * channels);
  std::vector<float> planarOut(static_cast<size_t>(args.block) * channels);
  float* ins[2] = {planarIn.data(), planarIn.data() + args.block};
  float* outs[2] = {planarOut.data(), planarOut.data() + args.block};
  LevelMeter levelIn[2], levelOut[2];
  Progress progress(reader.Frames(), reader.SampleRate());
  long long done = 0;
  for (int n; (n = reader.Read(interleaved.data(), args.block)) > 0;) {
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < channels; ++ch) {
        ins[ch][i] = interleaved[i * channels + ch];
        levelIn[ch].Add(ins[ch][i]);
      }
    }
    OSStatus status = host.Render(ins, outs, static_cast<UInt32>(channels), static_cast<UInt32>(n));
    if (status != noErr) return Fail(StatusText("the unit failed to render", status));
    for (int i = 0; i < n; ++i) {
      for (int ch = 0; ch < channels; ++ch) {
        interleaved[i * channels + ch] = outs[ch][i];
        levelOut[ch].Add(outs[ch][i]);
      }
    }
    if (!writer.Write(interleaved.data(), n, &error)) return Fail(error);
    done += n;
    progress.Update(done);
  }
  progress.Finish();
  if (reader.Failed(&error)) return Fail(error);
  ReportTruncation(reader, args.in, done);
  if (!writer.Commit(&error)) return Fail(error);
  if (!args.saveState.empty()) {
    error = SaveUnitState(host, args);
    if (!error.empty()) return Fail(error);
  }

  std::printf("%s -> %s\n", args.in.c_str(), args.out.c_str());
  std::printf("  %lld frames, %d Hz, %s, blocks of %d, %s\n", done, reader.SampleRate(),
              channels == 1 ? "mono" : "stereo", args.block,
              DescribeSettings(*probe, settings).c_str());
  PrintLevels("input", levelIn, channels);
  PrintLevels("output", levelOut, channels);
  return 0;
}
