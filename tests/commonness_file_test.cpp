// The commonness file beside a dictionary: its name, and that only a whole
// file made for the very same lexicon is ever read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "lex/commonness_file.h"
#include "lex_file_builder.h"
#include "lexcompiler/frequency_tiers.h"

namespace orth {
namespace {

TEST(CommonnessFileTest, ItsNameReplacesTheLexiconsExtension) {
  const std::pair<const char*, const char*> rows[] = {
      {"en_US.olx", "en_US.olc"},
      {"/usr/share/orth/dicts/en_GB.olx", "/usr/share/orth/dicts/en_GB.olc"},
      {"dir.v2/words", "dir.v2/words.olc"},
      {"./words", "./words.olc"},
      {".hidden", ".hidden.olc"},
      {"a.b.c", "a.b.olc"},
      {"", ".olc"},
  };
  for (const auto& [lex, expected] : rows) EXPECT_EQ(CommonnessFileName(lex), expected) << lex;
}

TEST(CommonnessFileTest, OnlyAWholeFileForTheSameLexiconIsRead) {
  test::TempDir dir;
  const std::string path = dir.PathOf("x.olc");
  const LexFingerprint lex{1234, 0xCAFEF00D};
  const std::vector<uint8_t> grades = {1, 2, 255, 1, 0};
  ASSERT_EQ(WriteCommonnessFile(path, lex, grades), 0);
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), COMMONNESS_HEADER_SIZE + grades.size());

  std::vector<uint8_t> read;
  EXPECT_EQ(ReadCommonnessFile(path, lex, 5, read), 0);
  EXPECT_EQ(read, grades);

  struct Row {
    const char* what;
    LexFingerprint lex;
    uint32_t count;
  };
  const Row mismatches[] = {
      {"another size", {1235, 0xCAFEF00D}, 5},
      {"another hash", {1234, 0xCAFEF00C}, 5},
      {"another word count", {1234, 0xCAFEF00D}, 6},
  };
  for (const Row& row : mismatches) {
    read = {9};
    EXPECT_EQ(ReadCommonnessFile(path, row.lex, row.count, read), ERR_BAD_FORMAT) << row.what;
    EXPECT_TRUE(read.empty()) << row.what;
  }

  auto damaged = [&](const std::string& name, std::vector<unsigned char> content) {
    const std::string file = dir.Write(name, content);
    read = {9};
    EXPECT_EQ(ReadCommonnessFile(file, lex, 5, read), ERR_BAD_FORMAT) << name;
    EXPECT_TRUE(read.empty()) << name;
  };
  std::vector<unsigned char> changed = bytes;
  changed[0] = 'X';
  damaged("magic.olc", changed);
  changed = bytes;
  changed[COMMONNESS_MAGIC_SIZE] = 2;
  damaged("version.olc", changed);
  damaged("short.olc", {bytes.begin(), bytes.end() - 1});
  changed = bytes;
  changed.push_back(0);
  damaged("long.olc", changed);
  damaged("header.olc", {bytes.begin(), bytes.begin() + 10});

  EXPECT_EQ(ReadCommonnessFile(dir.PathOf("missing.olc"), lex, 5, read), ERR_FILE_OPEN);
  // A failed write leaves the earlier file whole.
  EXPECT_EQ(WriteCommonnessFile(dir.PathOf("no/such/dir.olc"), lex, grades), ERR_FILE_OPEN);
  EXPECT_EQ(ReadCommonnessFile(path, lex, 5, read), 0);
}

TEST(CommonnessFileTest, FrequencyListsGiveATierPerHalving) {
  test::TempDir dir;
  auto text = [](const std::string& content) {
    return test::Bytes(content.begin(), content.end());
  };
  // the: 1000; The + the merge. A count above half of the top's stays in tier
  // 1, each halving more goes one tier down; zero goes to the last tier.
  const std::string list =
      dir.Write("counts.txt", text("the 600\nThe\t400\nof 501\nand 500\ncat 125\nzero 0\n\n"
                                   "caf\xc3\xa9 3\n\xe4\xb8\xad 1000\n"));
  std::vector<std::vector<std::string>> tiers;
  std::string error;
  ASSERT_TRUE(ReadFrequencyTiers(list, InputEncoding::Utf8, tiers, error)) << error;
  ASSERT_EQ(tiers.size(), MAX_FREQUENCY_TIERS);
  auto tierOf = [&](const std::string& word) {
    for (size_t t = 0; t < tiers.size(); ++t) {
      if (std::find(tiers[t].begin(), tiers[t].end(), word) != tiers[t].end()) return int(t);
    }
    return -1;
  };
  struct Row {
    const char* word;
    int tier;
  };
  for (const Row& row : {Row{"the", 0}, Row{"of", 0}, Row{"and", 1}, Row{"cat", 3},
                         Row{"caf\xe9", 8}, Row{"zero", int(MAX_FREQUENCY_TIERS) - 1}}) {
    EXPECT_EQ(tierOf(row.word), row.tier) << row.word;
  }
  EXPECT_EQ(tierOf("The"), -1);  // one stored form

  for (const char* bad : {"the\n", "the many\n", "12\n"}) {
    const std::string file = dir.Write("bad.txt", text(bad));
    EXPECT_FALSE(ReadFrequencyTiers(file, InputEncoding::Utf8, tiers, error)) << bad;
    EXPECT_NE(error.find("bad.txt:1"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace orth
