// The interactive correction: the findings of each piece, the screen, the
// keys and their undo, over a working copy of the piece's bytes.
#include "commands/fix_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "check/non_words.h"
#include "check/word_lookup.h"
#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lexcompiler/text_encoding.h"

namespace orth::cli {

namespace {

constexpr uint32_t MISS_BITS = RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD | RES_WRONG_CASE;
constexpr std::size_t MAX_SHOWN_SUGGESTIONS = 9;  // one digit key each

constexpr char KEY_HELP[] =
    "[1-9] replace  r type a replacement  a add to list  i ignore  I ignore all\n"
    "d delete doubled word  u undo  q save and quit  x quit without saving\n";

// One finding of the piece being walked, at bytes of the working copy.
struct Finding {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t line = 1;  // in the whole file
  std::string word;      // Latin-1, as the engine checked it
  std::string other;     // a list's replacement or suggestion (Latin-1), else empty
  bool miss = false;     // misspelled, or on a replacement or suggest list
  bool doubled = false;  // repeats the word before it
  bool suggested = false;
  std::vector<std::string> suggestions;  // Latin-1
};

// What `u` takes back: an edit of the working copy, which replaced the
// finding at `index` by the findings of the new bytes, or a word added to a
// list.
struct UndoStep {
  std::size_t index = 0;
  bool textEdit = true;
  std::size_t at = 0;
  std::string removed;
  std::size_t insertedLength = 0;
  Finding replaced;
  std::size_t insertedFindings = 0;
  int32_t lex = -1;
  std::string entry;  // the entry the list stored ("" when it held it already)
};

// The character at bytes[i] (moving i past it): UTF-8, where a byte that
// starts no well-formed character stands for its Latin-1 character, or
// Latin-1.
uint32_t NextChar(std::string_view bytes, std::size_t& i, bool latin1) {
  uint32_t c = static_cast<unsigned char>(bytes[i]);
  std::size_t length = latin1 ? 1 : DecodeUtf8Char(bytes.substr(i), c);
  if (length == 0) {
    c = static_cast<unsigned char>(bytes[i]);
    length = 1;
  }
  i += length;
  return c;
}

// Control characters would move the cursor about: they show as '?'.
uint32_t Shown(uint32_t c) {
  return (c < 0x20 && c != '\t') || (c >= 0x7F && c < 0xA0) ? uint32_t{'?'} : c;
}

std::string ShownText(std::string_view bytes, bool latin1) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) AppendUtf8(out, Shown(NextChar(bytes, i, latin1)));
  return out;
}

// The line of text holding byte pos, without its line end, and where the
// next line starts (npos after the last).
struct LineSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = std::string::npos;
};

LineSpan LineOf(std::string_view text, std::size_t pos) {
  LineSpan line;
  const std::size_t before = pos == 0 ? std::string::npos : text.rfind('\n', pos - 1);
  line.begin = before == std::string::npos ? 0 : before + 1;
  line.end = text.find('\n', pos);
  if (line.end == std::string::npos) {
    line.end = text.size();
  } else {
    line.next = line.end + 1;
  }
  if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
  return line;
}

// The entries of a text lexicon.
std::vector<std::string> ListLex(int32_t session, int32_t lex) {
  std::vector<std::string> entries;
  int32_t size = 0;
  if (lex < 0 || ORTH_GetLexInfo(session, lex, &size, nullptr, nullptr, nullptr) < 0) {
    return entries;
  }
  std::vector<char> buffer(static_cast<std::size_t>(size) + 2);
  const int32_t count =
      ORTH_GetLex(session, lex, buffer.data(), static_cast<uint32_t>(buffer.size()));
  const char* p = buffer.data();
  for (int32_t i = 0; i < count; ++i, p += std::strlen(p) + 1) entries.emplace_back(p);
  return entries;
}

// The first typographic apostrophe of UTF-8 bytes, or "".
std::string_view TypographicApostrophe(std::string_view bytes) {
  for (const std::string_view mark : {"\xe2\x80\x99", "\xe2\x80\x98", "\xca\xbc"}) {
    if (bytes.find(mark) != std::string_view::npos) return mark;
  }
  return {};
}

class FixRun;

// Hands the reader the bytes of the head past the window first, then the
// source's; reads nothing more once the run has stopped (x, a failure), so
// that the rest of a large file is not parsed for nothing.
class FixSource final : public ByteSource {
 public:
  FixSource(ByteSource& source, std::string pending, FixRun& run)
      : source_(source), pending_(std::move(pending)), run_(run) {}
  bool Read(char* buffer, std::size_t size, std::size_t& got, std::string& error) override;

 private:
  ByteSource& source_;
  std::string pending_;
  std::size_t taken_ = 0;
  FixRun& run_;
};

// Sits between the parser and the checking stage: forwards every span, and
// at the end of each piece walks the piece's findings with the user over a
// working copy of its bytes and hands the copy on.
class FixRun final : public PieceSink, private FindingSink {
 public:
  FixRun(FixContext& context, const FixOutput& output)
      : context_(context),
        output_(output),
        checker_(context.session, context.policy, *this),
        latin1_(context.policy.latin1Input) {}

  DocumentChecker& checker() { return checker_; }
  FixOutcome outcome() const { return outcome_; }
  const std::string& error() const { return error_; }
  bool stopped() const {
    return outcome_ == FixOutcome::QUIT_WITHOUT_SAVING || outcome_ == FixOutcome::FAILED;
  }
  void Fail(const std::string& error) {
    outcome_ = FixOutcome::FAILED;
    error_ = error;
  }

  void BeginPiece(std::string_view piece, std::size_t base) override {
    piece_ = piece;
    base_ = base;
    if (walking()) checker_.BeginPiece(piece, base);
  }
  void EndPiece(std::size_t end) override;
  void Text(std::string_view bytes, std::size_t offset, TextRole role) override {
    if (walking()) checker_.Text(bytes, offset, role);
  }
  void Decoded(std::string_view decoded, std::size_t begin, std::size_t end,
               TextRole role) override {
    if (walking()) checker_.Decoded(decoded, begin, end, role);
  }
  void Markup(std::size_t offset) override {
    if (walking()) checker_.Markup(offset);
  }
  void Break(std::size_t offset) override {
    if (walking()) checker_.Break(offset);
  }
  void Comment(std::string_view bytes, std::size_t offset) override {
    if (walking()) checker_.Comment(bytes, offset);
  }

 private:
  // After q the rest of the input is only copied.
  bool walking() const { return outcome_ == FixOutcome::FINISHED; }

  void Word(const CheckedWord& word, DocumentChecker& checker) override;
  void Hand(std::string_view bytes);

  FixOutcome Walk();
  bool IsWrong(std::string_view word, std::string* other) const;
  void Suggest(Finding& finding) const;
  std::vector<Finding> WrongWords(std::string_view bytes, std::size_t at, std::size_t line) const;
  std::string Written(const Finding& finding, const std::string& latin1) const;
  void Edit(std::size_t index, std::size_t at, std::size_t length, const std::string& bytes,
            std::vector<Finding> found);
  bool AddWord(std::size_t index, int32_t lex, const std::string& word, bool personal);
  void Undo(std::size_t& current);
  std::string ShowLine(const LineSpan& line, const Finding* finding) const;
  void Show(const Finding& finding, bool miss, const std::string& note) const;

  FixContext& context_;
  const FixOutput& output_;
  DocumentChecker checker_;
  const bool latin1_;
  FixOutcome outcome_ = FixOutcome::FINISHED;
  std::string error_;

  std::string_view piece_;
  std::size_t base_ = 0;
  std::size_t pieceEnd_ = 0;
  std::size_t pieceNumber_ = 0;
  std::vector<Finding> findings_;
  std::string work_;  // the piece's bytes as corrected so far
  std::vector<UndoStep> undo_;
  std::string note_;  // said under the next screen
};

bool FixSource::Read(char* buffer, std::size_t size, std::size_t& got, std::string& error) {
  got = 0;
  if (run_.stopped()) return true;
  if (taken_ < pending_.size()) {
    got = std::min(size, pending_.size() - taken_);
    std::memcpy(buffer, pending_.data() + taken_, got);
    taken_ += got;
    return true;
  }
  if (source_.Read(buffer, size, got, error)) return true;
  // Nothing more is walked: the file is not saved.
  run_.Fail("cannot read the file: " + error);
  return false;
}

void FixRun::Word(const CheckedWord& word, DocumentChecker& checker) {
  // Only words wholly inside the piece can be edited in it, one at a time.
  if (word.sourceBegin < base_ || word.sourceEnd > pieceEnd_ ||
      word.sourceEnd <= word.sourceBegin) {
    return;
  }
  const std::size_t begin = word.sourceBegin - base_;
  const std::size_t end = word.sourceEnd - base_;
  if (!findings_.empty()) {
    Finding& last = findings_.back();
    // A misspelled word that is also doubled is one finding.
    if (word.verdict == WordVerdict::DOUBLED && last.begin == begin && last.end == end) {
      last.doubled = true;
      return;
    }
    if (begin < last.end) return;
  }
  Finding finding;
  finding.begin = begin;
  finding.end = end;
  finding.line = checker.Position(word.sourceBegin).line;
  finding.word = word.word;
  if (word.verdict == WordVerdict::DOUBLED) {
    finding.doubled = true;
  } else {
    finding.miss = true;
    finding.other = word.other;
  }
  findings_.push_back(std::move(finding));
}

void FixRun::Hand(std::string_view bytes) {
  if (bytes.empty() || stopped()) return;
  std::string failure;
  if (!output_(bytes, failure)) Fail(failure);
}

void FixRun::EndPiece(std::size_t end) {
  if (stopped()) return;
  const std::string_view original = piece_.substr(0, std::min(end - base_, piece_.size()));
  if (!original.empty()) ++pieceNumber_;
  if (walking()) {
    findings_.clear();
    pieceEnd_ = end;
    checker_.EndPiece(end);
    if (!findings_.empty()) {
      work_.assign(original);
      undo_.clear();
      outcome_ = Walk();
      if (stopped()) return;
      if (work_ != original) context_.changed = true;
      Hand(work_);
      return;
    }
  }
  Hand(original);
}

bool FixRun::IsWrong(std::string_view word, std::string* other) const {
  const std::string text(word);
  char buffer[WORD_MAX + 2] = {};
  const int32_t result = ORTH_CheckWord(context_.session, context_.policy.engineOptions,
                                        text.c_str(), buffer, sizeof buffer);
  if (result <= 0 || (result & MISS_BITS) == 0) return false;
  buffer[sizeof buffer - 1] = '\0';
  if (other != nullptr && (result & (RES_CHANGE_WORD | RES_SUGGEST_WORD | RES_WRONG_CASE)) != 0) {
    *other = buffer;
  }
  return true;
}

void FixRun::Suggest(Finding& finding) const {
  finding.suggested = true;
  if (!finding.other.empty()) finding.suggestions.push_back(finding.other);
  std::vector<ScoredWord> found;
  SuggestWords(context_.session, finding.word, context_.suggestion, found);
  for (ScoredWord& s : found) {
    if (std::find(finding.suggestions.begin(), finding.suggestions.end(), s.word) ==
        finding.suggestions.end()) {
      finding.suggestions.push_back(std::move(s.word));
    }
  }
  if (finding.suggestions.size() > MAX_SHOWN_SUGGESTIONS) {
    finding.suggestions.resize(MAX_SHOWN_SUGGESTIONS);
  }
}

// The words of new bytes at `at` that are still wrong: a replacement is
// checked as the text around it was, and shown again while it is wrong.
std::vector<Finding> FixRun::WrongWords(std::string_view bytes, std::size_t at,
                                        std::size_t line) const {
  std::string engine;
  std::vector<std::size_t> offsets;  // where each engine byte's character starts
  for (std::size_t i = 0; i < bytes.size();) {
    offsets.push_back(i);
    engine.push_back(EngineByteOf(NextChar(bytes, i, latin1_)));
  }
  offsets.push_back(bytes.size());
  const uint32_t skip = context_.policy.skipKinds;
  std::vector<Finding> wrong;
  for (std::size_t i = 0; i < engine.size();) {
    if (!IsLetter(engine[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    uint8_t classes = 0;
    while (i < engine.size() && ContinuesWord(engine[i])) classes |= ClassOf(engine[i++]);
    std::size_t last = i;
    while (last > start && engine[last - 1] == '\'') --last;
    const bool digits = (classes & LATIN1_DIGIT) != 0;
    const bool capitals = (classes & LATIN1_LOWER) == 0 && last - start >= 2;
    if ((digits && (skip & NON_WORD_DIGITS) != 0) || (capitals && (skip & NON_WORD_CAPS) != 0)) {
      continue;
    }
    Finding finding;
    finding.word = engine.substr(start, last - start);
    if (!IsWrong(finding.word, &finding.other)) continue;
    finding.begin = at + offsets[start];
    finding.end = at + offsets[last];
    finding.line = line;
    finding.miss = true;
    wrong.push_back(std::move(finding));
  }
  return wrong;
}

// A suggestion (Latin-1) as the file writes it: Latin-1 bytes, or UTF-8
// with the word's own typographic apostrophe.
std::string FixRun::Written(const Finding& finding, const std::string& latin1) const {
  if (latin1_) return latin1;
  std::string utf8 = Latin1ToUtf8Text(latin1);
  const std::string_view mark = TypographicApostrophe(
      std::string_view(work_).substr(finding.begin, finding.end - finding.begin));
  if (mark.empty()) return utf8;
  std::string out;
  for (const char c : utf8) {
    if (c == '\'') {
      out.append(mark);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void FixRun::Edit(std::size_t index, std::size_t at, std::size_t length, const std::string& bytes,
                  std::vector<Finding> found) {
  UndoStep step;
  step.index = index;
  step.at = at;
  step.removed = work_.substr(at, length);
  step.insertedLength = bytes.size();
  step.replaced = std::move(findings_[index]);
  step.insertedFindings = found.size();
  work_.replace(at, length, bytes);
  findings_.erase(findings_.begin() + static_cast<std::ptrdiff_t>(index));
  findings_.insert(findings_.begin() + static_cast<std::ptrdiff_t>(index),
                   std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  // The findings after the edit move with the bytes.
  for (std::size_t j = index + step.insertedFindings; j < findings_.size(); ++j) {
    findings_[j].begin = findings_[j].begin - length + bytes.size();
    findings_[j].end = findings_[j].end - length + bytes.size();
  }
  undo_.push_back(std::move(step));
  ++context_.changes;
}

bool FixRun::AddWord(std::size_t index, int32_t lex, const std::string& word, bool personal) {
  const std::vector<std::string> before = ListLex(context_.session, lex);
  if (lex < 0 || ORTH_AddToLex(context_.session, lex, word.c_str(), nullptr) < 0) {
    note_ = "cannot add '" + Latin1ToUtf8Text(word) + "' to the word list";
    return false;
  }
  UndoStep step;
  step.index = index;
  step.textEdit = false;
  step.lex = lex;
  // The entry the list stores (the word's look-up form), if it is new.
  for (const std::string& entry : ListLex(context_.session, lex)) {
    if (std::find(before.begin(), before.end(), entry) == before.end()) step.entry = entry;
  }
  undo_.push_back(std::move(step));
  if (personal) context_.personalModified = true;
  // The checker remembers answers: the word is right from now on.
  checker_.ForgetLookups();
  return true;
}

void FixRun::Undo(std::size_t& current) {
  UndoStep step = std::move(undo_.back());
  undo_.pop_back();
  if (step.textEdit) {
    work_.replace(step.at, step.insertedLength, step.removed);
    const auto first = findings_.begin() + static_cast<std::ptrdiff_t>(step.index);
    findings_.erase(first, first + static_cast<std::ptrdiff_t>(step.insertedFindings));
    findings_.insert(findings_.begin() + static_cast<std::ptrdiff_t>(step.index),
                     std::move(step.replaced));
    for (std::size_t j = step.index + 1; j < findings_.size(); ++j) {
      findings_[j].begin = findings_[j].begin - step.insertedLength + step.removed.size();
      findings_[j].end = findings_[j].end - step.insertedLength + step.removed.size();
    }
    --context_.changes;
  } else {
    if (!step.entry.empty()) ORTH_DelFromLex(context_.session, step.lex, step.entry.c_str());
    checker_.ForgetLookups();
  }
  // Back to the finding, so that it is shown again.
  current = step.index;
}

FixOutcome FixRun::Walk() {
  std::size_t current = 0;
  while (current < findings_.size()) {
    // A word added to a list since it was found is right now.
    const bool miss = findings_[current].miss && IsWrong(findings_[current].word, nullptr);
    if (!miss && !findings_[current].doubled) {
      ++current;
      continue;
    }
    if (miss && !findings_[current].suggested) Suggest(findings_[current]);
    const Finding& finding = findings_[current];
    Show(finding, miss, note_);
    note_.clear();
    Terminal& terminal = *context_.terminal;
    const std::optional<char> key = ReadKey(terminal, "? ");
    if (!key) return FixOutcome::QUIT_WITHOUT_SAVING;
    std::fputc('\n', terminal.out);
    const char k = *key;
    if (k >= '1' && k <= '9') {
      const auto choice = static_cast<std::size_t>(k - '1');
      if (!miss || choice >= finding.suggestions.size()) {
        note_ = "no suggestion " + std::string(1, k);
        continue;
      }
      const std::string bytes = Written(finding, finding.suggestions[choice]);
      Edit(current, finding.begin, finding.end - finding.begin, bytes,
           WrongWords(bytes, finding.begin, finding.line));
    } else if (k == 'r') {
      const std::optional<std::string> typed = ReadTextLine(terminal, "replace with: ");
      if (!typed || typed->empty()) continue;
      std::string latin1;
      if (!WordToLatin1(*typed, latin1)) {
        note_ = "the replacement holds a character the engine cannot check";
        continue;
      }
      const std::string bytes = latin1_ ? latin1 : WellFormedUtf8(*typed);
      Edit(current, finding.begin, finding.end - finding.begin, bytes,
           WrongWords(bytes, finding.begin, finding.line));
    } else if (k == 'a' && miss) {
      const bool personal = context_.personalLex >= 0;
      if (AddWord(current, personal ? context_.personalLex : context_.runLex, finding.word,
                  personal)) {
        ++current;
      }
    } else if (k == 'i') {
      ++current;
    } else if (k == 'I') {
      if (!miss || AddWord(current, context_.runLex, finding.word, false)) ++current;
    } else if (k == 'd' && finding.doubled) {
      // The word goes with the spaces after it, or at the end of a line
      // with the spaces before it.
      std::size_t begin = finding.begin;
      std::size_t end = finding.end;
      std::size_t after = end;
      while (after < work_.size() && (work_[after] == ' ' || work_[after] == '\t')) ++after;
      if (after > end && after < work_.size() && work_[after] != '\n' && work_[after] != '\r') {
        end = after;
      } else {
        while (begin > 0 && (work_[begin - 1] == ' ' || work_[begin - 1] == '\t')) --begin;
      }
      Edit(current, begin, end - begin, std::string(), {});
    } else if (k == 'u') {
      if (undo_.empty()) {
        note_ = "nothing to undo";
        continue;
      }
      Undo(current);
    } else if (k == 'q') {
      return FixOutcome::SAVE_AND_QUIT;
    } else if (k == 'x') {
      return FixOutcome::QUIT_WITHOUT_SAVING;
    } else {
      note_ = KEY_HELP;
    }
  }
  return FixOutcome::FINISHED;
}

// One line of the working copy for the screen, the finding's word
// highlighted when it is in it, cut to the terminal's width around the word.
std::string FixRun::ShowLine(const LineSpan& line, const Finding* finding) const {
  const Terminal& terminal = *context_.terminal;
  const auto width = static_cast<std::size_t>(TerminalWidth(terminal)) - 10;
  const std::string_view text(work_);
  auto chars = [&](std::size_t from, std::size_t to) {
    std::vector<uint32_t> out;
    for (std::size_t i = from; i < to;) out.push_back(Shown(NextChar(text, i, latin1_)));
    return out;
  };
  auto encode = [](const std::vector<uint32_t>& cs, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < cs.size(); ++i) AppendUtf8(out, cs[i]);
    return out;
  };
  if (finding == nullptr || finding->begin < line.begin || finding->begin >= line.end) {
    const std::vector<uint32_t> all = chars(line.begin, line.end);
    return encode(all, 0, std::min(all.size(), width));
  }
  const std::size_t wordEnd = std::min(finding->end, line.end);
  const std::vector<uint32_t> before = chars(line.begin, finding->begin);
  const std::vector<uint32_t> word = chars(finding->begin, wordEnd);
  const std::vector<uint32_t> after = chars(wordEnd, line.end);
  std::size_t keepBefore = before.size();
  std::size_t keepAfter = after.size();
  if (before.size() + word.size() + after.size() > width) {
    const std::size_t room = width > word.size() ? width - word.size() : 0;
    keepBefore = std::min(before.size(), std::max(room / 2, room - std::min(room, keepAfter)));
    keepAfter = std::min(after.size(), room - keepBefore);
  }
  return encode(before, before.size() - keepBefore, before.size()) +
         Highlight(terminal, encode(word, 0, word.size())) + encode(after, 0, keepAfter);
}

void FixRun::Show(const Finding& finding, bool miss, const std::string& note) const {
  Terminal& terminal = *context_.terminal;
  const LineSpan line = LineOf(work_, finding.begin);
  const std::string word = ShownText(
      std::string_view(work_).substr(finding.begin, finding.end - finding.begin), latin1_);
  std::string out;
  if (terminal.screen) {
    ClearScreen(terminal);
    out +=
        "orthspell fix: " + context_.fileName + "  (part " + std::to_string(pieceNumber_) + ")\n\n";
    if (line.begin > 0) out += "  " + ShowLine(LineOf(work_, line.begin - 1), nullptr) + "\n";
    out += "> " + ShowLine(line, &finding) + "\n";
    if (line.next != std::string::npos && line.next < work_.size()) {
      out += "  " + ShowLine(LineOf(work_, line.next), nullptr) + "\n";
    }
    out += "\n";
  } else {
    out += context_.fileName + ":" + std::to_string(finding.line) + ": " +
           ShowLine(line, &finding) + "\n";
  }
  out +=
      finding.doubled ? "doubled word '" + word + "'" : "'" + word + "' is not in the dictionary";
  out += terminal.screen ? "  (line " + std::to_string(finding.line) + ")\n" : "\n";
  if (miss) {
    const std::vector<std::string>& suggestions = finding.suggestions;
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
      out += "  " + std::to_string(i + 1) + ") " + Latin1ToUtf8Text(suggestions[i]) +
             (i % 3 == 2 || i + 1 == suggestions.size() ? "\n" : "");
    }
  }
  if (terminal.screen) out += "\n" + std::string(KEY_HELP);
  if (!note.empty()) out += note + "\n";
  std::fputs(out.c_str(), terminal.out);
}

}  // namespace

FixOutcome FixDocument(FixContext& context, ByteSource& source, InputHead head,
                       DocumentParser& parser, std::size_t window, const FixOutput& output,
                       std::string& error) {
  FixRun run(context, output);
  ReadOptions read;
  read.window = std::max<std::size_t>(window, 64);
  // The reader starts with the head: what lies past the window comes later.
  std::string pending;
  if (head.bytes.size() > read.window) {
    pending = head.bytes.substr(read.window);
    head.bytes.resize(read.window);
    head.ended = false;
  }
  FixSource fixSource(source, std::move(pending), run);
  run.checker().StartDocument();
  std::string readError;
  const bool complete = ReadDocument(fixSource, std::move(head), parser, run, read, readError);
  if (!complete && !run.stopped()) run.Fail("cannot read the file: " + readError);
  if (run.outcome() == FixOutcome::FAILED) error = run.error();
  return run.outcome();
}

}  // namespace orth::cli
