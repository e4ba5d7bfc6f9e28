// orthspell check and orthspell list: walk files through the engine's block
// check and print what it finds.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "check/block_walk.h"
#include "check/checker_session.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "encoding/edge_text.h"
#include "output/json_output.h"
#include "orth.h"
#include "output/progress_line.h"
#include "check/word_lookup.h"

namespace orth::cli {

namespace {

constexpr char CHECK_HELP[] =
    "NAME\n"
    "    orthspell check - report misspelled and doubled words\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell check [OPTIONS] [FILE...]\n"
    "\n"
    "DESCRIPTION\n"
    "    Checks each FILE (standard input when none is given, or for '-') paragraph\n"
    "    by paragraph and prints one line per finding:\n"
    "\n"
    "        FILE:LINE:COL: word -> s1, s2, s3      a misspelled word and suggestions\n"
    "        FILE:LINE:COL: doubled word 'the'      a word that repeats the one before\n"
    "        FILE:LINE:COL: teh ==> the             a word of the replacement list\n"
    "\n"
    "    LINE and COL count from 1; COL counts characters, not bytes. Input is\n"
    "    UTF-8; the engine works in Latin-1, so other characters end words, the\n"
    "    typographic apostrophes count as ', and invalid UTF-8 is read as Latin-1\n"
    "    (with a warning). A progress line appears on stderr during long runs when\n"
    "    stderr is a terminal.\n"
    "\n"
    "OPTIONS\n"
    "    --max N                 at most N suggestions per word, 0..100 (default 5)\n"
    "    --classic               suggest with the classic similarity search instead\n"
    "                            of the ranked suggester\n"
    "    --level auto|0|1|2|3    breadth of the classic search (implies --classic)\n"
    "    --format text|json      json: one object per line with file, line, column,\n"
    "                            word, kind (misspelled, doubled, replacement,\n"
    "                            suggestion), replacement and scored suggestions\n"
    "    --no-exit-code          exit 0 even when something was found\n"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 nothing found, 1 something found, 2 a usage, dictionary or input error.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell check README.md\n"
    "    orthspell check -d en_GB -p ~/.orth-words.lex --max 3 notes.txt\n"
    "    git show HEAD:doc.txt | orthspell check --format json\n";

constexpr char LIST_HELP[] =
    "NAME\n"
    "    orthspell list - print the misspelled words\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell list [OPTIONS] [FILE...]\n"
    "    orthspell -l [OPTIONS] [FILE...]\n"
    "\n"
    "DESCRIPTION\n"
    "    Prints every misspelled word of the FILEs (standard input when none is\n"
    "    given) exactly as written (the input's own bytes, so Latin-1 input gives\n"
    "    Latin-1 words), one a line, in the order they occur. Words of the\n"
    "    replacement list are printed too; doubled words are not. Editors call\n"
    "    this with ispell's options, which are accepted.\n"
    "\n"
    "OPTIONS\n"
    "    -i, --encoding ENC      utf-8 (default) or latin-1 (iso-8859-1) input\n"
    "    -m, -B, -C, -T TYPE     accepted for ispell clients and ignored\n"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 (also when words were printed), 2 a usage, dictionary or input error.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell list chapter1.txt | sort -u\n";

// ParseCheckArgs printed the help: stop with success.
constexpr int SHOWN_HELP = -1;
constexpr char STDIN_NAME[] = "<stdin>";
constexpr int32_t DEFAULT_MAX_SUGGESTIONS = 5;

enum class Mode { Check, List };

struct CheckArgs {
  CommonOptions common;
  std::vector<std::string> files;
  SuggestionOptions suggestion{DEFAULT_MAX_SUGGESTIONS, false, SUGGEST_LEVEL_AUTO};
  bool json = false;
  bool noExitCode = false;
  bool latin1Input = false;  // list: the input is Latin-1, not UTF-8
};

// The encodings an ispell client may name for its input.
bool ParseInputEncoding(std::string name, bool& latin1) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name == "utf-8" || name == "utf8") {
    latin1 = false;
    return true;
  }
  if (name == "latin-1" || name == "latin1" || name == "iso-8859-1" || name == "iso8859-1") {
    latin1 = true;
    return true;
  }
  return false;
}

// Whether stderr and stdout are the same file: an editor that reads both from
// one pipe would take a warning for output.
bool ErrorsShareOutput() {
  struct stat out {
  }, err{};
  return fstat(STDOUT_FILENO, &out) == 0 && fstat(STDERR_FILENO, &err) == 0 &&
         out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}

const char* CommandName(Mode mode) {
  return mode == Mode::Check ? "check" : "list";
}

void PrintHelp(Mode mode) {
  std::printf(mode == Mode::Check ? CHECK_HELP : LIST_HELP, CommonOptionsHelpIndented(2).c_str());
}

// Returns EXIT_OK to go on, SHOWN_HELP, or EXIT_USAGE after a message.
int ParseCheckArgs(Mode mode, const std::vector<std::string>& args, CheckArgs& parsed) {
  const char* command = CommandName(mode);
  bool onlyFiles = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& whole = args[i];
    if (onlyFiles || whole == "-" || whole.empty() || whole[0] != '-') {
      parsed.files.push_back(whole);
      continue;
    }
    if (whole == "--") {
      onlyFiles = true;
      continue;
    }
    switch (ParseCommonOption(command, args, i, parsed.common)) {
      case OptionParse::Taken:
        continue;
      case OptionParse::Failed:
        return EXIT_USAGE;
      case OptionParse::NotCommon:
        break;
    }
    const OptionArg arg = SplitOptionArg(whole);
    std::string value;
    if (arg.name == "-h" || arg.name == "--help") {
      PrintHelp(mode);
      return SHOWN_HELP;
    }
    if (mode == Mode::Check) {
      const OptionParse suggestion =
          ParseSuggestionOption(command, args, i, arg, parsed.suggestion);
      if (suggestion == OptionParse::Failed) return EXIT_USAGE;
      if (suggestion == OptionParse::Taken) continue;
    }
    if (mode == Mode::Check && arg.name == "--format") {
      if (!TakeOptionValue(command, args, i, arg, value)) return EXIT_USAGE;
      if (value != "text" && value != "json") {
        ReportError(command, "--format is text or json, not '" + value + "'");
        return EXIT_USAGE;
      }
      parsed.json = value == "json";
    } else if (mode == Mode::Check && arg.name == "--no-exit-code" && !arg.hasValue) {
      parsed.noExitCode = true;
    } else if (mode == Mode::List && (arg.name == "-m" || arg.name == "-B" || arg.name == "-C")) {
      continue;  // ispell clients' options without meaning here
    } else if (mode == Mode::List && arg.name == "-T") {
      if (!TakeOptionValue(command, args, i, arg, value)) return EXIT_USAGE;
    } else if (mode == Mode::List && (arg.name == "-i" || arg.name == "--encoding")) {
      if (!TakeOptionValue(command, args, i, arg, value)) return EXIT_USAGE;
      if (!ParseInputEncoding(value, parsed.latin1Input)) {
        ReportError(command, "--encoding is utf-8 or latin-1, not '" + value + "'");
        return EXIT_USAGE;
      }
    } else {
      ReportError(command, "unknown option '" + whole + "' (try 'orthspell " +
                               std::string(command) + " --help')");
      return EXIT_USAGE;
    }
  }
  if (parsed.files.empty()) parsed.files.push_back("-");
  return EXIT_OK;
}

bool ReadInput(const std::string& name, std::string& bytes, std::string& error) {
  const bool fromStdin = name == "-";
  std::FILE* file = fromStdin ? stdin : std::fopen(name.c_str(), "rb");
  if (file == nullptr) {
    error = name + ": " + std::strerror(errno);
    return false;
  }
  bytes.clear();
  char chunk[1 << 16];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  const int savedErrno = errno;
  if (!fromStdin) std::fclose(file);
  if (failed) {
    error = (fromStdin ? std::string(STDIN_NAME) : name) + ": " + std::strerror(savedErrno);
    return false;
  }
  return true;
}

struct CheckRun {
  Mode mode = Mode::Check;
  const CheckArgs* args = nullptr;
  CheckerSession* checker = nullptr;
  uint32_t options = 0;
  std::map<std::string, std::vector<ScoredWord>> suggestionCache;  // by Latin-1 word
  ProgressLine progress;
  uint64_t words = 0;
  bool warnedInvalidUtf8 = false;
  bool found = false;
  bool failed = false;
};

const std::vector<ScoredWord>& CachedSuggestions(CheckRun& run, const std::string& word) {
  const auto known = run.suggestionCache.find(word);
  if (known != run.suggestionCache.end()) return known->second;
  std::vector<ScoredWord> suggestions;
  if (SuggestWords(run.checker->session, word, run.args->suggestion, suggestions) < 0) {
    suggestions.clear();  // no suggestions rather than no report
  }
  return run.suggestionCache.emplace(word, std::move(suggestions)).first->second;
}

const char* KindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::Misspelled:
      return "misspelled";
    case FindingKind::Replacement:
      return "replacement";
    case FindingKind::Suggestion:
      return "suggestion";
    case FindingKind::Doubled:
      return "doubled";
  }
  return "misspelled";
}

std::string FormatFinding(CheckRun& run, const std::string& fileName, const TextPosition& at,
                          const std::string& written, const BlockFinding& finding) {
  std::vector<ScoredWord> none;
  const std::vector<ScoredWord>& suggestions =
      finding.kind == FindingKind::Misspelled ? CachedSuggestions(run, finding.word) : none;
  const std::string other = Latin1ToUtf8Text(finding.other);
  if (run.args->json) {
    std::string line =
        "{\"file\":" + JsonString(fileName) + ",\"line\":" + std::to_string(at.line) +
        ",\"column\":" + std::to_string(at.column) + ",\"word\":" + JsonString(written) +
        ",\"kind\":\"" + KindName(finding.kind) + "\"";
    if (!finding.other.empty()) line += ",\"replacement\":" + JsonString(other);
    line += ",\"suggestions\":[";
    for (size_t i = 0; i < suggestions.size(); ++i) {
      line += (i > 0 ? ",{\"word\":" : "{\"word\":") +
              JsonString(Latin1ToUtf8Text(suggestions[i].word)) +
              ",\"score\":" + std::to_string(suggestions[i].score) + "}";
    }
    return line + "]}\n";
  }
  std::string line =
      fileName + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": ";
  switch (finding.kind) {
    case FindingKind::Doubled:
      return line + "doubled word '" + written + "'\n";
    case FindingKind::Replacement:
      return line + written + " ==> " + other + "\n";
    case FindingKind::Suggestion:
      return line + written + " -> " + other + "\n";
    case FindingKind::Misspelled:
      break;
  }
  line += written;
  for (size_t i = 0; i < suggestions.size(); ++i) {
    line += (i == 0 ? " -> " : ", ") + Latin1ToUtf8Text(suggestions[i].word);
  }
  return line + "\n";
}

void CheckInput(CheckRun& run, const std::string& name, const std::string& input) {
  const std::string fileName = name == "-" ? STDIN_NAME : name;
  EdgeText text;
  if (run.args->latin1Input) {
    text.latin1 = input;
    text.sourceOffset.resize(input.size() + 1);
    for (size_t i = 0; i < text.sourceOffset.size(); ++i) text.sourceOffset[i] = i;
  } else {
    text = DecodeEdgeText(input);
  }
  if (text.invalidUtf8 && !run.warnedInvalidUtf8 &&
      !(run.mode == Mode::List && ErrorsShareOutput())) {
    ClearProgress(run.progress);
    ReportError(CommandName(run.mode),
                fileName + ": not valid UTF-8; the invalid bytes are read as Latin-1");
    run.warnedInvalidUtf8 = true;
  }
  const LineIndex lines = IndexLines(text.latin1);
  std::string out;
  WalkCounts counts;
  const int32_t walked = WalkText(
      run.checker->session, run.options, text.latin1, run.progress.enabled,
      [&](const BlockFinding& finding) {
        if (run.mode == Mode::List) {
          // The input's own bytes, so that a client finds the word in its
          // buffer whatever encoding it sent.
          if (finding.kind != FindingKind::Doubled) {
            out += SourceSlice(input, text, finding.offset, finding.offset + finding.length);
            out += "\n";
          }
          return;
        }
        const std::string written =
            SourceTextUtf8(input, text, finding.offset, finding.offset + finding.length);
        run.found = true;
        out += FormatFinding(run, fileName, PositionOf(lines, finding.offset), written, finding);
      },
      counts);
  run.words += counts.words;
  if (!out.empty()) {
    ClearProgress(run.progress);
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
  if (walked < 0) {
    ClearProgress(run.progress);
    ReportError(CommandName(run.mode), fileName + ": " + DescribeEngineError(walked));
    run.failed = true;
  }
}

int RunCheckOrList(Mode mode, const std::vector<std::string>& args) {
  const char* command = CommandName(mode);
  CheckArgs parsed;
  if (const int status = ParseCheckArgs(mode, args, parsed); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  if (mode == Mode::List) parsed.common.noDoubled = true;
  CheckerSession checker;
  std::string error;
  if (!OpenCheckerSession(parsed.common, checker, error)) {
    ReportError(command, error);
    return EXIT_USAGE;
  }
  CheckRun run;
  run.mode = mode;
  run.args = &parsed;
  run.checker = &checker;
  run.options = CheckOptionBits(parsed.common);
  run.progress = StartProgress(parsed.files.size());
  std::string input;
  for (size_t i = 0; i < parsed.files.size(); ++i) {
    if (!ReadInput(parsed.files[i], input, error)) {
      ClearProgress(run.progress);
      ReportError(command, error);
      run.failed = true;
    } else {
      CheckInput(run, parsed.files[i], input);
    }
    UpdateProgress(run.progress, i + 1, run.words);
  }
  ClearProgress(run.progress);
  if (!CloseCheckerSession(checker, error)) {
    ReportError(command, error);
    run.failed = true;
  }
  if (std::fflush(stdout) != 0) {
    ReportError(command, "cannot write the output");
    return EXIT_USAGE;
  }
  if (run.failed) return EXIT_USAGE;
  if (mode == Mode::List || parsed.noExitCode) return EXIT_OK;
  return run.found ? EXIT_FAILED : EXIT_OK;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  return RunCheckOrList(Mode::Check, args);
}

int RunList(const std::vector<std::string>& args) {
  return RunCheckOrList(Mode::List, args);
}

}  // namespace orth::cli
