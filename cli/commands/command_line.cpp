#include "commands/command_line.h"

#include <algorithm>
#include <cstdio>

#include "check/non_words.h"
#include "check/word_lookup.h"
#include "commands/commands.h"
#include "orth.h"

namespace orth::cli {

namespace {

// The option a CLI11 message names: "--max: 1 required TEXT missing" gives
// "--max".
std::string OptionNamed(const std::string& message) {
  const size_t colon = message.find(':');
  return colon == std::string::npos ? message : message.substr(0, colon);
}

// The argument of "The following argument was not expected: --bogus".
std::string Unexpected(const std::string& message) {
  const size_t colon = message.rfind(": ");
  std::string arguments = colon == std::string::npos ? message : message.substr(colon + 2);
  const size_t space = arguments.find(' ');
  return space == std::string::npos ? arguments : arguments.substr(0, space);
}

}  // namespace

CommandLine::CommandLine(const char* name, std::string helpText)
    : app(std::string("orthspell ") + name), command(name), help(std::move(helpText)) {
  app.set_help_flag();
  app.add_flag("-h,--help", helpAsked);
  app.allow_extras(false);
  // Options may come after the files, as they always could.
  app.positionals_at_end(false);
}

void AddCommonOptions(CommandLine& line, CommonOptions& options) {
  line.app.add_option("-d,--dict", options.dictionaries)->allow_extra_args(false);
  line.app.add_option("-p,--personal", options.personalList);
  line.app.add_option("--replacements", options.replacementList);
  line.app.add_flag("--ignore-caps", options.ignoreCaps);
  line.app.add_flag("--ignore-mixed", options.ignoreMixed);
  line.app.add_flag("--ignore-non-alpha", options.ignoreNonAlpha);
  line.app.add_flag("--no-doubled", options.noDoubled);
  line.app.add_flag("--ignore-case-rules", options.ignoreCaseRules);
  CLI::Option* always = line.app.add_flag_callback(
      "--tech-words", [&options]() { options.techWords = TechWords::ALWAYS; });
  line.app
      .add_flag_callback("--no-tech-words", [&options]() { options.techWords = TechWords::NEVER; })
      ->excludes(always);
  line.app.add_flag_callback("--no-rare-words", [&options]() { options.rareWords = false; });
}

void AddSuggestionOptions(CommandLine& line, SuggestionArgs& args) {
  line.app.add_option("--max", args.max);
  line.app.add_option("--level", args.level);
  line.app.add_flag("--classic", args.classic);
}

bool FinishSuggestionOptions(const CommandLine& line, const SuggestionArgs& args,
                             SuggestionOptions& options) {
  if (line.app.count("--max") > 0) {
    long count = 0;
    if (!ParseNumber(args.max, 0, MAX_SUGGESTIONS, count)) {
      ReportError(line.command, "--max needs a number 0..100, not '" + args.max + "'");
      return false;
    }
    options.maxSuggestions = static_cast<int32_t>(count);
  }
  if (args.classic) options.classic = true;
  if (line.app.count("--level") > 0) {
    if (!ParseSuggestLevel(args.level, options.level)) {
      ReportError(line.command, "--level is auto, 0, 1, 2 or 3, not '" + args.level + "'");
      return false;
    }
    options.classic = true;
  }
  return true;
}

void AddDocumentOptions(CommandLine& line, DocumentOptions& options) {
  line.app.add_option("--mode", options.mode);
  line.app.add_option("--no-skip", options.noSkip);
  line.app.add_option("--tex-command", options.texCommands);
  line.app.add_flag("--tex-comments", options.texComments);
}

bool ResolveDocumentOptions(const CommandLine& line, DocumentOptions& options) {
  if (!options.mode.empty()) {
    options.format = FindFormat(options.mode);
    if (options.format == nullptr) {
      std::string known;
      for (const DocumentFormat& format : DocumentFormats()) {
        known += (known.empty() ? "" : ", ") + std::string(format.name);
      }
      ReportError(line.command, "unknown mode '" + options.mode + "' (" + known + ")");
      return false;
    }
  }
  uint32_t checked = 0;
  for (const std::string& list : options.noSkip) {
    uint32_t kinds = 0;
    std::string error;
    if (!ParseNonWordKinds(list, kinds, error)) {
      ReportError(line.command, "--no-skip: " + error);
      return false;
    }
    checked |= kinds;
  }
  options.skipKinds = NON_WORD_ALL & ~checked;
  for (const std::string& command : options.texCommands) {
    const size_t colon = command.find(':');
    std::string name = command.substr(0, colon);
    if (!name.empty() && name[0] == '\\') name.erase(0, 1);
    const std::string arguments = colon == std::string::npos ? "" : command.substr(colon + 1);
    const bool valid = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return std::isalpha(static_cast<unsigned char>(c)) || c == '*' || c == '@';
    }) && arguments.find_first_not_of("pPoO") == std::string::npos;
    if (!valid) {
      ReportError(
          line.command,
          "--tex-command is NAME:ARGS with ARGS of p, P, o, O (e.g. gls:P), not '" + command + "'");
      return false;
    }
    options.formatOptions.texCommands.push_back({name, arguments});
  }
  options.formatOptions.texCheckComments = options.texComments;
  return true;
}

std::string DocumentOptionsHelp() {
  std::string modes;
  for (const DocumentFormat& format : DocumentFormats()) {
    std::string row = "                              " + std::string(format.name);
    row.resize(std::max<size_t>(row.size(), 42), ' ');
    modes += row + std::string(format.summary) + "\n";
  }
  return "    --mode MODE             read every input as MODE (default: by file name, \"#!\"\n"
         "                            line and first bytes; standard input is text):\n" +
         modes +
         "                            aspell's names (ccpp, ...) and editors' language ids\n"
         "                            are accepted too\n"
         "    --no-skip KIND,...      also check what is skipped as not a word: urls, emails,\n"
         "                            paths, files, hex, hashes, uuids, base64, options,\n"
         "                            variables, digits (words holding digits), caps (words\n"
         "                            in capitals), or all\n"
         "    --tex-command NAME:ARGS a TeX command and its arguments, one letter each: p\n"
         "                            checked, P skipped, o/O the same for [optional] ones\n"
         "    --tex-comments          check the text of TeX % comments\n";
}

CheckPolicy MakeCheckPolicy(const CommonOptions& common, const DocumentOptions& documents) {
  CheckPolicy policy;
  policy.engineOptions = CheckOptionBits(common) & ~static_cast<uint32_t>(OPT_REPORT_DOUBLED_WORD);
  policy.reportDoubled = !common.noDoubled;
  policy.skipKinds = documents.skipKinds;
  return policy;
}

namespace {

// The help text with the common options' lines in place of "%s" and "%%"
// read as "%".
std::string ExpandHelp(const std::string& help) {
  std::string out;
  for (size_t i = 0; i < help.size(); ++i) {
    if (help[i] == '%' && i + 1 < help.size() && help[i + 1] == 's') {
      out += CommonOptionsHelpIndented(2);
      ++i;
    } else if (help[i] == '%' && i + 1 < help.size() && help[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      out += help[i];
    }
  }
  return out;
}

ParseOutcome ShowHelp(const CommandLine& line) {
  const std::string text = ExpandHelp(line.help);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return ParseOutcome::SHOWN_HELP;
}

}  // namespace

ParseOutcome ParseCommandLine(CommandLine& line, const std::vector<std::string>& args) {
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    line.app.parse(reversed);
  } catch (const CLI::ArgumentMismatch& failure) {
    ReportError(line.command, "option " + OptionNamed(failure.what()) + " needs a value");
    return ParseOutcome::FAILED;
  } catch (const CLI::ExtrasError& failure) {
    ReportError(line.command, "unknown option '" + Unexpected(failure.what()) +
                                  "' (try 'orthspell " + line.command + " --help')");
    return ParseOutcome::FAILED;
  } catch (const CLI::ParseError& failure) {
    if (line.helpAsked) return ShowHelp(line);
    ReportError(line.command, failure.what());
    return ParseOutcome::FAILED;
  }
  if (line.helpAsked) return ShowHelp(line);
  return ParseOutcome::GO_ON;
}

int ParseArguments(CommandLine& line, const std::vector<std::string>& args) {
  switch (ParseCommandLine(line, args)) {
    case ParseOutcome::SHOWN_HELP:
      return SHOWN_HELP;
    case ParseOutcome::FAILED:
      return EXIT_USAGE;
    case ParseOutcome::GO_ON:
      break;
  }
  return EXIT_OK;
}

}  // namespace orth::cli
