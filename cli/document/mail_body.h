// The readers of a mail part's decoded text, line by decoded line: plain
// text without quotes and signature, and HTML.
#pragma once

#include <cstddef>
#include <string>

#include "document/mail_decoding.h"
#include "document/span_sink.h"

namespace orth::cli {

// A text/plain part: lines quoted with ">" (after any white space) are
// skipped; a signature ("-- " or "--" alone on a line) or a patch ("diff
// --git") ends the checked text of the part.
class PlainMailBody {
 public:
  // Reads the next decoded text of the part. `floor` is the source offset
  // of the line it came from: text held back from an earlier line is
  // reported there.
  void Read(const MailText& text, size_t floor, SpanSink& sink);
  // Whether the rest of the part is skipped (after a signature).
  bool ended() const { return ended_; }
  void Reset() { *this = PlainMailBody(); }

 private:
  enum class Line : uint8_t { START, TEXT, QUOTED, DASHES };
  Line line_ = Line::START;
  bool indented_ = false;   // white space began the line
  bool blankRun_ = true;    // the last line was blank (or none came yet)
  bool quotedRun_ = false;  // the last line was quoted
  bool ended_ = false;
  std::string dashes_;   // "-", "--" or "-- " at a line start, held until the line says
  size_t dashesAt_ = 0;  // where they are
};

// A text/html part. Its text goes to EmitHtmlSpans a line at a time, cut
// where no tag, comment, script or style is open, so that what a line
// leaves open (a tag over two lines) is skipped on the next.
class HtmlMailBody {
 public:
  void Read(const MailText& text, SpanSink& sink);
  void Reset() { *this = HtmlMailBody(); }

 private:
  enum class State : uint8_t { OUTSIDE, TAG, COMMENT, RAW };
  State state_ = State::OUTSIDE;
  std::string rawEnd_;  // "</script" or "</style" in a RAW state
};

}  // namespace orth::cli
