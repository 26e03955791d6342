#include "OutputPath.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder resolved through its links, then the name: how to compare two names
// when a file does not exist yet.
std::string ResolvedName(const std::string& path) {
  char resolved[PATH_MAX];
  if (!realpath(Folder(path).c_str(), resolved)) return path;
  return std::string(resolved) + "/" + BaseName(path);
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// Temporaries in progress, for the signal handler to remove.  A slot's name is
// complete before it is marked busy and unmarked before the name is reused.
constexpr int kSlots = 8;
char gTempNames[kSlots][PATH_MAX];
std::atomic<bool> gTempBusy[kSlots];
const int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTempsAndDie(int sig) {
  for (int i = 0; i < kSlots; ++i) {
    if (gTempBusy[i].load()) unlink(gTempNames[i]);
  }
  signal(sig, SIG_DFL);
  raise(sig);
}

// Installed once, and only over the default action: a signal the caller ignores
// (nohup) stays ignored.
void InstallCleanupHandlers() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  for (int sig : kCleanupSignals) {
    struct sigaction old = {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction act = {};
    act.sa_handler = RemoveTempsAndDie;
    sigemptyset(&act.sa_mask);
    for (int other : kCleanupSignals)
      sigaddset(&act.sa_mask, other);
    sigaction(sig, &act, nullptr);
  }
}

int ClaimSlot(const std::string& name) {
  if (name.size() >= PATH_MAX) return -1;
  InstallCleanupHandlers();
  for (int i = 0; i < kSlots; ++i) {
    if (gTempBusy[i].load()) continue;
    std::memcpy(gTempNames[i], name.c_str(), name.size() + 1);
    gTempBusy[i].store(true);
    return i;
  }
  return -1;
}

void ReleaseSlot(int slot) {
  if (slot >= 0) gTempBusy[slot].store(false);
}

}  // namespace

bool CheckOutputPath(const std::string& path, std::string* error,
                     const std::vector<std::string>& inputs) {
  if (path.empty()) {
    *error = "the output file name is empty";
    return false;
  }
  if (path.back() == '/') {
    *error = Quoted(path) + " names a folder, not a file";
    return false;
  }
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      *error = Quoted(path) + " exists and is " +
               (S_ISDIR(st.st_mode)    ? "a folder"
                : S_ISLNK(st.st_mode)  ? "a symbolic link"
                : S_ISFIFO(st.st_mode) ? "a FIFO"
                                       : "not a regular file") +
               "; it is left as it is";
      return false;
    }
  } else if (errno != ENOENT) {
    *error = "can't use " + Quoted(path) + ": " + std::strerror(errno);
    return false;
  } else {
    const std::string folder = Folder(path);
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      *error = "can't write " + Quoted(path) + ": there is no folder " + Quoted(folder);
      return false;
    }
  }
  for (const std::string& input : inputs) {
    if (!input.empty() && SameFile(path, input)) {
      *error = Quoted(path) + " is " + (input == path ? "" : Quoted(input) + ", ") +
               "a file this run reads; the output goes to a file of its own";
      return false;
    }
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  const bool hasA = stat(a.c_str(), &sa) == 0, hasB = stat(b.c_str(), &sb) == 0;
  if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  if (hasA != hasB) return false;
  return ResolvedName(a) == ResolvedName(b);
}

OutputFile::~OutputFile() {
  Discard();
}

void OutputFile::Discard() {
  if (mFd >= 0) close(mFd);
  mFd = -1;
  ReleaseSlot(mSlot);
  mSlot = -1;
  if (!mTempPath.empty()) unlink(mTempPath.c_str());
  mTempPath.clear();
}

bool OutputFile::Open(const std::string& path, std::string* error,
                      const std::vector<std::string>& inputs) {
  Discard();
  mPath = path;
  mInputs = inputs;
  if (!CheckOutputPath(path, error, inputs)) return false;
  std::string name = Folder(path) + "/." + BaseName(path) + ".XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  // The signals wait while the temporary is created and registered, so that none
  // can be left behind unregistered.
  sigset_t block, old;
  sigemptyset(&block);
  for (int sig : kCleanupSignals)
    sigaddset(&block, sig);
  sigprocmask(SIG_BLOCK, &block, &old);
  mFd = mkstemp(buf.data());
  const int savedErrno = errno;
  if (mFd >= 0) {
    mTempPath = buf.data();
    mSlot = ClaimSlot(mTempPath);
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  if (mFd < 0) {
    *error = "can't write " + Quoted(path) + ": " + std::strerror(savedErrno);
    return false;
  }
  // mkstemp makes the file private; the result gets a new file's usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(mFd, 0666 & ~mask);
  return true;
}

bool OutputFile::Write(const void* data, size_t size, std::string* error) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(mFd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = "can't write " + Quoted(mPath) + ": " + std::strerror(n < 0 ? errno : ENOSPC);
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (mFd < 0) {
    *error = "can't write " + Quoted(mPath) + ": it was not opened";
    return false;
  }
  const bool synced = fsync(mFd) == 0;
  const int syncErrno = errno;
  const bool closed = close(mFd) == 0;
  mFd = -1;
  if (!synced || !closed) {
    *error = "can't write " + Quoted(mPath) + ": " + std::strerror(synced ? errno : syncErrno);
    Discard();
    return false;
  }
  // The name may have become a link or a folder while the output was made.
  if (!CheckOutputPath(mPath, error, mInputs)) {
    Discard();
    return false;
  }
  if (std::rename(mTempPath.c_str(), mPath.c_str()) != 0) {
    *error = "can't move the output to " + Quoted(mPath) + ": " + std::strerror(errno);
    Discard();
    return false;
  }
  ReleaseSlot(mSlot);
  mSlot = -1;
  mTempPath.clear();
  return true;
}

bool WriteWholeFile(const std::string& path, const void* bytes, size_t size, std::string* error,
                    const std::vector<std::string>& inputs) {
  OutputFile out;
  return out.Open(path, error, inputs) && out.Write(bytes, size, error) && out.Commit(error);
}
