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

}  // namespace orth
