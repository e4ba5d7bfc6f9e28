#include "document/roff_escapes.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace orth::cli {

namespace {

using Kind = RoffEscape::Kind;

// Special characters a word may hold or that part words: letters with
// accents, ligatures, quotes and dashes. Any other one (a bullet, a math
// sign) is a break.
constexpr std::pair<std::string_view, std::string_view> kGlyphs[] = {
    {"'a", "á"},   {"'e", "é"}, {"'i", "í"},  {"'o", "ó"},  {"'u", "ú"},  {"'y", "ý"},
    {"'c", "ć"},   {"'A", "Á"}, {"'E", "É"},  {"'I", "Í"},  {"'O", "Ó"},  {"'U", "Ú"},
    {"'Y", "Ý"},   {"'C", "Ć"}, {"`a", "à"},  {"`e", "è"},  {"`i", "ì"},  {"`o", "ò"},
    {"`u", "ù"},   {"`A", "À"}, {"`E", "È"},  {"`I", "Ì"},  {"`O", "Ò"},  {"`U", "Ù"},
    {"^a", "â"},   {"^e", "ê"}, {"^i", "î"},  {"^o", "ô"},  {"^u", "û"},  {"^A", "Â"},
    {"^E", "Ê"},   {"^I", "Î"}, {"^O", "Ô"},  {"^U", "Û"},  {":a", "ä"},  {":e", "ë"},
    {":i", "ï"},   {":o", "ö"}, {":u", "ü"},  {":y", "ÿ"},  {":A", "Ä"},  {":E", "Ë"},
    {":I", "Ï"},   {":O", "Ö"}, {":U", "Ü"},  {":Y", "Ÿ"},  {"~a", "ã"},  {"~n", "ñ"},
    {"~o", "õ"},   {"~A", "Ã"}, {"~N", "Ñ"},  {"~O", "Õ"},  {",c", "ç"},  {",C", "Ç"},
    {"oa", "å"},   {"oA", "Å"}, {"/o", "ø"},  {"/O", "Ø"},  {"ss", "ß"},  {"ae", "æ"},
    {"AE", "Æ"},   {"oe", "œ"}, {"OE", "Œ"},  {"ij", "ĳ"},  {"IJ", "Ĳ"},  {"-D", "Ð"},
    {"Sd", "ð"},   {"TP", "Þ"}, {"Tp", "þ"},  {".i", "ı"},  {"vs", "š"},  {"vS", "Š"},
    {"vz", "ž"},   {"vZ", "Ž"}, {"fi", "fi"}, {"fl", "fl"}, {"ff", "ff"}, {"Fi", "ffi"},
    {"Fl", "ffl"}, {"aq", "'"}, {"cq", "’"},  {"oq", "‘"},  {"lq", "“"},  {"rq", "”"},
    {"dq", "\""},  {"em", "—"}, {"en", "–"},  {"hy", "-"},  {"sl", "/"},  {"rs", "\\"},
    {"Bq", "„"},
};

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Writes the UTF-8 of a code point a word may hold into `escape`.
bool EncodeCodePoint(uint32_t code, RoffEscape& escape) {
  if (code < 0x20 || (code >= 0x7F && code < 0xA0) || (code >= 0xD800 && code < 0xE000) ||
      code > 0x10FFFF)
    return false;
  char* out = escape.buffer;
  size_t size = 0;
  if (code < 0x80) {
    out[size++] = static_cast<char>(code);
  } else if (code < 0x800) {
    out[size++] = static_cast<char>(0xC0 | (code >> 6));
    out[size++] = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out[size++] = static_cast<char>(0xE0 | (code >> 12));
    out[size++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[size++] = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out[size++] = static_cast<char>(0xF0 | (code >> 18));
    out[size++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[size++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[size++] = static_cast<char>(0x80 | (code & 0x3F));
  }
  escape.decoded = std::string_view(escape.buffer, size);
  return true;
}

// A special character by name: "em", "'e", "u00E9", "char233".
void Glyph(std::string_view name, RoffEscape& escape) {
  for (const auto& [glyph, text] : kGlyphs) {
    if (glyph == name) {
      escape.kind = Kind::DECODED;
      escape.decoded = text;
      return;
    }
  }
  uint32_t code = 0;
  if (name.size() >= 5 && name.size() <= 7 && name[0] == 'u') {
    for (const char c : name.substr(1)) {
      if (!IsHex(c)) return;
      code = code * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
  } else if (name.size() > 4 && name.size() <= 7 && name.substr(0, 4) == "char") {
    for (const char c : name.substr(4)) {
      if (c < '0' || c > '9') return;
      code = code * 10 + static_cast<uint32_t>(c - '0');
    }
  } else {
    return;
  }
  if (EncodeCodePoint(code, escape)) escape.kind = Kind::DECODED;
}

// The length of a name argument at `line[at]`: "x", "(xx" or "[name]"
// (a bracket left open takes the rest of the line).
size_t NameLength(std::string_view line, size_t at) {
  if (at >= line.size()) return 0;
  if (line[at] == '(') return std::min<size_t>(3, line.size() - at);
  if (line[at] == '[') {
    const size_t close = line.find(']', at + 1);
    return close == std::string_view::npos ? line.size() - at : close + 1 - at;
  }
  return 1;
}

// The name inside a name argument of `length` bytes at `line[at]`.
std::string_view NameOf(std::string_view line, size_t at, size_t length) {
  if (length == 0) return {};
  const std::string_view arg = line.substr(at, length);
  if (arg[0] == '(') return arg.substr(1);
  if (arg[0] == '[') return arg.substr(1, arg.back() == ']' ? arg.size() - 2 : arg.size() - 1);
  return arg;
}

// The length of a delimited argument at `line[at]` ("'...'"): up to the
// same delimiter again, escapes skipped whole; the rest of the line when
// it never comes.
size_t DelimitedLength(std::string_view line, size_t at) {
  if (at >= line.size()) return 0;
  const char delimiter = line[at];
  size_t i = at + 1;
  while (i < line.size() && line[i] != delimiter) i += line[i] == '\\' ? 2 : 1;
  return std::min(i + 1, line.size()) - at;
}

// The length of a size argument at `line[at]`: "+2", "-1", "0", "12",
// "(12", "+(12", "[12]", "'12'".
size_t SizeLength(std::string_view line, size_t at) {
  size_t i = at;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
  if (i >= line.size()) return i - at;
  if (line[i] == '(') return std::min(i + 3, line.size()) - at;
  if (line[i] == '[' || line[i] == '\'') return i - at + DelimitedLength(line, i);
  if (line[i] < '0' || line[i] > '9') return i - at;
  // One digit, or two when the first is 1 to 3 (old troff's sizes 10 to 39).
  const bool two = line[i] >= '1' && line[i] <= '3' && i + 1 < line.size() && line[i + 1] >= '0' &&
                   line[i + 1] <= '9';
  return i + (two ? 2 : 1) - at;
}

}  // namespace

RoffEscape ReadRoffEscape(std::string_view line, size_t at) {
  RoffEscape escape;
  if (at + 1 >= line.size()) {
    escape.kind = Kind::CONTINUE;  // a backslash before the line end
    return escape;
  }
  const size_t arg = at + 2;
  escape.length = 2;
  auto decoded = [&escape](std::string_view text) {
    escape.kind = Kind::DECODED;
    escape.decoded = text;
  };
  switch (line[at + 1]) {
    case '"':
      escape.kind = Kind::COMMENT;
      break;
    case '#':
      escape.kind = Kind::CONTINUE;
      escape.length = line.size() - at;  // a comment that takes the line end too
      break;
    case 'c':
      escape.kind = arg == line.size() ? Kind::JOIN : Kind::MARKUP;
      break;
    case '!':
      escape.kind = Kind::SKIP_REST;
      break;
    case 'f':
    case 'F':
    case 'm':
    case 'M':
    case 'k':
      escape.kind = Kind::MARKUP;
      escape.length += NameLength(line, arg);
      break;
    case 'O':
      escape.kind = Kind::MARKUP;
      escape.length += arg < line.size() && line[arg] == '[' ? NameLength(line, arg) : 1;
      break;
    case 's':
      escape.kind = Kind::MARKUP;
      escape.length += SizeLength(line, arg);
      break;
    case 'n':
    case '$':
      if (arg < line.size() && (line[arg] == '+' || line[arg] == '-')) ++escape.length;
      escape.length += NameLength(line, at + escape.length);
      break;
    case '*':
    case 'g':
    case 'V':
    case 'Y': {
      const size_t name = NameLength(line, arg);
      escape.length += name;
      // pod2man's apostrophe string is in every page it writes ("don\*(Aqt").
      if (line[at + 1] == '*' && NameOf(line, arg, name) == "Aq") decoded("'");
      break;
    }
    case '(':
    case '[': {
      const size_t name = NameLength(line, at + 1);
      escape.length = 1 + name;
      Glyph(NameOf(line, at + 1, name), escape);
      break;
    }
    case 'C': {
      const size_t name = DelimitedLength(line, arg);
      escape.length += name;
      if (name >= 2) Glyph(line.substr(arg + 1, name - 2), escape);
      break;
    }
    case 'w':
    case 'h':
    case 'v':
    case 'l':
    case 'L':
    case 'o':
    case 'D':
    case 'X':
    case 'b':
    case 'x':
    case 'Z':
    case 'A':
    case 'B':
    case 'R':
    case 'S':
    case 'H':
    case 'N':
    case '?':
      escape.length += DelimitedLength(line, arg);
      break;
    case 'z':
      escape.kind = Kind::MARKUP;
      escape.length += arg < line.size() ? 1 : 0;
      break;
    case '-':
      decoded("-");
      break;
    case 'e':
    case 'E':
    case '\\':
      decoded("\\");
      break;
    case '.':
      decoded(".");
      break;
    case ' ':
    case '~':
    case '0':
      decoded(" ");
      break;
    case '&':
    case '%':
    case ':':
    case '/':
    case ',':
    case ')':
    case '|':
    case '^':
    case 'd':
    case 'u':
    case 'r':
    case 'p':
    case '{':
    case '}':
      escape.kind = Kind::MARKUP;
      break;
    default:
      break;  // an accent (\' \`), a tab or leader (\t \a), an unknown escape
  }
  escape.length = std::min(escape.length, line.size() - at);
  return escape;
}

RoffRunEnd EmitRoffText(std::string_view line, size_t from, size_t to, size_t base,
                        SpanSink& sink) {
  size_t i = from;
  while (i < to) {
    const size_t slash = line.substr(0, to).find('\\', i);
    const size_t stop = slash == std::string_view::npos ? to : slash;
    if (stop > i) sink.Text(line.substr(i, stop - i), base + i);
    if (stop == to) break;
    const RoffEscape escape = ReadRoffEscape(line, stop);
    switch (escape.kind) {
      case Kind::MARKUP:
        sink.Markup(base + stop);
        break;
      case Kind::BREAK:
        sink.Break(base + stop);
        break;
      case Kind::DECODED:
        sink.Decoded(escape.decoded, base + stop, base + stop + escape.length);
        break;
      case Kind::COMMENT:
        sink.Comment(line.substr(stop), base + stop);
        return RoffRunEnd::COMMENT;
      case Kind::JOIN:
        sink.Markup(base + stop);
        return RoffRunEnd::JOIN;
      case Kind::CONTINUE:
        if (escape.length > 1) sink.Comment(line.substr(stop), base + stop);
        return RoffRunEnd::CONTINUE;
      case Kind::SKIP_REST:
        sink.Break(base + stop);
        return RoffRunEnd::COMMENT;
    }
    i = stop + escape.length;
  }
  return RoffRunEnd::DONE;
}

}  // namespace orth::cli
