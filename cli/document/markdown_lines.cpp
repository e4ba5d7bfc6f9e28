#include "document/markdown_lines.h"

#include <cctype>
#include <cstring>

#include "document/line_cut.h"

namespace orth::cli {

namespace {

constexpr size_t npos = std::string_view::npos;

// The columns of the spaces and tabs `text` starts with (a tab moves to the
// next multiple of 4), and how many bytes they take.
size_t Indent(std::string_view text, size_t& bytes) {
  size_t column = 0;
  bytes = 0;
  while (bytes < text.size() && (text[bytes] == ' ' || text[bytes] == '\t')) {
    column = text[bytes] == '\t' ? column + 4 - column % 4 : column + 1;
    ++bytes;
  }
  return column;
}

// Removes the block quote markers `rest` starts with; returns how many.
int StripQuotes(std::string_view& rest) {
  int depth = 0;
  for (;;) {
    size_t bytes = 0;
    if (Indent(rest, bytes) > 3 || bytes >= rest.size() || rest[bytes] != '>') return depth;
    rest.remove_prefix(bytes + 1);
    if (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) rest.remove_prefix(1);
    ++depth;
  }
}

// The width of the list item marker `text` starts with ("-", "*", "+",
// "1." or "1)" before white space or the line end), 0 for none.
size_t ListMarkerWidth(std::string_view text) {
  size_t width = 0;
  if (!text.empty() && (text[0] == '-' || text[0] == '*' || text[0] == '+')) {
    width = 1;
  } else {
    while (width < text.size() && width < 9 &&
           std::isdigit(static_cast<unsigned char>(text[width])))
      ++width;
    if (width == 0 || width >= text.size() || (text[width] != '.' && text[width] != ')')) return 0;
    ++width;
  }
  if (width < text.size() && text[width] != ' ' && text[width] != '\t') return 0;
  return width;
}

size_t Run(std::string_view text, char c) {
  size_t n = 0;
  while (n < text.size() && text[n] == c) ++n;
  return n;
}

bool StartsWithNoCaseAt(std::string_view text, size_t at, std::string_view word) {
  if (at > text.size() || text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  }
  return true;
}

// Where the end marker of an HTML block lies in `line`, from `from` on: the
// offset just after it, or npos.
size_t FindHtmlEnd(std::string_view line, size_t from, HtmlBlockEnd end) {
  switch (end) {
    case HtmlBlockEnd::COMMENT: {
      const size_t at = line.find("-->", from);
      return at == npos ? npos : at + 3;
    }
    case HtmlBlockEnd::INSTRUCTION: {
      const size_t at = line.find("?>", from);
      return at == npos ? npos : at + 2;
    }
    case HtmlBlockEnd::DECLARATION: {
      const size_t at = line.find('>', from);
      return at == npos ? npos : at + 1;
    }
    case HtmlBlockEnd::CDATA: {
      const size_t at = line.find("]]>", from);
      return at == npos ? npos : at + 3;
    }
    case HtmlBlockEnd::RAW_TEXT:
      for (size_t at = line.find("</", from); at != npos; at = line.find("</", at + 2)) {
        for (const std::string_view name : {"script>", "pre>", "style>", "textarea>"}) {
          if (StartsWithNoCaseAt(line, at + 2, name)) return at + 2 + name.size();
        }
      }
      return npos;
  }
  return npos;
}

// Whether `rest` (a line after its indentation) starts an HTML block that
// runs to an end marker, and which; `from` is where to look for the marker.
bool HtmlBlockStart(std::string_view rest, HtmlBlockEnd& end, size_t& from) {
  if (rest.empty() || rest[0] != '<') return false;
  if (rest.substr(0, 4) == "<!--") {
    end = HtmlBlockEnd::COMMENT;
    from = 2;
    return true;
  }
  if (rest.substr(0, 2) == "<?") {
    end = HtmlBlockEnd::INSTRUCTION;
    from = 2;
    return true;
  }
  if (rest.substr(0, 9) == "<![CDATA[") {
    end = HtmlBlockEnd::CDATA;
    from = 9;
    return true;
  }
  if (rest.size() > 2 && rest[1] == '!' && std::isalpha(static_cast<unsigned char>(rest[2]))) {
    end = HtmlBlockEnd::DECLARATION;
    from = 2;
    return true;
  }
  for (const std::string_view name : {"script", "pre", "style", "textarea"}) {
    if (!StartsWithNoCaseAt(rest, 1, name)) continue;
    const size_t after = 1 + name.size();
    if (after == rest.size() || rest[after] == ' ' || rest[after] == '\t' || rest[after] == '>') {
      end = HtmlBlockEnd::RAW_TEXT;
      from = 1;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string_view MarkdownLineAt(std::string_view input, size_t start, size_t& next) {
  // Two memchr calls rather than find_first_of, which looks every byte up
  // in the set one by one.
  const size_t size = start < input.size() ? input.size() - start : 0;
  const void* newline = std::memchr(input.data() + start, '\n', size);
  const size_t lineFeed = newline != nullptr
                              ? static_cast<size_t>(static_cast<const char*>(newline) - input.data())
                              : input.size();
  const void* cr = std::memchr(input.data() + start, '\r', lineFeed - start);
  size_t end = cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - input.data())
                             : lineFeed;
  if (end == input.size()) end = npos;
  if (end == npos || (input[end] == '\r' && end + 1 == input.size())) {
    next = npos;
    return input.substr(start);
  }
  next = input[end] == '\r' && input[end + 1] == '\n' ? end + 2 : end + 1;
  return input.substr(start, end - start);
}

bool IsFrontMatterOpener(std::string_view line, char& mark) {
  for (const char c : {'-', '+'}) {
    if (line.size() >= 3 && line.substr(0, 3) == std::string(3, c) && IsBlankLine(line.substr(3))) {
      mark = c;
      return true;
    }
  }
  return false;
}

bool IsFrontMatterCloser(std::string_view line, char mark) {
  size_t end = line.size();
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r')) --end;
  line = line.substr(0, end);
  return line == (mark == '+' ? "+++" : "---") || (mark == '-' && line == "...");
}

bool IsHashCommentLine(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  return first != npos && line[first] == '#';
}

void MarkdownLines::OpenFrontMatter(char mark) {
  open = MarkdownOpen::FRONT_MATTER;
  frontMatterMark = mark;
  frontMatterBytes = 0;
}

MarkdownLines::Step MarkdownLines::Read(std::string_view line, bool continuation,
                                        bool& safeBefore) {
  safeBefore = false;
  Step step;
  switch (open) {
    case MarkdownOpen::FENCE: {
      if (continuation) return {false, kWhole};
      std::string_view rest = line;
      size_t bytes = 0;
      if (StripQuotes(rest) < fenceQuotes) {
        open = MarkdownOpen::NONE;  // the block quote around the fence ended
        step = {true, 0};
        break;
      }
      const size_t indent = Indent(rest, bytes);
      const bool blank = IsBlankLine(rest);
      if (fenceColumn > 0 && !blank && indent < fenceColumn) {
        open = MarkdownOpen::NONE;  // the list item around the fence ended
        step = {true, 0};
        break;
      }
      const size_t relative = indent >= fenceColumn ? indent - fenceColumn : indent;
      rest.remove_prefix(bytes);
      const size_t run = Run(rest, fenceChar);
      if (!blank && relative <= 3 && run >= fenceLength && IsBlankLine(rest.substr(run))) {
        open = MarkdownOpen::NONE;
        afterBlank = false;
        return {true, kWhole};
      }
      return {false, kWhole};
    }
    case MarkdownOpen::HTML: {
      const size_t end = FindHtmlEnd(line, 0, htmlEnd);
      if (end == npos) return {false, kWhole};
      open = MarkdownOpen::NONE;
      afterBlank = false;
      return {true, end == line.size() ? kWhole : end};
    }
    case MarkdownOpen::FRONT_MATTER:
      if (frontMatterBytes == 0 || continuation) {
        frontMatterBytes += line.size() + 1;
        return {false, kWhole};
      }
      if (frontMatterBytes + line.size() > kFrontMatterLimit) {
        open = MarkdownOpen::NONE;
        step = {true, 0};
        break;
      }
      frontMatterBytes += line.size() + 1;
      if (IsFrontMatterCloser(line, frontMatterMark)) {
        open = MarkdownOpen::NONE;
        afterBlank = false;
        return {true, kWhole};
      }
      return {false, kWhole};
    case MarkdownOpen::NONE:
      break;
  }
  if (continuation) return step;
  if (IsBlankLine(line)) {
    afterBlank = true;
    return step;
  }
  safeBefore = afterBlank && line[0] != ' ' && line[0] != '\t' && ListMarkerWidth(line) == 0;
  if (afterBlank) {
    // After a blank line, a line left of the list item's content ends it.
    size_t bytes = 0;
    if (Indent(line, bytes) < listColumn) listColumn = 0;
  }
  afterBlank = false;
  Begin(line);
  return step;
}

// A line outside every construct: follows list items and opens a fence or
// an HTML block when the line starts one.
void MarkdownLines::Begin(std::string_view line) {
  std::string_view rest = line;
  const int quotes = StripQuotes(rest);
  size_t bytes = 0;
  size_t indent = Indent(rest, bytes);
  size_t base = quotes == 0 && listColumn > 0 && indent >= listColumn ? listColumn : 0;
  if (indent - base > 3) return;  // indented code
  rest.remove_prefix(bytes);
  if (const size_t width = ListMarkerWidth(rest); width > 0 && quotes == 0) {
    // A list item: its content may itself open a fence or an HTML block.
    rest.remove_prefix(width);
    size_t spaces = 0;
    const size_t gap = Indent(rest, spaces);
    listColumn = indent + width + (gap == 0 || gap > 4 ? 1 : gap);
    if (gap > 4) return;
    rest.remove_prefix(spaces);
    base = listColumn;
  }
  const char first = rest.empty() ? '\0' : rest[0];
  if (first == '`' || first == '~') {
    const size_t run = Run(rest, first);
    if (run >= 3 && (first == '~' || rest.find('`', run) == npos)) {
      open = MarkdownOpen::FENCE;
      fenceChar = first;
      fenceLength = run;
      fenceColumn = base;
      fenceQuotes = quotes;
    }
    return;
  }
  HtmlBlockEnd end = HtmlBlockEnd::RAW_TEXT;
  size_t from = 0;
  if (HtmlBlockStart(rest, end, from) && FindHtmlEnd(rest, from, end) == npos) {
    open = MarkdownOpen::HTML;
    htmlEnd = end;
  }
}

}  // namespace orth::cli
