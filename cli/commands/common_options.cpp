#include "commands/common_options.h"

#include <cstdio>

#include "commands/commands.h"
#include "orth.h"

namespace orth::cli {

void ReportError(const char* command, const std::string& message) {
  std::fprintf(stderr, "orthspell %s: %s\n", command, message.c_str());
}

uint32_t CheckOptionBits(const CommonOptions& options) {
  uint32_t bits = OPT_REPORT_MISSPELLED;
  if (!options.noDoubled) bits |= OPT_REPORT_DOUBLED_WORD;
  if (options.ignoreCaps) bits |= OPT_IGNORE_CAPITALIZED;
  if (options.ignoreMixed) bits |= OPT_IGNORE_MIXED_CASE;
  if (options.ignoreNonAlpha) bits |= OPT_IGNORE_NON_ALPHA;
  if (!options.ignoreCaseRules) bits |= OPT_REPORT_WRONG_CASE;
  return bits;
}

const char* CommonOptionsHelp() {
  return "  -d DICT                 a dictionary: a .olx or text-lexicon path, or the name\n"
         "                          of a bundled dictionary (en_US, en_GB, es); repeatable,\n"
         "                          opened in the order given (default en_US)\n"
         "  -p FILE                 personal word list (an accept text lexicon), created\n"
         "                          when it does not exist yet\n"
         "  --replacements FILE     replacement list (a change text lexicon): its words are\n"
         "                          reported with their replacement\n"
         "  --ignore-caps           excuse words that start with a capital\n"
         "  --ignore-mixed          excuse mixed-case words (McDonald, iPhone)\n"
         "  --ignore-non-alpha      excuse words holding digits\n"
         "  --ignore-case-rules     accept known words in any case (debian for Debian,\n"
         "                          nasa for NASA)\n"
         "  --no-doubled            do not report doubled words\n"
         "  --tech-words            also accept the technical word list (en_tech: software\n"
         "                          and computing terms) in every format; by default it is\n"
         "                          opened for code and Markdown only, and only beside an\n"
         "                          English first dictionary\n"
         "  --no-tech-words         never open the technical word list\n"
         "  --no-rare-words         do not open the dictionaries' rare-word lists\n"
         "                          (NAME.rare.olx: rarer words, accepted but never\n"
         "                          suggested)\n";
}

std::string CommonOptionsHelpIndented(size_t extra) {
  const std::string pad(extra, ' ');
  std::string out;
  bool lineStart = true;
  for (const char* c = CommonOptionsHelp(); *c != '\0'; ++c) {
    if (lineStart) out += pad;
    out += *c;
    lineStart = *c == '\n';
  }
  return out;
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.size() > 9) return false;
  long parsed = 0;
  size_t i = 0;
  const bool negative = text[0] == '-';
  if (negative) ++i;
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    parsed = parsed * 10 + (text[i] - '0');
  }
  if (negative) parsed = -parsed;
  if (parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

}  // namespace orth::cli
