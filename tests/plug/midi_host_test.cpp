// MIDI message records, host identification, time stamps and the interval timer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

#include "Hosts.h"
#include "Log.h"
#include "StatePlug.h"
#include "StrBuf.h"

namespace {

// ---- MIDI ----

struct PitchCase {
  double value;
  int data1, data2;
};

class PitchWheel : public ::testing::TestWithParam<PitchCase> {};

TEST_P(PitchWheel, MapsOntoTheFourteenBitRangeAndHoldsAtItsEnds) {
  const PitchCase& c = GetParam();
  IMidiMsg msg(77, 1, 2, 3);
  msg.MakePitchWheelMsg(c.value, 2);
  EXPECT_EQ(msg.mStatus, 0xE2);
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mData1, c.data1);
  EXPECT_EQ(msg.mData2, c.data2);
}

INSTANTIATE_TEST_SUITE_P(Limits, PitchWheel,
                         ::testing::Values(PitchCase{0.0, 0, 64}, PitchCase{1.0, 127, 127},
                                           PitchCase{-1.0, 0, 0}, PitchCase{-2.0, 0, 0},
                                           PitchCase{5.0, 127, 127}, PitchCase{0.5, 0, 96},
                                           PitchCase{1e300, 127, 127}, PitchCase{-1e300, 0, 0}));

TEST(Midi, PitchWheelDecodesToMinusOneUpToJustBelowOne) {
  IMidiMsg centre(0, 0xE0, 0, 64), top(0, 0xE5, 127, 127), bottom(0, 0xE0, 0, 0);
  EXPECT_EQ(centre.PitchWheel(), 0.0);
  EXPECT_EQ(top.PitchWheel(), 8191.0 / 8192.0);
  EXPECT_EQ(bottom.PitchWheel(), -1.0);
  IMidiMsg noteOn(0, 0x90, 0, 64);
  EXPECT_EQ(noteOn.PitchWheel(), 0.0);
}

TEST(Midi, NoteMessagesCarryChannelNoteVelocityAndOffset) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 17, 3);
  EXPECT_EQ(msg.mStatus, 0x93);
  EXPECT_EQ(msg.Channel(), 3);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.NoteNumber(), 60);
  EXPECT_EQ(msg.Velocity(), 100);
  EXPECT_EQ(msg.mOffset, 17);
  msg.MakeNoteOffMsg(61, 5, 15);
  EXPECT_EQ(msg.mStatus, 0x8F);
  EXPECT_EQ(msg.NoteNumber(), 61);
  EXPECT_EQ(msg.Velocity(), 0);
  EXPECT_EQ(msg.mOffset, 5);
}

TEST(Midi, ChannelsBeyondFifteenDoNotChangeTheMessageKind) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 0, 16);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.Channel(), 0);
}

TEST(Midi, ControlChangeScalesZeroToOneAndHoldsOutsideIt) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 1.0, 1);
  EXPECT_EQ(msg.mStatus, 0xB1);
  EXPECT_EQ(msg.ControlChangeIdx(), IMidiMsg::kPan);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kPan), 1.0);
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kChannelVolume), -1.0);
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.5);
  EXPECT_EQ(msg.mData2, 63);  // 63.5 truncated
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 2.0);
  EXPECT_EQ(msg.mData2, 127);
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, -1.0);
  EXPECT_EQ(msg.mData2, 0);
}

struct DecodeCase {
  unsigned char status, data1, data2;
  IMidiMsg::EStatusMsg kind;
  int note, velocity, polyAT, channelAT, program;
};

class MidiDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(MidiDecode, AnswersOnlyForItsOwnKind) {
  const DecodeCase& c = GetParam();
  IMidiMsg msg(0, c.status, c.data1, c.data2);
  EXPECT_EQ(msg.StatusMsg(), c.kind);
  EXPECT_EQ(msg.NoteNumber(), c.note);
  EXPECT_EQ(msg.Velocity(), c.velocity);
  EXPECT_EQ(msg.PolyAfterTouch(), c.polyAT);
  EXPECT_EQ(msg.ChannelAfterTouch(), c.channelAT);
  EXPECT_EQ(msg.Program(), c.program);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MidiDecode,
    ::testing::Values(DecodeCase{0xA4, 40, 90, IMidiMsg::kPolyAftertouch, 40, -1, 90, -1, -1},
                      DecodeCase{0xB0, 7, 90, IMidiMsg::kControlChange, -1, -1, -1, -1, -1},
                      DecodeCase{0xC9, 12, 0, IMidiMsg::kProgramChange, -1, -1, -1, -1, 12},
                      DecodeCase{0xD0, 33, 0, IMidiMsg::kChannelAftertouch, -1, -1, -1, 33, -1},
                      DecodeCase{0xF0, 1, 2, IMidiMsg::kNone, -1, -1, -1, -1, -1},
                      DecodeCase{0x45, 1, 2, IMidiMsg::kNone, -1, -1, -1, -1, -1}));

TEST(Midi, StatusTextsNameTheKindsAndNothingElse) {
  const char* expected[16] = {
      "none",          "unknown",           "unknown",    "unknown", "unknown",    "unknown",
      "unknown",       "unknown",           "noteoff",    "noteon",  "aftertouch", "controlchange",
      "programchange", "channelaftertouch", "pitchwheel", "unknown"};
  for (int i = 0; i < 16; ++i) {
    EXPECT_STREQ(IMidiMsg::StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(i)), expected[i]) << i;
  }
}

TEST(Midi, ClearEmptiesBothRecords) {
  IMidiMsg msg(5, 0x90, 1, 2);
  msg.Clear();
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mStatus | msg.mData1 | msg.mData2, 0);
  unsigned char data[2] = {0xF0, 0xF7};
  ISysEx sysex(3, data, 2);
  sysex.Clear();
  EXPECT_EQ(sysex.mOffset, 0);
  EXPECT_EQ(sysex.mSize, 0);
  EXPECT_EQ(sysex.mData, nullptr);
}

TEST(SysExText, WritesWholeBytesThatFitAndNoTrailingSpace) {
  const unsigned char data[5] = {0xF0, 0x7E, 0x00, 0x01, 0xF7};
  char out[12];
  std::memset(out, '#', sizeof(out));
  SysExStr(out, 9, data, 5);
  EXPECT_STREQ(out, "F0 7E 00");
  EXPECT_EQ(out[9], '#');  // nothing past maxLength
  SysExStr(out, 12, data, 2);
  EXPECT_STREQ(out, "F0 7E");
  SysExStr(out, 12, data, 0);
  EXPECT_STREQ(out, "");
  SysExStr(out, 12, nullptr, 5);
  EXPECT_STREQ(out, "");
  SysExStr(out, 2, data, 5);
  EXPECT_STREQ(out, "");
}

TEST(Midi, SendMidiMsgsSendsEveryMessageEvenAfterAFailure) {
  StatePlug plug;
  TypedBuf<IMidiMsg> msgs;
  msgs.Add(IMidiMsg(0, 0x90, 60, 1));
  msgs.Add(IMidiMsg(1, 0x90, 0xFF, 1));  // this send fails
  msgs.Add(IMidiMsg(2, 0x80, 60, 0));
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(plug.mMidiSent, 3);
  msgs.Resize(1);
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));
}

// ---- Host identification ----

struct HostCase {
  const char* name;
  EHost host;
};

class HostLookUp : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostLookUp, FindsTheFirstSubstringInItsFixedOrder) {
  EXPECT_EQ(LookUpHost(GetParam().name), GetParam().host) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostLookUp,
    ::testing::Values(
        HostCase{"Cubase 12", kHostCubase}, HostCase{"REAPER64", kHostReaper},
        HostCase{"Ableton Live 11", kHostAbletonLive}, HostCase{"Pro Tools", kHostUnknown},
        HostCase{"", kHostUnknown}, HostCase{nullptr, kHostUnknown},
        HostCase{"ProTools", kHostProTools}, HostCase{"Nuendo with Cubase inside", kHostCubase},
        HostCase{"deliver", kHostAbletonLive},  // "live" inside a word
        HostCase{"Cakewalk SONAR", kHostSonar}, HostCase{"FRUITY", kHostFL},
        HostCase{"Samplitude", kHostSamplitude}, HostCase{"Melodyne", kHostMelodyneStudio},
        HostCase{"vstmanlib", kHostVSTScanner}, HostCase{"AULab", kHostAULab},
        HostCase{"GarageBand", kHostGarageBand}, HostCase{"Forte", kHostForte},
        HostCase{"Chainer", kHostChainer}, HostCase{"Audition", kHostAudition},
        HostCase{"Orion", kHostOrion}, HostCase{"SAWStudio", kHostSAWStudio},
        HostCase{"Logic Pro", kHostLogic}, HostCase{"Digital Performer", kHostDigitalPerformer},
        HostCase{"AudioMulch", kHostAudioMulch}, HostCase{"PreSonus Studio One", kHostStudioOne},
        HostCase{"VST3PluginTestHost", kHostVST3TestHost}, HostCase{"Ardour", kHostArdour},
        HostCase{"OpenMPT", kHostOpenMPT}, HostCase{"Renoise", kHostRenoise},
        HostCase{"Standalone", kHostStandalone},
        // earlier entries win over later ones
        HostCase{"Logic in GarageBand", kHostGarageBand}, HostCase{"Live Logic", kHostAbletonLive},
        HostCase{"Renoise OpenMPT", kHostOpenMPT}));

TEST(HostLookUpLength, ReadsOnlyTheFirst255CharactersOfAName) {
  std::string name(300, 'x');
  name.replace(250, 6, "reaper");  // chars 250..255: cut after its fifth letter
  EXPECT_EQ(LookUpHost(name.c_str()), kHostUnknown);
  name.replace(240, 6, "ardour");
  EXPECT_EQ(LookUpHost(name.c_str()), kHostArdour);
}

TEST(HostName, IsWrittenForEveryValueAndUnknownOtherwise) {
  const struct {
    EHost host;
    const char* name;
  } cases[] = {{-1, "Unknown"},
               {0, "Unknown"},
               {1, "Reaper"},
               {2, "ProTools"},
               {3, "Cubase"},
               {4, "Nuendo"},
               {5, "Sonar"},
               {6, "Vegas"},
               {7, "FLStudio"},
               {8, "Samplitude"},
               {9, "Live"},
               {10, "Unknown"},
               {11, "Unknown"},
               {12, "Unknown"},
               {13, "VSTScanner"},
               {14, "AULab"},
               {15, "Forte"},
               {16, "Chainer"},
               {17, "Audition"},
               {18, "Orion"},
               {19, "Unknown"},
               {20, "SAWStudio"},
               {21, "Logic"},
               {22, "GarageBand"},
               {23, "DigitalPerformer"},
               {24, "Standalone"},
               {25, "AudioMulch"},
               {26, "StudioOne"},
               {27, "VST3PluginTestHost"},
               {28, "Ardour"},
               {29, "Renoise"},
               {30, "OpenMPT"},
               {31, "Unknown"}};
  for (const auto& c : cases) {
    char out[MAX_HOST_NAME_STR_LEN];
    GetHostNameStr(c.host, out);
    EXPECT_STREQ(out, c.name) << c.host;
  }
}

TEST(HostText, LowerCaseAndWhitespace) {
  char out[16];
  ToLower(out, "MiXeD 12!");
  EXPECT_STREQ(out, "mixed 12!");
  for (char c : {'\t', '\n', '\r', ' '})
    EXPECT_TRUE(IsWhitespace(c)) << int(c);
  for (char c : {'\v', '\f', 'a', '\0'})
    EXPECT_FALSE(IsWhitespace(c)) << int(c);
}

TEST(HostText, SetHostIdentifiesTheHost) {
  StatePlug plug;
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  plug.SetHost("Logic Pro X", 0x000A0402);
  EXPECT_EQ(plug.GetHost(), kHostLogic);
  EXPECT_EQ(plug.GetHostVersion(true), 100402);
}

// ---- Diagnostics ----

TEST(Timestamp, CompileTimestampKeepsMonthDayAndMinutes) {
  StrBuf out;
  CompileTimestamp("Dec  7 2026", "12:34:56", &out);
  EXPECT_STREQ(out.Get(), "[Dec 7 12:34]");
  CompileTimestamp("Nov 23 2026", "01:02:03", &out);
  EXPECT_STREQ(out.Get(), "[Nov23 01:02]");  // a two-digit day loses the space instead
  CompileTimestamp("", "", &out);
  EXPECT_STREQ(out.Get(), "[ ]");
  EXPECT_STREQ(AppendTimestamp("Dec  7 2026", "12:34:56", "Vantrose"), "Vantrose [Dec 7 12:34]");
}

// Sets TZ for one test and puts the old value back.
class WithTimeZone {
 public:
  explicit WithTimeZone(const char* tz) {
    const char* old = std::getenv("TZ");
    mHadOld = old != nullptr;
    if (old) mOld = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~WithTimeZone() {
    if (mHadOld) {
      setenv("TZ", mOld.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool mHadOld = false;
  std::string mOld;
};

struct ZoneCase {
  const char* tz;
  const char* offset;
};

class CurrentTimeZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(CurrentTimeZone, EndsWithTheOffsetFromUtc) {
  WithTimeZone zone(GetParam().tz);
  std::string text = CurrentTime();
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{8} \d\d:\d\d [+-]\d{4})"))) << text;
  EXPECT_EQ(text.substr(text.size() - 5), GetParam().offset) << text;
}

INSTANTIATE_TEST_SUITE_P(Zones, CurrentTimeZone,
                         ::testing::Values(ZoneCase{"UTC0", "+0000"}, ZoneCase{"XST5", "-0500"},
                                           ZoneCase{"XST-5:30", "+0530"},
                                           ZoneCase{"XST-14", "+1400"},
                                           ZoneCase{"XST11", "-1100"}));

TEST(SystemVersion, PacksMajorAsDecimalDigitsAndTheRestAsNibbles) {
  EXPECT_EQ(PackSystemVersion("10.6.8"), 0x1068);
  EXPECT_EQ(PackSystemVersion("6.1.0-18-amd64"), 0x0610);
  EXPECT_EQ(PackSystemVersion("5.19.27"), 0x05FF);
  EXPECT_EQ(PackSystemVersion("14"), 0x1400);
  EXPECT_EQ(PackSystemVersion(""), 0);
  EXPECT_EQ(PackSystemVersion(nullptr), 0);
  EXPECT_GT(GetSystemVersion(), 0);
}

TEST(Timer, FiresOnceTheIntervalHasPassedThenRestarts) {
  Timer timer;
  EXPECT_FALSE(timer.Every(1000.0));
  // Burn processor time until a 2000-tick interval has passed.
  std::clock_t start = std::clock();
  volatile double sink = 0.0;
  while (std::clock() - start <= 2500)
    sink = sink + 1.0;
  EXPECT_TRUE(timer.Every(0.002));
  EXPECT_FALSE(timer.Every(0.002));  // restarted
  EXPECT_TRUE(timer.Every(-1.0));
}

TEST(Trace, DoesNothingAndNamesNoCodes) {
  Trace("fn", 1, "%s %d", "x", 2);
  EXPECT_STREQ(VSTOpcodeStr(1), "");
  EXPECT_STREQ(AUSelectStr(1), "");
  EXPECT_STREQ(AUPropertyStr(1), "");
  EXPECT_STREQ(AUScopeStr(1), "");
}

}  // namespace
