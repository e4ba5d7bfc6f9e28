// The inline directive reader over arbitrary text: every directive lies
// inside the text, after the one before it, starts at its prefix and ends
// at the end of its line or comment, and its words lie inside it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/directives.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<orth::cli::Directive> found;
  orth::cli::FindDirectives(text, found);
  size_t last = 0;
  for (const orth::cli::Directive& directive : found) {
    FUZZ_CHECK(directive.begin >= last);
    FUZZ_CHECK(directive.begin < directive.end);
    FUZZ_CHECK(directive.end <= text.size());
    const std::string_view span = text.substr(directive.begin, directive.end - directive.begin);
    FUZZ_CHECK(span.find('\n') == std::string_view::npos);
    FUZZ_CHECK(span.find(':') != std::string_view::npos);
    for (const std::string& word : directive.words) {
      FUZZ_CHECK(!word.empty());
      FUZZ_CHECK(span.find(word) != std::string_view::npos);
    }
    last = directive.end;
  }
  return 0;
}
