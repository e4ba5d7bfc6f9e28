// The escapes of nroff text ("\fB", "\(em", "\*(lq", "\-"): what each
// stands for in the text a reader sees, for the nroff format.
#pragma once

#include <cstddef>
#include <string_view>

#include "document/span_sink.h"

namespace orth::cli {

struct RoffEscape {
  enum class Kind {
    MARKUP,    // renders as nothing between two pieces of text (fonts, sizes, \&)
    BREAK,     // renders something that is not text (registers, strings, motions)
    DECODED,   // renders `decoded` (\- a hyphen, \(aq an apostrophe, \[u00E9])
    COMMENT,   // \" : the rest of the line is a comment
    JOIN,      // \c at the line end: the next line's text joins this one's
    CONTINUE,  // \ before the line end, or a \# comment: the next line goes on with this one
    SKIP_REST  // \! : the rest of the line is output for a later pass
  };
  Kind kind = Kind::BREAK;
  size_t length = 1;              // bytes, the backslash included
  std::string_view decoded;       // for DECODED
  char buffer[4] = {0, 0, 0, 0};  // holds `decoded` when it is a code point's UTF-8
};

// Reads the escape at `line[at]` (a backslash); `line` is one line without
// its line end, and an escape never reaches past it.
RoffEscape ReadRoffEscape(std::string_view line, size_t at);

// How a run of text ended.
enum class RoffRunEnd {
  DONE,      // at the end of the run
  COMMENT,   // at a \" or \# comment, handed to the sink up to the line end
  JOIN,      // at a \c that joins the next line's text to this one's
  CONTINUE,  // at an escaped line end: the next line goes on with this one
};

// Emits `line[from, to)` (source offset `base` is line[0]) as text,
// escapes read as ReadRoffEscape says. `line` is the whole line, so that a
// comment reaches its end even when the run stops before.
RoffRunEnd EmitRoffText(std::string_view line, size_t from, size_t to, size_t base, SpanSink& sink);

}  // namespace orth::cli
