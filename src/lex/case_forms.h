// The case forms file that may sit beside a compressed lexicon: the words of
// the lexicon that its word list never gives in lower case, each in the form
// the list gives it: a capitalised name («Debian»), an acronym («NASA») or a
// fixed mixed form («PostScript», «iPhone»). Every other word of the lexicon
// may be written in any case. The lexicon itself is unchanged by it.
//
// Layout (integers little-endian): the 16-byte magic, a 32-bit version, the
// number of forms, the lexicon's file size and FNV-1a hash (so a file made
// for another build of the lexicon is never applied to it), then the forms,
// each ended by a NUL, in the byte order of their lower-case spellings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lex/lex_words.h"

namespace orth {

inline constexpr char CASE_FORMS_MAGIC[] = "ORTH case forms\n";
inline constexpr uint32_t CASE_FORMS_MAGIC_SIZE = 16;
static_assert(sizeof(CASE_FORMS_MAGIC) == CASE_FORMS_MAGIC_SIZE + 1);
inline constexpr uint32_t CASE_FORMS_VERSION = 1;
inline constexpr uint32_t CASE_FORMS_HEADER_SIZE = CASE_FORMS_MAGIC_SIZE + 16;
// The extension that replaces the lexicon's own in the case forms file's name.
inline constexpr char CASE_FORMS_EXTENSION[] = ".olf";

// The forms of one lexicon, found by their lower-case spelling.
struct CaseForms {
  std::string forms;            // each form and its NUL, in key order
  std::vector<uint32_t> slots;  // open addressing: offset of a form + 1; 0 is empty
  uint32_t count = 0;
};

struct CompressedLex;

// "dir/en_US.olx" -> "dir/en_US.olf"; a name without an extension in its
// last component gets ".olf" appended.
std::string CaseFormsFileName(const std::string& lexFileName);

// Whether a Latin-1 word needs a rule: it holds an upper-case letter.
bool HasUpperCase(const char* word);

// Builds the table from forms (each 1..WORD_MAX characters with an upper-case
// letter, distinct once lower-cased). Throws std::bad_alloc.
void BuildCaseForms(const std::vector<std::string>& forms, CaseForms& out);

// The form of a lower-case word, or null when the lexicon gives it none.
const char* FindCaseForm(const CaseForms& table, const char* lower, size_t length);

// Reads the case forms of the lexicon with fingerprint `lex`. Returns 0 with
// `out` filled, ERR_FILE_OPEN (no such file, or unreadable) or
// ERR_BAD_FORMAT (wrong magic or version, made for another lexicon, a form
// that is empty, too long, without an upper-case letter or out of order,
// truncated, or bytes after the forms); `out` is then empty.
int32_t ReadCaseFormsFile(const std::string& path, const LexFingerprint& lex, CaseForms& out);

// Writes forms (sorted as the file keeps them, see SortCaseForms) through a
// temporary file renamed over `path`. Returns 0 or ERR_FILE_OPEN.
int32_t WriteCaseFormsFile(const std::string& path, const LexFingerprint& lex,
                           const std::vector<std::string>& forms);

// Sorts forms into the file's order: by their lower-case spellings.
void SortCaseForms(std::vector<std::string>& forms);

// The case forms of an open lexicon, read from the file beside it on first
// use and shared by the lexicons open on the same file; null when it has
// none (no file, or one that does not fit it). Throws std::bad_alloc.
const CaseForms* CaseFormsOf(CompressedLex& lex, const std::string& lexFileName);

// Whether the written core of a word (its characters that the look-up form
// comes from) is a way the dictionary's form may be written: the form
// itself; in capitals throughout; or, for a form that starts in lower case
// («iPhone»), with that first letter in upper case. Both have the form's
// length.
bool FitsCaseForm(const char* written, const char* form, size_t length);

}  // namespace orth
