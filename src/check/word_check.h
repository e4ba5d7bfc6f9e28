// The word check: what is to be reported about one word under the caller's
// option bits, and the lookup across a session's lexicons in slot order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orth {

struct Session;

// A word is mixed-case when, from its second character on, a character that
// is not an apostrophe is upper case before a lower-case one or lower case
// before an upper-case one. The step from the first to the second character
// is never examined: «Hello» and «hELLO» are not mixed-case, «HEllo» is.
bool IsMixedCase(const char* word);

// Asks the open lexicon slots 0..15 in order about an already normalised
// word; the first slot that knows it answers (0, RES_CHANGE_WORD or
// RES_SUGGEST_WORD, copying a change or suggest lexicon's other word into
// buffer). RES_MISSPELLED when no slot knows it.
// `answered`, when given, receives the slot that answered (-1 for none).
int32_t LookupInSession(Session& session, const char* normalized, char* buffer, uint32_t size,
                        int32_t* answered = nullptr);

// The form a normalised word (`length` characters) must be written in: the
// case form of the first dictionary whose case forms give it one, unless
// another lexicon holds the word without a rule. Null when it may be written
// in any case, or when no lexicon holds it.
// `holder`, when 0 or more, is a slot known to accept the word (the one
// LookupInSession answered from): when it holds the word without a rule the
// answer is null at once, without looking at the other lexicons.
const char* RequiredCaseForm(Session& session, const char* normalized, size_t length,
                             int32_t holder = -1);

// Checks word (null counts as empty) under the OPT_* bits. buffer (size 0:
// not written, may be null) receives the word in corrected case or a
// lexicon's other word. Returns the RES_* findings; never negative.
int32_t CheckWord(Session& session, uint32_t options, const char* word, char* buffer,
                  uint32_t size);

}  // namespace orth
