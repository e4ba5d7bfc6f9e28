// Character references of HTML ("&eacute;", "&#233;", "&#xE9;"): what text
// they stand for and how many source bytes they take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orth::cli {

struct HtmlEntity {
  enum Kind : uint8_t {
    NONE,     // no reference: the '&' is a plain character
    DECODED,  // a reference, decoded into `utf8`
    UNKNOWN,  // "&name;" with a name HTML does not define (an XML entity)
  };
  Kind kind = NONE;
  uint8_t size = 0;   // bytes of `utf8` in use
  size_t length = 0;  // source bytes taken, from the '&' on
  char utf8[8] = {};

  std::string_view text() const { return {utf8, size}; }
};

// Reads the reference at the start of `text`, which starts with '&'. In an
// attribute value the names HTML accepts without ';' are left alone when a
// letter, digit or '=' follows ("?a=1&copy=2"), as browsers do.
HtmlEntity ReadHtmlEntity(std::string_view text, bool inAttribute);

// Appends the UTF-8 form of `codePoint` to `out` (at least 4 bytes free);
// returns the bytes written.
size_t EncodeUtf8(char32_t codePoint, char* out);

}  // namespace orth::cli
