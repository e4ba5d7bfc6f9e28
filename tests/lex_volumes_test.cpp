// Volumes: a word list one lexicon file cannot hold, written as several files
// that answer together as one dictionary, and the text-word form of entries.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "lex_file_builder.h"
#include "lexcompiler/lex_compiler.h"
#include "lexcompiler/volume_names.h"
#include "lexcompiler/word_list.h"
#include "orth.h"

namespace orth {
namespace {

namespace fs = std::filesystem;

// Six thousand long words of one letter pair: far more than one section
// holds. Plus ordinary words and more short words than one table holds.
std::vector<std::string> OversizedList() {
  std::mt19937 random(11);
  std::vector<std::string> words;
  for (int i = 0; i < 6000; ++i) {
    std::string word = "qu";
    for (int k = 0; k < 20; ++k) word.push_back(static_cast<char>('a' + random() % 26));
    words.push_back(word);
  }
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = 'a'; b <= 'z'; ++b) words.push_back(std::string{a, b});  // 676 short words
  }
  for (const char* word : {"house", "garden", "window", "quarrel", "question"}) {
    words.push_back(word);
  }
  return words;
}

// An engine session with every volume of `path` open.
struct VolumeSession {
  int32_t session = ORTH_OpenSession();
  explicit VolumeSession(const std::string& path, size_t volumes) {
    for (size_t v = 0; v < volumes; ++v) {
      EXPECT_GE(ORTH_OpenLex(session, VolumeFileName(path, v).c_str(), -1), 0) << v;
    }
  }
  ~VolumeSession() { ORTH_CloseSession(session); }
  bool Knows(const std::string& word) const {
    return (ORTH_CheckWord(session, OPT_REPORT_MISSPELLED, word.c_str(), nullptr, 0) &
            RES_MISSPELLED) == 0;
  }
  std::string FirstSuggestion(const std::string& word) const {
    char buffer[1024] = {};
    if (ORTH_SuggestRanked(session, word.c_str(), buffer, sizeof buffer, nullptr, 10) != 0) {
      return {};
    }
    return buffer;  // suggestions are NUL-separated: the first one
  }
};

TEST(LexVolumes, OversizedListIsSplitAndAnswersAsOne) {
  test::TempDir dir;
  const std::string out = dir.PathOf("big.olx");
  const std::vector<std::string> words = OversizedList();

  // Without volumes the list is refused, and the message says how to go on.
  CompileSummary refused;
  std::string error;
  EXPECT_FALSE(CompileWordEntries(words, out, CompileOptions{}, refused, error));
  EXPECT_NE(error.find("--volumes"), std::string::npos) << error;

  CompileOptions options;
  options.volumes = true;
  CompileSummary summary;
  ASSERT_TRUE(CompileWordEntries(words, out, options, summary, error)) << error;
  ASSERT_GE(summary.volumes, 2u);
  EXPECT_EQ(summary.WordsWritten(), words.size());
  for (size_t v = 0; v < summary.volumes; ++v) {
    EXPECT_TRUE(fs::exists(VolumeFileName(out, v))) << v;
  }
  EXPECT_FALSE(fs::exists(VolumeFileName(out, summary.volumes)));

  VolumeSession all(out, summary.volumes);
  size_t missing = 0;
  for (const std::string& word : words) {
    if (!all.Knows(word) && ++missing <= 5) ADD_FAILURE() << "not found: " << word;
  }
  EXPECT_FALSE(all.Knows("quxxxxxxxxxxxxxxxxxxxxxxq"));
  // The last word of the big pair lies in the last volume; a slip of it
  // is corrected from there.
  const std::string& last = words[5999];
  std::string slip = last;
  std::swap(slip[5], slip[6]);
  if (slip != last) {
    EXPECT_EQ(all.FirstSuggestion(slip), last);
  }
  EXPECT_EQ(all.FirstSuggestion("qeustion"), "question");

  // The first volume alone lacks some of the words: the split is real.
  VolumeSession first(out, 1);
  size_t known = 0;
  for (const std::string& word : words) known += first.Knows(word) ? 1 : 0;
  EXPECT_LT(known, words.size());
}

TEST(LexVolumes, RecompilingDropsStaleVolumesButNothingElse) {
  test::TempDir dir;
  const std::string out = dir.PathOf("lang.olx");
  CompileOptions options;
  options.volumes = true;
  CompileSummary big;
  std::string error;
  ASSERT_TRUE(CompileWordEntries(OversizedList(), out, options, big, error)) << error;
  ASSERT_GE(big.volumes, 2u);
  // A file of the user's under a later volume's name is not a lexicon: kept.
  const std::string foreign = VolumeFileName(out, big.volumes);
  { std::ofstream(foreign) << "notes\n"; }

  CompileSummary small;
  ASSERT_TRUE(CompileWordEntries({"house", "garden"}, out, options, small, error)) << error;
  EXPECT_EQ(small.volumes, 1u);
  EXPECT_TRUE(fs::exists(out));
  for (size_t v = 1; v < big.volumes; ++v) EXPECT_FALSE(fs::exists(VolumeFileName(out, v))) << v;
  EXPECT_TRUE(fs::exists(foreign));
}

TEST(LexVolumes, NamesAndTextWords) {
  struct NameRow {
    const char* path;
    size_t index;
    const char* expected;
  };
  for (const NameRow& row :
       {NameRow{"fr.olx", 0, "fr.olx"}, NameRow{"fr.olx", 1, "fr.2.olx"},
        NameRow{"/d/x.y/fr.olx", 2, "/d/x.y/fr.3.olx"}, NameRow{"/d/x.y/fr", 1, "/d/x.y/fr.2"},
        NameRow{".hidden", 1, ".hidden.2"}}) {
    EXPECT_EQ(VolumeFileName(row.path, row.index), row.expected) << row.path;
  }

  // Entries give the words text checking finds in them; Whole keeps the
  // old reading (the first of several space-separated words).
  struct FormRow {
    const char* list;
    EntryForms forms;
    std::vector<std::string> words;
    uint64_t split;
  };
  const FormRow rows[] = {
      {"anglo-saxon\netc.\nc.-\xE0-d.\n",
       EntryForms::TextWords,
       {"anglo", "c", "d", "etc", "saxon", "\xE0"},
       3},
      {"a priori\nl'homme\nqu'il\n", EntryForms::TextWords, {"a", "homme", "priori", "qu'il"}, 1},
      {"anglo-saxon\netc.\na priori\n", EntryForms::Whole, {"a", "anglo-saxon", "etc."}, 0},
  };
  for (const FormRow& row : rows) {
    CompileSummary summary;
    EXPECT_EQ(ParseWordList(row.list, InputEncoding::Latin1, summary, row.forms), row.words)
        << row.list;
    EXPECT_EQ(summary.splitIntoWords, row.split) << row.list;
  }
}

}  // namespace
}  // namespace orth
