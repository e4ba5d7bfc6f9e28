#include "output/progress_line.h"

#include <cstdio>

#include <unistd.h>

namespace orth::cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto FIRST_DRAW_AFTER = std::chrono::milliseconds(500);
constexpr auto REDRAW_EVERY = std::chrono::milliseconds(200);

}  // namespace

ProgressLine StartProgress(size_t totalFiles) {
  ProgressLine progress;
  progress.enabled = isatty(STDERR_FILENO) == 1;
  progress.totalFiles = totalFiles;
  progress.start = Clock::now();
  progress.lastDrawn = progress.start;
  return progress;
}

void UpdateProgress(ProgressLine& progress, size_t filesDone, uint64_t words) {
  if (!progress.enabled) return;
  const Clock::time_point now = Clock::now();
  if (now - progress.start < FIRST_DRAW_AFTER) return;
  if (progress.shown && now - progress.lastDrawn < REDRAW_EVERY) return;
  const double seconds = std::chrono::duration<double>(now - progress.start).count();
  const double rate = seconds > 0 ? static_cast<double>(words) / seconds : 0.0;
  std::fprintf(stderr, "\r\033[Korthspell: %zu/%zu files, %.0f words/s", filesDone,
               progress.totalFiles, rate);
  std::fflush(stderr);
  progress.shown = true;
  progress.lastDrawn = now;
}

void ClearProgress(ProgressLine& progress) {
  if (!progress.shown) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progress.shown = false;
}

}  // namespace orth::cli
