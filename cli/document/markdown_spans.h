// The checked text of whole Markdown blocks, read with md4c.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "document/span_sink.h"

namespace orth::cli {

// Named character references decoded so far: the reference ("&iuml;") to
// its UTF-8 text, or to "" when it names no character.
using EntityCache = std::unordered_map<std::string, std::string>;

// Emits the text of `text`, Markdown that starts at a block boundary and
// ends at a line end (or at the end of the document), found at source
// offset `base`: prose, headings, link text, image descriptions and table
// cells; not code, math, link destinations, autolinks, reference
// definitions or markup. HTML blocks and inline tags go to EmitHtmlSpans.
void EmitMarkdownSpans(std::string_view text, size_t base, EntityCache& entities, SpanSink& sink);

// The UTF-8 text of the character reference `reference` ("&amp;", "&#233;",
// "&#xE9;"), or false when it names no character.
bool DecodeCharacterReference(std::string_view reference, EntityCache& cache, std::string& utf8);

}  // namespace orth::cli
