// Every word of an open compressed lexicon, read straight from its file: what
// the ranked suggester's index and the commonness file are built from. The
// section cache is not used, so a small cache budget neither limits the read
// nor loses its resident sections to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lex/compressed_lex.h"

namespace orth {

// Receives each word (not NUL-terminated; valid only during the call) in the
// lexicon's stored order: the short words in table order, then the sections
// in ascending position, each in stored order. False stops the walk.
struct LexWordSink {
  void* context;
  bool (*word)(void* context, const unsigned char* word, uint32_t length);
};

// Walks every word of the lexicon into the sink. Returns 0, ERR_BAD_FORMAT (a
// section could not be read, or its data is malformed) or 1 when the sink
// stopped the walk. Throws std::bad_alloc when a section's buffer cannot be
// allocated.
int32_t ForEachLexWord(CompressedLex& lex, const LexWordSink& sink);

// Size in bytes and FNV-1a hash of the lexicon's whole file, which ties a
// commonness file to the exact lexicon it was made for. False when the file
// cannot be read to its end.
struct LexFingerprint {
  uint32_t size = 0;
  uint32_t hash = 0;
};
bool FingerprintLexFile(CompressedLex& lex, LexFingerprint& out);

// The fingerprint of a lexicon file's bytes held in memory (the compiler's
// image of a file it writes): the same as FingerprintLexFile reads.
LexFingerprint FingerprintLexBytes(const unsigned char* bytes, size_t size);

}  // namespace orth
