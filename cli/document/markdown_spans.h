// The checked text of whole Markdown blocks, read with md4c.
#pragma once

#include <cstddef>
#include <string_view>

#include "document/markdown_entities.h"
#include "document/span_sink.h"

namespace orth::cli {

// Emits the text of `text`, Markdown that starts at a block boundary and
// ends at a line end (or at the end of the document), found at source
// offset `base`: prose, headings, link text, image descriptions and table
// cells; not code, math, link destinations, autolinks, reference
// definitions or markup. HTML blocks and inline tags go to EmitHtmlSpans.
void EmitMarkdownSpans(std::string_view text, size_t base, EntityCache& entities, SpanSink& sink);

}  // namespace orth::cli
