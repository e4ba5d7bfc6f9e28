// orthspell: the command-line tool of the ORTH engine.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "platform/process_io.h"

namespace {

constexpr char USAGE[] =
    "usage: orthspell COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  check [FILE...]               report misspelled and doubled words (exit 1 if any)\n"
    "  list, -l [FILE...]            print the misspelled words, one a line\n"
    "  suggest WORD...               ranked corrections with scores\n"
    "  sounds-like WORD...           words that sound like a word\n"
    "  add -p FILE WORD...           add words to a personal word list\n"
    "  compile WORDLIST -o OUT.olx   compile a word list into a compressed lexicon\n"
    "  dump LEX.olx                  list the words of a compressed lexicon\n"
    "  dicts                         list the dictionaries -d finds\n"
    "  pipe, -a                      the ispell pipe protocol for editors\n"
    "  fix FILE                      correct a file interactively\n"
    "  lsp                           the language server for editors (stdio)\n"
    "\n"
    "Options common to check, list, suggest, sounds-like and add: -d DICT,\n"
    "-p FILE, --replacements FILE, --ignore-caps, --ignore-mixed,\n"
    "--ignore-non-alpha, --ignore-case-rules, --no-doubled, --tech-words,\n"
    "--no-tech-words.\n"
    "\n"
    "check, list, fix and pipe read documents in their format (plain text,\n"
    "Markdown, HTML, LaTeX, man pages, mail, git commit messages, the comments\n"
    "and strings of code), chosen by file name and content or by --mode.\n"
    "\n"
    "Exit status: 0 success (check: nothing found), 1 check found something,\n"
    "2 a usage, dictionary or input error.\n"
    "\n"
    "'orthspell COMMAND --help' describes a command.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace orth::cli;
  PrepareStandardStreams();
  if (argc < 2) {
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "check") return RunCheck(args);
    if (command == "list" || command == "-l") return RunList(args);
    if (command == "suggest") return RunSuggest(args);
    if (command == "sounds-like") return RunSoundsLike(args);
    if (command == "add") return RunAdd(args);
    if (command == "compile") return RunCompile(args);
    if (command == "dump") return RunDump(args);
    if (command == "dicts") return RunDicts(args);
    if (command == "pipe" || command == "-a") return RunPipe(args);
    if (command == "-v" || command == "-vv") return RunPipe({command});
    if (command == "fix") return RunFix(args);
    if (command == "lsp") return RunLsp(args);
    // ispell clients may give options before -a ("-d en_US -a").
    if (command[0] == '-' && std::find(args.begin(), args.end(), "-a") != args.end()) {
      return RunPipe(std::vector<std::string>(argv + 1, argv + argc));
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "orthspell %s: %s\n", command.c_str(), failure.what());
    return EXIT_FAILED;
  }
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(USAGE, stdout);
    return EXIT_OK;
  }
  std::fprintf(stderr, "orthspell: unknown command '%s' (try 'orthspell --help')\n",
               command.c_str());
  return EXIT_USAGE;
}
