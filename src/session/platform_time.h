// The local calendar time, from the thread-safe call each platform has.
#pragma once

#include <ctime>

namespace orth {

inline bool LocalCalendarTime(std::time_t when, std::tm& out) {
#if defined(_WIN32)
  return localtime_s(&out, &when) == 0;
#else
  return localtime_r(&when, &out) != nullptr;
#endif
}

}  // namespace orth
