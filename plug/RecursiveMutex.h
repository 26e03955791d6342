#pragma once

#include <mutex>

// A recursive mutex: the thread that holds it may take it again.  The plug-in
// relies on this, since parameter changes taken under the lock call back into
// code that locks again.
class RecursiveMutex {
 public:
  void Enter() { mMutex.lock(); }
  void Leave() { mMutex.unlock(); }
  bool TryEnter() { return mMutex.try_lock(); }

  // Holds the mutex for the lifetime of the object.
  class ScopedLock {
   public:
    explicit ScopedLock(RecursiveMutex& m) : mMutex(m) { mMutex.Enter(); }
    ~ScopedLock() { mMutex.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

   private:
    RecursiveMutex& mMutex;
  };

 private:
  std::recursive_mutex mMutex;
};
