#include "session/debug_log.h"

#include <cstdio>
#include <ctime>
#include <mutex>

#include "session/platform_time.h"

#ifndef ORTH_DEBUG_LEVEL
#define ORTH_DEBUG_LEVEL 0
#endif

namespace orth {
namespace {

constexpr int debugLevel = ORTH_DEBUG_LEVEL;

}  // namespace

void StartDebugLog() {
  if constexpr (debugLevel <= 0) {
    return;
  } else {
    // Opened once and kept open until the process ends; sessions opened on
    // several threads at once start it one at a time.
    static std::mutex logLock;
    const std::lock_guard<std::mutex> guard(logLock);
    static std::FILE* debugLog = nullptr;
    if (debugLog != nullptr) return;
    debugLog = std::fopen("lexdbg.log", "ab");  // "\n" line ends everywhere
    if (debugLog == nullptr) return;
    // asctime's layout: "Www Mmm dd hh:mm:ss yyyy", day padded with a space.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    LocalCalendarTime(now, local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%s %s %2d %02d:%02d:%02d %04d", kDays[local.tm_wday % 7],
                  kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                  local.tm_sec, local.tm_year + 1900);
    std::fprintf(debugLog, "Debugging started at %s\n", stamp);
    std::fflush(debugLog);
  }
}

}  // namespace orth
