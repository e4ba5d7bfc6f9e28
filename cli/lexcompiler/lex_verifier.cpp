#include "lexcompiler/lex_verifier.h"

#include <memory>

#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lexcompiler/lex_reader.h"
#include "lexcompiler/text_encoding.h"

namespace orth {

namespace {

std::string Quoted(const std::string& latin1) {
  return "\"" + Latin1ToUtf8(latin1) + "\"";
}

bool IsFound(const std::string& word, CompressedLex& lex) {
  return FindInCompressedLex(word.c_str(), lex) == 0;
}

}  // namespace

bool VerifyLexFile(const std::string& path, const LexLayout& layout, std::string& error) {
  std::unique_ptr<CompressedLex> lex;
  const int32_t opened = OpenCompressedLex(path.c_str(), -1, lex);
  if (opened != 0) {
    error =
        "verification: the engine cannot open " + path + " (result " + std::to_string(opened) + ")";
    return false;
  }
  bool ok = true;
  for (const ShortWord& entry : layout.shortWords) {
    const char word[3] = {static_cast<char>(entry[0]), static_cast<char>(entry[1]), 0};
    if (!IsFound(word, *lex)) {
      error = "verification: short word " + Quoted(word) + " not found";
      ok = false;
      break;
    }
  }
  std::vector<std::string> decoded;
  for (size_t s = 0; ok && s < layout.sections.size(); ++s) {
    const SectionWords& section = layout.sections[s];
    for (const std::string& word : section.words) {
      if (!IsFound(word, *lex)) {
        error = "verification: " + Quoted(word) + " not found";
        ok = false;
        break;
      }
    }
    if (!ok) break;
    const int32_t read = ReadSectionWords(*lex, section.position, decoded);
    if (read != 0 || decoded != section.words) {
      error = "verification: section " + Quoted(section.words.front().substr(0, 2)) +
              " does not decode to its words";
      ok = false;
    }
  }
  CloseCompressedLex(std::move(lex));
  return ok;
}

}  // namespace orth
