#include "check/directives.h"

#include <cstring>

namespace orth::cli {

namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualsNoCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(text[i]) != lower[i]) return false;
  }
  return true;
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

// Where the prefix ending just before the colon at `colon` begins, or npos.
size_t PrefixStart(std::string_view text, size_t colon) {
  for (const std::string_view prefix : {"orthspell", "spellchecker", "spell-checker", "cspell"}) {
    if (colon < prefix.size()) continue;
    const size_t start = colon - prefix.size();
    if (EqualsNoCase(text.substr(start, prefix.size()), prefix) &&
        (start == 0 || !IsNameChar(text[start - 1]))) {
      return start;
    }
  }
  return std::string_view::npos;
}

// The end of the directive's line or comment.
size_t DirectiveEnd(std::string_view text, size_t from) {
  size_t end = text.size();
  for (const std::string_view stop :
       {std::string_view("\n"), std::string_view("*/"), std::string_view("-->")}) {
    const size_t found = text.find(stop, from);
    if (found < end) end = found;
  }
  if (end > from && text[end - 1] == '\r') --end;
  return end;
}

}  // namespace

void FindDirectives(std::string_view text, std::vector<Directive>& out) {
  size_t from = 0;
  while (from < text.size()) {
    const void* found = std::memchr(text.data() + from, ':', text.size() - from);
    if (found == nullptr) return;
    const size_t colon = static_cast<size_t>(static_cast<const char*>(found) - text.data());
    from = colon + 1;
    const size_t start = PrefixStart(text, colon);
    if (start == std::string_view::npos) continue;
    size_t at = colon + 1;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    size_t keywordEnd = at;
    while (keywordEnd < text.size() && IsNameChar(text[keywordEnd])) ++keywordEnd;
    const std::string_view keyword = text.substr(at, keywordEnd - at);
    Directive directive;
    directive.begin = start;
    directive.end = DirectiveEnd(text, keywordEnd);
    if (EqualsNoCase(keyword, "disable")) {
      directive.kind = DirectiveKind::DISABLE;
    } else if (EqualsNoCase(keyword, "enable")) {
      directive.kind = DirectiveKind::ENABLE;
    } else if (EqualsNoCase(keyword, "disable-line")) {
      directive.kind = DirectiveKind::DISABLE_LINE;
    } else if (EqualsNoCase(keyword, "disable-next-line")) {
      directive.kind = DirectiveKind::DISABLE_NEXT_LINE;
    } else if (EqualsNoCase(keyword, "ignore") || EqualsNoCase(keyword, "words")) {
      directive.kind = DirectiveKind::IGNORE_WORDS;
      size_t i = keywordEnd;
      while (i < directive.end) {
        while (i < directive.end && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
        const size_t wordStart = i;
        while (i < directive.end && text[i] != ' ' && text[i] != '\t' && text[i] != ',') ++i;
        if (i > wordStart) directive.words.emplace_back(text.substr(wordStart, i - wordStart));
      }
    } else {
      continue;  // not one of ours: the text is checked as it is
    }
    from = directive.end;
    out.push_back(std::move(directive));
  }
}

}  // namespace orth::cli
