// The lock of one session entry. Every export takes it for the whole call, so
// its free path is what a single-threaded host pays on each call: one atomic
// exchange to take it and one release store to give it back.
#pragma once

#include <atomic>

namespace orth {

class SessionLock {
 public:
  void Lock() noexcept {
    if (held_.exchange(true, std::memory_order_acquire)) LockContended();
  }
  void Unlock() noexcept { held_.store(false, std::memory_order_release); }

 private:
  // Another thread holds the session: spin a little (most calls take well
  // under a microsecond), then yield, then nap in growing steps, trying the
  // lock again after each wait. The release store wakes nobody, so a waiter
  // never depends on a wake-up that might be lost.
  void LockContended() noexcept;

  std::atomic<bool> held_{false};
};

}  // namespace orth
