// The dictionary compiler: from a word list to a verified compressed lexicon
// file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lexcompiler/compile_summary.h"
#include "lexcompiler/text_encoding.h"
#include "lexcompiler/word_list.h"

namespace orth {

struct CompileOptions {
  uint16_t language = 0;  // stored in the header
  InputEncoding encoding = InputEncoding::Utf8;
  bool verify = true;  // re-open the file and look every word up
  EntryForms forms = EntryForms::Whole;
  // Write volumes (lex_volumes.h) when one file cannot hold the words;
  // without it that is an error.
  bool volumes = false;
};

// Compiles a word-list file (one word a line) into a compressed lexicon.
// Returns false with a one-line `error` when the output is the list itself
// (it would be replaced), the list cannot be read, the
// short words are too many, a section is too large, the file cannot be
// written or the verification fails; `summary` holds what was counted.
bool CompileWordListFile(const std::string& listPath, const std::string& outputPath,
                         const CompileOptions& options, CompileSummary& summary,
                         std::string& error);

// The same from entries that are already Latin-1 words (options.encoding is
// not used). Tests build their lexicons with it.
bool CompileWordEntries(const std::vector<std::string>& entries, const std::string& outputPath,
                        const CompileOptions& options, CompileSummary& summary, std::string& error);

}  // namespace orth
