#include "OutputPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

}  // namespace

bool CheckOutputPath(const std::string& path, std::string* error) {
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
    if (S_ISREG(st.st_mode)) return true;
    *error = Quoted(path) + " exists and is " +
             (S_ISDIR(st.st_mode)   ? "a folder"
              : S_ISLNK(st.st_mode) ? "a symbolic link"
                                    : "not a regular file") +
             "; it is left as it is";
    return false;
  }
  if (errno != ENOENT) {
    *error = "can't use " + Quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  const std::string folder = Folder(path);
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = "can't write " + Quoted(path) + ": there is no folder " + Quoted(folder);
    return false;
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

int CreateTempBeside(const std::string& path, std::string* tempPath, std::string* error) {
  std::string name = Folder(path) + "/." + BaseName(path) + ".XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  const int fd = mkstemp(buf.data());
  if (fd < 0) {
    *error = "can't write " + Quoted(path) + ": " + std::strerror(errno);
    return -1;
  }
  // mkstemp makes the file private; the result gets a new file's usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  *tempPath = buf.data();
  return fd;
}

bool MoveIntoPlace(const std::string& tempPath, const std::string& path, std::string* error) {
  if (!CheckOutputPath(path, error)) return false;
  if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
    *error = "can't move the output to " + Quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error) {
  if (!CheckOutputPath(path, error)) return false;
  std::string temp;
  const int fd = CreateTempBeside(path, &temp, error);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == text.size() && fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    *error = "can't write " + Quoted(path) + ": " + std::strerror(written ? errno : savedErrno);
    unlink(temp.c_str());
    return false;
  }
  if (!MoveIntoPlace(temp, path, error)) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}
