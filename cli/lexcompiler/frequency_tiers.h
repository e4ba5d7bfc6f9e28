// Commonness tiers from a word-frequency list: "word<TAB or space>count" a
// line, as corpus counts come. A word's tier falls by one each time its count
// halves from the most frequent word's, so the tiers follow the counts'
// orders of magnitude rather than a cut chosen by hand.
#pragma once

#include <string>
#include <vector>

#include "lexcompiler/text_encoding.h"

namespace orth {

// At most this many tiers: a count below 1/2^(MAX_FREQUENCY_TIERS-1) of the
// top count still gets the last one.
inline constexpr size_t MAX_FREQUENCY_TIERS = 24;

// Reads the list at `path` into tiers of stored forms, most common first (the
// form `--common` lists give). Several entries with one stored form («The»,
// «the») add their counts. Lines without a count are an error: the message
// names the line. Lines whose word has no stored form are ignored.
bool ReadFrequencyTiers(const std::string& path, InputEncoding encoding,
                        std::vector<std::vector<std::string>>& tiers, std::string& error);

}  // namespace orth
