// The command lines of orthspell's subcommands, parsed with CLI11: the options
// every checking subcommand shares, the suggestion options and the document
// options, and one way of turning parse errors into orthspell's one-line
// messages. Each subcommand keeps its own manual-page help text.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "check/document_checker.h"
#include "commands/common_options.h"
#include "document/document_format.h"

namespace orth::cli {

// What --mode, --no-skip and the format options ask for.
struct DocumentOptions {
  std::string mode;                      // empty: by file name and content (stdin: text)
  std::vector<std::string> noSkip;       // --no-skip KIND[,KIND...]
  std::vector<std::string> texCommands;  // --tex-command NAME:ARGS
  bool texComments = false;              // --tex-comments

  // Resolved by ResolveDocumentOptions.
  const DocumentFormat* format = nullptr;  // the --mode format, or null
  FormatOptions formatOptions;
  uint32_t skipKinds = 0;  // NonWordKind bits that stay skipped
};

// A subcommand's command line: the CLI11 app with -h/--help, which prints
// `help` instead of CLI11's own, with the common options' lines in place of
// "%s" (and "%%" read as "%").
struct CommandLine {
  CommandLine(const char* command, std::string help);
  CLI::App app;
  const char* command;
  std::string help;
  bool helpAsked = false;
};

// Adds -d, -p, --replacements, --ignore-caps, --ignore-mixed,
// --ignore-non-alpha, --no-doubled, --tech-words and --no-tech-words.
void AddCommonOptions(CommandLine& line, CommonOptions& options);

// Adds --max, --classic and --level. Their values are checked by
// FinishSuggestionOptions.
struct SuggestionArgs {
  std::string max;
  std::string level;
  bool classic = false;
};
void AddSuggestionOptions(CommandLine& line, SuggestionArgs& args);
bool FinishSuggestionOptions(const CommandLine& line, const SuggestionArgs& args,
                             SuggestionOptions& options);

// Adds --mode, --no-skip, --tex-command and --tex-comments.
void AddDocumentOptions(CommandLine& line, DocumentOptions& options);
bool ResolveDocumentOptions(const CommandLine& line, DocumentOptions& options);

// The help lines of --mode and friends, for the subcommands' help texts.
std::string DocumentOptionsHelp();

// The check policy the options ask for.
CheckPolicy MakeCheckPolicy(const CommonOptions& common, const DocumentOptions& documents);

enum class ParseOutcome { GO_ON, SHOWN_HELP, FAILED };

// Parses `args`; on an error prints "orthspell COMMAND: message" on stderr.
ParseOutcome ParseCommandLine(CommandLine& line, const std::vector<std::string>& args);

// The same as a status: EXIT_OK to go on, SHOWN_HELP, or EXIT_USAGE.
int ParseArguments(CommandLine& line, const std::vector<std::string>& args);

}  // namespace orth::cli
