#include "check/document_checker.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "check/code_words.h"
#include "check/elisions.h"
#include "check/identifier_parts.h"
#include "check/non_words.h"
#include "encoding/engine_text.h"
#include "encoding/latin1_classes.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"

namespace orth::cli {

namespace {

// Marks the end of a span in the engine text: no word and no doubled-word
// test runs across it. The engine reads it as a character of no class.
constexpr char BREAK = '\0';

constexpr uint32_t TOKEN_KINDS = NON_WORD_ALL & ~(NON_WORD_DIGITS | NON_WORD_CAPS);

constexpr size_t LOOKUP_SLOTS = 16384;  // a power of two
constexpr size_t MOST_CODE_WORDS = size_t{1} << 16;

// How the bytes of the engine text act in a token.
constexpr uint8_t TOKEN_END = 1;     // white space or a break: the token ends
constexpr uint8_t TOKEN_PLAIN = 2;   // letters and the punctuation of running text
constexpr uint8_t TOKEN_STOP = 4;    // . and : (plain at the end of a token)
constexpr uint8_t TOKEN_HYPHEN = 8;  // - (plain after a letter)
constexpr uint8_t TOKEN_LETTER = 16;

constexpr std::array<uint8_t, 256> BuildTokenBytes() {
  std::array<uint8_t, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    const uint8_t cls = LATIN1_CLASS[static_cast<size_t>(c)];
    uint8_t flags = 0;
    if ((cls & LATIN1_SPACE) != 0 || c == 0) flags |= TOKEN_END;
    if ((cls & LATIN1_LETTER) != 0) flags |= TOKEN_LETTER | TOKEN_PLAIN;
    if (c >= 0x80 && flags == 0) flags |= TOKEN_PLAIN;
    bytes[static_cast<size_t>(c)] = flags;
  }
  for (const char c : std::string_view("'\",;!?()[]*`_&")) {
    bytes[static_cast<unsigned char>(c)] |= TOKEN_PLAIN;
  }
  bytes['.'] = TOKEN_STOP;
  bytes[':'] = TOKEN_STOP;
  bytes['-'] = TOKEN_HYPHEN;
  return bytes;
}
constexpr std::array<uint8_t, 256> TOKEN_BYTE = BuildTokenBytes();

constexpr uint32_t HASH_START = 2166136261u;
inline uint32_t HashStep(uint32_t hash, char c) {
  return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
}

uint32_t HashWord(std::string_view word) {
  uint32_t hash = HASH_START;
  for (const char c : word) hash = HashStep(hash, c);
  return hash;
}

bool SameWordNoCase(const char* lowered, size_t length, std::string_view word) {
  if (length != word.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    if (lowered[i] != ToLower(word[i])) return false;
  }
  return true;
}

}  // namespace

DocumentChecker::DocumentChecker(int32_t session, const CheckPolicy& policy, FindingSink& findings)
    : session_(session),
      policy_(policy),
      findings_(findings),
      position_(policy.latin1Input),
      lookups_(LOOKUP_SLOTS) {}

void DocumentChecker::ForgetLookups() {
  std::fill(lookups_.begin(), lookups_.end(), CachedLookup{});
}

DocumentChecker::~DocumentChecker() {
  if (ignoreLex_ >= 0) ORTH_CloseLex(session_, ignoreLex_);
}

void DocumentChecker::StartDocument() {
  position_ = SourcePosition(policy_.latin1Input);
  piece_ = {};
  pieceBase_ = 0;
  engine_.clear();
  segments_.clear();
  markups_.clear();
  events_.clear();
  ForgetPreviousWord();
  disabled_ = false;
  quietLines_.clear();
  codeWords_.clear();
  if (ignoreLex_ >= 0) {
    ORTH_ClearLex(session_, ignoreLex_);
    ForgetLookups();
  }
  invalidUtf8_ = false;
}

void DocumentChecker::SetLatin1Input(bool latin1) {
  policy_.latin1Input = latin1;
  position_.SetLatin1(latin1);
}

std::string_view DocumentChecker::Written(size_t begin, size_t end) const {
  if (begin < pieceBase_ || end < begin || end - pieceBase_ > piece_.size()) return {};
  return piece_.substr(begin - pieceBase_, end - begin);
}

void DocumentChecker::BeginPiece(std::string_view piece, size_t base) {
  piece_ = piece;
  pieceBase_ = base;
  position_.SetPiece(piece, base);
}

void DocumentChecker::EndPiece(size_t end) {
  CheckBuffer();
  // Count lines up to where the reader drops the input.
  position_.At(end);
}

void DocumentChecker::AddSegment(size_t sourceBegin, size_t sourceEnd, bool linear) {
  const size_t at = engine_.size();
  if (linear && !segments_.empty()) {
    const Segment& last = segments_.back();
    if (last.linear && last.sourceBegin + (at - last.engineStart) == sourceBegin) return;
  }
  segments_.push_back({at, sourceBegin, sourceEnd, linear});
}

void DocumentChecker::AppendUtf8(std::string_view bytes, size_t offset) {
  size_t i = 0;
  while (i < bytes.size()) {
    size_t ascii = i;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      AddSegment(offset + i, offset + ascii, true);
      engine_.append(bytes.data() + i, ascii - i);
      i = ascii;
      continue;
    }
    uint32_t character = 0;
    size_t length = DecodeUtf8Char(bytes.substr(i), character);
    if (length == 0) {
      invalidUtf8_ = true;
      character = static_cast<unsigned char>(bytes[i]);
      length = 1;
    }
    AddSegment(offset + i, offset + i + length, length == 1);
    if (const char* letters = LigatureLetters(character)) {
      engine_ += letters;  // two engine bytes for one character, in its own segment
      i += length;
      continue;
    }
    // Dashes between words (figure, en, em) part them as spaces do: a word
    // after one is a word, not an option.
    engine_.push_back(character >= 0x2012 && character <= 0x2015 ? ' ' : EngineByteOf(character));
    i += length;
  }
}

void DocumentChecker::Text(std::string_view bytes, size_t offset, TextRole role) {
  const size_t start = engine_.size();
  if (policy_.latin1Input) {
    AddSegment(offset, offset + bytes.size(), true);
    engine_.append(bytes);
  } else {
    AppendUtf8(bytes, offset);
  }
  if (role == TextRole::STRING) BlankFormatDirectives(start);
}

void DocumentChecker::Decoded(std::string_view decoded, size_t begin, size_t end, TextRole) {
  AddSegment(begin, end, false);
  for (size_t i = 0; i < decoded.size();) {
    uint32_t character = 0;
    size_t length = DecodeUtf8Char(decoded.substr(i), character);
    if (length == 0) {
      character = static_cast<unsigned char>(decoded[i]);
      length = 1;
    }
    AppendEngineChar(engine_, character);
    i += length;
  }
}

void DocumentChecker::Markup(size_t) {
  markups_.push_back(engine_.size());
}

void DocumentChecker::Break(size_t offset) {
  if (!engine_.empty() && engine_.back() == BREAK) return;
  AddSegment(offset, offset, false);
  engine_.push_back(BREAK);
}

void DocumentChecker::Comment(std::string_view bytes, size_t offset) {
  found_.clear();
  FindDirectives(bytes, found_);
  for (Directive& directive : found_) {
    events_.push_back({engine_.size(), offset + directive.begin, std::move(directive)});
  }
  Break(offset);
}

void DocumentChecker::Code(std::string_view bytes, size_t) {
  if (codeWords_.size() >= MOST_CODE_WORDS) return;
  ForEachCodeWord(bytes, policy_.latin1Input, codeWord_,
                  [this](const std::string& word) { codeWords_.insert(word); });
}

bool DocumentChecker::NamedInCode(std::string_view word) const {
  if (codeWords_.empty()) return false;
  std::string lower(word);
  for (char& c : lower) c = ToLower(c);
  while (!lower.empty() && lower.back() == '\'') lower.pop_back();
  return codeWords_.count(lower) > 0;
}

void DocumentChecker::BlankFormatDirectives(size_t from) {
  for (size_t i = from; i < engine_.size(); ++i) {
    const char c = engine_[i];
    if (c != '%' && c != '{' && c != '}') continue;
    const size_t length = FormatDirectiveLength(std::string_view(engine_).substr(i));
    if (length == 0) continue;
    std::fill_n(engine_.begin() + static_cast<std::ptrdiff_t>(i), length, BREAK);
    i += length - 1;
  }
}

void DocumentChecker::SourceRange(size_t begin, size_t end, size_t& sourceBegin,
                                  size_t& sourceEnd) const {
  auto rangeOf = [this](size_t index, size_t& from, size_t& to) {
    const auto after = std::upper_bound(
        segments_.begin(), segments_.end(), index,
        [](size_t value, const Segment& segment) { return value < segment.engineStart; });
    const Segment& segment = *(after - 1);
    if (segment.linear) {
      from = segment.sourceBegin + (index - segment.engineStart);
      to = from + 1;
    } else {
      from = segment.sourceBegin;
      to = segment.sourceEnd;
    }
  };
  size_t ignored = 0;
  rangeOf(begin, sourceBegin, ignored);
  rangeOf(end - 1, ignored, sourceEnd);
}

bool DocumentChecker::MarkupBetween(size_t from, size_t to) {
  while (nextMarkup_ < markups_.size() && markups_[nextMarkup_] < from) ++nextMarkup_;
  return nextMarkup_ < markups_.size() && markups_[nextMarkup_] <= to;
}

void DocumentChecker::CheckBuffer() {
  if (engine_.empty()) {
    // Directives of comments with no text after them still take effect.
    ApplyEvents(SIZE_MAX);
    events_.clear();
    nextEvent_ = 0;
    return;
  }
  // Directives written in checked text: each is read, then left unchecked.
  found_.clear();
  FindDirectives(engine_, found_);
  if (!found_.empty()) {
    for (Directive& directive : found_) {
      size_t sourceBegin = 0, sourceEnd = 0;
      SourceRange(directive.begin, directive.begin + 1, sourceBegin, sourceEnd);
      std::fill(engine_.begin() + static_cast<std::ptrdiff_t>(directive.begin),
                engine_.begin() + static_cast<std::ptrdiff_t>(directive.end), BREAK);
      events_.push_back({directive.begin, sourceBegin, std::move(directive)});
    }
    std::stable_sort(events_.begin(), events_.end(),
                     [](const Event& a, const Event& b) { return a.engineIndex < b.engineIndex; });
  }
  // A line's directive holds for the words before it on the line too.
  for (const Event& event : events_) {
    if (event.directive.kind == DirectiveKind::DISABLE_LINE) {
      quietLines_.push_back(position_.At(event.sourceOffset).line);
    }
  }
  nextMarkup_ = 0;
  const char* const text = engine_.data();
  const size_t size = engine_.size();
  size_t i = 0;
  while (i < size) {
    const char c = text[i];
    if ((TOKEN_BYTE[static_cast<unsigned char>(c)] & TOKEN_END) != 0) {
      if (c == BREAK) ForgetPreviousWord();
      ++i;
      continue;
    }
    const size_t start = i;
    // Plain tokens hold words and the punctuation of running text only; a
    // full stop or colon is plain at the end ("end.", "Note:"), a hyphen
    // after a letter ("well-known").
    bool plain = true;
    bool stop = false;
    uint8_t previous = 0;
    for (; i < size; ++i) {
      uint8_t flags = TOKEN_BYTE[static_cast<unsigned char>(text[i])];
      if ((flags & TOKEN_LETTER) != 0) {
        // Most bytes are letters of a word: run over them.
        plain = plain && !stop;
        stop = false;
        previous = flags;
        while (++i < size &&
               (TOKEN_BYTE[static_cast<unsigned char>(text[i])] & TOKEN_LETTER) != 0) {
        }
        if (i == size) break;
        flags = TOKEN_BYTE[static_cast<unsigned char>(text[i])];
      }
      if ((flags & TOKEN_END) != 0) break;
      if ((flags & TOKEN_STOP) != 0) {
        stop = true;
      } else {
        plain = plain && !stop &&
                ((flags & TOKEN_PLAIN) != 0 ||
                 ((flags & TOKEN_HYPHEN) != 0 && (previous & TOKEN_LETTER) != 0));
        stop = false;
      }
      previous = flags;
    }
    if (nextEvent_ < events_.size()) ApplyEvents(start);
    CheckToken(start, i, plain);
  }
  ApplyEvents(SIZE_MAX);
  engine_.clear();
  segments_.clear();
  markups_.clear();
  events_.clear();
  nextEvent_ = 0;
  previousEnd_ = 0;  // the next piece's text starts at 0 again
}

void DocumentChecker::ApplyEvents(size_t upTo) {
  for (; nextEvent_ < events_.size() && events_[nextEvent_].engineIndex <= upTo; ++nextEvent_) {
    const Event& event = events_[nextEvent_];
    const Directive& directive = event.directive;
    switch (directive.kind) {
      case DirectiveKind::DISABLE:
        disabled_ = true;
        break;
      case DirectiveKind::ENABLE:
        disabled_ = false;
        break;
      case DirectiveKind::DISABLE_LINE:
        break;  // taken before the walk
      case DirectiveKind::DISABLE_NEXT_LINE:
        quietLines_.push_back(position_.At(event.sourceOffset).line + 1);
        break;
      case DirectiveKind::IGNORE_WORDS:
        if (ignoreLex_ < 0) ignoreLex_ = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
        for (const std::string& word : directive.words) {
          std::string latin1;
          if (ignoreLex_ >= 0 &&
              (policy_.latin1Input ? (latin1 = word, true) : WordToLatin1(word, latin1))) {
            ORTH_AddToLex(session_, ignoreLex_, latin1.c_str(), nullptr);
          }
        }
        ForgetLookups();
        break;
    }
  }
}

void DocumentChecker::CheckToken(size_t begin, size_t end, bool plain) {
  if (!plain) {
    const std::string_view token(engine_.data() + begin, end - begin);
    if (ClassifyToken(token, policy_.skipKinds & TOKEN_KINDS) != NON_WORD_NONE) {
      ForgetPreviousWord();
      return;
    }
  }
  const char* const text = engine_.data();
  size_t i = begin;
  while (i < end) {
    if (!IsLetter(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    uint8_t classes = ClassOf(text[i]);
    uint32_t hash = HashStep(HASH_START, text[i]);
    ++i;
    while (i < end && ContinuesWord(text[i])) {
      classes |= ClassOf(text[i]);
      hash = HashStep(hash, text[i]);
      ++i;
    }
    CheckWord(start, i, i < engine_.size() ? text[i] : BREAK, classes, hash);
  }
}

void DocumentChecker::CheckWord(size_t begin, size_t end, char following, uint8_t classes,
                                uint32_t hash) {
  // A closing quote is not part of the word: 'sed' is checked as sed. (A
  // plural possessive, boys', is known with or without its apostrophe.)
  size_t last = end;
  while (last > begin && engine_[last - 1] == '\'') --last;
  const std::string_view word(engine_.data() + begin, last - begin);
  if (last != end) hash = HashWord(word);
  ++wordsChecked_;
  const bool digits = (classes & LATIN1_DIGIT) != 0;
  const bool lower = (classes & LATIN1_LOWER) != 0;
  // Words in capitals, and their plurals: NASA, URLs, UUIDs.
  bool capitals = !lower && word.size() >= 2;
  if (!capitals && word.size() >= 3 && word.back() == 's') {
    capitals = std::none_of(word.begin(), word.end() - 1, [](char c) { return IsLower(c); });
  }
  if (disabled_ || (digits && (policy_.skipKinds & NON_WORD_DIGITS) != 0) ||
      (capitals && (policy_.skipKinds & NON_WORD_CAPS) != 0)) {
    ForgetPreviousWord();
    return;
  }
  const bool doubled = policy_.reportDoubled && previousLength_ != 0 &&
                       SameWordNoCase(previousWord_, previousLength_, word) &&
                       !MarkupBetween(previousEnd_, begin);
  CheckWordText(begin, last, hash);
  if (doubled) {
    Report(WordVerdict::DOUBLED, begin, last, {});
    ForgetPreviousWord();
  } else if (IsPunct(following)) {
    // "is, is" is not doubled.
    ForgetPreviousWord();
  } else {
    previousLength_ = word.size() <= sizeof previousWord_ ? word.size() : 0;
    for (size_t i = 0; i < previousLength_; ++i) previousWord_[i] = ToLower(word[i]);
    previousEnd_ = last;
  }
}

// Checks the word at engine [begin, end) and reports what is wrong with it.
void DocumentChecker::CheckWordText(size_t begin, size_t end, uint32_t hash) {
  const std::string_view word(engine_.data() + begin, end - begin);
  const int32_t result = LookUp(word, hash, other_);
  if ((result & (RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD)) == 0) {
    // A word the document's code writes so is a name, whatever the
    // dictionary's case.
    if ((result & RES_WRONG_CASE) != 0 && !NamedInCode(word)) {
      Report(WordVerdict::WRONG_CASE, begin, end, other_);
    } else if (findings_.wantsCorrectWords()) {
      Report(WordVerdict::CORRECT, begin, end, {});
    }
    return;
  }
  if ((result & RES_CHANGE_WORD) != 0) {
    Report(WordVerdict::REPLACEMENT, begin, end, other_);
    return;
  }
  if ((result & RES_SUGGEST_WORD) != 0) {
    Report(WordVerdict::SUGGESTION, begin, end, other_);
    return;
  }
  // A word the document's code holds is a name, not a misspelling.
  if (NamedInCode(word)) {
    if (findings_.wantsCorrectWords()) Report(WordVerdict::CORRECT, begin, end, {});
    return;
  }
  // A longer elision («qu'il», «dell'anno»): the word after it is checked,
  // and reported alone when it is wrong.
  if (const size_t elision = LongElisionLength(word); elision > 0) {
    const std::string_view rest = word.substr(elision);
    if ((LookUp(rest, HashWord(rest), other_) &
         (RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD)) == 0) {
      if (findings_.wantsCorrectWords()) Report(WordVerdict::CORRECT, begin, end, {});
    } else {
      Report(WordVerdict::MISSPELLED, begin + elision, end, {});
    }
    return;
  }
  // An identifier is checked part by part: fooBar is right when foo and Bar
  // are, and only its wrong parts are reported.
  if (policy_.splitIdentifiers) {
    SplitIdentifier(word, parts_);
    if (parts_.size() > 1) {
      for (const WordPart& part : parts_) {
        const std::string_view text = word.substr(part.begin, part.length);
        bool partLower = false;
        bool partDigits = false;
        for (const char c : text) {
          partLower = partLower || IsLower(c);
          partDigits = partDigits || IsDigit(c);
        }
        if (partDigits || text.size() < 2 ||
            (!partLower && (policy_.skipKinds & NON_WORD_CAPS) != 0)) {
          continue;
        }
        if ((LookUp(text, HashWord(text), other_) &
             (RES_MISSPELLED | RES_CHANGE_WORD | RES_SUGGEST_WORD)) != 0 &&
            !NamedInCode(text)) {
          Report(WordVerdict::MISSPELLED, begin + part.begin, begin + part.begin + part.length, {});
        }
      }
      return;
    }
  }
  Report(WordVerdict::MISSPELLED, begin, end, {});
}

int32_t DocumentChecker::LookUp(std::string_view word, uint32_t hash, std::string& other) {
  CachedLookup* slot = nullptr;
  if (word.size() < sizeof slot->word) {
    slot = &lookups_[hash & (LOOKUP_SLOTS - 1)];
    if (slot->length == word.size() && slot->hash == hash &&
        std::memcmp(slot->word, word.data(), word.size()) == 0) {
      return slot->result;
    }
  }
  word_.assign(word);
  char buffer[WORD_MAX + 2];
  const int32_t result =
      ORTH_CheckWord(session_, policy_.engineOptions, word_.c_str(), buffer, sizeof buffer);
  buffer[sizeof buffer - 1] = '\0';
  const bool hasOther =
      result > 0 && (result & (RES_CHANGE_WORD | RES_SUGGEST_WORD | RES_WRONG_CASE)) != 0;
  if (hasOther) other.assign(buffer);
  // Answers that come with another word are not kept: the word is needed.
  if (slot != nullptr && !hasOther && !word.empty()) {
    slot->hash = hash;
    slot->length = static_cast<uint32_t>(word.size());
    std::memcpy(slot->word, word.data(), word.size());
    slot->result = result < 0 ? 0 : result;
  }
  return result < 0 ? 0 : result;
}

void DocumentChecker::Report(WordVerdict verdict, size_t begin, size_t end,
                             std::string_view other) {
  CheckedWord checked;
  checked.verdict = verdict;
  checked.word = std::string_view(engine_.data() + begin, end - begin);
  checked.other = other;
  SourceRange(begin, end, checked.sourceBegin, checked.sourceEnd);
  if (verdict != WordVerdict::CORRECT && !quietLines_.empty()) {
    const size_t line = position_.At(checked.sourceBegin).line;
    if (std::find(quietLines_.begin(), quietLines_.end(), line) != quietLines_.end()) return;
    // Lines before this one are behind us for good.
    quietLines_.erase(std::remove_if(quietLines_.begin(), quietLines_.end(),
                                     [line](size_t quiet) { return quiet < line; }),
                      quietLines_.end());
  }
  findings_.Word(checked, *this);
}

}  // namespace orth::cli
