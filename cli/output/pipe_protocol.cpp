// The ispell pipe protocol loop: command parsing, checking a line word by
// word through a block, and the answer lines.
#include "output/pipe_protocol.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>

#include "check/document_checker.h"
#include "check/word_lookup.h"
#include "encoding/engine_text.h"
#include "input/document_reader.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"

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

// Checks the lines of a conversation as one document in the current mode
// and collects the answers of each line.
class LineChecker final : public FindingSink {
 public:
  explicit LineChecker(const PipeChecker& pipe)
      : pipe_(pipe), checker_(pipe.session, Policy(pipe), *this) {
    checker_.StartDocument();
    SetMode(pipe.mode);
  }

  void SetMode(const DocumentFormat* format) {
    const DocumentFormat& chosen = format != nullptr ? *format : TextFormat();
    ParserContext context;
    context.modeName = std::string(chosen.name);
    context.options = &pipe_.formatOptions;
    parser_ = chosen.make(context);
  }

  void ForgetLookups() { checker_.ForgetLookups(); }

  std::vector<WordAnswer> Check(std::string_view text, bool latin1, std::size_t offsetBase) {
    answers_.clear();
    line_.assign(text);
    line_ += '\n';
    latin1_ = latin1;
    offsetBase_ = offsetBase;
    checker_.SetLatin1Input(latin1);
    size_t taken = 0;
    while (taken < line_.size()) {
      const std::string_view rest = std::string_view(line_).substr(taken);
      checker_.BeginPiece(rest, base_ + taken);
      size_t now = parser_->Parse(rest, base_ + taken, InputEnd::FULL, checker_);
      if (now == 0 || now > rest.size()) now = rest.size();
      checker_.EndPiece(base_ + taken + now);
      taken += now;
    }
    base_ += line_.size();
    return std::move(answers_);
  }

  bool wantsCorrectWords() const override { return true; }

  void Word(const CheckedWord& word, DocumentChecker&) override {
    if (word.verdict == WordVerdict::DOUBLED || word.sourceBegin < base_ ||
        word.sourceEnd > base_ + line_.size()) {
      return;
    }
    const size_t begin = word.sourceBegin - base_;
    const size_t end = word.sourceEnd - base_;
    WordAnswer answer;
    answer.word = line_.substr(begin, end - begin);
    // Offsets count bytes of Latin-1 lines and characters of UTF-8 ones.
    answer.offset =
        offsetBase_ + (latin1_ ? begin : CountCharacters(std::string_view(line_).substr(0, begin)));
    answer.correct = word.verdict == WordVerdict::CORRECT;
    if (!answer.correct) {
      std::vector<std::string> suggestions;
      // A replacement list's hit is a miss whose first suggestion is the
      // replacement.
      if (!word.other.empty()) suggestions.emplace_back(word.other);
      for (std::string& s : EngineSuggestions(pipe_, std::string(word.word))) {
        if (suggestions.size() >= static_cast<std::size_t>(pipe_.maxSuggestions)) break;
        if (std::find(suggestions.begin(), suggestions.end(), s) == suggestions.end()) {
          suggestions.push_back(std::move(s));
        }
      }
      for (const std::string& s : suggestions) {
        answer.suggestions.push_back(latin1_ ? s : Latin1ToUtf8Text(s));
      }
    }
    answers_.push_back(std::move(answer));
  }

 private:
  static CheckPolicy Policy(const PipeChecker& pipe) {
    CheckPolicy policy;
    policy.engineOptions = pipe.options;
    policy.reportDoubled = false;  // words come one at a time
    policy.skipKinds = pipe.skipKinds;
    return policy;
  }

  static size_t CountCharacters(std::string_view utf8) {
    size_t count = 0;
    for (std::size_t i = 0; i < utf8.size();) {
      uint32_t c = 0;
      const std::size_t length = DecodeUtf8Char(utf8.substr(i), c);
      i += length == 0 ? 1 : length;
      ++count;
    }
    return count;
  }

  const PipeChecker& pipe_;
  DocumentChecker checker_;
  std::unique_ptr<DocumentParser> parser_;
  std::string line_;
  bool latin1_ = false;
  std::size_t offsetBase_ = 0;
  std::size_t base_ = 0;  // where the line starts in the conversation
  std::vector<WordAnswer> answers_;
};

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
      return {PipeCommandKind::MODE_TEX, rest, 1};
    case '-':
      return {PipeCommandKind::MODE_DEFAULT, rest, 1};
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

int RunPipeLoop(std::istream& in, std::ostream& out, PipeChecker& checker) {
  LineChecker lines(checker);
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
        for (const WordAnswer& answer : lines.Check(command.text, latin1, command.offsetBase)) {
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
        lines.ForgetLookups();
        break;
      }
      case PipeCommandKind::ACCEPT_FOR_RUN:
        if (runList() >= 0) AddCommandWord(checker, runLex, command.text, latin1, false);
        lines.ForgetLookups();
        break;
      case PipeCommandKind::MODE_TEX:
        lines.SetMode(FindFormat("tex"));
        break;
      case PipeCommandKind::MODE_DEFAULT:
        lines.SetMode(checker.mode);
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
