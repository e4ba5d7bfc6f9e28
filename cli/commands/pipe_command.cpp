// orthspell -a / orthspell pipe: the ispell pipe protocol on stdin/stdout.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "commands/command_line.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "orth.h"
#include "output/pipe_protocol.h"
#include "platform/process_io.h"

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
    "terse mode (no '*' lines) on and off; + reads the following lines as TeX\n"
    "and - goes back to the mode of the command line; ~ lines are ignored.\n"
    "Lines are read one after the other as one document in the mode, so that\n"
    "code, markup and math are skipped as in orthspell check.\n"
    "\n"
    "options (the personal list of -p is saved at # and at the end of input):\n"
    "%s"
    "  -t, -H, -n           TeX, HTML or nroff lines (as --mode tex, html, nroff)\n"
    "  --mode MODE          read the lines as MODE (text, markdown, html, tex, nroff,\n"
    "                       email, gitcommit, code, or aspell's names such as ccpp)\n"
    "  --no-skip KIND,...   also check URLs, paths and the like (see check --help)\n"
    "  -i ENC, --encoding=ENC\n"
    "                       utf-8 or latin1; without it a line that is not valid\n"
    "                       UTF-8 is read and answered as Latin-1\n"
    "  --classic            suggest with the classic similarity search instead of\n"
    "                       the ranked suggester\n"
    "  -v, -vv              print the banner line and exit\n"
    "  -m -B -C -S -P -T TYPE -w CHARS -W N\n"
    "                       accepted for compatibility and ignored\n";

std::string Banner() {
  return "@(#) International Ispell Version 3.1.20 (but really orthspell " +
         std::to_string(ORTH_VERSION_MAJOR) + "." + std::to_string(ORTH_VERSION_MINOR) + "." +
         std::to_string(ORTH_VERSION_PATCH) + ")";
}

// Whether stderr is a different file from stdout: editors often read both
// from one pipe, where a warning would be taken for an answer.
bool StderrIsSeparate() {
  const std::optional<bool> same = SameOpenFile(STDOUT_FILENO, STDERR_FILENO);
  return same.has_value() && !*same;
}

}  // namespace

int RunPipe(const std::vector<std::string>& args) {
  CommonOptions options;
  DocumentOptions documents;
  std::string encodingName;
  bool classic = false, version = false, tex = false, html = false, nroff = false, ignored = false;
  std::string ignoredValue;
  CommandLine line("pipe", PIPE_USAGE);
  AddCommonOptions(line, options);
  AddDocumentOptions(line, documents);
  line.app.add_option("-i,--encoding", encodingName);
  line.app.add_flag("--classic", classic);
  line.app.add_flag("-v,-V,--version", version);
  line.app.add_flag("-t", tex);
  line.app.add_flag("-H", html);
  line.app.add_flag("-n", nroff);
  // ispell's options that mean nothing here, with and without a value.
  line.app.add_flag("-a,-A,-m,-B,-C,-S,-P,-x,-M,-N,-b,-l,-s,-c,-e,-D,-E", ignored);
  line.app.add_option("-T,-w,-W,-L,-k,-f", ignoredValue);
  // -vv is one option to ispell, not -v twice.
  std::vector<std::string> arguments = args;
  for (std::string& arg : arguments) {
    if (arg == "-vv") arg = "--version";
  }
  switch (ParseCommandLine(line, arguments)) {
    case ParseOutcome::SHOWN_HELP:
      return EXIT_OK;
    case ParseOutcome::FAILED:
      return EXIT_USAGE;
    case ParseOutcome::GO_ON:
      break;
  }
  if (version) {
    std::printf("%s\n", Banner().c_str());
    return EXIT_OK;
  }
  PipeEncoding encoding = PipeEncoding::AUTO;
  if (line.app.count("--encoding") > 0 && !ParsePipeEncoding(encodingName, encoding)) {
    ReportError("pipe", "unknown encoding '" + encodingName + "' (utf-8 or latin1)");
    return EXIT_USAGE;
  }
  if (documents.mode.empty()) {
    if (tex) documents.mode = "tex";
    if (html) documents.mode = "html";
    if (nroff) documents.mode = "nroff";
  }
  if (!ResolveDocumentOptions(line, documents)) return EXIT_USAGE;

  CheckerSession spell;
  std::string error;
  if (!OpenCheckerSession(options, spell, error)) {
    ReportError("pipe", error);
    return EXIT_FAILED;
  }
  // The lines are one document in the command line's mode (a "+" line's TeX
  // does not change the lexicons).
  if (!ChooseTechWords(spell, documents.format != nullptr && documents.format->technical, error)) {
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
  checker.mode = documents.format;
  checker.formatOptions = documents.formatOptions;
  checker.skipKinds = documents.skipKinds;
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
