// orthspell dump: the words of a compressed lexicon, or its header with --info.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "lex/compressed_lex.h"
#include "lexcompiler/lex_reader.h"
#include "lexcompiler/text_encoding.h"
#include "orth.h"

namespace orth::cli {

namespace {

constexpr char HELP[] =
    "usage: orthspell dump LEX.olx [--info]\n"
    "\n"
    "Prints every word of a compressed lexicon as UTF-8, one a line: the short\n"
    "words, then the sections in the order of their letter pairs.\n"
    "\n"
    "options:\n"
    "  --info       print the header instead: language, counts, tokens, largest section\n"
    "  -h, --help   show this help\n";

std::string OpenFailure(int32_t result) {
  switch (result) {
    case ERR_FILE_OPEN:
      return "cannot open the file";
    case ERR_BAD_FORMAT:
      return "not a compressed lexicon, or damaged";
    case ERR_NO_MEMORY:
      return "out of memory";
    default:
      return "error " + std::to_string(result);
  }
}

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string Pair(unsigned char first, unsigned char second) {
  const char pair[3] = {static_cast<char>(first), static_cast<char>(second), 0};
  return "\"" + Latin1ToUtf8(pair) + "\"";
}

// Prints the words; false (after a message) when a section cannot be read.
bool PrintWords(CompressedLex& lex, const std::string& path, uint64_t* count, bool print) {
  std::string out;
  for (const std::string& word : ReadShortWords(lex)) {
    out += Latin1ToUtf8(word) + "\n";
    ++*count;
  }
  std::vector<std::string> words;
  for (int32_t position = 0; position < SECTION_INDEX_SIZE; ++position) {
    if (lex.sections[position] == nullptr) continue;
    if (const int32_t read = ReadSectionWords(lex, position, words); read != 0) {
      const LexSection& section = *lex.sections[position];
      ReportError("dump", path + ": cannot read section " +
                              Pair(section.firstLetter, section.secondLetter) + ": " +
                              OpenFailure(read));
      return false;
    }
    for (const std::string& word : words) out += Latin1ToUtf8(word) + "\n";
    *count += words.size();
    if (print) Print(out);
    out.clear();
  }
  if (print) Print(out);
  return true;
}

bool PrintInfo(CompressedLex& lex, const std::string& path) {
  uint64_t words = 0;
  if (!PrintWords(lex, path, &words, false)) return false;
  const LexDescription d = DescribeLex(lex);
  char line[256];
  std::string out;
  std::snprintf(line, sizeof line, "language:        %u\n", d.language);
  out += line;
  std::snprintf(line, sizeof line, "short words:     %u\n", d.shortWords);
  out += line;
  std::snprintf(line, sizeof line, "sections:        %u (%llu bytes)\n", d.sections,
                static_cast<unsigned long long>(d.sectionBytes));
  out += line;
  std::snprintf(line, sizeof line, "words:           %llu\n",
                static_cast<unsigned long long>(words));
  out += line;
  if (d.sections > 0) {
    out += "largest section: " + Pair(d.largestFirst, d.largestSecond) + ", " +
           std::to_string(d.largestSectionSize) + " bytes\n";
  }
  size_t used = 0;
  for (const std::string& token : d.tokens) used += token.empty() ? 0 : 1;
  out += "tokens:          " + std::to_string(used) + "\n";
  for (size_t n = 0; n < d.tokens.size(); ++n) {
    if (d.tokens[n].empty()) continue;
    std::snprintf(line, sizeof line, "  %2zu \"%s\"\n", n, Latin1ToUtf8(d.tokens[n]).c_str());
    out += line;
  }
  Print(out);
  return true;
}

}  // namespace

int RunDump(const std::vector<std::string>& args) {
  std::string path;
  bool info = false;
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      std::fputs(HELP, stdout);
      return EXIT_OK;
    } else if (arg == "--info") {
      info = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      ReportError("dump", "unknown option '" + arg + "' (try 'orthspell dump --help')");
      return EXIT_USAGE;
    } else if (path.empty()) {
      path = arg;
    } else {
      ReportError("dump", "more than one lexicon: '" + path + "' and '" + arg + "'");
      return EXIT_USAGE;
    }
  }
  if (path.empty()) {
    ReportError("dump", "no lexicon given (try 'orthspell dump --help')");
    return EXIT_USAGE;
  }
  std::unique_ptr<CompressedLex> lex;
  if (const int32_t opened = OpenCompressedLex(path.c_str(), -1, lex); opened != 0) {
    ReportError("dump", path + ": " + OpenFailure(opened));
    return EXIT_FAILED;
  }
  uint64_t count = 0;
  const bool ok = info ? PrintInfo(*lex, path) : PrintWords(*lex, path, &count, true);
  CloseCompressedLex(std::move(lex));
  if (std::fflush(stdout) != 0) {
    ReportError("dump", "cannot write the output");
    return EXIT_FAILED;
  }
  return ok ? EXIT_OK : EXIT_FAILED;
}

}  // namespace orth::cli
