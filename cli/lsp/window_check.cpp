#include "lsp/window_check.h"

#include <algorithm>

#include "check/code_words.h"
#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lexcompiler/text_encoding.h"

namespace orth::cli::lsp {

namespace {

uint64_t Mix(uint64_t value) {
  value ^= value >> 30;
  value *= 0xbf58476d1ce4e5b9ULL;
  value ^= value >> 27;
  value *= 0x94d049bb133111ebULL;
  return value ^ (value >> 31);
}

uint64_t Combine(uint64_t hash, uint64_t value) {
  return Mix(hash ^ (value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2)));
}

uint64_t HashBytes(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return hash;
}

// The engine byte of the character at `at` of UTF-8 text and its length.
char EngineCharAt(std::string_view text, size_t at, size_t& length) {
  const char c = text[at];
  length = 1;
  if (static_cast<unsigned char>(c) < 0x80) return c;
  uint32_t value = 0;
  length = DecodeUtf8Char(text.substr(at), value);
  if (length == 0) {
    length = 1;
    return c;
  }
  return EngineByteOf(value);
}

// The character before `at` (a UTF-8 sequence ends there) as an engine
// byte, and where it starts.
char EngineCharBefore(std::string_view text, size_t at, size_t& start) {
  start = at - 1;
  while (start > 0 && at - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
    --start;
  }
  size_t length = 0;
  const char c = EngineCharAt(text, start, length);
  if (start + length != at) {
    start = at - 1;
    return text[at - 1];
  }
  return c;
}

// The key of a misspelled word as the checker compares it with code names:
// lower case, without the apostrophes that end it.
uint64_t MisspelledKey(std::string_view word) {
  std::string lower;
  lower.reserve(word.size());
  for (const char c : word) lower += ToLower(c);
  while (!lower.empty() && lower.back() == '\'') lower.pop_back();
  return CodeNameKey(lower);
}

// The whole word around the source bytes [begin, end): the letters, digits
// and apostrophes that continue it on both sides; begin and end are widened
// to it.
uint64_t WholeWordKey(std::string_view text, size_t& begin, size_t& end) {
  while (begin > 0) {
    size_t start = 0;
    const char c = EngineCharBefore(text, begin, start);
    if (!ContinuesWord(c)) break;
    begin = start;
  }
  while (end < text.size()) {
    size_t length = 0;
    if (!ContinuesWord(EngineCharAt(text, end, length))) break;
    end += length;
  }
  std::string word;
  for (size_t at = begin; at < end;) {
    size_t length = 0;
    word += EngineCharAt(text, at, length);
    at += length;
  }
  // The word starts at its first letter, as the checker's words do.
  size_t first = 0;
  while (first < word.size() && !IsLetter(word[first])) ++first;
  return MisspelledKey(std::string_view(word).substr(first));
}

enum EventKind : uint64_t { TEXT = 1, DECODED, MARKUP, BREAK, COMMENT, CODE };

// Sits between the parser and the checker (see window_check.h).
class ParagraphRecorder final : public PieceSink {
 public:
  ParagraphRecorder(size_t base, size_t end, bool hashAtEnd, const std::vector<size_t>& paragraphs,
                    DocumentChecker& checker, WindowResult& out)
      : base_(base),
        end_(end),
        hashAtEnd_(hashAtEnd),
        paragraphs_(paragraphs),
        checker_(checker),
        out_(out) {
    out_.hashes.assign(paragraphs.size(), 0);
  }

  void BeginPiece(std::string_view piece, size_t base) override {
    checker_.BeginPiece(piece, base);
  }
  void EndPiece(size_t end) override { checker_.EndPiece(end); }

  void Text(std::string_view bytes, size_t offset, TextRole role) override {
    Before(offset);
    Record(offset, {TEXT, static_cast<uint64_t>(role), bytes.size()});
    checker_.Text(bytes, offset, role);
  }
  void Decoded(std::string_view decoded, size_t begin, size_t end, TextRole role) override {
    Before(begin);
    Record(begin, {DECODED, static_cast<uint64_t>(role), end - begin, HashBytes(decoded)});
    checker_.Decoded(decoded, begin, end, role);
  }
  void Markup(size_t offset) override {
    Before(offset);
    Record(offset, {MARKUP});
    checker_.Markup(offset);
  }
  void Break(size_t offset) override {
    Before(offset);
    Record(offset, {BREAK});
    checker_.Break(offset);
  }
  void Comment(std::string_view bytes, size_t offset) override {
    Before(offset);
    Record(offset, {COMMENT, bytes.size()});
    checker_.Comment(bytes, offset);
  }
  void Code(std::string_view bytes, size_t offset) override {
    Record(offset, {CODE, bytes.size()});
    const size_t at = base_ + offset;
    ForEachCodeWord(bytes, false, word_, [this, at](const std::string& word) {
      out_.codeNames.push_back({at, CodeNameKey(word)});
    });
  }

 private:
  // A paragraph that starts before `offset` starts a new run for the checker.
  void Before(size_t offset) {
    const size_t at = base_ + offset;
    while (nextStart_ < paragraphs_.size() && paragraphs_[nextStart_] <= at) {
      if (nextStart_ > 0) checker_.Break(paragraphs_[nextStart_] - base_);
      ++nextStart_;
    }
  }

  void Record(size_t offset, std::initializer_list<uint64_t> values) {
    const size_t at = base_ + offset;
    if (at >= end_ && !hashAtEnd_) return;
    // Most spans come in order: look from the last paragraph on.
    if (current_ >= paragraphs_.size() || paragraphs_[current_] > at ||
        (current_ + 1 < paragraphs_.size() && paragraphs_[current_ + 1] <= at)) {
      current_ = static_cast<size_t>(std::upper_bound(paragraphs_.begin(), paragraphs_.end(), at) -
                                     paragraphs_.begin()) -
                 1;
    }
    if (current_ >= paragraphs_.size()) return;  // before the first: cannot happen
    uint64_t& hash = out_.hashes[current_];
    hash = Combine(hash, at - paragraphs_[current_]);
    for (const uint64_t value : values) hash = Combine(hash, value);
  }

  size_t base_;
  size_t end_;
  bool hashAtEnd_;
  const std::vector<size_t>& paragraphs_;
  DocumentChecker& checker_;
  WindowResult& out_;
  size_t nextStart_ = 0;
  size_t current_ = 0;
  std::string word_;
};

}  // namespace

uint64_t CodeNameKey(std::string_view lowerWord) {
  return Mix(HashBytes(lowerWord));
}

void FindingCollector::Start(std::string_view document, size_t base, std::vector<Finding>* out) {
  document_ = document;
  base_ = base;
  out_ = out;
  wholeBegin_ = wholeEnd_ = 0;
}

void FindingCollector::Word(const CheckedWord& word, DocumentChecker&) {
  if (out_ == nullptr || word.verdict == WordVerdict::CORRECT) return;
  Finding finding;
  finding.begin = base_ + word.sourceBegin;
  finding.end = base_ + word.sourceEnd;
  finding.verdict = word.verdict;
  finding.word.assign(word.word);
  finding.other.assign(word.other);
  if (word.verdict == WordVerdict::MISSPELLED) {
    finding.wordKey = MisspelledKey(word.word);
    // The parts of one long identifier share their whole word: it is read
    // once, not once a part.
    if (finding.begin < wholeBegin_ || finding.end > wholeEnd_) {
      wholeBegin_ = finding.begin;
      wholeEnd_ = finding.end;
      wholeKey_ = WholeWordKey(document_, wholeBegin_, wholeEnd_);
    }
    finding.wholeKey = wholeKey_;
  }
  out_->push_back(std::move(finding));
}

void CheckWindow(std::string_view document, size_t begin, size_t end,
                 const std::vector<size_t>& paragraphs, const ParserChoice& parser,
                 DocumentChecker& checker, FindingCollector& collector, WindowResult& out) {
  out.findings.clear();
  out.codeNames.clear();
  const std::string_view window = document.substr(begin, end - begin);
  ParserContext context;
  context.fileName = parser.fileName;
  context.head = document.substr(0, 4096);
  context.modeName = parser.modeName;
  context.options = &parser.options;
  const auto reader = parser.format->make(context);
  collector.Start(document, begin, &out.findings);
  ParagraphRecorder recorder(begin, end, end == document.size(), paragraphs, checker, out);
  checker.StartDocument();
  recorder.BeginPiece(window, 0);
  reader->Parse(window, 0, InputEnd::LAST, recorder);
  recorder.EndPiece(window.size());
  collector.Start({}, 0, nullptr);
  std::stable_sort(out.findings.begin(), out.findings.end(),
                   [](const Finding& a, const Finding& b) { return a.begin < b.begin; });
}

}  // namespace orth::cli::lsp
