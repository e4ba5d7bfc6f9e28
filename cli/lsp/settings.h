// The settings of the language server, under the name "orthspell": from the
// command line, then initializationOptions, then what the client sends with
// workspace/didChangeConfiguration or answers to workspace/configuration.
// Each later source overrides the keys it holds.
//
//   dictionaries     ["en_US", "/path/to/words.olx"]  (bundled names or paths)
//   personalList     a file ("" for none; default under $XDG_DATA_HOME)
//   replacementList  a file
//   modes            {"languageId": "mode" or "off"}  (default: the format table)
//   ignoreCaps, ignoreMixed, ignoreNonAlpha, doubledWords, caseRules   true or false
//   techWords        true or false (default: the technical word list for code
//                    and Markdown only)
//   rareWords        true or false (default true: each dictionary's rare-word
//                    list, accepted but never suggested)
//   noSkip           ["urls", "caps", ...]  (what is checked though not a word)
//   maxSuggestions   0..100 (quick fixes per misspelling)
//   severity         "error", "warning", "information" or "hint"
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "check/document_checker.h"
#include "commands/common_options.h"
#include "lsp/json_rpc.h"
#include "lsp/window_check.h"

namespace orth::cli::lsp {

inline constexpr char SETTINGS_SECTION[] = "orthspell";
inline constexpr char MODE_OFF[] = "off";

struct Settings {
  // Dictionaries, personal list, replacement list and the ignore options;
  // an empty personal list means none.
  CommonOptions common;
  std::map<std::string, std::string> modes;  // language id (lower case) -> mode or "off"
  uint32_t checkedKinds = 0;                 // NonWordKind bits of noSkip
  int32_t maxSuggestions = 5;
  int severity = 3;  // DiagnosticSeverity: 1 error .. 4 hint

  Settings();
};

// Reads the keys of `object` (the "orthspell" object) into `settings`;
// each problem (an unknown key, a value of the wrong kind) is one line in
// `problems`, and its key is left as it was.
void ReadSettings(const Json& object, Settings& settings, std::vector<std::string>& problems);

// The personal list used when none is set:
// $XDG_DATA_HOME/orthspell/personal.lex, or ~/.local/share/... without it.
std::string DefaultPersonalList();

// A path with a leading "~/" made absolute.
std::string ExpandHome(const std::string& path);

// Whether the two name the same lexicons (so the session stays open).
bool SameLexicons(const Settings& a, const Settings& b);

// The checking stage's policy.
CheckPolicy MakePolicy(const Settings& settings);
bool SamePolicy(const Settings& a, const Settings& b);

// How a document with this language id and file path (maybe empty) is read;
// a null format when it is not checked. `head` is its first bytes.
ParserChoice ChooseParser(const Settings& settings, std::string_view languageId,
                          const std::string& path, std::string_view head);
bool SameParser(const ParserChoice& a, const ParserChoice& b);

// The file path of a "file:" URI (percent escapes decoded), or "".
std::string FilePathOfUri(std::string_view uri);

}  // namespace orth::cli::lsp
