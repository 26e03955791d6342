// The audio subcommands, called as the command line calls them: argument checking,
// refusals that leave no output behind, and a processed file that matches the effect.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AudioFile.h"
#include "Commands.h"
#include "EffectSetup.h"
#include "Progress.h"

namespace {

// A scratch folder removed with its files at the end of each test.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vantrose-cli-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    mDir = tmpl;
  }
  void TearDown() override {
    for (const std::string& f : mFiles)
      std::remove(f.c_str());
    rmdir(mDir.c_str());
  }
  std::string Path(const std::string& name) {
    mFiles.push_back(mDir + "/" + name);
    return mFiles.back();
  }
  static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
  static std::string Contents(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // The names in the scratch folder, to show that nothing was left behind.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    DIR* d = opendir(mDir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) {
      if (e->d_name[0] != '.' || (std::string(e->d_name) != "." && std::string(e->d_name) != ".."))
        names.insert(e->d_name);
    }
    if (d) closedir(d);
    return names;
  }

  // Runs a subcommand with the given arguments, as main() hands them over.
  static int Call(int (*cmd)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(&a[0]);
    return cmd(static_cast<int>(argv.size()), argv.data());
  }

  // Writes an interleaved float WAV.
  static void WriteFile(const std::string& path, const std::vector<float>& data, int channels,
                        int rate) {
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, data.data(), static_cast<sf_count_t>(data.size() / channels));
    sf_close(f);
  }

  static std::vector<float> ReadFile(const std::string& path, SF_INFO* info) {
    *info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
    if (!f) return {};
    std::vector<float> data(static_cast<size_t>(info->frames * info->channels));
    sf_readf_float(f, data.data(), info->frames);
    sf_close(f);
    return data;
  }

  static std::vector<float> Tone(size_t frames, int channels) {
    std::vector<float> d(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
      for (int ch = 0; ch < channels; ++ch) {
        d[i * channels + ch] =
            static_cast<float>(0.3 * std::sin(0.01 * i * (ch + 1)) + 0.05 * std::sin(0.37 * i));
      }
    }
    return d;
  }

  static std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
  }

  std::string mDir;
  std::vector<std::string> mFiles;
};

struct BadArgs {
  const char* why;
  std::vector<std::string> args;  // IN and OUT are filled in
};

TEST_F(CliTest, ProcessRefusesBadInputAndLeavesNoOutput) {
  const std::string in = Path("in.wav"), out = Path("out.wav");
  const std::string threeCh = Path("three.wav"), text = Path("text.wav");
  WriteFile(in, Tone(1000, 2), 2, 44100);
  WriteFile(threeCh, Tone(1000, 3), 3, 44100);
  std::FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("not audio at all", f);
  std::fclose(f);
  const BadArgs cases[] = {
      {"missing file", {Path("absent.wav"), out}},
      {"not a sound file", {text, out}},
      {"three channels", {threeCh, out}},
      {"unknown name", {in, out, "--set", "Treble=1"}},
      {"out of range", {in, out, "--set", "LGain=1.5"}},
      {"out of range by index", {in, out, "--set", "10=13"}},
      {"index past the last", {in, out, "--set", "15=0"}},
      {"not a number", {in, out, "--set", "Gain=loud"}},
      {"no equals sign", {in, out, "--set", "Gain"}},
      {"bad block", {in, out, "--block", "0"}},
      {"block not a number", {in, out, "--block", "12x"}},
      {"dangling option", {in, out, "--set"}},
      {"unknown option", {in, out, "--fast"}},
      {"one file", {in}},
      {"three files", {in, out, out}},
  };
  for (const BadArgs& c : cases) {
    EXPECT_EQ(Call(RunProcess, c.args), kExitUsage) << c.why;
    EXPECT_FALSE(Exists(out)) << c.why;
  }
}

// Bad output and state names are refused before any work, and nothing they name
// (or the input) is touched: no file through a link, no device node replaced.
TEST_F(CliTest, ProcessRefusesBadOutputsAndStatePathsUpFront) {
  const std::string in = Path("in.wav"), out = Path("out.wav"), victim = Path("victim");
  const std::string link = Path("link.wav"), inLink = Path("in-link.plist");
  const std::string slow = Path("slow.wav"), fast = Path("fast.wav");
  const std::string fifo = Path("fifo.wav"), preset = Path("p.fxp"), state = Path("s.plist");
  const std::string inAlias = Path("in-alias.wav");
  WriteFile(in, Tone(1000, 2), 2, 44100);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(Call(RunPreset, {"save", preset}), 0);
  ASSERT_EQ(Call(RunProcess, {in, out, "--save-state", state}), 0);
  std::remove(out.c_str());
  ASSERT_EQ(symlink(in.c_str(), inAlias.c_str()), 0);
  WriteFile(slow, Tone(100, 1), 1, 7999);
  WriteFile(fast, Tone(100, 1), 1, 768001);
  std::ofstream(victim) << "keep me";
  ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
  ASSERT_EQ(symlink(in.c_str(), inLink.c_str()), 0);
  const std::string inBytes = Contents(in), presetBytes = Contents(preset);
  const std::string stateBytes = Contents(state);
  const std::set<std::string> before = Entries();
  const BadArgs cases[] = {
      {"OUT is a folder", {in, mDir}},
      {"OUT ends in a slash", {in, mDir + "/new/"}},
      {"OUT is a symbolic link", {in, link}},
      {"OUT is a device", {in, "/dev/null"}},
      {"OUT has no folder", {in, mDir + "/absent/out.wav"}},
      {"OUT is empty", {in, ""}},
      {"OUT is a FIFO", {in, fifo}},
      {"OUT is IN", {in, in}},
      {"OUT is IN, reached through a link", {inAlias, in}},
      {"OUT is IN by another name", {in, mDir + "/./in.wav"}},
      {"OUT is the preset read", {in, preset, "--preset", preset}},
      {"OUT is the state read", {in, state, "--state", state}},
      {"state is IN by another name", {in, out, "--save-state", mDir + "/./in.wav"}},
      {"state is the state read", {in, out, "--state", state, "--save-state", state}},
      {"state is IN", {in, out, "--save-state", in}},
      {"state is IN through a link", {in, out, "--save-state", inLink}},
      {"state is OUT, not there yet", {in, out, "--save-state", mDir + "/./out.wav"}},
      {"state is a device", {in, out, "--save-state", "/dev/null"}},
      {"rate below the range", {slow, out}},
      {"rate above the range", {fast, out}},
  };
  for (const BadArgs& c : cases) {
    EXPECT_EQ(Call(RunProcess, c.args), kExitUsage) << c.why;
    EXPECT_EQ(Entries(), before) << c.why;
    EXPECT_EQ(Contents(victim), "keep me") << c.why;
    EXPECT_EQ(Contents(in), inBytes) << c.why;
    EXPECT_EQ(Contents(preset), presetBytes) << c.why;
    EXPECT_EQ(Contents(state), stateBytes) << c.why;
  }
  // A link planted where the output's temporary once went is left alone too.
  const std::string planted = Path("out.wav.part" + std::to_string(getpid()));
  ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
  ASSERT_EQ(Call(RunProcess, {in, out}), 0);
  EXPECT_EQ(Contents(victim), "keep me");
  std::set<std::string> after = before;
  after.insert({"out.wav", BaseName(planted)});
  EXPECT_EQ(Entries(), after);
}

// A state save that fails (here past the file size limit) leaves no file behind.
TEST_F(CliTest, FailedStateSaveLeavesNoFile) {
  const std::string in = Path("in.wav"), out = Path("out.wav"), state = Path("state.plist");
  WriteFile(in, Tone(8, 1), 1, 44100);
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 200;  // room for the output, not for the state
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const int code = Call(RunProcess, {in, out, "--save-state", state});
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(code, kExitUsage);
  EXPECT_TRUE(Exists(out));
  EXPECT_FALSE(Exists(state));
  EXPECT_EQ(Entries(), (std::set<std::string>{"in.wav", "out.wav"}));
}

// The container follows what was written: a streamed input whose header claims
// 0xFFFFFFFF bytes still gives a plain WAV of the frames it really held.
TEST_F(CliTest, ContainerFollowsTheFramesWritten) {
  const std::string file = Path("stream.wav"), in = Path("stream"), out = Path("out.wav");
  WriteFile(file, Tone(1000, 2), 2, 44100);
  std::string bytes = Contents(file);
  const size_t data = bytes.find("data");
  ASSERT_NE(data, std::string::npos);
  for (size_t at : {size_t{4}, data + 4})
    bytes.replace(at, 4, "\xFF\xFF\xFF\xFF");
  ASSERT_EQ(mkfifo(in.c_str(), 0600), 0);
  std::thread feed([&] { std::ofstream(in, std::ios::binary) << bytes; });
  const int code = Call(RunProcess, {in, out});
  feed.join();
  ASSERT_EQ(code, 0);
  SF_INFO info;
  EXPECT_EQ(ReadFile(out, &info).size(), 2000u);
  EXPECT_EQ(info.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);  // what the RF64 writer downgrades to
  EXPECT_EQ(Contents(out).compare(0, 4, "RIFF"), 0);
}

// Quiet on a non-terminal stderr unless the input is short of what its header says.
TEST_F(CliTest, ProcessNamesTruncatedInputWithBothCounts) {
  const std::string in = Path("in.wav"), out = Path("out.wav");
  WriteFile(in, Tone(1000, 2), 2, 44100);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Call(RunProcess, {in, out}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(truncate(in.c_str(), static_cast<off_t>(Contents(in).size() - 600 * 8)), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Call(RunProcess, {in, out}), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("truncated"), std::string::npos) << err;
  EXPECT_NE(err.find("promises 1000 frames, the file holds 400"), std::string::npos) << err;
  SF_INFO info;
  EXPECT_EQ(ReadFile(out, &info).size(), 800u);
}

TEST(ProgressLine, ShowsThePercentageAndTheSpeed) {
  EXPECT_NE(Progress::Line(480000, 960000, 48000, 2.0).find(" 50%  5.0x realtime"),
            std::string::npos);
  EXPECT_NE(Progress::Line(960000, 960000, 48000, 0.0).find("100%"), std::string::npos);
}

TEST_F(CliTest, OtherCommandsRejectBadArguments) {
  for (const char* rate : {"0", "7999", "768001", "inf"}) {
    EXPECT_EQ(Call(RunResponse, {"--rate", rate}), kExitUsage) << rate;
    EXPECT_EQ(Call(RunCalibrate, {"--rate", rate}), kExitUsage) << rate;
  }
  EXPECT_EQ(Call(RunCalibrate, {"--rate"}), kExitUsage);
  EXPECT_EQ(Call(RunCalibrate, {"48000"}), kExitUsage);
  EXPECT_EQ(Call(RunSnapshot, {Path("panel.png"), "--hover", "1,2,3"}), kExitUsage);
  // Gestures far outside int-safe ranges are refused, not replayed for minutes.
  const std::string png = Path("panel.png");
  for (std::vector<std::string> g : {std::vector<std::string>{"--drag", "0,0,2147483647,0"},
                                     {"--click", "-2147483648,5"},
                                     {"--drag", "300,75,0,-65537"},
                                     {"--wheel", "300,75,1001"}}) {
    EXPECT_EQ(Call(RunSnapshot, {png, g[0], g[1]}), kExitUsage) << g[1];
  }
  EXPECT_FALSE(Exists(png));
  EXPECT_EQ(
      Call(RunSnapshot, {png, "--drag", "312,75,0,-65536", "--resources", VANTROSE_SOURCE_DIR}), 0);
  EXPECT_EQ(Call(RunResponse, {"--set", "Bell=2"}), kExitUsage);
  EXPECT_EQ(Call(RunResponse, {"--plot"}), kExitUsage);
  EXPECT_EQ(Call(RunBench, {"--runs", "0"}), kExitUsage);
  EXPECT_EQ(Call(RunBench, {"--seconds"}), kExitUsage);
  EXPECT_EQ(Call(RunDemo, {"extra"}), kExitUsage);
}

// The file path stores values as a host does (single precision, then clamped), runs
// the float path in blocks, and gives exactly what the effect gives.
TEST_F(CliTest, ProcessMatchesTheEffectBitForBit) {
  const int block = 100;
  for (int channels : {1, 2}) {
    const std::string in = Path("in.wav"), out = Path("out.wav");
    const std::vector<float> data = Tone(1234, channels);
    WriteFile(in, data, channels, 48000);
    ASSERT_EQ(Call(RunProcess, {in, out, "--block", std::to_string(block), "--set", "LGain=0.9",
                                "--set", "14=1", "--set", "HPLP=1", "--set", "LFreq=0.3"}),
              0);
    SF_INFO info;
    const std::vector<float> got = ReadFile(out, &info);
    ASSERT_EQ(info.channels, channels);
    ASSERT_EQ(info.samplerate, 48000);
    ASSERT_EQ(info.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    ASSERT_EQ(got.size(), data.size());

    auto fx = MakeConfiguredEffect(48000, block, channels,
                                   {{Vantrose::kLGain, 0.9},
                                    {Vantrose::kOver, 1.0},
                                    {Vantrose::kHPLP, 1},
                                    {Vantrose::kLFreq, 0.3}});
    EXPECT_EQ(fx->GetParam(Vantrose::kLFreq)->GetValue(), static_cast<double>(0.3f));
    EXPECT_EQ(fx->SatFactor(), 16);
    std::vector<float> planarIn(2 * block), planarOut(2 * block);
    float* ins[2] = {planarIn.data(), planarIn.data() + block};
    float* outs[2] = {planarOut.data(), planarOut.data() + block};
    const size_t frames = data.size() / channels;
    for (size_t pos = 0; pos < frames; pos += block) {
      const int n = static_cast<int>(std::min<size_t>(block, frames - pos));
      for (int i = 0; i < n; ++i) {
        for (int ch = 0; ch < channels; ++ch)
          ins[ch][i] = data[(pos + i) * channels + ch];
      }
      ProcessFloatBlock(*fx, ins, outs, channels, n);
      for (int i = 0; i < n; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
          ASSERT_EQ(got[(pos + i) * channels + ch], outs[ch][i]) << pos + i;
        }
      }
    }
    std::remove(out.c_str());
  }
}

TEST(ParamSettings, NamesIndicesAndRanges) {
  auto fx = MakeConfiguredEffect(44100, 64, 2, {});
  ParamSetting p;
  std::string error;
  ASSERT_TRUE(ParseParamSetting(*fx, "HMFreq=0.5", &p, &error));
  EXPECT_EQ(p.idx, Vantrose::kHMFreq);
  EXPECT_EQ(p.value, 0.5);
  ASSERT_TRUE(ParseParamSetting(*fx, "14=1", &p, &error)) << "the unnamed switch by index";
  EXPECT_EQ(p.idx, Vantrose::kOver);
  ASSERT_TRUE(ParseParamSetting(*fx, "Gain=-12", &p, &error));
  EXPECT_FALSE(ParseParamSetting(*fx, "Gain=-12.01", &p, &error));
  EXPECT_NE(error.find("range"), std::string::npos) << error;
  // The range is judged as the host would store the value: in single precision.
  EXPECT_TRUE(ParseParamSetting(*fx, "Gain=12.0000001", &p, &error)) << error;
  EXPECT_TRUE(ParseParamSetting(*fx, "LFreq=0.9830000001", &p, &error)) << error;
  EXPECT_FALSE(ParseParamSetting(*fx, "LFreq=0.99", &p, &error));
  EXPECT_NE(error.find("0.99 of LFreq"), std::string::npos) << error;
  EXPECT_FALSE(ParseParamSetting(*fx, "gain=1", &p, &error)) << "names are exact";
  EXPECT_FALSE(ParseParamSetting(*fx, "LGain=nan", &p, &error));
  EXPECT_FALSE(ParseParamSetting(*fx, "=1", &p, &error));
  EXPECT_FALSE(ParseParamSetting(*fx, "-1=0", &p, &error));
}

}  // namespace
