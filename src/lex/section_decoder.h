// The section decoder: expands the packed word stream of a resident section,
// either as an exact search for a target word or word by word for a visitor.
#pragma once

#include <cstdint>

#include "lex/compressed_lex.h"

namespace orth {

// Called with the target passed to DecodeSection and a decoded word (valid
// only during the call). Positive: go on; 0: stop, DecodeSection returns 1;
// negative: stop, DecodeSection returns 0. It must not use the section cache
// of the lexicon being decoded.
using SectionVisitor = int32_t (*)(const char* target, const char* word);

// A visitor with the caller's own state: the searches keep what they gather
// in a context of their call, so that searches on different threads never
// share it. The answers mean what SectionVisitor's do; a null visit makes
// the exact search.
struct SectionVisit {
  int32_t (*visit)(void* context, const char* target, const char* word);
  void* context;
};

// Decodes a resident section in one forward pass without allocating.
//
// Exact mode visits only the records whose third letter is the target's third
// byte, and stops at the first record with a greater third letter; without a
// visitor it also stops at the first word that sorts after the target by
// letter code. Without exact mode every word goes to the visitor.
//
// Returns 1 when (no visitor) a word equal to the target was found or (with a
// visitor) the visitor returned 0; otherwise 0. Malformed data (a record
// shorter than one unit or reaching past the section, an argument beyond the
// record's last unit, a word longer than 31 characters, a skip or resume past
// the previous word) stops the section with 0; the decoder never reads
// outside the section's data. A section that is not resident gives 0.
int32_t DecodeSection(const LexSection& section, const char* target, bool exact,
                      SectionVisitor visitor, const TokenStrings& tokens);
int32_t DecodeSection(const LexSection& section, const char* target, bool exact,
                      const SectionVisit& visit, const TokenStrings& tokens);

// The same pass without the section's word index: the straightforward
// algorithm the index must agree with.
int32_t DecodeSectionPlain(const LexSection& section, const char* target, bool exact,
                           SectionVisitor visitor, const TokenStrings& tokens);
int32_t DecodeSectionPlain(const LexSection& section, const char* target, bool exact,
                           const SectionVisit& visit, const TokenStrings& tokens);

// Receives the plain decode of a whole section: each record's third letter
// as the record starts, then each emitted word (not NUL-terminated beyond
// `length`; valid only during the call). A false answer stops the decode.
struct DecodedWordSink {
  void* context;
  bool (*record)(void* context, unsigned char third);
  bool (*word)(void* context, const unsigned char* word, uint32_t length);
};

// Decodes every record of a resident section in stored order, exactly as the
// enumeration of DecodeSection does, into the sink. True when the section was
// decoded to its end; false on malformed data (what DecodeSection would stop
// at) or when the sink refused. Never uses the section's word index.
bool DecodeSectionWords(const LexSection& section, const TokenStrings& tokens,
                        const DecodedWordSink& sink);

}  // namespace orth
