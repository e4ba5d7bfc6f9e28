#include "lexcompiler/commonness_builder.h"

#include <memory>
#include <unordered_map>

#include "lex/commonness_file.h"
#include "lex/compressed_lex.h"
#include "lex/lex_words.h"

namespace orth {

namespace {

struct Grader {
  const std::unordered_map<std::string, uint8_t>& tierOf;
  std::vector<uint8_t> grades;
  std::string word;
};

bool GradeWord(void* context, const unsigned char* word, uint32_t length) {
  auto& grader = *static_cast<Grader*>(context);
  grader.word.assign(reinterpret_cast<const char*>(word), length);
  const auto found = grader.tierOf.find(grader.word);
  grader.grades.push_back(found == grader.tierOf.end() ? COMMONNESS_UNLISTED : found->second);
  return true;
}

}  // namespace

bool WriteLexCommonness(const std::string& lexPath,
                        const std::vector<std::vector<std::string>>& tiers,
                        CommonnessSummary& summary, std::string& error) {
  if (tiers.size() >= COMMONNESS_UNLISTED) {
    error = "too many commonness tiers (at most 254)";
    return false;
  }
  std::unordered_map<std::string, uint8_t> tierOf;
  for (size_t t = 0; t < tiers.size(); ++t) {
    for (const std::string& word : tiers[t]) {
      tierOf.emplace(word, static_cast<uint8_t>(COMMONNESS_MOST_COMMON + t));
    }
  }

  std::unique_ptr<CompressedLex> lex;
  if (OpenCompressedLex(lexPath.c_str(), -1, lex) != 0) {
    error = "cannot read the lexicon " + lexPath;
    return false;
  }
  Grader grader{tierOf, {}, {}};
  LexFingerprint fingerprint;
  const bool read = ForEachLexWord(*lex, LexWordSink{&grader, GradeWord}) == 0 &&
                    FingerprintLexFile(*lex, fingerprint);
  CloseCompressedLex(std::move(lex));
  if (!read) {
    error = "cannot read every word of the lexicon " + lexPath;
    return false;
  }

  summary = CommonnessSummary{};
  summary.words = static_cast<uint32_t>(grader.grades.size());
  summary.perTier.assign(tiers.size(), 0);
  for (const uint8_t grade : grader.grades) {
    if (grade == COMMONNESS_UNLISTED) {
      ++summary.unlisted;
    } else {
      ++summary.perTier[grade - COMMONNESS_MOST_COMMON];
    }
  }
  const std::string path = CommonnessFileName(lexPath);
  if (WriteCommonnessFile(path, fingerprint, grader.grades) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

std::string FormatCommonnessSummary(const CommonnessSummary& summary, const std::string& path) {
  std::string text = "commonness:      " + path + ": " + std::to_string(summary.words) + " words";
  for (size_t t = 0; t < summary.perTier.size(); ++t) {
    text += ", tier " + std::to_string(t + 1) + " " + std::to_string(summary.perTier[t]);
  }
  text += ", unlisted " + std::to_string(summary.unlisted) + "\n";
  return text;
}

}  // namespace orth
