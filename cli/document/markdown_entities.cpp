// Character references ("&iuml;", "&#233;") as the UTF-8 text they stand
// for. Numeric ones are decoded here; named ones by the HTML parser, which
// knows every name HTML defines, once per name.
#include "document/markdown_entities.h"

#include <gumbo.h>

#include <cctype>
#include <cstdint>

namespace orth::cli {

namespace {

void AppendUtf8(uint32_t code, std::string& out) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

const GumboNode* FirstText(const GumboNode* node, int depth) {
  if (node->type == GUMBO_NODE_TEXT) return node;
  if (depth > 8 || (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT))
    return nullptr;
  const GumboVector& children =
      node->type == GUMBO_NODE_ELEMENT ? node->v.element.children : node->v.document.children;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (const GumboNode* text = FirstText(child, depth + 1)) return text;
  }
  return nullptr;
}

// The text an HTML parser makes of a named reference; "" when the name is
// not one (the reference then stays as written, or only a prefix of it is
// a legacy name without its semicolon, "&notit;").
std::string DecodeNamed(std::string_view reference) {
  GumboOutput* output =
      gumbo_parse_with_options(&kGumboDefaultOptions, reference.data(), reference.size());
  std::string decoded;
  if (const GumboNode* text = FirstText(output->root, 0)) decoded = text->v.text.text;
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  if (decoded == reference ||
      (!decoded.empty() && decoded.back() == ';' && reference != "&semi;")) {
    decoded.clear();
  }
  return decoded;
}

}  // namespace

bool DecodeCharacterReference(std::string_view reference, EntityCache& cache, std::string& utf8) {
  utf8.clear();
  if (reference.size() < 3 || reference.front() != '&' || reference.back() != ';') return false;
  const std::string_view body = reference.substr(1, reference.size() - 2);
  if (body[0] == '#') {
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t code = 0;
    for (const char c : digits) {
      const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                        : hex && std::isxdigit(static_cast<unsigned char>(c))
                            ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                            : -1;
      if (digit < 0) return false;
      code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    AppendUtf8(code, utf8);
    return true;
  }
  const std::string key(reference);
  auto found = cache.find(key);
  if (found == cache.end()) {
    // Made-up names could grow the cache without end.
    if (cache.size() >= 4096) cache.clear();
    found = cache.emplace(key, DecodeNamed(reference)).first;
  }
  utf8 = found->second;
  return !utf8.empty();
}

}  // namespace orth::cli
