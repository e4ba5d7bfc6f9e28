// Expanding a section's packed word stream, record by record, in one forward
// pass over the section's bytes with a fixed word buffer.
#include "lex/section_decoder.h"

#include "lex/section_word_index.h"

namespace orth {
namespace {

// The codes of one record's units, in stream order.
struct CodeReader {
  const unsigned char* units;
  uint32_t count;  // codes in the record: 3 per unit
  uint32_t next = 0;

  bool AtEnd() const { return next >= count; }
  uint8_t Take() {
    const uint32_t unit = next / CODES_PER_UNIT;
    const int slot = static_cast<int>(next % CODES_PER_UNIT);
    ++next;
    return UnitCode(ReadLe16(units + UNIT_SIZE * unit), slot);
  }
};

enum class Step { kGoOn, kFound, kStop };

// What an emitted word does: with a visitor its answer decides; without one,
// equality finds the target and a word sorting after it by letter code ends
// the search.
Step EmitWord(const char* target, const unsigned char* word, const SectionVisit& visit) {
  if (visit.visit != nullptr) {
    const int32_t answer = visit.visit(visit.context, target, reinterpret_cast<const char*>(word));
    if (answer > 0) return Step::kGoOn;
    return answer == 0 ? Step::kFound : Step::kStop;
  }
  const unsigned char* t = reinterpret_cast<const unsigned char*>(target);
  for (int i = 0;; ++i) {
    if (t[i] != word[i]) {
      // The NUL has no letter code (-1), so a word that is the target's
      // beginning sorts before it.
      return LetterCodeOf(t[i]) - LetterCodeOf(word[i]) < 0 ? Step::kStop : Step::kGoOn;
    }
    if (t[i] == 0) return Step::kFound;
  }
}

// Decodes one record's codes into `word`, which already holds the section's
// two letters and the record's third letter.
// `emit` decides what an emitted word does (called with the word and its
// length).
template <typename Emit>
Step DecodeRecord(CodeReader codes, unsigned char (&word)[DECODED_WORD_MAX + 1],
                  const TokenStrings& tokens, Emit&& emit) {
  int position = SECTION_PREFIX_LENGTH;  // where the next character goes
  int previousLength = 0;                // 0: no word of this record ended yet
  bool firstWord = true;
  while (!codes.AtEnd()) {
    const uint8_t code = codes.Take();
    if (code <= CODE_LAST_LETTER) {
      if (position >= DECODED_WORD_MAX) return Step::kStop;  // word too long
      word[position++] = DecodeLetters[code];
      continue;
    }
    if (code == CODE_END) {
      word[position] = 0;
      // A bare three-letter word after another word only fills the record.
      if (firstWord || position > SECTION_PREFIX_LENGTH) {
        const Step step = emit(word, static_cast<uint32_t>(position));
        if (step != Step::kGoOn) return step;
      }
      previousLength = position;
      position = SECTION_PREFIX_LENGTH;
      firstWord = false;
      continue;
    }
    if (code == CODE_RESUME) {
      // Only a word of this record may be continued; what the buffer holds
      // from an earlier record is not part of this one.
      if (previousLength == 0) return Step::kStop;
      position = previousLength;
      continue;
    }
    // The other commands take the next code as their argument.
    if (codes.AtEnd()) return Step::kStop;
    const uint8_t argument = codes.Take();
    if (code == CODE_SKIP) {
      // Kept characters must be the previous word's (a skip of 0 keeps none).
      if (argument > 0 && position + argument > previousLength) return Step::kStop;
      position += argument;
    } else if (code == CODE_TOKEN) {
      const auto& token = tokens[argument];
      for (int i = 0; i < TOKEN_MAX && token[i] != 0; ++i) {
        if (position >= DECODED_WORD_MAX) return Step::kStop;
        word[position++] = static_cast<unsigned char>(token[i]);
      }
    } else {  // CODE_ACCENT
      if (position >= DECODED_WORD_MAX) return Step::kStop;
      word[position++] = DecodeAccents[argument];
    }
  }
  return Step::kGoOn;
}

int32_t CallPlainVisitor(void* context, const char* target, const char* word) {
  return (*static_cast<SectionVisitor*>(context))(target, word);
}

// The SectionVisit that calls the plain visitor kept at `visitor` (null: the
// exact search).
SectionVisit PlainVisit(SectionVisitor& visitor) {
  if (visitor == nullptr) return {nullptr, nullptr};
  return {CallPlainVisitor, &visitor};
}

}  // namespace

int32_t DecodeSection(const LexSection& section, const char* target, bool exact,
                      SectionVisitor visitor, const TokenStrings& tokens) {
  return DecodeSection(section, target, exact, PlainVisit(visitor), tokens);
}

int32_t DecodeSectionPlain(const LexSection& section, const char* target, bool exact,
                           SectionVisitor visitor, const TokenStrings& tokens) {
  return DecodeSectionPlain(section, target, exact, PlainVisit(visitor), tokens);
}

int32_t DecodeSection(const LexSection& section, const char* target, bool exact,
                      const SectionVisit& visit, const TokenStrings& tokens) {
  if (section.data == nullptr) return 0;
  if (target == nullptr) target = "";
  // The word index, when the section has one, gives the same answers as the
  // pass below: enumeration from its copy of the decoded words, exact search
  // by hashing only when the section's order makes the early stop and the
  // search for equality agree.
  if (section.wordIndex != nullptr) {
    if (!exact && visit.visit != nullptr)
      return VisitSectionWordIndex(*section.wordIndex, target, visit);
    if (exact && visit.visit == nullptr && section.wordIndex->ordered) {
      return FindInSectionWordIndex(*section.wordIndex, target) ? 1 : 0;
    }
  }
  return DecodeSectionPlain(section, target, exact, visit, tokens);
}

int32_t DecodeSectionPlain(const LexSection& section, const char* target, bool exact,
                           const SectionVisit& visit, const TokenStrings& tokens) {
  if (section.data == nullptr) return 0;
  if (target == nullptr) target = "";
  const unsigned char* data = section.data.get();
  const uint32_t size = section.size;
  // The target's third byte, or its NUL when it is shorter.
  const unsigned char* t = reinterpret_cast<const unsigned char*>(target);
  const unsigned char targetThird = (t[0] == 0 || t[1] == 0) ? 0 : t[2];

  unsigned char word[DECODED_WORD_MAX + 1];
  word[0] = section.firstLetter;
  word[1] = section.secondLetter;

  uint32_t at = 0;
  while (at < size) {
    if (size - at < RECORD_HEADER_SIZE) return 0;
    const uint32_t length = ReadLe16(data + at + RECORD_LENGTH_FIELD);
    const unsigned char third = data[at + RECORD_THIRD_LETTER_FIELD];
    const uint32_t unitsAt = at + RECORD_HEADER_SIZE;
    if (length < UNIT_SIZE || length > size - unitsAt) return 0;  // malformed record
    const uint32_t nextRecord = unitsAt + length;
    if (exact) {
      if (targetThird < third) return 0;  // passed the target's records
      if (targetThird != third) {
        at = nextRecord;
        continue;
      }
    }
    word[2] = third;
    const CodeReader codes{data + unitsAt, (length / UNIT_SIZE) * CODES_PER_UNIT};
    const Step step = DecodeRecord(
        codes, word, tokens,
        [&](const unsigned char* decoded, uint32_t) { return EmitWord(target, decoded, visit); });
    if (step == Step::kFound) return 1;
    if (step == Step::kStop) return 0;
    at = nextRecord;
  }
  return 0;
}

bool DecodeSectionWords(const LexSection& section, const TokenStrings& tokens,
                        const DecodedWordSink& sink) {
  if (section.data == nullptr) return true;
  const unsigned char* data = section.data.get();
  const uint32_t size = section.size;
  unsigned char word[DECODED_WORD_MAX + 1];
  word[0] = section.firstLetter;
  word[1] = section.secondLetter;
  uint32_t at = 0;
  while (at < size) {
    if (size - at < RECORD_HEADER_SIZE) return false;
    const uint32_t length = ReadLe16(data + at + RECORD_LENGTH_FIELD);
    const unsigned char third = data[at + RECORD_THIRD_LETTER_FIELD];
    const uint32_t unitsAt = at + RECORD_HEADER_SIZE;
    if (length < UNIT_SIZE || length > size - unitsAt) return false;
    if (!sink.record(sink.context, third)) return false;
    word[2] = third;
    const CodeReader codes{data + unitsAt, (length / UNIT_SIZE) * CODES_PER_UNIT};
    bool ok = true;
    const Step step = DecodeRecord(codes, word, tokens,
                                   [&](const unsigned char* decoded, uint32_t decodedLength) {
                                     ok = sink.word(sink.context, decoded, decodedLength);
                                     return ok ? Step::kGoOn : Step::kStop;
                                   });
    // A record ends with kGoOn; kStop is malformed data or a refusing sink.
    if (step != Step::kGoOn) return false;
    at = unitsAt + length;
  }
  return true;
}

}  // namespace orth
