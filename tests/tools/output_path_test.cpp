// The one way the command line writes files: every writer refuses the same names,
// a failed or interrupted write leaves the old file whole and nothing new, and the
// final rename looks at the name once more.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "OutputPath.h"

namespace {

class OutputPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vantrose-out-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    mDir = tmpl;
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf " + mDir).c_str()), 0); }
  std::string Path(const std::string& name) const { return mDir + "/" + name; }
  static std::string Contents(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static bool IsLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }
  // The number of entries in the scratch folder, hidden temporaries included.
  int Count() const {
    int n = 0;
    DIR* d = opendir(mDir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
      n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    if (d) closedir(d);
    return n;
  }
  static int Call(int (*cmd)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(&a[0]);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = cmd(static_cast<int>(argv.size()), argv.data());
    ::testing::internal::GetCapturedStdout();
    sLastError = ::testing::internal::GetCapturedStderr();
    return code;
  }

  std::string mDir;
  static std::string sLastError;
};
std::string OutputPathTest::sLastError;

TEST_F(OutputPathTest, SameFileComparesFilesNotNames) {
  const std::string a = Path("a"), b = Path("b");
  std::ofstream(a) << "a";
  std::ofstream(b) << "b";
  ASSERT_EQ(link(a.c_str(), Path("hard").c_str()), 0);
  ASSERT_EQ(symlink(a.c_str(), Path("soft").c_str()), 0);
  const struct {
    std::string x, y;
    bool same;
  } cases[] = {
      {a, a, true},
      {a, mDir + "/./a", true},
      {a, mDir + "/../" + mDir.substr(mDir.rfind('/') + 1) + "/a", true},
      {a, Path("hard"), true},
      {a, Path("soft"), true},
      {a, b, false},
      {Path("new"), mDir + "/./new", true},
      {Path("new"), Path("other"), false},
      {Path("new"), a, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SameFile(c.x, c.y), c.same) << c.x << " vs " << c.y;
}

// A link planted at the name while the output was being made is not followed or
// replaced: the commit refuses, the link stays and no temporary is left.
TEST_F(OutputPathTest, CommitLooksAtTheNameAgain) {
  const std::string out = Path("out.bin"), victim = Path("victim");
  std::ofstream(victim) << "keep me";
  OutputFile file;
  std::string error;
  ASSERT_TRUE(file.Open(out, &error)) << error;
  ASSERT_TRUE(file.Write("new", 3, &error)) << error;
  ASSERT_EQ(symlink(victim.c_str(), out.c_str()), 0);
  EXPECT_FALSE(file.Commit(&error));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
  EXPECT_TRUE(IsLink(out));
  EXPECT_EQ(Contents(victim), "keep me");
  EXPECT_EQ(Count(), 2);
}

// SIGINT, SIGTERM and SIGHUP during a write remove the temporary, leave the old
// file and end the process with the signal's own status.
TEST_F(OutputPathTest, SignalsRemoveTheTemporary) {
  const std::string out = Path("out.bin");
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    std::ofstream(out, std::ios::trunc) << "old";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      OutputFile file;
      std::string error;
      if (!file.Open(out, &error) || !file.Write("new", 3, &error)) _exit(3);
      raise(sig);
      _exit(4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << ": " << status;
    EXPECT_EQ(Contents(out), "old") << sig;
    EXPECT_EQ(Count(), 1) << sig;
  }
}

// Every command that writes a file refuses the same names and, when the disk fills,
// leaves the earlier file as it was.
struct Writer {
  const char* name;
  std::function<std::vector<std::string>(const std::string& out)> args;
  int (*run)(int, char**);
};

std::vector<Writer> Writers() {
  return {
      {"snapshot",
       [](const std::string& o) {
         return std::vector<std::string>{o, "--resources", VANTROSE_SOURCE_DIR};
       },
       RunSnapshot},
      {"preset save",
       [](const std::string& o) {
         return std::vector<std::string>{"save", o};
       },
       RunPreset},
      {"response --png",
       [](const std::string& o) {
         return std::vector<std::string>{"--png", o, "--csv"};
       },
       RunResponse},
  };
}

TEST_F(OutputPathTest, EveryWriterRefusesTheSameNames) {
  const std::string victim = Path("victim"), link = Path("link"), fifo = Path("fifo");
  std::ofstream(victim) << "keep me";
  ASSERT_EQ(symlink(victim.c_str(), link.c_str()), 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string names[] = {link, fifo, "/dev/null", mDir, Path("absent/x"), Path("x/"), ""};
  for (const Writer& w : Writers()) {
    for (const std::string& name : names) {
      EXPECT_EQ(Call(w.run, w.args(name)), kExitUsage) << w.name << " " << name;
      if (name.empty()) continue;
      EXPECT_NE(sLastError.find("'" + name + "'"), std::string::npos)
          << w.name << ": " << sLastError;
    }
    EXPECT_EQ(Contents(victim), "keep me") << w.name;
    EXPECT_EQ(Count(), 3) << w.name;
  }
  // A snapshot never lands on the artwork it draws from.
  const std::string art = Path("BG.png");
  ASSERT_EQ(std::system(("cp " VANTROSE_SOURCE_DIR "/resources/img/*.png " + mDir).c_str()), 0);
  const std::string artBytes = Contents(art);
  EXPECT_EQ(Call(RunSnapshot, {art, "--resources", mDir}), kExitUsage);
  EXPECT_NE(sLastError.find("a file this run reads"), std::string::npos) << sLastError;
  EXPECT_EQ(Contents(art), artBytes);
}

TEST_F(OutputPathTest, AFullDiskLeavesTheOldFileWhole) {
  const std::string out = Path("out");
  for (const Writer& w : Writers()) {
    std::ofstream(out, std::ios::trunc) << "old";
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;  // smaller than any file these write
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const int code = Call(w.run, w.args(out));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, kExitUsage) << w.name;
    EXPECT_EQ(Contents(out), "old") << w.name;
    EXPECT_EQ(Count(), 1) << w.name;
    // With room, the same command replaces it.
    EXPECT_EQ(Call(w.run, w.args(out)), 0) << w.name << ": " << sLastError;
    EXPECT_NE(Contents(out), "old") << w.name;
  }
}

}  // namespace
