// orthspell check and orthspell list: stream files through their document
// format and the checking stage, and print what is found.
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "check/document_checker.h"
#include "check/document_run.h"
#include "commands/command_line.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "orth.h"
#include "output/finding_printer.h"
#include "output/progress_line.h"
#include "platform/process_io.h"

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
    "    Checks each FILE (standard input when none is given, or for '-') and prints\n"
    "    one line per finding:\n"
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
    "    Documents are read in their format: Markdown, HTML, LaTeX, man pages, mail,\n"
    "    git commit messages and source code (comments and strings) have their\n"
    "    markup and code left out, chosen by the file name, the \"#!\" line or the\n"
    "    first bytes, or by --mode. In every format, URLs, e-mail addresses, paths,\n"
    "    file names, numbers, hashes, options, variables, words holding digits and\n"
    "    words in capitals are not checked, and identifiers (camelCase) are checked\n"
    "    part by part. Comments and text may hold directives:\n"
    "\n"
    "        orthspell: disable / orthspell: enable      leave a region unchecked\n"
    "        orthspell: disable-next-line                leave the next line unchecked\n"
    "        orthspell: ignore WORD...                   accept words in this file\n"
    "\n"
    "    (also with the prefixes spellchecker: and cspell:).\n"
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
    "%D"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 nothing found, 1 something found, 2 a usage, dictionary or input error.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell check README.md\n"
    "    orthspell check --mode tex --tex-command gls:P chapter.tex\n"
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
    "    -t, -H, -n              TeX, HTML and nroff input (as --mode tex, html, nroff)\n"
    "%D"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 (also when words were printed), 2 a usage, dictionary or input error.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell list chapter1.txt | sort -u\n";

constexpr char STDIN_NAME[] = "<stdin>";
constexpr int32_t DEFAULT_MAX_SUGGESTIONS = 5;

enum class Mode { Check, List };

struct CheckArgs {
  CommonOptions common;
  DocumentOptions documents;
  std::vector<std::string> files;
  SuggestionArgs suggestionArgs;
  SuggestionOptions suggestion{DEFAULT_MAX_SUGGESTIONS, false, SUGGEST_LEVEL_AUTO};
  std::string format = "text";
  std::string encoding;
  bool noExitCode = false;
  bool latin1Input = false;                       // list: the input is Latin-1, not UTF-8
  bool ispellFlag = false;                        // -m -B -C: accepted for ispell clients
  std::string ispellType;                         // -T TYPE: the same
  bool tex = false, html = false, nroff = false;  // list: -t, -H, -n
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
  return SameOpenFile(STDOUT_FILENO, STDERR_FILENO).value_or(false);
}

const char* CommandName(Mode mode) {
  return mode == Mode::Check ? "check" : "list";
}

std::string HelpText(Mode mode) {
  std::string help = mode == Mode::Check ? CHECK_HELP : LIST_HELP;
  const size_t documents = help.find("%D");
  if (documents != std::string::npos) help.replace(documents, 2, DocumentOptionsHelp());
  return help;
}

// Returns EXIT_OK to go on, SHOWN_HELP, or EXIT_USAGE after a message.
int ParseCheckArgs(Mode mode, const std::vector<std::string>& args, CheckArgs& parsed) {
  CommandLine line(CommandName(mode), HelpText(mode));
  AddCommonOptions(line, parsed.common);
  AddDocumentOptions(line, parsed.documents);
  line.app.add_option("files", parsed.files);
  if (mode == Mode::Check) {
    AddSuggestionOptions(line, parsed.suggestionArgs);
    line.app.add_option("--format", parsed.format);
    line.app.add_flag("--no-exit-code", parsed.noExitCode);
  } else {
    line.app.add_option("-i,--encoding", parsed.encoding);
    line.app.add_flag("-m,-B,-C", parsed.ispellFlag);
    line.app.add_option("-T", parsed.ispellType);
    line.app.add_flag("-t", parsed.tex);
    line.app.add_flag("-H", parsed.html);
    line.app.add_flag("-n", parsed.nroff);
  }
  if (const int status = ParseArguments(line, args); status != EXIT_OK) return status;
  const char* command = CommandName(mode);
  if (mode == Mode::Check) {
    if (!FinishSuggestionOptions(line, parsed.suggestionArgs, parsed.suggestion)) return EXIT_USAGE;
    if (parsed.format != "text" && parsed.format != "json") {
      ReportError(command, "--format is text or json, not '" + parsed.format + "'");
      return EXIT_USAGE;
    }
  } else {
    if (line.app.count("--encoding") > 0 &&
        !ParseInputEncoding(parsed.encoding, parsed.latin1Input)) {
      ReportError(command, "--encoding is utf-8 or latin-1, not '" + parsed.encoding + "'");
      return EXIT_USAGE;
    }
    // hunspell's mode options.
    if (parsed.documents.mode.empty()) {
      if (parsed.tex) parsed.documents.mode = "tex";
      if (parsed.html) parsed.documents.mode = "html";
      if (parsed.nroff) parsed.documents.mode = "nroff";
    }
  }
  if (!ResolveDocumentOptions(line, parsed.documents)) return EXIT_USAGE;
  if (parsed.files.empty()) parsed.files.push_back("-");
  return EXIT_OK;
}

struct CheckRun {
  Mode mode = Mode::Check;
  const CheckArgs* args = nullptr;
  ProgressLine progress;
  bool warnedInvalidUtf8 = false;
  bool failed = false;
};

int RunCheckOrList(Mode mode, const std::vector<std::string>& args) {
  const char* command = CommandName(mode);
  CheckArgs parsed;
  if (const int status = ParseCheckArgs(mode, args, parsed); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  if (mode == Mode::List) parsed.common.noDoubled = true;
  CheckerSession session;
  std::string error;
  if (!OpenCheckerSession(parsed.common, session, error)) {
    ReportError(command, error);
    return EXIT_USAGE;
  }
  CheckRun run;
  run.mode = mode;
  run.args = &parsed;
  run.progress = StartProgress(parsed.files.size());
  const PrintStyle style = mode == Mode::List        ? PrintStyle::WORDS
                           : parsed.format == "json" ? PrintStyle::JSON
                                                     : PrintStyle::TEXT;
  FindingPrinter printer(stdout, style, session.session, parsed.suggestion);
  printer.SetBeforeWrite([&run]() { ClearProgress(run.progress); });
  CheckPolicy policy = MakeCheckPolicy(parsed.common, parsed.documents);
  policy.latin1Input = parsed.latin1Input;
  DocumentChecker checker(session.session, policy, printer);
  ModeChoice modeChoice;
  modeChoice.format = parsed.documents.format;
  modeChoice.modeName = parsed.documents.mode;
  modeChoice.options = parsed.documents.formatOptions;
  modeChoice.lexicons = &session;
  for (char& c : modeChoice.modeName)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < parsed.files.size(); ++i) {
    const std::string& name = parsed.files[i];
    printer.SetFileName(name == "-" ? STDIN_NAME : name);
    const bool read = CheckDocument(name, modeChoice, checker, error);
    printer.Flush();
    if (checker.sawInvalidUtf8() && !run.warnedInvalidUtf8 &&
        !(mode == Mode::List && ErrorsShareOutput())) {
      ClearProgress(run.progress);
      ReportError(command, (name == "-" ? std::string(STDIN_NAME) : name) +
                               ": not valid UTF-8; the invalid bytes are read as Latin-1");
      run.warnedInvalidUtf8 = true;
    }
    if (!read) {
      ClearProgress(run.progress);
      ReportError(command, error);
      run.failed = true;
    }
    UpdateProgress(run.progress, i + 1, checker.wordsChecked());
  }
  ClearProgress(run.progress);
  const bool written = printer.Flush();
  if (!CloseCheckerSession(session, error)) {
    ReportError(command, error);
    run.failed = true;
  }
  if (!written || std::fflush(stdout) != 0) {
    ReportError(command, "cannot write the output");
    return EXIT_USAGE;
  }
  if (run.failed) return EXIT_USAGE;
  if (mode == Mode::List || parsed.noExitCode) return EXIT_OK;
  return printer.foundSomething() ? EXIT_FAILED : EXIT_OK;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  return RunCheckOrList(Mode::Check, args);
}

int RunList(const std::vector<std::string>& args) {
  return RunCheckOrList(Mode::List, args);
}

}  // namespace orth::cli
