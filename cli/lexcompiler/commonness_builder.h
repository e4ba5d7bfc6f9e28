// Grading the words of a compiled lexicon by commonness tiers, and writing
// the commonness file the ranked suggester reads beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orth {

// How many words of the lexicon each tier graded (tier 1 first), and how many
// no tier lists.
struct CommonnessSummary {
  uint32_t words = 0;
  std::vector<uint32_t> perTier;
  uint32_t unlisted = 0;
};

// Grades each word of the lexicon at lexPath by the first of `tiers` (each a
// list of stored forms, most common tier first; at most 254 tiers) that holds
// it, and writes the grades to the lexicon's commonness file. False with a
// one-line `error` when the lexicon cannot be read or the file written.
bool WriteLexCommonness(const std::string& lexPath,
                        const std::vector<std::vector<std::string>>& tiers,
                        CommonnessSummary& summary, std::string& error);

// "commonness: 9,999 words: tier 1 ..., unlisted ...\n"
std::string FormatCommonnessSummary(const CommonnessSummary& summary, const std::string& path);

}  // namespace orth
