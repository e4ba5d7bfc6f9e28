// What a document parser hands on: the pieces of a document that are text to
// check, each tied to the bytes of the original input it came from.
//
// Offsets are byte offsets into the whole input (the first byte of a file is
// 0), whatever piece of it the parser is looking at. Parsers call the sink in
// source order: every call's offset is at or after the previous call's
// (Code alone may come at any point of the piece it belongs to).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orth::cli {

// How checked text is read. Prose is the text of markup and plain files;
// comments and string literals come from source code.
enum class TextRole : uint8_t {
  PROSE,
  COMMENT,
  STRING,  // format directives (%s, %-5d, {0}, {name}) are skipped
};

class SpanSink {
 public:
  virtual ~SpanSink() = default;

  // Source bytes [offset, offset + bytes.size()) are text to check exactly as
  // they stand. Consecutive calls join: a word may run from one into the next
  // ("**bo**ld" gives "bo" and "ld", one word) unless a Break or Markup call
  // stands between them.
  virtual void Text(std::string_view bytes, size_t offset, TextRole role = TextRole::PROSE) = 0;

  // Source bytes [begin, end) stand for the UTF-8 text `decoded`: an entity
  // (&iuml;), a TeX accent (\"i), an escape. It joins the text around it like
  // Text does, so "na&iuml;ve" is one word, reported at the source bytes.
  virtual void Decoded(std::string_view decoded, size_t begin, size_t end,
                       TextRole role = TextRole::PROSE) = 0;

  // Markup at `offset` that renders as nothing between two pieces of text
  // (emphasis marks, an inline tag): a word continues across it when letters
  // touch on both sides, but a doubled word is never reported across it.
  virtual void Markup(size_t offset) = 0;

  // Skipped material at `offset` (code, math, a command, a tag with
  // attributes), or the end of a paragraph, heading, cell or comment: it ends
  // the current word, and no doubled word is reported across it.
  virtual void Break(size_t offset) = 0;

  // Text that is not checked but may hold inline directives ("orthspell:
  // disable", "cspell: ignore ..."): HTML comments, TeX % comments, the
  // comments of code when only strings are checked.
  virtual void Comment(std::string_view bytes, size_t offset) = 0;

  // Code that is not checked (a code span, a code block, the code around
  // comments, a verbatim argument): its words are names the text may
  // mention, so a word of the text written the same way is taken as meant.
  // Optional: nothing is lost when a parser does not call it.
  virtual void Code(std::string_view bytes, size_t offset) {
    static_cast<void>(bytes);
    static_cast<void>(offset);
  }
};

}  // namespace orth::cli
