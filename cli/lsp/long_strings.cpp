#include "lsp/long_strings.h"

#include <cstdint>
#include <cstring>
#include <random>

#include "encoding/engine_text.h"

namespace orth::cli::lsp {

namespace {

// Placeholders start with U+0000 and hold a number no client can guess.
const std::string& Nonce() {
  static const std::string nonce = [] {
    std::random_device random;
    return std::to_string((static_cast<uint64_t>(random()) << 32) ^ random());
  }();
  return nonce;
}

std::string Placeholder(size_t index) {
  return "\\u0000orthspell-" + std::to_string(index) + "-" + Nonce();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHex4(std::string_view text, size_t at, uint32_t& value) {
  if (at + 4 > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < 4; ++i) {
    const int digit = HexValue(text[at + i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return true;
}

// Decodes the string whose opening quote is at `at` and whose closing
// quote is at `end` - 1; false when it is not a valid JSON string.
bool DecodeString(std::string_view body, size_t at, size_t end, std::string& out) {
  out.clear();
  out.reserve(end - at);  // no longer than its JSON
  const size_t close = end - 1;
  size_t i = at + 1;
  while (i < close) {
    // A run of plain bytes up to the next escape (it holds no quote): copied
    // at once, and checked as UTF-8 when it holds any byte beyond ASCII.
    const void* found = std::memchr(body.data() + i, '\\', close - i);
    const size_t run = found == nullptr ? close : static_cast<const char*>(found) - body.data();
    unsigned char high = 0;
    bool control = false;
    for (size_t k = i; k < run; ++k) {
      const auto byte = static_cast<unsigned char>(body[k]);
      high |= byte;
      control |= byte < 0x20;
    }
    const std::string_view plain = body.substr(i, run - i);
    if (control || (high >= 0x80 && !IsValidUtf8(plain))) return false;
    out.append(plain);
    i = run;
    if (i >= close) break;
    if (++i >= close) return false;
    const char escape = body[i++];
    switch (escape) {
      case '"':
        out += '"';
        break;
      case '\\':
        out += '\\';
        break;
      case '/':
        out += '/';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        uint32_t value = 0;
        if (i + 4 > close || !ReadHex4(body, i, value)) return false;
        i += 4;
        if (value >= 0xDC00 && value <= 0xDFFF) return false;
        if (value >= 0xD800 && value <= 0xDBFF) {
          uint32_t low = 0;
          if (i + 6 > close || body[i] != '\\' || body[i + 1] != 'u' ||
              !ReadHex4(body, i + 2, low) || low < 0xDC00 || low > 0xDFFF) {
            return false;
          }
          i += 6;
          value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, value);
        break;
      }
      default:
        return false;
    }
  }
  return i == close;
}

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() &&
         (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) {
    ++at;
  }
  return at;
}

}  // namespace

size_t StringEnd(std::string_view text, size_t open) {
  for (size_t from = open + 1; from < text.size();) {
    const void* found = std::memchr(text.data() + from, '"', text.size() - from);
    if (found == nullptr) break;
    const size_t quote = static_cast<const char*>(found) - text.data();
    // Escaped when an odd number of backslashes comes before it.
    size_t slashes = 0;
    while (quote - slashes > open + 1 && text[quote - slashes - 1] == '\\') ++slashes;
    if (slashes % 2 == 0) return quote + 1;
    from = quote + 1;
  }
  return std::string_view::npos;
}

bool LiftLongStrings(std::string_view body, size_t minimum, LiftedStrings& out) {
  out.text.clear();
  out.strings.clear();
  size_t copied = 0;
  std::string decoded;
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '"') continue;
    const size_t end = StringEnd(body, i);
    if (end == std::string_view::npos) break;
    const bool value = body.substr(SkipSpace(body, end), 1) != ":";
    if (end - i >= minimum && value && DecodeString(body, i, end, decoded)) {
      out.text.append(body.substr(copied, i - copied));
      out.text += '"';
      out.text += Placeholder(out.strings.size());
      out.text += '"';
      out.strings.push_back(std::move(decoded));
      decoded = std::string();
      copied = end;
    }
    i = end - 1;
  }
  if (out.strings.empty()) return false;
  out.text.append(body.substr(copied));
  return true;
}

void RestoreLongStrings(Json& value, LiftedStrings& lifted) {
  if (value.is_string()) {
    std::string& text = value.get_ref<std::string&>();
    static const std::string PREFIX = std::string(1, '\0') + "orthspell-";
    if (text.size() < PREFIX.size() || text.compare(0, PREFIX.size(), PREFIX) != 0) return;
    const size_t dash = text.find('-', PREFIX.size());
    if (dash == std::string::npos || text.compare(dash + 1, std::string::npos, Nonce()) != 0) {
      return;
    }
    size_t index = 0;
    for (size_t i = PREFIX.size(); i < dash; ++i) {
      if (text[i] < '0' || text[i] > '9') return;
      index = index * 10 + static_cast<size_t>(text[i] - '0');
    }
    if (index < lifted.strings.size()) text = std::move(lifted.strings[index]);
    return;
  }
  if (value.is_object() || value.is_array()) {
    for (Json& item : value) RestoreLongStrings(item, lifted);
  }
}

}  // namespace orth::cli::lsp
