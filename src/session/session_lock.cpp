#include "session/session_lock.h"

#include <chrono>
#include <thread>

namespace orth {
namespace {

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

}  // namespace

void SessionLock::LockContended() noexcept {
  constexpr int kSpins = 200;
  constexpr int kYields = 50;
  constexpr auto kLongestNap = std::chrono::microseconds(200);
  auto nap = std::chrono::microseconds(1);
  for (int attempt = 0;; ++attempt) {
    // Read before writing, so that waiters do not keep stealing the cache
    // line from the thread that holds the lock.
    if (!held_.load(std::memory_order_relaxed) &&
        !held_.exchange(true, std::memory_order_acquire)) {
      return;
    }
    if (attempt < kSpins) {
      CpuRelax();
    } else if (attempt < kSpins + kYields) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(nap);
      if (nap < kLongestNap) nap *= 2;
    }
  }
}

}  // namespace orth
