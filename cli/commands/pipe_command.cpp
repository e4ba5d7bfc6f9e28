// orthspell -a / orthspell pipe: the ispell pipe protocol on stdin/stdout.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "orth.h"
#include "output/pipe_protocol.h"

namespace orth::cli {

namespace {

constexpr char PIPE_USAGE[] =
    "usage: orthspell -a [OPTIONS]   (also: orthspell pipe [OPTIONS])\n"
    "\n"
    "Speaks the ispell pipe protocol on stdin and stdout, as editors and mail\n"
    "programs expect: a banner line, then for every input line one answer line\n"
    "per word ('*' correct, '& WORD COUNT OFFSET: s1, s2' or '# WORD OFFSET'\n"
    "misspelled) and an empty line. Lines starting with ^ are checked without\n"
    "the ^; *word adds to the personal list, &word adds it in lower case,\n"
    "@word accepts it for this run, # saves the personal list, ! and %% turn\n"
    "terse mode (no '*' lines) on and off; +, - and ~ lines are ignored.\n"
    "\n"
    "options (the personal list of -p is saved at # and at the end of input):\n"
    "%s"
    "  -i ENC, --encoding=ENC\n"
    "                       utf-8 or latin1; without it a line that is not valid\n"
    "                       UTF-8 is read and answered as Latin-1\n"
    "  --classic            suggest with the classic similarity search instead of\n"
    "                       the ranked suggester\n"
    "  -v, -vv              print the banner line and exit\n"
    "  -m -B -C -S -P -t -n -T TYPE -w CHARS -W N\n"
    "                       accepted for compatibility and ignored\n";

std::string Banner() {
  return "@(#) International Ispell Version 3.1.20 (but really orthspell " +
         std::to_string(ORTH_VERSION_MAJOR) + "." + std::to_string(ORTH_VERSION_MINOR) + "." +
         std::to_string(ORTH_VERSION_PATCH) + ")";
}

// Whether stderr is a different file from stdout: editors often read both
// from one pipe, where a warning would be taken for an answer.
bool StderrIsSeparate() {
  struct stat out {
  }, err{};
  if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &err) != 0) return false;
  return out.st_dev != err.st_dev || out.st_ino != err.st_ino;
}

}  // namespace

int RunPipe(const std::vector<std::string>& args) {
  CommonOptions options;
  PipeEncoding encoding = PipeEncoding::AUTO;
  bool classic = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    switch (ParseCommonOption("pipe", args, i, options)) {
      case OptionParse::Taken:
        continue;
      case OptionParse::Failed:
        return EXIT_USAGE;
      case OptionParse::NotCommon:
        break;
    }
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      std::printf(PIPE_USAGE, CommonOptionsHelp());
      return EXIT_OK;
    } else if (arg == "-v" || arg == "-vv" || arg == "--version") {
      std::printf("%s\n", Banner().c_str());
      return EXIT_OK;
    } else if (arg == "-a") {
      continue;
    } else if (arg == "--classic") {
      classic = true;
    } else if (arg == "-i" || arg == "--encoding") {
      if (!value(text)) {
        ReportError("pipe", "option " + arg + " needs a value");
        return EXIT_USAGE;
      }
      if (!ParsePipeEncoding(text, encoding)) {
        ReportError("pipe", "unknown encoding '" + text + "' (utf-8 or latin1)");
        return EXIT_USAGE;
      }
    } else if (arg.rfind("--encoding=", 0) == 0) {
      if (!ParsePipeEncoding(arg.substr(11), encoding)) {
        ReportError("pipe", "unknown encoding '" + arg.substr(11) + "' (utf-8 or latin1)");
        return EXIT_USAGE;
      }
    } else if (arg == "-T" || arg == "-w" || arg == "-W" || arg == "-L" || arg == "-k") {
      ++i;  // an ispell option with a value this tool has no use for
    } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') {
      continue;  // -m, -B, -C and the other one-letter ispell flags
    } else {
      ReportError("pipe", "unknown argument '" + arg + "' (try 'orthspell pipe --help')");
      return EXIT_USAGE;
    }
  }

  CheckerSession spell;
  std::string error;
  if (!OpenCheckerSession(options, spell, error)) {
    ReportError("pipe", error);
    return EXIT_FAILED;
  }
  std::ios::sync_with_stdio(false);
  std::cout << Banner() << '\n' << std::flush;

  const bool warnings = StderrIsSeparate();
  PipeChecker checker;
  checker.session = spell.session;
  checker.personalLex = spell.personalLex;
  checker.encoding = encoding;
  // Words one at a time: no doubled-word test.
  checker.options = CheckOptionBits(options) & ~static_cast<uint32_t>(OPT_REPORT_DOUBLED_WORD);
  checker.classic = classic;
  if (spell.personalLex >= 0) {
    checker.savePersonal = [&]() {
      std::string failure;
      SavePersonalList(spell, failure);
      checker.personalLex = spell.personalLex;
      return failure;
    };
  }
  checker.warn = [warnings](const std::string& message) {
    if (warnings) ReportError("pipe", message);
  };
  return RunPipeLoop(std::cin, std::cout, checker) == 0 ? EXIT_OK : EXIT_FAILED;
}

}  // namespace orth::cli
