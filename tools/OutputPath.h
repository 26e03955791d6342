#pragma once

// The one way the command line writes a file: the name is judged before any work is
// done, the bytes go to a temporary created exclusively beside it, are synced to disk
// and only then renamed over the name.  A failed write, a refusal or an interrupting
// signal leaves nothing new, and any earlier file under that name intact.
#include <cstddef>
#include <string>
#include <vector>

// False, with a message, for an empty name, a name ending in '/', a folder that does
// not exist, an existing entry that is not a regular file (a folder, a symbolic link,
// a device node, a FIFO, ...), or a name that is one of inputs (the files the same
// run reads).
bool CheckOutputPath(const std::string& path, std::string* error,
                     const std::vector<std::string>& inputs = {});

// True when a and b name the same file: the same device and inode where both exist,
// otherwise the same name within the same (resolved) folder.
bool SameFile(const std::string& a, const std::string& b);

class OutputFile {
 public:
  OutputFile() = default;
  // Removes the temporary unless Commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Checks path (see CheckOutputPath) and creates the temporary beside it, with the
  // permissions a new file gets.  The temporary is removed if SIGINT, SIGTERM or
  // SIGHUP ends the process before the commit.
  bool Open(const std::string& path, std::string* error,
            const std::vector<std::string>& inputs = {});
  // The temporary's descriptor, for writers that want it (-1 when not open).
  int Descriptor() const { return mFd; }
  bool Write(const void* data, size_t size, std::string* error);
  // Syncs and closes the temporary, checks path once more (it may have changed since
  // Open) and renames the temporary over it.  On failure nothing new is left.
  bool Commit(std::string* error);
  // Drops the temporary; path is left as it was.
  void Discard();

  const std::string& Path() const { return mPath; }
  const std::string& TempPath() const { return mTempPath; }

 private:
  int mFd = -1;
  int mSlot = -1;
  std::string mPath, mTempPath;
  std::vector<std::string> mInputs;
};

// Writes the whole of bytes to path through an OutputFile.
bool WriteWholeFile(const std::string& path, const void* bytes, size_t size, std::string* error,
                    const std::vector<std::string>& inputs = {});
inline bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error,
                           const std::vector<std::string>& inputs = {}) {
  return WriteWholeFile(path, text.data(), text.size(), error, inputs);
}
