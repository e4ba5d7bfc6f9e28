#include "lexcompiler/frequency_tiers.h"

#include <cmath>
#include <fstream>
#include <unordered_map>

#include "lexcompiler/word_list.h"

namespace orth {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool ReadFrequencyTiers(const std::string& path, InputEncoding encoding,
                        std::vector<std::vector<std::string>>& tiers, std::string& error) {
  tiers.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open frequency list " + path;
    return false;
  }
  std::unordered_map<std::string, double> counts;
  std::string line, latin1;
  for (size_t number = 1; std::getline(in, line); ++number) {
    size_t end = line.size();
    while (end > 0 && IsBlank(line[end - 1])) --end;
    size_t blank = end;
    while (blank > 0 && !IsBlank(line[blank - 1])) --blank;
    if (end == 0) continue;  // an empty line
    const std::string countText = line.substr(blank, end - blank);
    char* stop = nullptr;
    const double count = std::strtod(countText.c_str(), &stop);
    size_t wordEnd = blank;
    while (wordEnd > 0 && IsBlank(line[wordEnd - 1])) --wordEnd;
    if (blank == 0 || wordEnd == 0 || stop == countText.c_str() || *stop != '\0' || !(count >= 0)) {
      error = path + ":" + std::to_string(number) + ": not \"word count\"";
      return false;
    }
    const std::string_view word(line.data(), wordEnd);
    if (encoding == InputEncoding::Latin1) {
      latin1.assign(word);
    } else if (Utf8ToLatin1(word, latin1) != Utf8Status::Ok) {
      continue;  // a word the lexicons cannot hold
    }
    const std::string stored = StoredFormOf(latin1);
    if (!stored.empty()) counts[stored] += count;
  }
  double top = 0;
  for (const auto& [word, count] : counts) top = std::max(top, count);
  if (top <= 0) return true;  // nothing is more common than anything else
  for (const auto& [word, count] : counts) {
    size_t tier = MAX_FREQUENCY_TIERS - 1;
    if (count > 0) {
      tier = std::min(tier, static_cast<size_t>(std::floor(std::log2(top / count))));
    }
    if (tiers.size() <= tier) tiers.resize(tier + 1);
    tiers[tier].push_back(word);
  }
  return true;
}

}  // namespace orth
