// Markdown: CommonMark with GitHub's extensions, read with md4c. Prose,
// headings, emphasis, link text, image descriptions, table cells, block
// quotes and list items are checked; code, math, link destinations and
// titles, autolinks, reference definitions, raw HTML tags and front matter
// are not (markdown_spans.cpp says how each piece is handed on).
//
// md4c parses whole buffers. A document smaller than kParseAtLeast is
// parsed whole; a larger one in pieces of about that size, each ending
// where every block is closed (MarkdownLines finds those places). When the
// reader's window fills without such a place, the piece ends at a line end
// and a fenced block, an HTML block or front matter still open there is
// carried into the next piece by hand. The pipe mode gives one line at a
// time and relies on the same carrying.
#include <algorithm>
#include <memory>

#include "document/document_format.h"
#include "document/format_identities.h"
#include "document/html_spans.h"
#include "document/line_cut.h"
#include "document/markdown_lines.h"
#include "document/markdown_spans.h"

namespace orth::cli {

namespace {

constexpr size_t kParseAtLeast = size_t{1} << 20;
constexpr size_t kStretchMost = size_t{16} << 10;

// A line of `input` and where the next starts (the end of `input` after the
// last line).
std::string_view NextLine(std::string_view input, size_t start, size_t& next) {
  const std::string_view line = MarkdownLineAt(input, start, next);
  if (next == std::string_view::npos) next = input.size();
  return line;
}

class MarkdownParser final : public DocumentParser {
 public:
  size_t Parse(std::string_view input, size_t base, InputEnd end, SpanSink& sink) override {
    if (end == InputEnd::MORE && input.size() < kParseAtLeast) return 0;
    if (!started_) Start(input, end);
    if (end != InputEnd::LAST) Scan(input);
    size_t cut = 0;
    if (end == InputEnd::LAST) {
      cut = input.size();
    } else if (end == InputEnd::FULL && input.find('\n') + 1 == input.size()) {
      cut = scanned_;  // one line (the pipe mode): taken whole
    } else if (safeCut_ > 0) {
      cut = safeCut_;
    } else if (end == InputEnd::MORE) {
      return 0;
    } else if (scanned_ > skip_) {
      cut = scanned_;  // no block boundary in the window: the last line end
    } else {
      cut = CompleteLinesLength(input, end);  // a line longer than the window
    }
    Emit(input.substr(0, cut), base, sink);
    if (cut == safeCut_) {
      start_ = MarkdownLines{};
    } else if (cut == scanned_) {
      start_ = scan_;
    }  // else the cut is inside a line that was not read: nothing changes
    midLine_ = cut > 0 && input[cut - 1] != '\n' && input[cut - 1] != '\r';
    scan_ = start_;
    scanned_ = 0;
    safeCut_ = 0;
    skip_ = 0;
    return cut;
  }

 private:
  // The start of the document: a byte-order mark and front matter.
  void Start(std::string_view input, InputEnd end) {
    started_ = true;
    if (input.substr(0, 3) == "\xEF\xBB\xBF") skip_ = 3;
    scanned_ = skip_;
    size_t next = 0;
    const std::string_view first = NextLine(input, skip_, next);
    char mark = 0;
    if (!IsFrontMatterOpener(first, mark)) return;
    // Front matter has its closing line. When the piece ends before one
    // shows (a line at a time), it is taken to come.
    bool closed = false;
    for (size_t pos = next;
         pos < input.size() && pos - skip_ <= MarkdownLines::kFrontMatterLimit;) {
      if (IsFrontMatterCloser(NextLine(input, pos, next), mark)) {
        closed = true;
        break;
      }
      pos = next;
    }
    if (closed ||
        (end != InputEnd::LAST && input.size() - skip_ < MarkdownLines::kFrontMatterLimit)) {
      start_.OpenFrontMatter(mark);
      scan_ = start_;
    }
  }

  // Reads the complete lines not read yet, following what is open and
  // noting the last place where a piece may end.
  void Scan(std::string_view input) {
    size_t pos = scanned_;
    while (pos < input.size()) {
      size_t next = 0;
      const std::string_view line = MarkdownLineAt(input, pos, next);
      if (next == std::string_view::npos) break;
      bool safe = false;
      scan_.Read(line, midLine_ && pos == 0, safe);
      if (safe && pos > skip_) safeCut_ = pos;
      pos = next;
    }
    scanned_ = pos;
  }

  // Hands a piece to md4c, in parts where it must: md4c takes time that
  // grows with the square of a paragraph's length when the paragraph holds
  // many bracketed spans, so a stretch longer than kStretchMost without a
  // block boundary is cut before a line that starts at column 0, or failing
  // that at a line end (what is open there is carried, as between pieces).
  void Emit(std::string_view piece, size_t base, SpanSink& sink) {
    MarkdownLines lines = start_;
    size_t from = skip_;  // the part not handed on yet
    MarkdownLines fromState = start_;
    bool fromContinues = midLine_;
    size_t boundary = skip_;  // the last block boundary
    size_t soft = 0;          // the last line at column 0 outside any construct
    MarkdownLines softState;
    for (size_t pos = skip_; pos < piece.size();) {
      size_t next = 0;
      const std::string_view line = NextLine(piece, pos, next);
      const bool continuation = midLine_ && pos == skip_;
      if (pos - std::max(from, boundary) > kStretchMost) {
        const bool atSoft = soft > std::max(from, boundary);
        const size_t cut = atSoft ? soft : pos;
        EmitPart(piece.substr(0, cut), base, from, fromState, fromContinues, sink);
        from = cut;
        fromState = atSoft ? softState : lines;
        fromContinues = false;
      }
      const MarkdownLines before = lines;
      bool safe = false;
      lines.Read(line, continuation, safe);
      if (safe) {
        boundary = pos;
      } else if (before.open == MarkdownOpen::NONE && !continuation && !line.empty() &&
                 line[0] != ' ' && line[0] != '\t') {
        soft = pos;
        softState = before;
      }
      pos = next;
    }
    EmitPart(piece, base, from, fromState, fromContinues, sink);
  }

  // Markdown from `from` to the end of `part`, with `state` open there.
  void EmitPart(std::string_view part, size_t base, size_t from, const MarkdownLines& state,
                bool continues, SpanSink& sink) {
    const size_t resume = EmitOpenConstruct(part, base, from, state, continues, sink);
    if (resume < part.size()) {
      EmitMarkdownSpans(part.substr(resume), base + resume, entities_, sink);
    }
  }

  // The lines of a construct left open before `start`, up to its end;
  // returns where Markdown resumes.
  static size_t EmitOpenConstruct(std::string_view piece, size_t base, size_t start,
                                  MarkdownLines lines, bool continues, SpanSink& sink) {
    const MarkdownOpen open = lines.open;
    if (open == MarkdownOpen::NONE) return start;
    const bool comment = open == MarkdownOpen::HTML && lines.htmlEnd == HtmlBlockEnd::COMMENT;
    if (!comment) sink.Break(base + start);
    size_t end = piece.size();     // where the construct's bytes end
    size_t resume = piece.size();  // where Markdown resumes
    size_t htmlEnd = end;          // the rest of an HTML block's last line
    for (size_t pos = start; pos < piece.size();) {
      size_t next = 0;
      const std::string_view line = NextLine(piece, pos, next);
      bool safe = false;
      const MarkdownLines::Step step = lines.Read(line, continues && pos == start, safe);
      if (step.owned == MarkdownLines::kWhole) {
        if (open == MarkdownOpen::FRONT_MATTER && IsHashCommentLine(line)) {
          sink.Comment(line, base + pos);
        }
        pos = next;
        if (!step.closes) continue;
        end = resume = htmlEnd = next;
      } else {
        end = pos + step.owned;
        resume = step.owned == 0 ? pos : next;
        htmlEnd = resume;
      }
      break;
    }
    if (comment) sink.Comment(piece.substr(start, end - start), base + start);
    sink.Break(base + end);
    if (htmlEnd > end) EmitHtmlSpans(piece.substr(end, htmlEnd - end), base + end, sink);
    return resume;
  }

  bool started_ = false;
  bool midLine_ = false;  // the last piece ended inside a line
  size_t skip_ = 0;       // the byte-order mark at the start of this piece
  MarkdownLines start_;   // what is open where this piece starts
  MarkdownLines scan_;    // ... and after the lines read so far
  size_t scanned_ = 0;    // the end of those lines
  size_t safeCut_ = 0;    // the last place where every block is closed, 0 for none
  EntityCache entities_;
};

std::unique_ptr<DocumentParser> MakeMarkdownParser(const ParserContext&) {
  return std::make_unique<MarkdownParser>();
}

}  // namespace

const DocumentFormat& MarkdownFormat() {
  static const DocumentFormat format = [] {
    DocumentFormat row = MarkdownIdentity();
    row.make = &MakeMarkdownParser;
    row.summary =
        "Markdown (CommonMark and GFM): prose, not code, math, links' destinations or markup";
    return row;
  }();
  return format;
}

}  // namespace orth::cli
