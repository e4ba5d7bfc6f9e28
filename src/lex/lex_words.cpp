#include "lex/lex_words.h"

#include <memory>

#include "lex/section_decoder.h"

namespace orth {

namespace {

// Forwards the words of a decoded section to the caller's sink; the record
// starts mean nothing here.
struct SectionForward {
  const LexWordSink* sink;
  bool stopped = false;
};

bool IgnoreRecord(void* /*context*/, unsigned char /*third*/) {
  return true;
}

bool ForwardWord(void* context, const unsigned char* word, uint32_t length) {
  auto& forward = *static_cast<SectionForward*>(context);
  if (!forward.sink->word(forward.sink->context, word, length)) {
    forward.stopped = true;
    return false;
  }
  return true;
}

bool ReadAt(std::FILE* file, uint32_t offset, unsigned char* into, uint32_t size) {
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(into, 1, size, file) == size;
}

}  // namespace

int32_t ForEachLexWord(CompressedLex& lex, const LexWordSink& sink) {
  for (uint32_t i = 0; i < lex.shortWordCount; ++i) {
    const ShortWord& entry = lex.shortWords[i];
    const uint32_t length = entry[0] == 0 ? 0 : (entry[1] == 0 ? 1 : 2);
    if (!sink.word(sink.context, entry.data(), length)) return 1;
  }
  // A scratch section owns the bytes read; the decoder looks only at its
  // size, letters and data. Its buffer grows to the largest section.
  LexSection scratch;
  uint32_t capacity = 0;
  SectionForward forward{&sink};
  const DecodedWordSink words{&forward, IgnoreRecord, ForwardWord};
  for (const std::unique_ptr<LexSection>& section : lex.sections) {
    if (section == nullptr || section->size == 0) continue;
    if (capacity < section->size) {
      scratch.data.reset(new unsigned char[section->size]);
      capacity = section->size;
    }
    if (!ReadAt(lex.file.get(), section->dataOffset, scratch.data.get(), section->size)) {
      return ERR_BAD_FORMAT;
    }
    scratch.size = section->size;
    scratch.firstLetter = section->firstLetter;
    scratch.secondLetter = section->secondLetter;
    const bool complete = DecodeSectionWords(scratch, lex.tokens, words);
    if (forward.stopped) return 1;
    if (!complete) return ERR_BAD_FORMAT;
  }
  return 0;
}

namespace {

constexpr uint32_t FNV_OFFSET = 2166136261u;

// FNV-1a, continued from `hash` over more bytes.
uint32_t AddToHash(uint32_t hash, const unsigned char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

}  // namespace

LexFingerprint FingerprintLexBytes(const unsigned char* bytes, size_t size) {
  LexFingerprint fingerprint;
  fingerprint.size = static_cast<uint32_t>(size);
  fingerprint.hash = AddToHash(FNV_OFFSET, bytes, size);
  return fingerprint;
}

bool FingerprintLexFile(CompressedLex& lex, LexFingerprint& out) {
  std::FILE* file = lex.file.get();
  if (std::fseek(file, 0, SEEK_SET) != 0) return false;
  uint32_t hash = FNV_OFFSET;
  uint64_t size = 0;
  unsigned char chunk[8192];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    hash = AddToHash(hash, chunk, got);
    size += got;
  }
  if (std::ferror(file) != 0 || size > UINT32_MAX) return false;
  out.size = static_cast<uint32_t>(size);
  out.hash = hash;
  return true;
}

}  // namespace orth
