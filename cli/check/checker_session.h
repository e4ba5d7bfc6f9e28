// An engine session opened with what the common options name: the
// replacement list, the dictionaries and the personal word list. Used by
// every checking subcommand of orthspell, through the public header only.
//
// Slot order decides between lexicons (the first one that knows a word
// answers), so the replacement list comes first (its words are reported even
// when a dictionary holds them), then the dictionaries in the order given,
// then the personal list. A dictionary's rare-word list (NAME.rare.olx, see
// RareWordsFileName), when there is one and --no-rare-words was not given,
// follows the dictionary's volumes: its words are accepted, never suggested.
// The technical word list, when a document's format
// asks for it, comes and goes in a slot of its own (ChooseTechWords).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/user_dictionary_folder.h"
#include "commands/common_options.h"

namespace orth::cli {

struct CheckerSession {
  int32_t session = -1;                    // engine session number, -1 when closed
  int32_t replacementLex = -1;             // slot of --replacements, -1 when none
  std::vector<int32_t> dictionaryLexes;    // slots of the dictionaries (all volumes), in order
  std::vector<int32_t> rareLexes;          // slots of their rare-word lists (check-only)
  int32_t personalLex = -1;                // slot of -p, -1 when none
  std::string personalPath;                // the personal list's file
  TechWords techWords = TechWords::NEVER;  // when the technical word list opens
  std::vector<std::string> techVolumes;    // its files; empty when it never opens
  std::vector<int32_t> techLexes;          // their slots while it is open

  CheckerSession() = default;
  CheckerSession(const CheckerSession&) = delete;
  CheckerSession& operator=(const CheckerSession&) = delete;
  // Closes the engine session without saving the personal list: call
  // CloseCheckerSession to keep added words.
  ~CheckerSession();
};

// Opens a session with the lexicons of `options` (DEFAULT_DICTIONARY when no
// dictionary is named). A personal list that does not exist is created,
// empty. On failure returns false with a one-line message in `error` (the
// caller reports it and exits with EXIT_USAGE); nothing stays open.
bool OpenCheckerSession(const CommonOptions& options, CheckerSession& out, std::string& error);

// Opens or closes the technical word list for the next document: open when
// --tech-words asked for it, or by default when the document's format is
// technical (code, Markdown); never when --no-tech-words said so, when the
// first dictionary is not English, or when the list is not installed (the
// latter an error only under --tech-words, in OpenCheckerSession). False
// with a message when a volume cannot be opened; the list is then closed.
// `changed`, when given, is set when the list was opened or closed: answers
// remembered from before (DocumentChecker::ForgetLookups) are then stale.
bool ChooseTechWords(CheckerSession& checker, bool technicalFormat, std::string& error,
                     bool* changed = nullptr);

// Adds a word (Latin-1) to the personal list, in memory until the list is
// saved. False with a message when there is no personal list or the engine
// refuses the word (a full list, a word it cannot store).
bool AddToPersonalList(CheckerSession& checker, const std::string& latin1Word, std::string& error);

// Writes the personal list to its file now, when it has changed (closes and
// re-opens its slot). False with a message when the file cannot be written;
// the added words then stay in memory.
bool SavePersonalList(CheckerSession& checker, std::string& error);

// Saves the personal list when it has changed and closes the session. False
// with a message when the save failed (the session is closed all the same).
bool CloseCheckerSession(CheckerSession& checker, std::string& error);

// The file a -d argument names: an existing file when the argument is a path
// (it holds a '/' or a '.', or no bundled dictionary has that name), else the
// bundled dictionary NAME.olx from the first folder of
// BundledDictionaryFolders that holds it. False with a message when neither
// exists.
bool ResolveDictionary(const std::string& nameOrPath, std::string& path, std::string& error);

// The files of a dictionary: `path` and the later volumes beside it
// (NAME.2.olx, NAME.3.olx ... while they exist), opened together.
std::vector<std::string> DictionaryVolumes(const std::string& path);

// Where dictionaries are looked for by name, in order: the user's folder,
// the installed data folder next to the program (../share/orth/dicts), the
// install prefix's data folder, and the build tree's dicts folder.
std::vector<std::string> BundledDictionaryFolders();

// The names of the bundled dictionaries that can be found, sorted.
std::vector<std::string> BundledDictionaryNames();

// A one-line description of an engine result code for messages.
std::string DescribeEngineError(int32_t code);

}  // namespace orth::cli
