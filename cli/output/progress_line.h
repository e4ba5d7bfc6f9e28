// The progress line of long runs: files done and words per second, redrawn
// in place on stderr, and only when stderr is a terminal (never in a pipe or
// a log file).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace orth::cli {

struct ProgressLine {
  bool enabled = false;  // stderr is a terminal
  bool shown = false;    // a line is on the screen now
  size_t totalFiles = 0;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point lastDrawn;
};

// Starts timing; the line appears only once a run has taken half a second.
ProgressLine StartProgress(size_t totalFiles);

// Redraws the line (at most a few times a second).
void UpdateProgress(ProgressLine& progress, size_t filesDone, uint64_t words);

// Erases the line, before other output goes to the terminal or at the end.
void ClearProgress(ProgressLine& progress);

}  // namespace orth::cli
