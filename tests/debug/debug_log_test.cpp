// The debug log of a build whose debug level is above 0: one start line,
// written once, in the process's current directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "session/debug_log.h"

namespace {

TEST(DebugLog, StartLineIsWrittenOnceInTheCurrentDirectory) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "orth_debug_log_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  orth::StartDebugLog();
  orth::StartDebugLog();  // the stream stays open: no second line
  fs::current_path(previous);

  std::ifstream in(dir / "lexdbg.log");
  std::stringstream content;
  content << in.rdbuf();
  const std::regex line(
      "Debugging started at [A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] "
      "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] "
      "[0-9]{4}\n");
  EXPECT_TRUE(std::regex_match(content.str(), line)) << content.str();
  in.close();
  // The log stays open until the process ends, and Windows removes no open
  // file: the folder may stay until the next run.
  std::error_code kept;
  fs::remove_all(dir, kept);
}

}  // namespace
