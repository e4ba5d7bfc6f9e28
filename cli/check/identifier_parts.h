// Identifiers written into text (camelCase, PascalCase, HTTPServer, GL11)
// are checked part by part, so that one misspelled part is found and shown
// at its own column.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace orth::cli {

struct WordPart {
  size_t begin = 0;
  size_t length = 0;
};

// Splits a Latin-1 word where its case or kind changes: before an upper-case
// letter that follows a lower-case one ("camel|Case"), before the last
// capital of a run that a lower-case letter follows ("HTTP|Server"), and
// between letters and digits ("GL|11|Version"). A word without such a place
// is one part. Apostrophes stay inside their part.
void SplitIdentifier(std::string_view word, std::vector<WordPart>& parts);

}  // namespace orth::cli
