// orthspell lsp: the language server on stdin and stdout.
#include <unistd.h>
#include <csignal>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "commands/command_line.h"
#include "commands/commands.h"
#include "lsp/lexicons.h"
#include "lsp/server.h"
#include "lsp/settings.h"
#include "lsp/stdio_loop.h"

namespace orth::cli {

namespace {

constexpr char LSP_USAGE[] =
    "usage: orthspell lsp [OPTIONS]\n"
    "\n"
    "Speaks the Language Server Protocol on stdin and stdout, for editors:\n"
    "diagnostics for misspelled, doubled and replaced words, quick fixes with\n"
    "suggestions, and the commands orthspell.addWord (the personal list) and\n"
    "orthspell.ignoreWord (one document). The editor's settings under the name\n"
    "\"orthspell\" (initializationOptions, workspace/didChangeConfiguration,\n"
    "workspace/configuration) override the options below: dictionaries,\n"
    "personalList, replacementList, modes, ignoreCaps, ignoreMixed,\n"
    "ignoreNonAlpha, doubledWords, caseRules, techWords, rareWords, noSkip,\n"
    "maxSuggestions, severity.\n"
    "\n"
    "options (the personal list defaults to $XDG_DATA_HOME/orthspell/personal.lex):\n"
    "%s"
    "    --stdio                 accepted and ignored (stdin and stdout are always\n"
    "                            used)\n"
    "    --debounce MS           wait MS milliseconds after the last edit before\n"
    "                            checking (default 40)\n";

}  // namespace

int RunLsp(const std::vector<std::string>& args) {
  CommonOptions options;
  bool stdio = false;
  long debounce = lsp::DEFAULT_DEBOUNCE.count();
  CommandLine line("lsp", LSP_USAGE);
  AddCommonOptions(line, options);
  line.app.add_flag("--stdio", stdio);
  line.app.add_option("--debounce", debounce)->check(CLI::Range(0L, 10000L));
  if (const int status = ParseArguments(line, args); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  // Dictionaries named on the command line must exist: an editor shows a
  // server that fails at once more plainly than one that checks nothing.
  for (const std::string& name : options.dictionaries) {
    std::string path, error;
    if (!ResolveDictionary(name, path, error)) {
      ReportError("lsp", error);
      return EXIT_USAGE;
    }
  }
  lsp::Settings settings;
  const std::string personal = settings.common.personalList;
  settings.common = options;
  if (settings.common.personalList.empty()) settings.common.personalList = personal;
  // A client that goes away must not kill the server in the middle of a save.
  std::signal(SIGPIPE, SIG_IGN);
  lsp::EngineLexicons lexicons;
  lsp::FdOutbox out(STDOUT_FILENO);
  lsp::Server server(out, lexicons, std::move(settings), std::chrono::milliseconds(debounce));
  return lsp::ServeFd(server, STDIN_FILENO, out);
}

}  // namespace orth::cli
