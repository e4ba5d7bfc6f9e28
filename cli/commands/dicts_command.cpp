// orthspell dicts: the dictionaries that -d NAME finds, with what each holds.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "commands/commands.h"
#include "lex/case_forms.h"
#include "lex/commonness_file.h"
#include "lex/compressed_lex.h"
#include "lexcompiler/lex_reader.h"
#include "lexcompiler/volume_names.h"

namespace orth::cli {

namespace {

namespace fs = std::filesystem;

constexpr char HELP[] =
    "usage: orthspell dicts\n"
    "\n"
    "Lists the dictionaries -d NAME finds, one a line: the name, the language\n"
    "identifier of its header and the language it stands for, the words, the bytes\n"
    "of its files, its volumes, whether a commonness file (NAME.olc) ranks its\n"
    "suggestions, whether a case forms file (NAME.olf) gives its words' case, the\n"
    "words of its rare-word list (NAME.rare.olx: accepted, never suggested; - for\n"
    "none), and the folder it is in. A name found in several folders is taken from\n"
    "the first, as -d does.\n"
    "\n"
    "options:\n"
    "  -h, --help   show this help\n";

// The header's language identifiers of the dictionaries orthspell knows how
// to install, and what they stand for.
struct LanguageName {
  int32_t id;
  const char* tag;
};
constexpr LanguageName LANGUAGES[] = {
    {1027, "ca"},    {1030, "da"},    {1031, "de"}, {1033, "en-US"}, {1036, "fr"},
    {1040, "it"},    {1043, "nl"},    {1044, "nb"}, {1046, "pt-BR"}, {1053, "sv"},
    {2055, "de-CH"}, {2057, "en-GB"}, {2068, "nn"}, {2070, "pt-PT"}, {3082, "es"},
};

const char* LanguageTag(int32_t id) {
  for (const LanguageName& language : LANGUAGES) {
    if (language.id == id) return language.tag;
  }
  return "-";
}

struct DictionaryFacts {
  uint64_t words = 0;
  uint64_t bytes = 0;
  int32_t language = 0;
  size_t volumes = 0;
  bool commonness = true;  // every volume has its commonness file
  bool caseForms = false;  // a volume has its case forms file
};

// Counts the words of one volume, as the dump reads them. False when the file
// cannot be read as a lexicon.
bool AddVolume(const std::string& path, DictionaryFacts& facts) {
  std::unique_ptr<CompressedLex> lex;
  if (OpenCompressedLex(path.c_str(), -1, lex) != 0) return false;
  facts.language = DescribeLex(*lex).language;
  facts.words += ReadShortWords(*lex).size();
  std::vector<std::string> words;
  bool ok = true;
  for (int32_t position = 0; position < SECTION_INDEX_SIZE && ok; ++position) {
    ok = ReadSectionWords(*lex, position, words) == 0;
    facts.words += words.size();
  }
  CloseCompressedLex(std::move(lex));
  std::error_code ignored;
  facts.bytes += fs::file_size(path, ignored);
  const std::string olc = CommonnessFileName(path);
  if (fs::exists(olc, ignored)) {
    facts.bytes += fs::file_size(olc, ignored);
  } else {
    facts.commonness = false;
  }
  const std::string olf = CaseFormsFileName(path);
  if (fs::exists(olf, ignored)) {
    facts.bytes += fs::file_size(olf, ignored);
    facts.caseForms = true;
  }
  ++facts.volumes;
  return ok;
}

}  // namespace

int RunDicts(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      std::fputs(HELP, stdout);
      return EXIT_OK;
    }
    ReportError("dicts", "unknown argument '" + arg + "' (try 'orthspell dicts --help')");
    return EXIT_USAGE;
  }
  const std::vector<std::string> names = BundledDictionaryNames();
  if (names.empty()) {
    ReportError("dicts", "no dictionary found");
    return EXIT_FAILED;
  }
  std::printf("%-8s %-6s %-6s %9s %10s %7s %10s %4s %7s  %s\n", "name", "lang", "tag", "words",
              "bytes", "volumes", "commonness", "case", "rare", "folder");
  int status = EXIT_OK;
  for (const std::string& name : names) {
    std::string path, error;
    if (!ResolveDictionary(name, path, error)) continue;
    DictionaryFacts facts;
    bool ok = true;
    for (const std::string& volume : DictionaryVolumes(path)) ok = AddVolume(volume, facts) && ok;
    if (!ok) {
      ReportError("dicts", path + ": not a compressed lexicon, or damaged");
      status = EXIT_FAILED;
      continue;
    }
    std::string rareWords = "-";
    const std::string rarePath = RareWordsFileName(path);
    std::error_code ignored;
    if (fs::is_regular_file(rarePath, ignored)) {
      DictionaryFacts rare;
      bool rareOk = true;
      for (const std::string& volume : DictionaryVolumes(rarePath)) {
        rareOk = AddVolume(volume, rare) && rareOk;
      }
      if (!rareOk) {
        ReportError("dicts", rarePath + ": not a compressed lexicon, or damaged");
        status = EXIT_FAILED;
      }
      rareWords = std::to_string(rare.words);
    }
    std::printf("%-8s %-6d %-6s %9llu %10llu %7zu %10s %4s %7s  %s\n", name.c_str(), facts.language,
                LanguageTag(facts.language), static_cast<unsigned long long>(facts.words),
                static_cast<unsigned long long>(facts.bytes), facts.volumes,
                facts.commonness ? "yes" : "no", facts.caseForms ? "yes" : "no", rareWords.c_str(),
                fs::path(path).parent_path().string().c_str());
  }
  if (std::fflush(stdout) != 0) {
    ReportError("dicts", "cannot write the output");
    return EXIT_FAILED;
  }
  return status;
}

}  // namespace orth::cli
