// The Markdown constructs that outlive a blank line, followed line by line.
// md4c parses whole buffers, so a long document is handed to it in pieces;
// this scanner says where a piece may end without cutting a construct in
// two, and which construct is still open when a piece has to end anyway
// (a fenced block, an HTML block that ends at a marker, front matter), so
// that the next piece starts inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orth::cli {

enum class MarkdownOpen : uint8_t {
  NONE,
  FENCE,         // ``` or ~~~ code
  HTML,          // <script>, <pre>, <style>, <textarea>, <!-- -->, <? ?>, <!X >, CDATA
  FRONT_MATTER,  // YAML (---) or TOML (+++) at the start of the document
};

// Which marker ends an open HTML block.
enum class HtmlBlockEnd : uint8_t { RAW_TEXT, COMMENT, INSTRUCTION, DECLARATION, CDATA };

struct MarkdownLines {
  // What one line did to the construct open before it.
  struct Step {
    bool closes = false;  // the construct ends on (or just before) this line
    // How much of the line belongs to the construct: kWhole for all of it
    // with its line end; else the bytes before the rest of the line, which
    // is read as Markdown (0 when a container that ends closes a fence) or,
    // after an HTML block's end marker, as HTML.
    size_t owned = 0;
  };
  static constexpr size_t kWhole = ~size_t{0};
  // Front matter longer than this is not front matter: the rest is read as
  // Markdown, so that a stray "---" cannot hide a whole document.
  static constexpr size_t kFrontMatterLimit = size_t{64} << 10;

  MarkdownOpen open = MarkdownOpen::NONE;
  char fenceChar = 0;
  size_t fenceLength = 0;
  size_t fenceColumn = 0;  // content column of the list item holding the fence
  int fenceQuotes = 0;     // block quote depth of the fence
  HtmlBlockEnd htmlEnd = HtmlBlockEnd::RAW_TEXT;
  char frontMatterMark = 0;  // '-' or '+'
  size_t frontMatterBytes = 0;
  size_t listColumn = 0;    // content column of the last list item, 0 outside lists
  bool afterBlank = false;  // the previous line was blank, outside any construct

  // Starts front matter whose first line ("---" or "+++") is the next line.
  void OpenFrontMatter(char mark);

  // Reads one line, without its line end. `continuation` says the line is
  // the rest of one a piece cut in two. `safeBefore` is set when a piece
  // may end just before the line: it follows a blank line outside every
  // construct, starts at column 0 and does not continue a list, so every
  // block is closed there.
  Step Read(std::string_view line, bool continuation, bool& safeBefore);

 private:
  void Begin(std::string_view line);
};

// The line of `input` that starts at `start`, without its line end ("\n",
// "\r\n" or a lone "\r", as md4c reads them). `next` is where the next line
// starts; npos when no line end follows in `input` (a "\r" at the very end
// may be the first half of "\r\n").
std::string_view MarkdownLineAt(std::string_view input, size_t start, size_t& next);

// Whether `line` is "---" or "+++" (trailing white space allowed), the first
// line of front matter; gives the mark character.
bool IsFrontMatterOpener(std::string_view line, char& mark);

// Whether `line` ends front matter opened with `mark`: "---" or "..." for
// YAML, "+++" for TOML.
bool IsFrontMatterCloser(std::string_view line, char mark);

// Whether `line` is a YAML or TOML comment line (its text starts with "#").
bool IsHashCommentLine(std::string_view line);

}  // namespace orth::cli
