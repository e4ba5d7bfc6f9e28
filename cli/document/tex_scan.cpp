#include "document/tex_scan.h"

namespace orth::cli {

namespace {

constexpr size_t MAX_ENVIRONMENT_NAME = 64;

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

// \i or \j, the dotless letters that take accents, at `at`.
bool DotlessAt(std::string_view line, size_t at, char& letter, size_t& end) {
  if (at + 1 >= line.size() || line[at] != '\\' || (line[at + 1] != 'i' && line[at + 1] != 'j')) {
    return false;
  }
  if (at + 2 < line.size() && IsTexNameLetter(line[at + 2])) return false;
  letter = line[at + 1];
  end = SkipTexSpaces(line, at + 2);
  return true;
}

}  // namespace

bool IsTexNameLetter(char c) {
  return IsLetter(c) || c == '@';
}

size_t SkipTexSpaces(std::string_view line, size_t at) {
  while (at < line.size() && IsSpace(line[at])) ++at;
  return at;
}

size_t SkipTexToken(std::string_view line, size_t at) {
  size_t end = at + 1;
  if (line[at] == '\\') {
    if (end < line.size() && IsTexNameLetter(line[end])) {
      while (end < line.size() && IsTexNameLetter(line[end])) ++end;
      return end;
    }
    return end < line.size() ? end + 1 : end;
  }
  while (end < line.size() && !IsSpace(line[end]) &&
         std::string_view("\\{}[]$%&~").find(line[end]) == std::string_view::npos) {
    ++end;
  }
  return end;
}

bool IsTexCurrencySign(std::string_view line, size_t at) {
  if (at + 1 >= line.size() || !IsDigit(line[at + 1])) return false;
  for (size_t i = at + 1; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '%') {
      return true;
    } else if (line[i] == '$') {
      // Math closes after a symbol ($2x$); a price is followed by more
      // prose ($5 and $10, $10 each or $x$).
      return IsSpace(line[i - 1]) || (i + 1 < line.size() && IsDigit(line[i + 1]));
    }
  }
  return true;
}

bool ReadTexEnvironmentName(std::string_view line, size_t at, std::string_view& name, size_t& end) {
  at = SkipTexSpaces(line, at);
  if (at >= line.size() || line[at] != '{') return false;
  for (size_t i = at + 1; i < line.size() && i <= at + 1 + MAX_ENVIRONMENT_NAME; ++i) {
    const char c = line[i];
    if (c == '}') {
      if (i == at + 1) return false;
      name = line.substr(at + 1, i - at - 1);
      end = i + 1;
      return true;
    }
    if (c == '{' || c == '\\' || c == '%' || c == '$') return false;
  }
  return false;
}

TexAccentTarget ReadTexAccentTarget(std::string_view line, size_t at) {
  TexAccentTarget target;
  const size_t start = SkipTexSpaces(line, at);
  if (start >= line.size()) return target;
  if (line[start] == '{') {
    const size_t inner = SkipTexSpaces(line, start + 1);
    size_t after = 0;
    if (inner < line.size() && line[inner] == '}') {
      target.kind = TexAccentTarget::EMPTY;
      target.end = inner + 1;
      return target;
    }
    if (inner < line.size() && IsLetter(line[inner])) {
      target.letter = line[inner];
      after = SkipTexSpaces(line, inner + 1);
    } else if (!DotlessAt(line, inner, target.letter, after)) {
      return target;
    }
    if (after >= line.size() || line[after] != '}') return target;
    target.kind = TexAccentTarget::LETTER;
    target.end = after + 1;
    return target;
  }
  if (IsLetter(line[start])) {
    target.kind = TexAccentTarget::LETTER;
    target.letter = line[start];
    target.end = start + 1;
  } else if (DotlessAt(line, start, target.letter, target.end)) {
    target.kind = TexAccentTarget::LETTER;
  }
  return target;
}

TexStop FindTexMathEnd(std::string_view line, size_t at, TexMathEnd end,
                       std::string_view environmentEnd) {
  for (size_t i = at; i < line.size();) {
    i = line.find_first_of("\\$%", i);
    if (i == std::string_view::npos) break;
    if (line[i] == '%') return {TexStop::COMMENT, i};
    if (line[i] == '$') {
      if (end == TexMathEnd::DOLLAR) return {TexStop::CLOSED, i + 1};
      if (end == TexMathEnd::DOUBLE_DOLLAR && i + 1 < line.size() && line[i + 1] == '$') {
        return {TexStop::CLOSED, i + 2};
      }
      ++i;
      continue;
    }
    if (i + 1 >= line.size()) break;
    const char next = line[i + 1];
    if ((end == TexMathEnd::PAREN && next == ')') || (end == TexMathEnd::BRACKET && next == ']')) {
      return {TexStop::CLOSED, i + 2};
    }
    if (end == TexMathEnd::ENVIRONMENT && line.substr(i, environmentEnd.size()) == environmentEnd) {
      return {TexStop::CLOSED, i + environmentEnd.size()};
    }
    i += 2;  // an escaped character (\$, \%) or the first letter of a name
  }
  return {TexStop::LINE_END, line.size()};
}

TexStop FindTexSkippedEnd(std::string_view line, size_t at, bool brackets, size_t& depth) {
  for (size_t i = at; i < line.size();) {
    i = line.find_first_of("\\{}]%", i);
    if (i == std::string_view::npos) break;
    switch (line[i]) {
      case '\\':
        i += 2;
        break;
      case '{':
        ++depth;
        ++i;
        break;
      case '}':
        if (depth > 0) --depth;
        ++i;
        if (!brackets && depth == 0) return {TexStop::CLOSED, i};
        break;
      case ']':
        ++i;
        if (brackets && depth == 0) return {TexStop::CLOSED, i};
        break;
      default:
        return {TexStop::COMMENT, i};
    }
  }
  return {TexStop::LINE_END, line.size()};
}

}  // namespace orth::cli
