// The findings of one open document and how they are kept up to date: the
// document is read whole when it opens; after an edit only the paragraphs the
// edit touched are read again, with a margin of unchanged paragraphs on each
// side. The margins must read exactly as they did before (the parser's spans
// hash alike): then the parser, started afresh at the margin, was in step
// with the whole document, and the new findings replace the old ones there.
// Otherwise (an edit that opens a code block, a comment or math running past
// the margin) the whole document is read again, as it is when the document
// holds inline directives, whose effect runs from paragraph to paragraph, and
// when an edit touches its first line (front matter, "#!", mail headers).
//
// A misspelled word named in the document's code (anywhere in it) is not
// reported: the code words are counted for the whole document, so that an
// edit of one code span needs no other paragraph read again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lsp/text_document.h"
#include "lsp/window_check.h"

namespace orth::cli::lsp {

// The least number of bytes of unchanged paragraphs read on each side of an
// edit (at least one paragraph).
inline constexpr size_t MARGIN_BYTES = 256;

struct CheckOutcome {
  bool checked = false;  // something was read
  bool whole = false;    // the whole document was read
  size_t begin = 0;      // what was read
  size_t end = 0;
};

class ParagraphChecks {
 public:
  // Follows an edit of the text, before the next Check.
  void Edited(const ByteEdit& edit);
  // The next Check reads the whole document (after a lexicon or a setting
  // changed).
  void Invalidate() { whole_ = true; }
  bool pending() const { return whole_ || dirty_; }

  // Brings the findings up to date with `text`.
  CheckOutcome Check(std::string_view text, const ParserChoice& parser, DocumentChecker& checker,
                     FindingCollector& collector);

  // The findings, by where they start.
  const std::vector<Finding>& findings() const { return findings_; }
  // Whether a misspelling's word names something in the document's code.
  bool NamedInCode(const Finding& finding) const;
  size_t paragraphCount() const { return paragraphs_.size(); }

 private:
  struct Paragraph {
    size_t begin = 0;
    uint64_t hash = 0;
    bool directive = false;  // it holds an inline directive
  };

  bool CheckEdited(std::string_view text, const ParserChoice& parser, DocumentChecker& checker,
                   FindingCollector& collector, CheckOutcome& outcome);
  void CheckWhole(std::string_view text, const ParserChoice& parser, DocumentChecker& checker,
                  FindingCollector& collector, CheckOutcome& outcome);
  // Replaces paragraphs [first, last) by `fresh`, and the findings and code
  // names of bytes [begin, end) by the window's.
  void Splice(size_t first, size_t last, std::vector<Paragraph> fresh, size_t begin, size_t end,
              WindowResult& result);
  void CountCode(const CodeName& name, int change);

  std::vector<Paragraph> paragraphs_;
  std::vector<Finding> findings_;
  std::vector<CodeName> codeNames_;  // by offset
  std::unordered_map<uint64_t, uint32_t> codeCounts_;
  size_t directives_ = 0;  // paragraphs holding a directive
  bool whole_ = true;
  bool dirty_ = false;
  size_t dirtyBegin_ = 0;  // what the edits since the last check touched
  size_t dirtyEnd_ = 0;
  WindowResult window_;  // scratch
};

// The paragraph starts of text [begin, end): `begin`, then every line start
// that follows a blank line and starts a line that is not blank.
std::vector<size_t> ParagraphStarts(std::string_view text, size_t begin, size_t end);

}  // namespace orth::cli::lsp
