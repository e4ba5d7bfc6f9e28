#include "lexcompiler/case_forms_builder.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "lex/case_forms.h"
#include "lex/lex_words.h"
#include "text/char_table.h"

namespace orth {

namespace {

std::string Lowered(const std::string& word) {
  std::string lower(word);
  for (char& c : lower) c = static_cast<char>(ToLowerChar(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

CaseFormMap ChooseCaseForms(const std::vector<std::string>& written) {
  // Each stored form's different spellings; none at all once it is seen in
  // lower case.
  std::map<std::string, std::vector<std::string>> spellings;
  std::map<std::string, bool> lower;
  for (const std::string& word : written) {
    // Lists give words of one or two letters in capitals as symbols and
    // abbreviations (Os, St, Co, OK) whose lower-case spelling is another,
    // everyday word: no rule for them.
    if (word.size() <= 2) continue;
    std::string key = Lowered(word);
    if (!HasUpperCase(word.c_str())) {
      lower[key] = true;
      continue;
    }
    std::vector<std::string>& seen = spellings[std::move(key)];
    if (std::find(seen.begin(), seen.end(), word) == seen.end()) seen.push_back(word);
  }
  CaseFormMap forms;
  for (auto& [key, seen] : spellings) {
    if (lower.count(key) != 0) continue;
    std::sort(seen.begin(), seen.end());
    for (const std::string& candidate : seen) {
      const bool fitsAll = std::all_of(seen.begin(), seen.end(), [&](const std::string& other) {
        return FitsCaseForm(other.c_str(), candidate.c_str(), candidate.size());
      });
      if (fitsAll) {
        forms.emplace(key, candidate);
        break;
      }
    }
  }
  return forms;
}

std::vector<std::string> CaseFormsOfLayout(const CaseFormMap& forms, const LexLayout& layout) {
  std::vector<std::string> held;
  const auto take = [&](const std::string& word) {
    const auto found = forms.find(word);
    if (found != forms.end()) held.push_back(found->second);
  };
  for (const ShortWord& entry : layout.shortWords) {
    const char word[3] = {static_cast<char>(entry[0]), static_cast<char>(entry[1]), '\0'};
    take(word);
  }
  for (const SectionWords& section : layout.sections) {
    for (const std::string& word : section.words) take(word);
  }
  SortCaseForms(held);
  return held;
}

bool WriteLexCaseForms(const std::string& lexPath, const std::vector<unsigned char>& image,
                       const std::vector<std::string>& forms, std::string& error) {
  const std::string path = CaseFormsFileName(lexPath);
  if (forms.empty()) {
    std::remove(path.c_str());
    return true;
  }
  // The fingerprint the engine computes over the file when it opens it.
  const LexFingerprint fingerprint = FingerprintLexBytes(image.data(), image.size());
  if (WriteCaseFormsFile(path, fingerprint, forms) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace orth
