// One stretch of a document through its format's parser and the checking
// stage, as the language server checks it: a whole document when it opens,
// then the paragraphs an edit touched with a margin on each side.
//
// On the way from the parser to the checker, the spans of each paragraph
// (paragraphs end at blank lines) are summed up in a hash of what the parser
// said about them, so that a later run can tell whether a paragraph read
// alone reads as it did inside the whole document; a Break goes to the
// checker at each paragraph start, so that the checker starts every
// paragraph as it would start a run of its own; and the words of code are
// collected for the whole document instead of being handed to the checker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/document_checker.h"
#include "document/document_format.h"

namespace orth::cli::lsp {

// What the checker found at one place.
struct Finding {
  size_t begin = 0;  // the source bytes of the word
  size_t end = 0;
  WordVerdict verdict = WordVerdict::MISSPELLED;
  std::string word;   // Latin-1, as the engine checked it
  std::string other;  // Latin-1: the replacement or suggestion of a lexicon
  // MISSPELLED: the word, and the whole word it is part of (an identifier's
  // part), as keys of code names.
  uint64_t wordKey = 0;
  uint64_t wholeKey = 0;
};

// A word of the document's code, by where its code span starts.
struct CodeName {
  size_t offset = 0;
  uint64_t key = 0;
};

// The key of a code word or of a misspelled word (lower case, trailing
// apostrophes dropped for the latter).
uint64_t CodeNameKey(std::string_view lowerWord);

// How a document is read.
struct ParserChoice {
  const DocumentFormat* format = nullptr;
  std::string fileName;
  std::string modeName;
  FormatOptions options;
};

// Receives the checker's findings for one run.
class FindingCollector final : public FindingSink {
 public:
  // The next run: bytes of the document from `base` on, findings into `out`.
  void Start(std::string_view document, size_t base, std::vector<Finding>* out);
  void Word(const CheckedWord& word, DocumentChecker& checker) override;

 private:
  std::string_view document_;
  size_t base_ = 0;
  std::vector<Finding>* out_ = nullptr;
  // The whole word of the last misspelling and its key.
  size_t wholeBegin_ = 0;
  size_t wholeEnd_ = 0;
  uint64_t wholeKey_ = 0;
};

struct WindowResult {
  std::vector<uint64_t> hashes;  // one per paragraph
  std::vector<Finding> findings;
  std::vector<CodeName> codeNames;
};

// Reads bytes [begin, end) of `document`, whose paragraphs start at
// `paragraphs` (absolute offsets, sorted, the first one `begin`), with a new
// parser of `parser`'s format, and checks them with `checker` (whose sink is
// `collector`). Spans at or after `end` are left out of the hashes unless
// `end` is the end of the document.
void CheckWindow(std::string_view document, size_t begin, size_t end,
                 const std::vector<size_t>& paragraphs, const ParserChoice& parser,
                 DocumentChecker& checker, FindingCollector& collector, WindowResult& out);

}  // namespace orth::cli::lsp
