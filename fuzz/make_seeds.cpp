// Writes the seed corpora of the fuzz targets from files made by the
// project's own dictionary compiler and text-lexicon writer.
// Usage: fuzz_make_seeds WORD_LIST CORPUS_FOLDER
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lexcompiler/lex_compiler.h"
#include "orth.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::string;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A script string: its length byte, then its bytes.
Bytes Str(const std::string& text) {
  return Bytes(1, static_cast<char>(text.size())) + text;
}
Bytes Le32(uint32_t v) {
  Bytes b;
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return b;
}
uint32_t Le16At(const Bytes& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Le32At(const Bytes& b, size_t at) {
  return Le16At(b, at) | (Le16At(b, at + 2) << 16);
}

Bytes Compile(const std::vector<std::string>& words, const fs::path& work, const char* name) {
  orth::CompileSummary summary;
  std::string error;
  const fs::path out = work / name;
  if (!orth::CompileWordEntries(words, out.string(), {}, summary, error)) {
    std::fprintf(stderr, "compile %s: %s\n", name, error.c_str());
    std::exit(1);
  }
  return ReadFile(out);
}

// A text lexicon written by the engine's own save.
Bytes SaveTextLex(const fs::path& work, const char* name, int32_t type,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
  const fs::path path = work / name;
  const int32_t s = ORTH_OpenSession();
  const int32_t lex = ORTH_CreateLex(s, path.c_str(), type, 1033);
  for (const auto& [word, other] : entries) ORTH_AddToLex(s, lex, word.c_str(), other.c_str());
  if (ORTH_CloseLex(s, lex) != 0) std::exit(1);
  ORTH_CloseSession(s);
  return ReadFile(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_make_seeds WORD_LIST CORPUS_FOLDER\n");
    return 2;
  }
  std::vector<std::string> all;
  {
    std::ifstream in(argv[1]);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) all.push_back(line);
    }
  }
  const fs::path corpus(argv[2]);
  const fs::path work = fs::temp_directory_path() / ("orth-seeds-" + std::to_string(getpid()));
  fs::create_directories(work);

  // ---- compressed lexicons
  const std::vector<std::string> tiny = {"a",        "I",      "an",       "at",      "be",
                                         "cat",      "cats",   "catalog",  "don't",   "caf\xE9",
                                         "na\xEFve", "nation", "national", "nations", "zebra"};
  std::vector<std::string> some;
  for (size_t i = 0; i < all.size(); i += 97) some.push_back(all[i]);
  std::vector<std::string> endings;
  for (const char* stem : {"walk", "talk", "jump", "play", "read", "spell", "check", "mark"}) {
    for (const char* end : {"", "ing", "ed", "er", "ers", "ings", "ation", "ations"}) {
      endings.push_back(std::string(stem) + end);
    }
  }
  const Bytes tinyLex = Compile(tiny, work, "tiny.olx");
  const Bytes someLex = Compile(some, work, "some.olx");
  const Bytes endingsLex = Compile(endings, work, "endings.olx");
  const fs::path compressed = corpus / "fuzz_compressed_lex";
  WriteSeed(compressed, "tiny.olx", tinyLex);
  WriteSeed(compressed, "sample.olx", someLex);
  WriteSeed(compressed, "endings.olx", endingsLex);

  // ---- the section decoder: sections cut out of those files
  const fs::path decoder = corpus / "fuzz_section_decoder";
  int seedNumber = 0;
  for (const Bytes* file : {&tinyLex, &endingsLex, &someLex}) {
    const uint32_t shortCount = Le16At(*file, 260);
    const uint32_t sectionCount = Le16At(*file, 262);
    const Bytes area = file->substr(266, 255);
    const size_t directory = 682 + 2 * shortCount;
    for (uint32_t i = 0; i < sectionCount && i < 4; ++i) {
      const size_t entry = directory + 8 * i;
      const uint32_t offset = Le32At(*file, entry);
      const uint32_t size = Le16At(*file, entry + 4);
      const char first = (*file)[entry + 6];
      const char second = (*file)[entry + 7];
      const std::string target = std::string{first, second} + (i % 2 ? "ing" : "t");
      const Bytes seed = Bytes{first, second} + Str(target) + Str(area) + static_cast<char>(i % 5) +
                         file->substr(offset, size);
      WriteSeed(decoder, "section" + std::to_string(seedNumber++), seed);
    }
  }

  // ---- text lexicons with operation scripts
  const fs::path text = corpus / "fuzz_text_lex";
  const Bytes accept =
      SaveTextLex(work, "accept.lex", LEX_TYPE_ACCEPT,
                  {{"Zorblatt", ""}, {"don't", ""}, {"caf\xE9", ""}, {"ORTH", ""}});
  const Bytes change = SaveTextLex(work, "change.lex", LEX_TYPE_CHANGE,
                                   {{"teh", "the"}, {"recieve", "receive"}, {"alot", "a lot"}});
  const Bytes suggest =
      SaveTextLex(work, "suggest.lex", LEX_TYPE_SUGGEST, {{"irregardless", "regardless"}});
  const Bytes script1 = Bytes(1, '\x01') + Str("walked") + Str("") + Bytes(1, '\x02') +
                        Str("ORTH") + Bytes(1, '\x00') + Str("zorblatt") + '\x20' +
                        Le32(OPT_REPORT_MISSPELLED) + Bytes(1, '\x03') + Str("") + '\x10' +
                        Bytes(1, '\x04') + Str("");
  const Bytes script2 = Bytes(1, '\x01') + Str("thier") + Str("their") + Bytes(1, '\x05') +
                        Str("teh") + '\x40' + '\x00' + '\x04' + Bytes(1, '\x06') + Str("recieve") +
                        '\x40';
  const Bytes script3 = Bytes(1, '\x07') + Str("") + Bytes(1, '\x87') + Str("") + Bytes(1, '\x01') +
                        Str("again") + Str("x");
  WriteSeed(text, "accept", Bytes(1, static_cast<char>(script1.size())) + script1 + accept);
  WriteSeed(text, "change", Bytes(1, static_cast<char>(script2.size())) + script2 + change);
  WriteSeed(text, "suggest", Bytes(1, static_cast<char>(script3.size())) + script3 + suggest);
  WriteSeed(text, "comments_and_crlf",
            Bytes(1, '\x00') + "#LID 1033 0 2\r\n# a comment\r\nteh:the\r\nwordonly\r\n");

  // ---- blocks with operation scripts
  const fs::path block = corpus / "fuzz_block";
  const std::string paragraph =
      "The quick brown fox jumpd over the the lazy dog near Zorblatt's house. "
      "\"Caf\xE9\" (yes), 4th-floor rock'n'roll.";
  const Bytes check =
      Bytes(1, '\x03') + Le32(OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD) + '\x1f' + '\x1f';
  const Bytes ops = check + Bytes(1, '\x01') + Str("jumped") + check + Bytes(1, '\x02') + check +
                    Bytes(1, '\x00') + Bytes(1, '\x04') + Bytes(1, '\x05') + '\x80' +
                    Bytes(1, '\x06') + '\x10' + Bytes(1, '\x07') + Str("Zorblatt") + check;
  auto blockSeed = [&](uint8_t flags, uint8_t spare, const std::string& body) {
    return Bytes{static_cast<char>(flags), static_cast<char>(spare),
                 static_cast<char>(body.size() & 0xFF), static_cast<char>(body.size() >> 8)} +
           body + ops;
  };
  WriteSeed(block, "in_place", blockSeed(0, 16, paragraph));
  WriteSeed(block, "copied", blockSeed(1, 40, paragraph));
  WriteSeed(block, "full_buffer", blockSeed(2, 0, "teh cat"));
  WriteSeed(block, "empty", blockSeed(3, 8, ""));

  fs::remove_all(work);
  return 0;
}
