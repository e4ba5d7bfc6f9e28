#include "lexcompiler/lex_compiler.h"

#include <filesystem>

#include "lexcompiler/lex_layout.h"
#include "lexcompiler/lex_verifier.h"
#include "lexcompiler/lex_writer.h"
#include "lexcompiler/section_encoder.h"
#include "lexcompiler/token_choice.h"
#include "lexcompiler/word_list.h"

namespace orth {

namespace {

// From the distinct stored forms to the written (and checked) file.
bool CompileStoredWords(const std::vector<std::string>& words, const std::string& outputPath,
                        const CompileOptions& options, CompileSummary& summary,
                        std::string& error) {
  LexLayout layout;
  if (!BuildLexLayout(words, layout, summary, error)) return false;
  const TokenList tokens = ChooseTokens(layout);
  DropUnspellableWords(layout, tokens, summary);

  std::vector<std::vector<unsigned char>> sectionData(layout.sections.size());
  for (size_t s = 0; s < layout.sections.size(); ++s) {
    const SectionWords& section = layout.sections[s];
    if (!EncodeSection(section, tokens, sectionData[s], error)) return false;
    summary.sectionWords += section.words.size();
    if (sectionData[s].size() > summary.largestSectionSize) {
      summary.largestSectionSize = static_cast<uint32_t>(sectionData[s].size());
      summary.largestFirst = section.first;
      summary.largestSecond = section.second;
    }
  }
  summary.shortWords = layout.shortWords.size();
  summary.sectionCount = static_cast<uint32_t>(layout.sections.size());
  summary.tokens = tokens;

  const std::vector<unsigned char> image =
      BuildLexImage(options.language, layout, tokens, sectionData);
  if (!WriteFileAtomically(outputPath, image, error)) return false;
  summary.fileSize = image.size();
  if (options.verify) {
    if (!VerifyLexFile(outputPath, layout, error)) return false;
    summary.verified = true;
  }
  return true;
}

}  // namespace

bool CompileWordListFile(const std::string& listPath, const std::string& outputPath,
                         const CompileOptions& options, CompileSummary& summary,
                         std::string& error) {
  std::error_code ignored;
  if (std::filesystem::equivalent(listPath, outputPath, ignored)) {
    error = "the output file " + outputPath + " is the word list itself";
    return false;
  }
  std::vector<std::string> words;
  if (!ReadWordListFile(listPath, options.encoding, words, summary, error)) return false;
  return CompileStoredWords(words, outputPath, options, summary, error);
}

bool CompileWordEntries(const std::vector<std::string>& entries, const std::string& outputPath,
                        const CompileOptions& options, CompileSummary& summary,
                        std::string& error) {
  return CompileStoredWords(StoreEntries(entries, summary), outputPath, options, summary, error);
}

}  // namespace orth
