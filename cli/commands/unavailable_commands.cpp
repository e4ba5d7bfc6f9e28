// The commands a build leaves out (the Windows build has no terminal for
// interactive fix and no language server): each says so and fails.
#include <cstdio>

#include "commands/commands.h"

namespace orth::cli {

int RunFix(const std::vector<std::string>&) {
  std::fputs("orthspell fix: not available in this build (no interactive terminal)\n", stderr);
  return EXIT_USAGE;
}

int RunLsp(const std::vector<std::string>&) {
  std::fputs("orthspell lsp: not available in this build (no language server)\n", stderr);
  return EXIT_USAGE;
}

}  // namespace orth::cli
