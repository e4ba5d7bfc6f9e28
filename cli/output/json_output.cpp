#include "output/json_output.h"

#include <cstdint>
#include <cstdio>

#include "lexcompiler/text_encoding.h"

namespace orth::cli {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  size_t i = 0;
  while (i < text.size()) {
    uint32_t value = 0;
    size_t length = DecodeUtf8Char(text.substr(i), value);
    if (length == 0) {
      value = static_cast<unsigned char>(text[i]);
      length = 1;
      out += Latin1ToUtf8(text.substr(i, 1));
    } else if (value == '"' || value == '\\') {
      out += '\\';
      out += static_cast<char>(value);
    } else if (value == '\n') {
      out += "\\n";
    } else if (value == '\t') {
      out += "\\t";
    } else if (value < 0x20 || value == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(value));
      out += escaped;
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  out += '"';
  return out;
}

}  // namespace orth::cli
