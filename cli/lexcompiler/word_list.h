// Reading a word list: one word a line, converted to Latin-1, cut to the
// form a lookup searches for, and deduplicated.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lexcompiler/compile_summary.h"
#include "lexcompiler/text_encoding.h"

namespace orth {

// The stored form of one entry: its look-up form (lower case, at most 30
// characters, final apostrophe ending and leading elision removed, cut at a
// space), so «dog's» gives «dog» and «O'Neill» gives «neill». Empty when
// nothing is left. `entry` is Latin-1.
std::string StoredFormOf(std::string_view entry);

// What an entry of a list gives: its stored form as a whole, or the words
// text checking finds in it. Text never hands the lookup a hyphen, a period
// or a space, so "anglo-saxon", "etc." and "a priori" can only be found
// through their parts; lists of languages that write many such entries are
// compiled in TextWords form.
enum class EntryForms { Whole, TextWords };

// Splits the list into lines (LF or CR LF; a UTF-8 byte-order mark at the
// start is ignored; blanks and tabs around a line are dropped; empty lines
// are ignored), converts and normalises each, and returns the distinct
// stored forms in ascending byte order. Counts lines, duplicates, cut
// entries and skipped lines in `summary`. With `written`, also appends for
// every stored form (duplicates too) the characters it came from, in the
// list's case: "O'Neill's" gives «Neill».
std::vector<std::string> ParseWordList(std::string_view content, InputEncoding encoding,
                                       CompileSummary& summary,
                                       EntryForms forms = EntryForms::Whole,
                                       std::vector<std::string>* written = nullptr);

// The distinct stored forms of entries that are already Latin-1 words (no
// line splitting or trimming), counted like the lines of a list.
std::vector<std::string> StoreEntries(const std::vector<std::string>& entries,
                                      CompileSummary& summary,
                                      std::vector<std::string>* written = nullptr);

// Reads a word-list file and parses it. False with `error` set when the file
// cannot be read.
bool ReadWordListFile(const std::string& path, InputEncoding encoding,
                      std::vector<std::string>& words, CompileSummary& summary, std::string& error,
                      EntryForms forms = EntryForms::Whole,
                      std::vector<std::string>* written = nullptr);

}  // namespace orth
