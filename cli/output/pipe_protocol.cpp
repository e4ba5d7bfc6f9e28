// The ispell pipe protocol loop: command parsing, checking a line word by
// word through a block, and the answer lines.
#include "output/pipe_protocol.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "encoding/edge_text.h"
#include "encoding/mapped_text.h"
#include "orth.h"
#include "check/word_lookup.h"

namespace orth::cli {

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Lower-cases Latin-1 letters (A-Z and the accented capitals but the
// multiplication sign) for &word.
std::string LowerLatin1(std::string word) {
  for (char& c : word) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
      c = static_cast<char>(u + 32);
    }
  }
  return word;
}

// The engine's suggestions for a Latin-1 word, best first.
std::vector<std::string> EngineSuggestions(const PipeChecker& checker, const std::string& word) {
  std::vector<std::string> out;
  std::vector<ScoredWord> found;
  SuggestWords(checker.session, word, {checker.maxSuggestions, checker.classic, SUGGEST_LEVEL_AUTO},
               found);
  for (ScoredWord& s : found) out.push_back(std::move(s.word));
  return out;
}

// A block over one line, closed when the walk is done.
struct LineBlock {
  int32_t session;
  int32_t block;
  ~LineBlock() {
    if (block >= 0) ORTH_CloseBlock(session, block);
  }
};

// The engine's word check of one Latin-1 word: the suggestions to answer
// with, or nullopt-like "correct" when the word is fine.
bool CheckEngineWord(const PipeChecker& checker, const std::string& word,
                     std::vector<std::string>& suggestions) {
  char other[WORD_MAX + 8] = {};
  const int32_t findings =
      ORTH_CheckWord(checker.session, checker.options, word.c_str(), other, sizeof other);
  if (findings < 0) return true;
  if ((findings & (RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD)) == 0) return true;
  std::vector<std::string> engine = EngineSuggestions(checker, word);
  // A replacement list hit is a miss whose first suggestion is the
  // replacement.
  if ((findings & (RES_CHANGE_WORD | RES_SUGGEST_WORD)) != 0 && other[0] != '\0') {
    suggestions.emplace_back(other);
  }
  for (std::string& s : engine) {
    bool repeated = false;
    for (const std::string& kept : suggestions) repeated = repeated || kept == s;
    if (!repeated && suggestions.size() < static_cast<std::size_t>(checker.maxSuggestions)) {
      suggestions.push_back(std::move(s));
    }
  }
  return false;
}

// Adds a word of a command line to a lexicon; warns when the engine refuses.
void AddCommandWord(const PipeChecker& checker, int32_t lex, std::string_view text, bool latin1,
                    bool lower) {
  std::string word = MakeMappedText(text, latin1).engine;
  if (lower) word = LowerLatin1(std::move(word));
  if (word.empty()) return;
  const int32_t result = ORTH_AddToLex(checker.session, lex, word.c_str(), nullptr);
  if (result < 0 && result != ERR_BAD_FORMAT && checker.warn) {
    checker.warn("cannot add '" + std::string(text) + "' to the word list (code " +
                 std::to_string(result) + ")");
  }
}

}  // namespace

PipeCommand ParsePipeCommand(std::string_view line) {
  PipeCommand command;
  command.text = line;
  if (line.empty()) return command;
  const std::string_view rest = line.substr(1);
  switch (line[0]) {
    case '^':
      command.text = rest;
      command.offsetBase = 1;
      return command;
    case '*':
      return {PipeCommandKind::ADD_PERSONAL, rest, 1};
    case '&':
      return {PipeCommandKind::ADD_PERSONAL_LOWER, rest, 1};
    case '@':
      return {PipeCommandKind::ACCEPT_FOR_RUN, rest, 1};
    case '#':
      return {PipeCommandKind::SAVE_PERSONAL, rest, 1};
    case '!':
      return {PipeCommandKind::TERSE_ON, rest, 1};
    case '%':
      return {PipeCommandKind::TERSE_OFF, rest, 1};
    case '+':
    case '-':
    case '~':
      return {PipeCommandKind::IGNORED, rest, 1};
    default:
      return command;
  }
}

bool ParsePipeEncoding(std::string_view name, PipeEncoding& encoding) {
  for (const char* utf8 : {"utf-8", "utf8"}) {
    if (EqualsIgnoringAsciiCase(name, utf8)) {
      encoding = PipeEncoding::UTF8;
      return true;
    }
  }
  for (const char* latin1 : {"latin1", "latin-1", "iso-8859-1", "iso8859-1", "iso_8859-1"}) {
    if (EqualsIgnoringAsciiCase(name, latin1)) {
      encoding = PipeEncoding::LATIN1;
      return true;
    }
  }
  return false;
}

std::string FormatWordAnswer(const WordAnswer& answer) {
  if (answer.correct) return "*";
  const std::string offset = std::to_string(answer.offset);
  if (answer.suggestions.empty()) return "# " + answer.word + " " + offset;
  std::string line =
      "& " + answer.word + " " + std::to_string(answer.suggestions.size()) + " " + offset + ":";
  for (std::size_t i = 0; i < answer.suggestions.size(); ++i) {
    line += i == 0 ? " " : ", ";
    line += answer.suggestions[i];
  }
  return line;
}

std::vector<WordAnswer> CheckPipeLine(const PipeChecker& checker, std::string_view text,
                                      bool latin1, std::size_t offsetBase) {
  std::vector<WordAnswer> answers;
  // One engine byte per character, so engine positions are the offsets.
  const MappedText mapped = MakeMappedText(text, latin1);
  const std::string& engine = mapped.engine;
  if (engine.empty()) return answers;
  const auto length = static_cast<uint32_t>(engine.size());
  LineBlock line{checker.session,
                 ORTH_OpenBlock(checker.session, engine.data(), length, length + 1, 1)};
  if (line.block < 0) return answers;
  std::vector<char> word(engine.size() + 1);
  do {
    uint32_t cursor = 0;
    ORTH_GetBlockInfo(checker.session, line.block, nullptr, nullptr, &cursor, nullptr);
    if (ORTH_GetBlockWord(checker.session, line.block, word.data(),
                          static_cast<uint32_t>(word.size())) < 0) {
      break;
    }
    const std::string latinWord(word.data());
    // The cursor stands on the word's first letter; find it from there in
    // case it stood before it.
    const std::size_t start = engine.find(latinWord, cursor);
    if (latinWord.empty() || start == std::string::npos) break;
    const std::size_t end = start + latinWord.size();
    WordAnswer answer;
    answer.offset = offsetBase + start;
    answer.word = EncodeMappedText(mapped, start, end);
    std::vector<std::string> suggestions;
    answer.correct = CheckEngineWord(checker, latinWord, suggestions);
    for (const std::string& s : suggestions) {
      answer.suggestions.push_back(mapped.utf8 ? Latin1ToUtf8Text(s) : s);
    }
    answers.push_back(std::move(answer));
  } while (ORTH_NextBlockWord(checker.session, line.block) == 0);
  return answers;
}

int RunPipeLoop(std::istream& in, std::ostream& out, PipeChecker& checker) {
  bool terse = false;
  bool personalModified = false;
  int32_t runLex = -1;  // in-memory Accept list for @word (and for *word without -p)
  auto runList = [&]() {
    if (runLex < 0) runLex = ORTH_CreateLex(checker.session, nullptr, LEX_TYPE_ACCEPT, 0);
    return runLex;
  };
  auto save = [&]() -> bool {
    if (!checker.savePersonal) return true;
    const std::string error = checker.savePersonal();
    if (!error.empty()) {
      if (checker.warn) checker.warn(error);
      return false;
    }
    personalModified = false;
    return true;
  };

  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool latin1 = checker.encoding == PipeEncoding::LATIN1 || !IsValidUtf8(line);
    const PipeCommand command = ParsePipeCommand(line);
    switch (command.kind) {
      case PipeCommandKind::CHECK_LINE: {
        for (const WordAnswer& answer :
             CheckPipeLine(checker, command.text, latin1, command.offsetBase)) {
          if (answer.correct && terse) continue;
          out << FormatWordAnswer(answer) << '\n';
        }
        out << '\n';
        out.flush();
        break;
      }
      case PipeCommandKind::ADD_PERSONAL:
      case PipeCommandKind::ADD_PERSONAL_LOWER: {
        const bool personal = checker.personalLex >= 0;
        const int32_t lex = personal ? checker.personalLex : runList();
        if (lex >= 0) {
          AddCommandWord(checker, lex, command.text, latin1,
                         command.kind == PipeCommandKind::ADD_PERSONAL_LOWER);
        }
        personalModified = personalModified || personal;
        break;
      }
      case PipeCommandKind::ACCEPT_FOR_RUN:
        if (runList() >= 0) AddCommandWord(checker, runLex, command.text, latin1, false);
        break;
      case PipeCommandKind::SAVE_PERSONAL:
        save();
        break;
      case PipeCommandKind::TERSE_ON:
        terse = true;
        break;
      case PipeCommandKind::TERSE_OFF:
        terse = false;
        break;
      case PipeCommandKind::IGNORED:
        break;
    }
  }
  if (personalModified && !save()) return 1;
  return 0;
}

}  // namespace orth::cli
