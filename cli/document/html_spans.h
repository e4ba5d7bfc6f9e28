// The checked text of a piece of HTML, for formats that embed HTML (HTML
// blocks and inline tags in Markdown) as well as for the html format itself.
#pragma once

#include <cstddef>
#include <string_view>

#include "document/span_sink.h"

namespace orth::cli {

// Emits the text of `html`, the source bytes from offset `base` on: text
// nodes and the attributes people read, not tags, scripts, styles or code;
// comments go to SpanSink::Comment. A fragment may be a single tag ("<img
// alt='...'>") or a closing tag alone.
void EmitHtmlSpans(std::string_view html, size_t base, SpanSink& sink);

}  // namespace orth::cli
