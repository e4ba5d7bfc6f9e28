// The interactive correction of one part, driven with keys on the
// line-oriented terminal over a small in-memory dictionary.
#include "commands/fix_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "orth.h"

namespace orth::cli {
namespace {

class FixPartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = ORTH_OpenSession();
    ASSERT_GE(session_, 0);
    const int32_t dictionary = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    for (const char* word : {"the", "cat", "sat", "on", "mat", "is", "fine", "line"}) {
      ASSERT_EQ(ORTH_AddToLex(session_, dictionary, word, nullptr), 0);
    }
    context_.session = session_;
    context_.runLex = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    context_.options = OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD;
    context_.fileName = "doc.txt";
  }
  void TearDown() override { ORTH_CloseSession(session_); }

  // Runs the part over bytes with the keys as input lines; returns the file
  // bytes afterwards.
  std::string Fix(const std::string& bytes, std::string keys) {
    std::FILE* in = fmemopen(keys.data(), keys.size(), "r");
    std::FILE* out = std::tmpfile();
    Terminal terminal{false, in, out};
    context_.terminal = &terminal;
    context_.changes = 0;
    MappedText text = MakeMappedText(bytes);
    outcome_ = FixPart(context_, text);
    std::rewind(out);
    screen_.clear();
    for (int c; (c = std::fgetc(out)) != EOF;) screen_.push_back(static_cast<char>(c));
    std::fclose(in);
    std::fclose(out);
    return EncodeMappedText(text);
  }

  bool Known(const char* word) {
    return ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, word, nullptr, 0) == 0;
  }

  int32_t session_ = -1;
  FixContext context_;
  FixOutcome outcome_ = FixOutcome::FAILED;
  std::string screen_;
};

TEST_F(FixPartTest, KeysEditTheText) {
  struct Row {
    const char* text;
    const char* keys;
    const char* expected;
    FixOutcome outcome;
    std::size_t changes;
  };
  const Row rows[] = {
      {"teh cat", "1\n", "the cat", FixOutcome::PART_DONE, 1},
      {"teh cat", "r\nthe\n", "the cat", FixOutcome::PART_DONE, 1},
      // The replacement is checked next: a misspelled one is reported again.
      {"teh cat", "r\ntha\nr\nthe\n", "the cat", FixOutcome::PART_DONE, 2},
      {"the cat sat sat on the mat", "d\n", "the cat sat on the mat", FixOutcome::PART_DONE, 1},
      {"the cat, cat sat", "", "the cat, cat sat", FixOutcome::PART_DONE, 0},
      // Undo brings back the text and reports the word again.
      {"teh cat zzq", "1\nu\ni\ni\n", "teh cat zzq", FixOutcome::PART_DONE, 0},
      {"teh cat sat sat zzq", "1\nd\nu\nu\ni\nd\ni\n", "teh cat sat zzq", FixOutcome::PART_DONE, 1},
      {"zzq cat zzq", "i\ni\n", "zzq cat zzq", FixOutcome::PART_DONE, 0},
      {"zzq cat zzq", "I\n", "zzq cat zzq", FixOutcome::PART_DONE, 0},
      // A replacement the engine cannot hold is refused; an unknown key helps.
      {"teh cat", "r\n\xe2\x86\x92\nz\n1\n", "the cat", FixOutcome::PART_DONE, 1},
      // Characters outside Latin-1 around the word stay.
      {"\xe2\x80\x9cteh\xe2\x80\x9d \xe2\x86\x92 cat", "1\n",
       "\xe2\x80\x9cthe\xe2\x80\x9d \xe2\x86\x92 cat", FixOutcome::PART_DONE, 1},
      {"teh zzq", "1\nq\n", "the zzq", FixOutcome::SAVE_AND_QUIT, 1},
      {"teh zzq", "1\nx\n", "the zzq", FixOutcome::QUIT_WITHOUT_SAVING, 1},
      {"teh zzq", "1\n", "the zzq", FixOutcome::QUIT_WITHOUT_SAVING, 1},  // input ended
  };
  for (const Row& row : rows) {
    SetUp();
    EXPECT_EQ(Fix(row.text, row.keys), row.expected) << row.text << " / " << row.keys;
    EXPECT_EQ(outcome_, row.outcome) << row.text << " / " << row.keys;
    EXPECT_EQ(context_.changes, row.changes) << row.text << " / " << row.keys;
    TearDown();
  }
}

TEST_F(FixPartTest, ShowsTheLineWithTheWordAndItsSuggestions) {
  context_.firstLine = 10;
  Fix("the cat\nsat on teh mat\n", "x\n");
  EXPECT_NE(screen_.find("doc.txt:11: sat on [[teh]] mat\n"), std::string::npos) << screen_;
  EXPECT_NE(screen_.find("'teh' is not in the dictionary"), std::string::npos) << screen_;
  EXPECT_NE(screen_.find("1) the"), std::string::npos) << screen_;
  Fix("the mat mat", "x\n");
  EXPECT_NE(screen_.find("doubled word 'mat'"), std::string::npos) << screen_;
}

TEST_F(FixPartTest, AddingAWordGoesToTheListAndCanBeUndone) {
  // Without a personal list, a and I keep the word for the run.
  EXPECT_EQ(Fix("zzq cat zzq", "a\n"), "zzq cat zzq");
  EXPECT_EQ(outcome_, FixOutcome::PART_DONE);
  EXPECT_TRUE(Known("zzq"));
  EXPECT_FALSE(context_.personalModified);

  context_.personalLex = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
  EXPECT_EQ(Fix("Qqx's cat", "a\n"), "Qqx's cat");
  EXPECT_TRUE(context_.personalModified);
  EXPECT_TRUE(Known("qqx"));

  // Undo of an addition takes the word out of the list again.
  EXPECT_EQ(Fix("vvk wwk", "a\nu\ni\ni\n"), "vvk wwk");
  EXPECT_FALSE(Known("vvk"));
  EXPECT_EQ(Fix("vvk wwk", "I\nu\ni\ni\n"), "vvk wwk");
  EXPECT_FALSE(Known("vvk"));
}

TEST_F(FixPartTest, ALongReplacementGrowsThePart) {
  const std::string longWord(3000, 'a');
  const std::string keys = "r\n" + longWord + "\ni\n";
  EXPECT_EQ(Fix("teh cat", keys), longWord + " cat");
  EXPECT_EQ(outcome_, FixOutcome::PART_DONE);
  EXPECT_EQ(context_.changes, 1u);
}

}  // namespace
}  // namespace orth::cli
