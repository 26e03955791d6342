// vantrose preset save / show, and the program files that process --preset reads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "PresetFile.h"
#include "StatePlug.h"

namespace {

struct Result {
  int code;
  std::string out, err;
};

Result RunPresetCommand(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int code = RunPreset(static_cast<int>(argv.size()), argv.data());
  return {code, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
}

std::string Temp(const char* name) {
  return ::testing::TempDir() + std::to_string(getpid()) + "_" + "vantrose_cli_" + name;
}

void WriteBytes(const std::string& path, const ByteChunk& data) {
  ASSERT_EQ(WriteFxFile(path.c_str(), data), kFxOK);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PresetCommand, SaveThenShowThenLoadGivesTheSettings) {
  std::string path = Temp("warm.fxp");
  Result save = RunPresetCommand({"save", path, "--set", "Gain=-3", "--set", "Bell=1", "--set",
                                  "1=0.3", "--name", "a warm program with a long long name"});
  ASSERT_EQ(save.code, 0) << save.err;
  EXPECT_TRUE(Contains(save.out, "the name was cut from 36 to 27 bytes")) << save.out;

  Result show = RunPresetCommand({"show", path});
  ASSERT_EQ(show.code, 0) << show.err;
  EXPECT_TRUE(Contains(show.out, "program \"a warm program with a long \"")) << show.out;
  EXPECT_TRUE(Contains(show.out, "'Vnt1'")) << show.out;
  EXPECT_TRUE(Contains(show.out, "Gain      -3.000000  -3.00 %")) << show.out;
  EXPECT_TRUE(Contains(show.out, "Bell       1.000000  1")) << show.out;

  std::vector<ParamSetting> settings;
  std::string error;
  ASSERT_TRUE(ProgramFileSettings(path.c_str(), &settings, &error)) << error;
  ASSERT_EQ(settings.size(), 15u);
  EXPECT_EQ(settings[10].idx, 10);
  EXPECT_EQ(settings[10].value, -3.0);
  EXPECT_EQ(settings[11].value, 1.0);
  EXPECT_NEAR(settings[1].value, 0.3, 1e-6);
  EXPECT_NEAR(settings[0].value, 0.5, 1e-6);
  std::remove(path.c_str());
}

// Control characters and invalid UTF-8 in a name reach the terminal escaped, never
// raw; valid UTF-8 is shown as it is, and a cut never splits a character.
TEST(PresetCommand, NamesReachTheTerminalEscaped) {
  const struct {
    const char* name;
    const char* shown;
  } cases[] = {
      {"a\x1b[2Jb\tc\x7f", "\"a\\x1B[2Jb\\x09c\\x7F\""},
      {"bad \xff\xc3( \xe2\x82 \xc0\xaf \xed\xa0\x80",
       "\"bad \\xFF\\xC3( \\xE2\\x82 \\xC0\\xAF \\xED\\xA0\\x80\""},
      {"C1 \xc2\x9b"
       "2J, caf\xc3\xa9 \xe2\x82\xac",
       "\"C1 \\xC2\\x9B2J, caf\xc3\xa9 \xe2\x82\xac\""},
      {"abcdefghijklmnopqrstuvwxy\xe2\x82\xac", "\"abcdefghijklmnopqrstuvwxy\""},  // 28 bytes
  };
  std::string path = Temp("names.fxp");
  for (const auto& c : cases) {
    Result save = RunPresetCommand({"save", path, "--name", c.name});
    ASSERT_EQ(save.code, 0) << save.err;
    Result show = RunPresetCommand({"show", path});
    for (const std::string& out : {save.out, show.out}) {
      EXPECT_TRUE(Contains(out, c.shown)) << out;
      EXPECT_EQ(out.find_first_of("\x1b\x7f\xff"), std::string::npos) << out;
    }
  }
  std::remove(path.c_str());
}

TEST(PresetCommand, ShowListsEveryProgramOfABank) {
  std::unique_ptr<IPluginAU> fx(static_cast<IPluginAU*>(MakePlug(nullptr)));
  fx->ModifyCurrentPreset("bank program");
  ByteChunk bank;
  ASSERT_TRUE(fx->MakeBankFile(&bank));
  std::string path = Temp("bank.fxb");
  WriteBytes(path, bank);
  Result show = RunPresetCommand({"show", path});
  EXPECT_EQ(show.code, 0) << show.err;
  EXPECT_TRUE(Contains(show.out, "bank file")) << show.out;
  EXPECT_TRUE(Contains(show.out, "1 programs, current program 0")) << show.out;
  EXPECT_TRUE(Contains(show.out, "program 0 \"bank program\"")) << show.out;
  std::remove(path.c_str());
}

struct Refusal {
  const char* what;
  int keep;      // bytes of a good program file kept (-1: all)
  int idOffset;  // where a foreign id is written (-1: none)
  bool chunkForm;
  const char* message;
};

class PresetRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(PresetRefusal, ExitsWithTwoAndSaysWhy) {
  const Refusal& c = GetParam();
  ByteChunk file;
  if (c.chunkForm) {
    StatePlug chunky(true, 1, VantroseIdentity::kUniqueID);
    chunky.MakeProgramFile(&file);
  } else {
    std::unique_ptr<IPluginAU> fx(static_cast<IPluginAU*>(MakePlug(nullptr)));
    fx->MakeProgramFile(&file);
  }
  if (c.idOffset >= 0) std::memcpy(file.GetBytes() + c.idOffset, "Othr", 4);
  if (c.keep >= 0) file.Resize(c.keep);
  std::string path = Temp("bad.fxp");
  WriteBytes(path, file);

  Result show = RunPresetCommand({"show", path});
  EXPECT_EQ(show.code, kExitUsage) << c.what;
  EXPECT_TRUE(Contains(show.err, "vantrose preset: " + path + ": ")) << c.what << ": " << show.err;
  EXPECT_TRUE(Contains(show.err, c.message)) << c.what << ": " << show.err;
  std::vector<ParamSetting> settings;
  std::string error;
  EXPECT_FALSE(ProgramFileSettings(path.c_str(), &settings, &error)) << c.what;
  EXPECT_TRUE(settings.empty()) << c.what;
  EXPECT_TRUE(Contains(error, c.message)) << c.what << ": " << error;
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PresetRefusal,
    ::testing::Values(Refusal{"cut in the values", 80, -1, false,
                              "shorter than the values it announces"},
                      Refusal{"cut in the header", 30, -1, false, "shorter than its header"},
                      Refusal{"foreign", -1, 16, false, "belongs to another plug-in"},
                      Refusal{"not a program file", -1, 0, false, "not a program or bank file"},
                      Refusal{"chunk form", -1, -1, true, "does not load chunks"}));

TEST(PresetCommand, BadUsageExitsWithTwo) {
  EXPECT_EQ(RunPresetCommand({}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"load", "x"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"save"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"save", "a.fxp", "b.fxp"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"save", "a.fxp", "--set", "Gain=40"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"save", "a.fxp", "--set", "Nope=1"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"save", "a.fxp", "--name"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"show"}).code, kExitUsage);
  EXPECT_EQ(RunPresetCommand({"show", Temp("missing.fxp")}).code, kExitUsage);
  Result unwritable = RunPresetCommand({"save", "/nonexistent-dir/a.fxp"});
  EXPECT_EQ(unwritable.code, kExitUsage);
  EXPECT_TRUE(Contains(unwritable.err, "there is no folder '/nonexistent-dir'")) << unwritable.err;
}

}  // namespace
