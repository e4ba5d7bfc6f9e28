#include "document/code_scan.h"

#include <cstring>

namespace orth::cli {

namespace {

constexpr size_t kMaxRegex = 1024;
constexpr size_t kMaxDelimiter = 16;  // what C++ allows
constexpr size_t kMaxHeredocWord = 128;

size_t Utf8Length(char lead) {
  const auto byte = static_cast<unsigned char>(lead);
  return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

int DigitValue(char c) {
  if (IsCodeDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

char At(std::string_view line, size_t at) {
  return at < line.size() ? line[at] : '\0';
}

bool IsWordByte(char c) {
  return IsCodeLetter(c) || IsCodeDigit(c) || c == '_';
}

// The UTF-8 form of a code point that stands for readable text; empty for
// controls, surrogates and values out of range.
std::string Readable(uint32_t codePoint) {
  std::string out;
  if (codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint < 0xA0) ||
      (codePoint >= 0xD800 && codePoint < 0xE000) || codePoint > 0x10FFFF) {
    return out;
  }
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
    return out;
  }
  const int continuation = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[continuation] | (codePoint >> (6 * continuation)));
  for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6) {
    out += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
  }
  return out;
}

EscapeRead Decoded(std::string decoded, size_t length) {
  EscapeRead read;
  read.kind = EscapeRead::DECODED;
  read.length = length;
  read.decoded = std::move(decoded);
  return read;
}

EscapeRead Nothing(size_t length) {
  EscapeRead read;
  read.length = length;
  return read;
}

// \x41, \101, \u00e9, \U0001F600: between `least` and `most` digits in
// `radix` after `skip` bytes. A value above `highest` (a byte of some
// encoding) or a control stands for nothing readable.
EscapeRead Numeric(std::string_view line, size_t at, size_t skip, int radix, size_t least,
                   size_t most, uint32_t highest) {
  size_t k = at + skip;
  uint32_t value = 0;
  while (k < line.size() && k - at - skip < most && DigitValue(line[k]) < radix) {
    value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(DigitValue(line[k]));
    ++k;
  }
  if (k - at - skip < least) return Nothing(skip);
  std::string readable = value <= highest ? Readable(value) : std::string();
  return readable.empty() ? Nothing(k - at) : Decoded(std::move(readable), k - at);
}

}  // namespace

bool IsRegexKeyword(std::string_view word) {
  static constexpr std::string_view kKeywords[] = {
      "return", "typeof", "instanceof", "in",   "of",    "new",   "delete",
      "void",   "throw",  "case",       "else", "yield", "await", "do"};
  for (const std::string_view keyword : kKeywords) {
    if (word == keyword) return true;
  }
  return false;
}

size_t CharacterLiteralEnd(std::string_view line, size_t at, bool more) {
  const size_t j = at + 1;
  const size_t unknown = more ? kScanMore : kScanNone;
  if (j >= line.size()) return unknown;
  if (line[j] == '\\') {
    // '\n', '\'', '\x41', '\u{1F600}'
    for (size_t k = j + 2; k < line.size() && k <= j + 12; ++k) {
      if (line[k] == '\'') return k + 1;
    }
    return line.size() <= j + 12 ? unknown : kScanNone;
  }
  if (line[j] == '\'') return kScanNone;
  const size_t after = j + Utf8Length(line[j]);
  if (after >= line.size()) return unknown;
  return line[after] == '\'' ? after + 1 : kScanNone;
}

size_t StructTagEnd(std::string_view line, size_t start) {
  const size_t close = line.find('`', start);
  if (close == std::string_view::npos) return kScanNone;
  size_t j = start;
  while (j < close && line[j] == ' ') ++j;
  const size_t key = j;
  while (j < close && IsWordByte(line[j])) ++j;
  if (j == key || j + 1 >= close || line[j] != ':' || line[j + 1] != '"') return kScanNone;
  return close + 1;
}

size_t RegexLiteralEnd(std::string_view line, size_t at, bool more) {
  bool inClass = false;
  size_t j = at + 1;
  for (; j < line.size() && j - at < kMaxRegex; ++j) {
    const char c = line[j];
    if (c == '\\') {
      ++j;
    } else if (inClass) {
      inClass = c != ']';
    } else if (c == '[') {
      inClass = true;
    } else if (c == '/') {
      ++j;
      while (j < line.size() && IsCodeLetter(line[j])) ++j;
      return j;
    }
  }
  return j >= line.size() && more ? kScanMore : kScanNone;
}

size_t RawDelimiterEnd(std::string_view line, size_t start, bool more) {
  for (size_t k = start; k < line.size() && k - start <= kMaxDelimiter; ++k) {
    if (line[k] == '(') return k;
    if (line[k] == '\0' || std::strchr(" )\\\t\v\f\r", line[k]) != nullptr) return kScanNone;
  }
  return line.size() - start <= kMaxDelimiter && more ? kScanMore : kScanNone;
}

size_t DirectiveEnd(std::string_view line, size_t at, bool more) {
  size_t j = at + 1;
  while (j < line.size() && (line[j] == ' ' || line[j] == '\t')) ++j;
  size_t k = j;
  while (k < line.size() && (IsCodeLetter(line[k]) || line[k] == '_')) ++k;
  if (k == line.size() && more) return kScanMore;
  const std::string_view word = line.substr(j, k - j);
  return word == "include" || word == "include_next" || word == "import" || word == "pragma" ||
                 word == "line"
             ? k
             : kScanNone;
}

HeredocOperator ReadHeredocOperator(std::string_view line, size_t at, bool more) {
  HeredocOperator heredoc;
  size_t j = at + 2;
  if (At(line, j) == '<') {
    heredoc.end = at + 3;
    return heredoc;
  }
  heredoc.stripTabs = At(line, j) == '-';
  if (heredoc.stripTabs) ++j;
  while (At(line, j) == ' ' || At(line, j) == '\t') ++j;
  if (j >= line.size()) {
    if (more) heredoc.end = kScanMore;
    return heredoc;
  }
  size_t wordStart = j;
  size_t wordEnd = j;
  if (line[j] == '\'' || line[j] == '"') {
    const size_t close = line.find(line[j], j + 1);
    if (close == std::string_view::npos) {
      if (more) heredoc.end = kScanMore;
      return heredoc;
    }
    heredoc.raw = true;
    wordStart = j + 1;
    wordEnd = close;
    j = close + 1;
  } else {
    if (line[j] == '\\') {
      heredoc.raw = true;
      wordStart = ++j;
    }
    while (j < line.size() && IsWordByte(line[j])) ++j;
    wordEnd = j;
    if (wordEnd == line.size() && more) {
      heredoc.end = kScanMore;
      return heredoc;
    }
    // <<2 is a shift in arithmetic, not a heredoc
    if (wordEnd == wordStart || IsCodeDigit(line[wordStart])) return heredoc;
  }
  if (wordEnd == wordStart || wordEnd - wordStart > kMaxHeredocWord) return heredoc;
  heredoc.word = line.substr(wordStart, wordEnd - wordStart);
  heredoc.end = j;
  return heredoc;
}

HoleStart FindHole(std::string_view line, size_t at, Holes holes) {
  const char c = line[at];
  const char next = At(line, at + 1);
  auto make = [](HoleStart::Action action, size_t length, char open = 0, char close = 0) {
    HoleStart hole;
    hole.action = action;
    hole.length = length;
    hole.open = open;
    hole.close = close;
    return hole;
  };
  auto name = [&] {
    size_t k = at + 1;
    while (k < line.size() && IsWordByte(line[k])) ++k;
    return make(HoleStart::SKIP, k - at);
  };
  switch (holes) {
    case Holes::DOLLAR_BRACE:
    case Holes::DOLLAR:
      if (c == '$' && next == '{') return make(HoleStart::PUSH, 2, '{', '}');
      if (holes == Holes::DOLLAR && c == '$' && (IsCodeLetter(next) || next == '_')) return name();
      break;
    case Holes::SHELL:
      if (c == '`') return make(HoleStart::PUSH, 1, 0, '`');
      if (c != '$') break;
      if (next == '{') return make(HoleStart::PUSH, 2, '{', '}');
      if (next == '(' && At(line, at + 2) == '(') {
        HoleStart hole = make(HoleStart::PUSH, 3, '(', ')');
        hole.depth = 2;
        hole.arithmetic = true;
        return hole;
      }
      if (next == '(') return make(HoleStart::PUSH, 2, '(', ')');
      if (IsCodeLetter(next) || next == '_') return name();
      if (IsCodeDigit(next) || (next != '\0' && std::strchr("@#?$!*-", next) != nullptr)) {
        return make(HoleStart::SKIP, 2);
      }
      break;
    case Holes::BRACES:
      if (c == '{') {
        return next == '{' ? make(HoleStart::LITERAL, 2) : make(HoleStart::PUSH, 1, '{', '}');
      }
      if (c == '}' && next == '}') return make(HoleStart::LITERAL, 2);
      break;
    case Holes::HASH_BRACE:
      if (c == '#' && next == '{') return make(HoleStart::PUSH, 2, '{', '}');
      break;
    case Holes::NONE:
    case Holes::BACKSLASH_PAREN:
      break;
  }
  return {};
}

EscapeRead ReadEscape(std::string_view line, size_t at, Escapes escapes, Holes holes, char quote) {
  if (at + 1 >= line.size()) {
    EscapeRead read;
    read.kind = EscapeRead::LINE_END;
    return read;
  }
  const char c = line[at + 1];
  if (escapes == Escapes::QUOTE) {
    if (c == '\\' || c == quote) return Decoded(std::string(1, c), 2);
    EscapeRead read;
    read.kind = EscapeRead::TEXT;
    return read;
  }
  if (holes == Holes::BACKSLASH_PAREN && c == '(') {
    EscapeRead read;
    read.kind = EscapeRead::HOLE;
    read.length = 2;
    return read;
  }
  switch (c) {
    case 'n':
      return Decoded("\n", 2);
    case 't':
      return Decoded("\t", 2);
    case 'r':
    case 'f':
    case 'v':
      return Decoded(" ", 2);
    case 'x':
      return Numeric(line, at, 2, 16, 1, 2, 0x7F);
    case 'U':
      return Numeric(line, at, 2, 16, 8, 8, 0x10FFFF);
    case 'u':
      if (At(line, at + 2) == '{') {
        // \u{e9}: up to six digits and the closing brace
        const size_t close = line.substr(0, at + 10).find('}', at + 3);
        if (close == std::string_view::npos) return Nothing(2);
        EscapeRead read = Numeric(line, at, 3, 16, close - at - 3, close - at - 3, 0x10FFFF);
        if (read.length == close - at) read.length = close - at + 1;
        return read;
      }
      return Numeric(line, at, 2, 16, 4, 4, 0x10FFFF);
    case 'N':
      if (At(line, at + 2) == '{') {
        // \N{EM DASH}
        const size_t close = line.substr(0, at + 80).find('}', at + 3);
        return Nothing(close != std::string_view::npos ? close - at + 1 : 2);
      }
      break;
    default:
      break;
  }
  if (c >= '0' && c <= '7') return Numeric(line, at, 1, 8, 1, 3, 0x7F);
  // \a, \b, \e, and \d or \w of a regular expression: nothing readable
  if (IsCodeLetter(c)) return Nothing(2);
  // A backslash before a non-ASCII character: the character is text.
  if (static_cast<unsigned char>(c) >= 0x80) return Nothing(1);
  // \\, \", \', \?, \$, \`: the character itself
  return Decoded(std::string(1, c), 2);
}

}  // namespace orth::cli
