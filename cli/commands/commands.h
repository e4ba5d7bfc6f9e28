// The subcommands of orthspell. Each takes the arguments after its name and
// returns the process exit status: 0 success, 1 failure, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace orth::cli {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1;
inline constexpr int EXIT_USAGE = 2;
// A subcommand's argument parsing printed its help: stop with success.
inline constexpr int SHOWN_HELP = -1;

int RunCompile(const std::vector<std::string>& args);
int RunDump(const std::vector<std::string>& args);
int RunDicts(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunList(const std::vector<std::string>& args);
int RunSuggest(const std::vector<std::string>& args);
int RunSoundsLike(const std::vector<std::string>& args);
int RunAdd(const std::vector<std::string>& args);
int RunPipe(const std::vector<std::string>& args);
int RunFix(const std::vector<std::string>& args);
int RunLsp(const std::vector<std::string>& args);

// Prints "orthspell <command>: <message>" on stderr.
void ReportError(const char* command, const std::string& message);

}  // namespace orth::cli
