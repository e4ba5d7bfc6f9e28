#include "lexcompiler/lex_compiler.h"

#include <filesystem>
#include <fstream>

#include "lex/section_format.h"

#include "lexcompiler/case_forms_builder.h"
#include "lexcompiler/lex_layout.h"
#include "lexcompiler/lex_verifier.h"
#include "lexcompiler/lex_volumes.h"
#include "lexcompiler/lex_writer.h"
#include "lexcompiler/section_encoder.h"
#include "lexcompiler/token_choice.h"
#include "lexcompiler/word_list.h"

namespace orth {

namespace {

// True when the file at `path` begins as a compressed lexicon does.
bool HoldsCompressedLex(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char magic[4] = {};
  in.seekg(HEADER_MAGIC_OFFSET);
  if (!in.read(reinterpret_cast<char*>(magic), sizeof magic)) return false;
  const uint32_t value =
      magic[0] | (magic[1] << 8) | (magic[2] << 16) | (static_cast<uint32_t>(magic[3]) << 24);
  return value == COMPRESSED_LEX_MAGIC;
}

// Removes the volumes an earlier compilation of `outputPath` left beyond
// `count`, so that a front end does not open stale words with the new ones.
// Only lexicon files go: anything else under such a name is not ours.
void RemoveStaleVolumes(const std::string& outputPath, size_t count) {
  std::error_code ignored;
  for (size_t v = count; v < MAX_VOLUMES; ++v) {
    const std::string path = VolumeFileName(outputPath, v);
    if (HoldsCompressedLex(path)) std::filesystem::remove(path, ignored);
  }
}

// From the distinct stored forms to the written (and checked) files: one
// lexicon, or volumes when one file cannot hold the words.
bool CompileStoredWords(const std::vector<std::string>& words,
                        const std::vector<std::string>& written, const std::string& outputPath,
                        const CompileOptions& options, CompileSummary& summary,
                        std::string& error) {
  const size_t mostVolumes = options.volumes ? MAX_VOLUMES : 1;
  LexLayout layout;
  if (!BuildLexLayout(words, layout, summary, error, MAX_SHORT_WORDS * mostVolumes)) {
    if (!options.volumes) error += " (--volumes writes several files)";
    return false;
  }
  const TokenList tokens = ChooseTokens(layout);
  DropUnspellableWords(layout, tokens, summary);

  const CaseFormMap caseForms = ChooseCaseForms(written);

  std::vector<LexVolume> volumes;
  if (!SplitIntoVolumes(layout, tokens, mostVolumes, volumes, error)) {
    if (!options.volumes) error += " (--volumes writes several files)";
    return false;
  }
  for (const LexVolume& volume : volumes) {
    for (size_t s = 0; s < volume.layout.sections.size(); ++s) {
      const SectionWords& section = volume.layout.sections[s];
      summary.sectionWords += section.words.size();
      if (volume.sectionData[s].size() > summary.largestSectionSize) {
        summary.largestSectionSize = static_cast<uint32_t>(volume.sectionData[s].size());
        summary.largestFirst = section.first;
        summary.largestSecond = section.second;
      }
    }
  }
  summary.shortWords = layout.shortWords.size();
  summary.sectionCount = static_cast<uint32_t>(layout.sections.size());
  summary.tokens = tokens;
  summary.volumes = static_cast<uint32_t>(volumes.size());

  for (size_t v = 0; v < volumes.size(); ++v) {
    const std::string path = VolumeFileName(outputPath, v);
    const std::vector<unsigned char> image =
        BuildLexImage(options.language, volumes[v].layout, tokens, volumes[v].sectionData);
    if (!WriteFileAtomically(path, image, error)) return false;
    summary.fileSize += image.size();
    if (options.verify && !VerifyLexFile(path, volumes[v].layout, error)) return false;
    const std::vector<std::string> held = CaseFormsOfLayout(caseForms, volumes[v].layout);
    if (!WriteLexCaseForms(path, image, held, error)) return false;
    summary.caseForms += held.size();
  }
  RemoveStaleVolumes(outputPath, volumes.size());
  summary.verified = options.verify;
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
  std::vector<std::string> written;
  if (!ReadWordListFile(listPath, options.encoding, words, summary, error, options.forms,
                        &written)) {
    return false;
  }
  return CompileStoredWords(words, written, outputPath, options, summary, error);
}

bool CompileWordEntries(const std::vector<std::string>& entries, const std::string& outputPath,
                        const CompileOptions& options, CompileSummary& summary,
                        std::string& error) {
  std::vector<std::string> written;
  const std::vector<std::string> words = StoreEntries(entries, summary, &written);
  return CompileStoredWords(words, written, outputPath, options, summary, error);
}

}  // namespace orth
