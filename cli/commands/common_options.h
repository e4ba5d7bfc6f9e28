// The options every checking subcommand of orthspell shares: which
// dictionaries, personal list and replacement list to open, and which words
// to excuse. The subcommands parse them with CLI11 (command_line.h); the pipe
// mode parses them the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orth::cli {

// The dictionary opened when no -d is given.
inline constexpr char DEFAULT_DICTIONARY[] = "en_US";

// The bundled list of technical words (software and computing terms). Its
// words are English, so it is only opened beside an English dictionary.
inline constexpr char TECH_WORDS_DICTIONARY[] = "en_tech";

// When the technical word list is opened: by default for documents whose
// format is technical (code, Markdown), or always (--tech-words), or never
// (--no-tech-words).
enum class TechWords { BY_FORMAT, ALWAYS, NEVER };

struct CommonOptions {
  std::vector<std::string> dictionaries;  // -d, in the order given; empty: DEFAULT_DICTIONARY
  std::string personalList;               // -p FILE; empty: none
  std::string replacementList;            // --replacements FILE; empty: none
  bool ignoreCaps = false;                // --ignore-caps: excuse words starting upper case
  bool ignoreMixed = false;               // --ignore-mixed: excuse mixed-case words
  bool ignoreNonAlpha = false;            // --ignore-non-alpha: excuse words holding digits
  bool noDoubled = false;                 // --no-doubled: do not report doubled words
  bool ignoreCaseRules = false;           // --ignore-case-rules: accept «debian» for «Debian»
  TechWords techWords = TechWords::BY_FORMAT;  // --tech-words, --no-tech-words
  bool rareWords = true;  // open each dictionary's rare-word list; --no-rare-words
};

// The most suggestions --max may ask for.
inline constexpr long MAX_SUGGESTIONS = 100;

// How the subcommands that suggest search: the ranked suggester by default,
// or the classic search at a level.
struct SuggestionOptions {
  int32_t maxSuggestions = 10;
  bool classic = false;  // --classic, or implied by --level
  int32_t level = -1;    // SUGGEST_LEVEL_AUTO or 0..3; the classic search only
};

// The OPT_* bits of the word and block checks these options ask for: the
// spelling lookup, the doubled-word test unless --no-doubled, the
// dictionaries' case rules unless --ignore-case-rules, and the IGNORE bits.
uint32_t CheckOptionBits(const CommonOptions& options);

// The lines describing the common options, for each subcommand's --help.
const char* CommonOptionsHelp();

// The same lines with `extra` more spaces in front of each (for help texts
// laid out as manual pages).
std::string CommonOptionsHelpIndented(size_t extra);

// Parses a whole number in [low, high]; false when `text` is anything else.
bool ParseNumber(const std::string& text, long low, long high, long& value);

}  // namespace orth::cli
