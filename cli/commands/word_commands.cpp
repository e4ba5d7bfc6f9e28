// orthspell suggest, sounds-like and add: commands on words given as
// arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "check/word_lookup.h"
#include "commands/command_line.h"
#include "commands/commands.h"
#include "commands/common_options.h"
#include "encoding/engine_text.h"
#include "orth.h"

namespace orth::cli {

namespace {

constexpr char SUGGEST_HELP[] =
    "NAME\n"
    "    orthspell suggest - ranked corrections of words\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell suggest [OPTIONS] WORD...\n"
    "\n"
    "DESCRIPTION\n"
    "    Prints one line per WORD: the word, then its corrections, best first, each\n"
    "    with its score (0..100):\n"
    "\n"
    "        teh: the (93), tech (80), ...\n"
    "\n"
    "    A correctly spelled word is marked \"(correct)\" before its list.\n"
    "\n"
    "OPTIONS\n"
    "    --max N                 at most N corrections per word, 0..100 (default 10)\n"
    "    --classic               the classic similarity search instead of the ranked\n"
    "                            suggester (which weighs typing slips, sound and how\n"
    "                            common each word is)\n"
    "    --level auto|0|1|2|3    breadth of the classic search (implies --classic): 0\n"
    "                            only the sections sharing the word's first two\n"
    "                            letters, 3 the whole dictionary; auto widens while\n"
    "                            nothing is found (default)\n"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 success, 2 a usage or dictionary error, or a word outside Latin-1.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell suggest recieve definately\n"
    "    orthspell suggest -d es --level 3 ortografia\n";

constexpr char SOUNDS_LIKE_HELP[] =
    "NAME\n"
    "    orthspell sounds-like - words that sound like a word\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell sounds-like [OPTIONS] WORD...\n"
    "\n"
    "DESCRIPTION\n"
    "    Prints one line per WORD: the word, then every word of the dictionaries\n"
    "    and lists whose phonetic key equals its key, in lexicon order, as the\n"
    "    lexicon holds it:\n"
    "\n"
    "        nite: knight, net, night, ...\n"
    "\n"
    "OPTIONS\n"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 success, 2 a usage or dictionary error, or a word outside Latin-1.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell sounds-like fone\n";

constexpr char ADD_HELP[] =
    "NAME\n"
    "    orthspell add - add words to a personal word list\n"
    "\n"
    "SYNOPSIS\n"
    "    orthspell add -p FILE [OPTIONS] WORD...\n"
    "\n"
    "DESCRIPTION\n"
    "    Adds each WORD to the personal word list FILE (created when it does not\n"
    "    exist), so that later runs with -p FILE accept it. The list is an accept\n"
    "    text lexicon, kept sorted; it holds at most 2114 words of at most 30\n"
    "    characters. A word the list holds already is not added twice.\n"
    "\n"
    "OPTIONS\n"
    "%s"
    "    -h, --help              show this help\n"
    "\n"
    "EXIT STATUS\n"
    "    0 success, 2 a usage error, a full list or a file that cannot be written.\n"
    "\n"
    "EXAMPLES\n"
    "    orthspell add -p ~/.orth-words.lex ORTH orthspell\n";

constexpr int32_t DEFAULT_MAX_SUGGESTIONS = 10;

enum class WordCommand { Suggest, SoundsLike, Add };

struct WordArgs {
  CommonOptions common;
  std::vector<std::string> words;
  SuggestionOptions suggestion{DEFAULT_MAX_SUGGESTIONS, false, SUGGEST_LEVEL_AUTO};
};

const char* CommandName(WordCommand command) {
  switch (command) {
    case WordCommand::Suggest:
      return "suggest";
    case WordCommand::SoundsLike:
      return "sounds-like";
    case WordCommand::Add:
      return "add";
  }
  return "suggest";
}

int ParseWordArgs(WordCommand which, const std::vector<std::string>& args, WordArgs& parsed) {
  const char* command = CommandName(which);
  const char* help = which == WordCommand::Suggest      ? SUGGEST_HELP
                     : which == WordCommand::SoundsLike ? SOUNDS_LIKE_HELP
                                                        : ADD_HELP;
  CommandLine line(command, help);
  AddCommonOptions(line, parsed.common);
  SuggestionArgs suggestionArgs;
  if (which == WordCommand::Suggest) AddSuggestionOptions(line, suggestionArgs);
  line.app.add_option("words", parsed.words);
  if (const int status = ParseArguments(line, args); status != EXIT_OK) return status;
  if (which == WordCommand::Suggest &&
      !FinishSuggestionOptions(line, suggestionArgs, parsed.suggestion)) {
    return EXIT_USAGE;
  }
  if (parsed.words.empty()) {
    ReportError(command, std::string("no word given (try 'orthspell ") + command + " --help')");
    return EXIT_USAGE;
  }
  if (which == WordCommand::Add && parsed.common.personalList.empty()) {
    ReportError(command, "no personal word list given: -p FILE");
    return EXIT_USAGE;
  }
  return EXIT_OK;
}

std::string JoinUtf8(const std::vector<std::string>& latin1Words) {
  std::string joined;
  for (const std::string& word : latin1Words) {
    joined += (joined.empty() ? "" : ", ") + Latin1ToUtf8Text(word);
  }
  return joined;
}

// The line of one word; false after a message when the engine failed.
bool LookUpWord(WordCommand which, const WordArgs& parsed, CheckerSession& checker,
                const std::string& word, const std::string& latin1, std::string& line) {
  const char* command = CommandName(which);
  line = word + ":";
  if (which == WordCommand::SoundsLike) {
    std::vector<std::string> matches;
    if (const int32_t found = SoundsLikeWords(checker.session, latin1, matches); found < 0) {
      ReportError(command, word + ": " + DescribeEngineError(found));
      return false;
    }
    line += matches.empty() ? " (none)" : " " + JoinUtf8(matches);
    return true;
  }
  const int32_t findings =
      ORTH_CheckWord(checker.session, CheckOptionBits(parsed.common), latin1.c_str(), nullptr, 0);
  if (findings == 0) line += " (correct)";
  std::vector<ScoredWord> suggestions;
  if (const int32_t found = SuggestWords(checker.session, latin1, parsed.suggestion, suggestions);
      found < 0) {
    ReportError(command, word + ": " + DescribeEngineError(found));
    return false;
  }
  if (suggestions.empty()) line += " (no suggestions)";
  for (size_t i = 0; i < suggestions.size(); ++i) {
    line += (i == 0 ? " " : ", ") + Latin1ToUtf8Text(suggestions[i].word) + " (" +
            std::to_string(suggestions[i].score) + ")";
  }
  return true;
}

int RunWordCommand(WordCommand which, const std::vector<std::string>& args) {
  const char* command = CommandName(which);
  WordArgs parsed;
  if (const int status = ParseWordArgs(which, args, parsed); status != EXIT_OK) {
    return status == SHOWN_HELP ? EXIT_OK : status;
  }
  CheckerSession checker;
  std::string error;
  if (!OpenCheckerSession(parsed.common, checker, error)) {
    ReportError(command, error);
    return EXIT_USAGE;
  }
  bool failed = false;
  for (const std::string& word : parsed.words) {
    std::string latin1;
    if (!WordToLatin1(word, latin1)) {
      ReportError(command, "'" + word + "' holds characters outside Latin-1");
      failed = true;
      continue;
    }
    if (which == WordCommand::Add) {
      if (!AddToPersonalList(checker, latin1, error)) {
        ReportError(command, "'" + word + "': " + error);
        failed = true;
      }
      continue;
    }
    std::string line;
    if (!LookUpWord(which, parsed, checker, word, latin1, line)) {
      failed = true;
      continue;
    }
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  if (!CloseCheckerSession(checker, error)) {
    ReportError(command, error);
    failed = true;
  }
  if (std::fflush(stdout) != 0) {
    ReportError(command, "cannot write the output");
    failed = true;
  }
  return failed ? EXIT_USAGE : EXIT_OK;
}

}  // namespace

int RunSuggest(const std::vector<std::string>& args) {
  return RunWordCommand(WordCommand::Suggest, args);
}

int RunSoundsLike(const std::vector<std::string>& args) {
  return RunWordCommand(WordCommand::SoundsLike, args);
}

int RunAdd(const std::vector<std::string>& args) {
  return RunWordCommand(WordCommand::Add, args);
}

}  // namespace orth::cli
