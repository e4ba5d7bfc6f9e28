// Markdown hands its HTML over in pieces: an HTML block line by line, each
// inline tag on its own with Markdown text between. HtmlFragments reads the
// pieces of one document as one: what a piece leaves open (a comment, a
// <script>, a <pre> or <code>, a tag split over lines) carries into the
// next, and SkipsText() says whether the Markdown text after a piece lies
// inside it ("<kbd>Ctrl</kbd>": "Ctrl" is not prose). EmitHtmlSpans reads
// each piece on its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "document/span_sink.h"

namespace orth::cli {

class HtmlDocumentParser;

class HtmlFragments {
 public:
  HtmlFragments();
  ~HtmlFragments();
  HtmlFragments(HtmlFragments&&) noexcept;
  HtmlFragments& operator=(HtmlFragments&&) noexcept;

  // Emits the spans of `html`, the source bytes from offset `base` on, all
  // of them, with what the pieces before left open.
  void Emit(std::string_view html, size_t base, SpanSink& sink);
  // Whether text after the last piece is inside a comment, a tag, a script
  // or an element whose text is code.
  bool SkipsText() const;

 private:
  std::unique_ptr<HtmlDocumentParser> parser_;
};

}  // namespace orth::cli
