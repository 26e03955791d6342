#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "IEditor.h"
#include "IPluginBase.h"

namespace {

// A plug-in on the bare base that records what the base tells the host.
class TestPlug : public IPluginBase {
 public:
  explicit TestPlug(const char* io, int nParams = 3)
      : IPluginBase(nParams, io, 1, "Test", "Prod", "Maker", 0x00030201, 1, 2, 0, false, false,
                    false, kAPIAU) {}

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int idx, double normalized) override {
    informed.push_back({idx, normalized});
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  void OnParamChange(int idx) override { changed.push_back(idx); }

  struct Inform {
    int idx;
    double normalized;
  };
  std::vector<Inform> informed;
  std::vector<int> changed;
  double tempo = 0.0;
};

TEST(ChannelIO, ParsesConfigurationsAndMakesChannels) {
  TestPlug plug("1-1 2-2");
  ASSERT_EQ(plug.NChannelIO(), 2);
  int in, out;
  plug.GetChannelIO(1, &in, &out);
  EXPECT_EQ(in, 2);
  EXPECT_EQ(out, 2);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_FALSE(plug.GetChannelIO(2, &in, &out));
}

TEST(ChannelIO, LegalIOWithWildcards) {
  TestPlug plug("1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_FALSE(plug.LegalIO(2, 1));  // fewer outputs than inputs is no match either
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(2, -1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(3, -1));
  // Zero is a count like any other, never a wildcard.
  const int zeroCounts[][2] = {{0, 1}, {0, 2}, {1, 0}, {2, 0}, {0, 0}, {0, -1}, {-1, 0}};
  for (const auto& io : zeroCounts)
    EXPECT_FALSE(plug.LegalIO(io[0], io[1])) << io[0] << "-" << io[1];
  TestPlug none(nullptr);
  EXPECT_EQ(none.NChannelIO(), 0);
  EXPECT_EQ(none.NInChannels(), 0);
  EXPECT_FALSE(none.LegalIO(-1, -1));
}

TEST(ChannelIO, UnparsablePartsStayZero) {
  TestPlug plug("x-2 3");
  ASSERT_EQ(plug.NChannelIO(), 2);
  int in, out;
  plug.GetChannelIO(0, &in, &out);
  EXPECT_EQ(in, 0);
  EXPECT_EQ(out, 0);
  plug.GetChannelIO(1, &in, &out);
  EXPECT_EQ(in, 3);
  EXPECT_EQ(out, 0);
}

TEST(Buffers, SetBlockSizeWithTheSameSizeKeepsScratchContents) {
  TestPlug plug("1-1");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, false);  // output 0 writes its scratch buffer
  std::vector<double> in = {1, 2, 3, 4};
  double* inPtr = in.data();
  plug.AttachInputBuffers(0, 1, &inPtr, 4);
  plug.ProcessBuffers(0.0, 4);
  plug.SetBlockSize(4);
  // Processing again with a disconnected input (scratch) would give zeros; instead
  // check that the output scratch still holds the copy by routing it back as input.
  std::vector<float> out(4, -1.f);
  float* outPtr = out.data();
  plug.SetOutputChannelConnections(0, 1, true);
  plug.AttachOutputBuffers(0, 1, &outPtr);
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(out[3], 4.f);
  plug.SetBlockSize(8);  // a new size zeroes the scratch buffers
  plug.SetInputChannelConnections(0, 1, false);
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(out[3], 0.f);
}

TEST(Buffers, DefaultProcessCopiesInputsAndSilencesTheRest) {
  TestPlug plug("1-2");
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> in = {0.5, -0.25, 1.0};
  std::vector<double> out0(3, 9.0), out1(3, 9.0);
  double* inPtr = in.data();
  double* outPtrs[] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 1, &inPtr, 3);
  plug.AttachOutputBuffers(0, 2, outPtrs);
  plug.ProcessBuffers(0.0, 3);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(3, 0.0));
}

TEST(Buffers, FloatAttachSkipsUnconnectedChannels) {
  TestPlug plug("3-3");
  plug.SetBlockSize(2);
  plug.SetInputChannelConnections(0, 3, true);
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetOutputChannelConnections(0, 3, true);
  std::vector<float> a = {1, 2}, b = {3, 4}, c = {5, 6};
  float* ins[] = {a.data(), b.data(), c.data()};
  plug.AttachInputBuffers(0, 3, ins, 2);
  std::vector<float> o0(2), o1(2), o2(2);
  float* outs[] = {o0.data(), o1.data(), o2.data()};
  plug.AttachOutputBuffers(0, 3, outs);
  plug.ProcessBuffers(0.0f, 2);
  EXPECT_EQ(o0, a);                            // first pointer to channel 0
  EXPECT_EQ(o1, std::vector<float>(2, 0.0f));  // channel 1 reads its zeroed scratch
  EXPECT_EQ(o2, b);                            // second pointer to channel 2
}

TEST(Buffers, FloatProcessingLeavesUnconnectedOutputsAlone) {
  TestPlug plug("2-2");
  plug.SetBlockSize(2);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> a = {1, 2}, b = {3, 4};
  float* ins[] = {a.data(), b.data()};
  std::vector<float> o0(2, 7.f), o1(2, 7.f);
  float* outs[] = {o0.data(), o1.data()};
  plug.AttachInputBuffers(0, 2, ins, 2);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.SetOutputChannelConnections(1, 1, false);
  plug.ProcessBuffers(0.0f, 2);
  EXPECT_EQ(o0, a);
  EXPECT_EQ(o1, std::vector<float>(2, 7.f));
}

TEST(Buffers, AccumulatingAddsToTheHostBuffer) {
  TestPlug plug("1-1");
  plug.SetBlockSize(2);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> in = {0.5f, 0.25f}, out = {1.f, 1.f};
  float* inPtr = in.data();
  float* outPtr = out.data();
  plug.AttachInputBuffers(0, 1, &inPtr, 2);
  plug.AttachOutputBuffers(0, 1, &outPtr);
  plug.ProcessBuffersAccumulating(0.0f, 2);
  EXPECT_EQ(out, (std::vector<float>{1.5f, 1.25f}));
}

TEST(Buffers, FramesBeyondTheBlockSizeAreNeverTouched) {
  TestPlug plug("1-1");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> in(16, 1.f), out(16, -1.f);
  float* inPtr = in.data();
  float* outPtr = out.data();
  plug.AttachInputBuffers(0, 1, &inPtr, 16);  // would overrun the 4-frame scratch
  plug.AttachOutputBuffers(0, 1, &outPtr);
  plug.ProcessBuffers(0.0f, 16);
  EXPECT_EQ(out[3], 1.f);
  EXPECT_EQ(out[4], -1.f);
}

TEST(Buffers, AnImpossibleBlockSizeKeepsWhatTheBuffersHold) {
  TestPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetBlockSize(0x20000000);  // 4 GiB of doubles per channel: refused
  EXPECT_LE(plug.GetBlockSize(), 4);
  plug.SetInputChannelConnections(0, 2, false);
  plug.SetOutputChannelConnections(0, 2, false);
  plug.ProcessBuffers(0.0, 0x20000000);  // clamped to what the buffers hold
}

TEST(Buffers, ConnectionQueriesOutsideTheListAreFalse) {
  TestPlug plug("2-2");
  plug.SetInputChannelConnections(0, 10, true);  // clipped to the two channels
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsOutChannelConnected(-1));
}

TEST(Labels, ChannelAndBusLabels) {
  TestPlug plug("2-2");
  plug.SetInputLabel(0, "left");
  plug.SetInputLabel(5, "ignored");
  plug.SetOutputLabel(1, nullptr);
  EXPECT_STREQ(plug.GetInputLabel(0), "left");
  EXPECT_STREQ(plug.GetOutputLabel(1), "");
  plug.SetInputBusLabel(2, "no");
  EXPECT_STREQ(plug.GetInputBusLabel(2), "");
  plug.SetInputBusLabel(0, "input");
  plug.SetInputBusLabel(1, "aux input");
  plug.SetInputBusLabel(0, "main input");
  EXPECT_STREQ(plug.GetInputBusLabel(0), "main input");
  EXPECT_STREQ(plug.GetInputBusLabel(1), "aux input");
  plug.SetOutputBusLabel(5, "output");  // appended at position 0 of an empty list
  EXPECT_STREQ(plug.GetOutputBusLabel(0), "output");
}

TEST(Versions, PackingAndText) {
  TestPlug plug("1-1");
  EXPECT_EQ(plug.GetEffectVersion(true), 30201);
  EXPECT_EQ(plug.GetEffectVersion(false), 0x00030201);
  char text[MAX_VERSION_STR_LEN];
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v3.2.1");
  GetVersionStr(-1, text);
  EXPECT_STREQ(text, "v65535.255.255");
  EXPECT_EQ(GetDecimalVersion(3 << 16), 30000);
  plug.SetHost("REAPER64", 0x00060500);
  EXPECT_EQ(plug.GetHost(), 1);
  EXPECT_EQ(plug.GetHostVersion(true), 60500);
  EXPECT_STREQ(plug.GetAPIString(), "AU");
  EXPECT_STREQ(plug.GetArchString(), "x64");
}

TEST(Timing, SamplesPerBeat) {
  TestPlug plug("1-1");
  plug.SetSampleRate(48000.0);
  plug.tempo = 120.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 24000.0);
  plug.tempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

TEST(Parameters, EditorChangesStepInformAndNotify) {
  TestPlug plug("1-1");
  plug.GetParam(0)->InitInt("i", 0, 0, 10);
  plug.SetParameterFromGUI(0, 0.55);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 6.0);
  ASSERT_EQ(plug.informed.size(), 1u);
  EXPECT_EQ(plug.informed[0].normalized, 0.55);  // the caller's value, not the stepped one
  EXPECT_EQ(plug.changed, std::vector<int>{0});
  plug.SetParameterFromGUI(7, 0.5);  // no such parameter: nothing happens
  EXPECT_EQ(plug.informed.size(), 1u);
}

TEST(Parameters, ResetAndDirtyVisitEveryParameterInOrder) {
  TestPlug plug("1-1", 4);
  plug.OnParamReset();
  EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2, 3}));
  plug.GetParam(2)->SetValue(1.0);
  plug.DirtyParameters();
  ASSERT_EQ(plug.informed.size(), 4u);
  EXPECT_EQ(plug.informed[2].idx, 2);
  EXPECT_EQ(plug.informed[2].normalized, 1.0);
}

// An editor without a window that records what the plug-in base asks of it.
class RecordingEditor : public IEditor {
 public:
  explicit RecordingEditor(std::vector<std::string>* log) : mLog(log) {}
  ~RecordingEditor() override { mLog->push_back("deleted"); }
  void SetParameterFromPlug(int idx, double value, bool normalized) override {
    mLog->push_back(std::to_string(idx) + (normalized ? " n " : " v ") + std::to_string(value));
  }
  void PrepDraw() override { mLog->push_back("prep"); }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}

 private:
  std::vector<std::string>* mLog;
};

TEST(Editor, AttachPushesNormalisedValuesThenPrepares) {
  std::vector<std::string> log;
  {
    TestPlug plug("1-1", 2);
    plug.GetParam(1)->InitDouble("g", 0.0, -12.0, 12.0, 0.01);
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);
    plug.AttachGraphics(new RecordingEditor(&log));
    EXPECT_NE(plug.GetGUI(), nullptr);
    plug.RedrawParamControls();
  }
  std::vector<std::string> expected = {"0 n 0.000000", "1 n 0.500000", "prep",
                                       "0 v 0.000000", "1 v 0.000000", "deleted"};
  EXPECT_EQ(log, expected);
}

// A host's change: refused for NaN or an unknown index, else clamped, stored, shown on
// the editor and only then passed to OnParamChange; the host is not told back.
TEST(Editor, HostChangesAreClampedShownThenApplied) {
  struct Case {
    int idx;
    double value;
    bool accepted;
    const char* shown;  // what the editor logs, or nullptr
  };
  const Case cases[] = {
      {1, 3.5, true, "1 v 3.500000"},     {1, 40.0, true, "1 v 12.000000"},
      {1, -40.0, true, "1 v -12.000000"}, {1, std::nan(""), false, nullptr},
      {7, 1.0, false, nullptr},           {-1, 1.0, false, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    TestPlug plug("1-1", 2);
    plug.GetParam(1)->InitDouble("g", 0.0, -12.0, 12.0, 0.01);
    plug.AttachGraphics(new RecordingEditor(&log));
    log.clear();
    EXPECT_EQ(plug.SetParameterFromHost(c.idx, c.value), c.accepted) << c.value;
    EXPECT_EQ(plug.changed, c.accepted ? std::vector<int>{c.idx} : std::vector<int>{});
    EXPECT_TRUE(plug.informed.empty());
    const std::vector<std::string> shown =
        c.shown ? std::vector<std::string>{c.shown} : std::vector<std::string>{};
    EXPECT_EQ(log, shown);
    if (!c.accepted) {
      EXPECT_EQ(plug.GetParam(1)->GetValue(), 0.0);
    }
  }
}

}  // namespace
