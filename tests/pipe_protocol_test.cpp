// The ispell pipe protocol: command parsing, answer lines, and whole
// conversations through the loop over a small in-memory dictionary.
#include "output/pipe_protocol.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "check/checker_session.h"
#include "lex_file_builder.h"
#include "orth.h"

namespace orth::cli {
namespace {

TEST(PipeCommandTest, SplitsTheCommandFromItsText) {
  struct Row {
    const char* line;
    PipeCommandKind kind;
    const char* text;
    std::size_t offsetBase;
  };
  const Row rows[] = {
      {"hello world", PipeCommandKind::CHECK_LINE, "hello world", 0},
      {"", PipeCommandKind::CHECK_LINE, "", 0},
      {"^*not a command", PipeCommandKind::CHECK_LINE, "*not a command", 1},
      {"^", PipeCommandKind::CHECK_LINE, "", 1},
      {"*Word", PipeCommandKind::ADD_PERSONAL, "Word", 1},
      {"&Word", PipeCommandKind::ADD_PERSONAL_LOWER, "Word", 1},
      {"@word", PipeCommandKind::ACCEPT_FOR_RUN, "word", 1},
      {"#", PipeCommandKind::SAVE_PERSONAL, "", 1},
      {"!", PipeCommandKind::TERSE_ON, "", 1},
      {"%", PipeCommandKind::TERSE_OFF, "", 1},
      {"+tex", PipeCommandKind::MODE_TEX, "tex", 1},
      {"-", PipeCommandKind::MODE_DEFAULT, "", 1},
      {"~latin1", PipeCommandKind::IGNORED, "latin1", 1},
      {" *indented", PipeCommandKind::CHECK_LINE, " *indented", 0},
  };
  for (const Row& row : rows) {
    const PipeCommand command = ParsePipeCommand(row.line);
    EXPECT_EQ(command.kind, row.kind) << row.line;
    EXPECT_EQ(command.text, row.text) << row.line;
    EXPECT_EQ(command.offsetBase, row.offsetBase) << row.line;
  }
}

TEST(PipeCommandTest, ReadsEncodingNames) {
  const std::pair<const char*, PipeEncoding> known[] = {
      {"utf-8", PipeEncoding::UTF8},        {"UTF8", PipeEncoding::UTF8},
      {"latin1", PipeEncoding::LATIN1},     {"Latin-1", PipeEncoding::LATIN1},
      {"iso-8859-1", PipeEncoding::LATIN1}, {"ISO8859-1", PipeEncoding::LATIN1},
  };
  for (const auto& [name, expected] : known) {
    PipeEncoding encoding = PipeEncoding::AUTO;
    EXPECT_TRUE(ParsePipeEncoding(name, encoding)) << name;
    EXPECT_EQ(encoding, expected) << name;
  }
  for (const char* unknown : {"", "utf-16", "koi8-r", "latin", "utf-8 "}) {
    PipeEncoding encoding = PipeEncoding::AUTO;
    EXPECT_FALSE(ParsePipeEncoding(unknown, encoding)) << unknown;
    EXPECT_EQ(encoding, PipeEncoding::AUTO);
  }
}

TEST(PipeCommandTest, FormatsAnswerLines) {
  EXPECT_EQ(FormatWordAnswer({"hello", 0, true, {}}), "*");
  EXPECT_EQ(FormatWordAnswer({"wrold", 6, false, {"world", "would"}}), "& wrold 2 6: world, would");
  EXPECT_EQ(FormatWordAnswer({"xyzzy", 12, false, {}}), "# xyzzy 12");
  EXPECT_EQ(FormatWordAnswer({"teh", 1, false, {"the"}}), "& teh 1 1: the");
}

// A session whose dictionary is an in-memory list, and the loop around it.
class PipeLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    checker_.session = ORTH_OpenSession();
    ASSERT_GE(checker_.session, 0);
    const int32_t dictionary = ORTH_CreateLex(checker_.session, nullptr, LEX_TYPE_ACCEPT, 0);
    ASSERT_GE(dictionary, 0);
    for (const char* word :
         {"hello", "world", "the", "cat", "caf\xe9", "na\xefve", "don", "\xe9t\xe9", "summer"}) {
      ASSERT_EQ(ORTH_AddToLex(checker_.session, dictionary, word, nullptr), 0) << word;
    }
    pipe_.session = checker_.session;
    pipe_.warn = [this](const std::string& message) { warnings_.push_back(message); };
  }

  std::string Run(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    status_ = RunPipeLoop(in, out, pipe_);
    return out.str();
  }

  // Opens (or creates) a personal list file and lets the loop save it.
  void UsePersonalList(const std::string& path) {
    std::ifstream probe(path);
    checker_.personalLex = probe
                               ? ORTH_OpenLex(checker_.session, path.c_str(), 0)
                               : ORTH_CreateLex(checker_.session, path.c_str(), LEX_TYPE_ACCEPT, 0);
    ASSERT_GE(checker_.personalLex, 0);
    checker_.personalPath = path;
    pipe_.personalLex = checker_.personalLex;
    pipe_.savePersonal = [this]() {
      std::string error;
      SavePersonalList(checker_, error);
      pipe_.personalLex = checker_.personalLex;
      return error;
    };
  }

  CheckerSession checker_;  // closes the session
  PipeChecker pipe_;
  std::vector<std::string> warnings_;
  int status_ = -1;
};

// The answer lines of a conversation; a miss keeps only its first
// suggestion and drops its count, which depend on the suggestion search
// ("& wrold 6: world").
std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("& ", 0) == 0) {
      const std::size_t word = line.find(' ', 2);
      const std::size_t count = line.find(' ', word + 1);
      const std::size_t comma = line.find(", ");
      line = line.substr(0, word + 1) + line.substr(count + 1, comma - count - 1);
    }
    lines.push_back(line);
  }
  return lines;
}

std::string Brief(const std::string& output) {
  std::string out;
  for (const std::string& line : Lines(output)) out += line + "\n";
  return out;
}

TEST_F(PipeLoopTest, AnswersEveryWordInOrderThenAnEmptyLine) {
  struct Row {
    std::string input;
    std::vector<std::string> expected;  // answer lines without suggestions after the first
  };
  const Row rows[] = {
      {"hello wrold\n", {"*", "& wrold 6: world", ""}},
      {"^hello wrold\n", {"*", "& wrold 7: world", ""}},  // the ^ is counted
      {"\n", {""}},
      {"  ...  \n", {""}},
      {"hello\r\n", {"*", ""}},
      {"4th cat\n", {"& th 1: the", "*", ""}},
      {"qqqqqqqqqqqqqqqq\n", {"# qqqqqqqqqqqqqqqq 0", ""}},
      // UTF-8 in, UTF-8 out, offsets in characters.
      {"caf\xc3\xa9 \xc3\xa9t\xc3\xa9 wrold\n", {"*", "*", "& wrold 9: world", ""}},
      // Latin-1 in (not valid UTF-8), Latin-1 out, offsets in bytes.
      {"caf\xe9 \xe9t\xe9 wrold\n", {"*", "*", "& wrold 9: world", ""}},
      // A character outside Latin-1 ends a word; typographic apostrophes join.
      {"\xe2\x86\x92hello don\xe2\x80\x99t\n", {"*", "*", ""}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Lines(Run(row.input)), row.expected) << row.input;
  }
}

TEST_F(PipeLoopTest, ReportsWordsAsReceivedInTheLinesEncoding) {
  // A misspelled accented word comes back exactly as the client sent it.
  EXPECT_EQ(Brief(Run("na\xc3\xafv hello\n")), "& na\xc3\xafv 0: na\xc3\xafve\n*\n\n");
  EXPECT_EQ(Brief(Run("na\xefv hello\n")), "& na\xefv 0: na\xefve\n*\n\n");

  // With the encoding named Latin-1, bytes that happen to be UTF-8 are still
  // Latin-1: "Ã©" is two characters, so the offset counts two.
  pipe_.encoding = PipeEncoding::LATIN1;
  const std::vector<std::string> forced = Lines(Run("\xc3\xa9 wrold\n"));
  ASSERT_EQ(forced.size(), 3u);
  EXPECT_EQ(forced[0], "# \xc3 0");  // the letter \xc3 alone
  EXPECT_EQ(forced[1], "& wrold 3: world");

  // A typographic apostrophe stays in the reported word.
  pipe_.encoding = PipeEncoding::AUTO;
  const std::vector<std::string> apostrophe = Lines(Run("\xe2\x80\x94wrold\xe2\x80\x99s\n"));
  ASSERT_EQ(apostrophe.size(), 2u);
  EXPECT_EQ(apostrophe[0], "& wrold\xe2\x80\x99s 1: world's") << apostrophe[0];
}

TEST_F(PipeLoopTest, CommandsChangeWhatLaterLinesAnswer) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"!\nhello wrold cat\n%\nhello\n", "& wrold 6: world\n\n*\n\n"},
      {"@wrold\nwrold\n", "*\n\n"},
      {"*Qzx\nqzx Qzx\n", "*\n*\n\n"},  // no personal list: kept for the run
      {"&Vqk\nvqk\n", "*\n\n"},
      {"+\n-\n~tex\n#\n", ""},  // nothing is answered for commands
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Brief(Run(row.input)), row.expected) << row.input;
    EXPECT_EQ(status_, 0);
  }
  // A ^ line starting with a command character is checked, not obeyed.
  const std::vector<std::string> lines = Lines(Run("^*qqq\n"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("& qqq 2: ", 0), 0u) << lines[0];
}

TEST_F(PipeLoopTest, ReplacementListHitIsAMissWithTheReplacementFirst) {
  const int32_t change = ORTH_CreateLex(pipe_.session, nullptr, LEX_TYPE_CHANGE, 0);
  ASSERT_GE(change, 0);
  ASSERT_EQ(ORTH_AddToLex(pipe_.session, change, "teh", "the"), 0);
  EXPECT_EQ(Brief(Run("teh cat\n")), "& teh 0: the\n*\n\n");
}

TEST_F(PipeLoopTest, SavesThePersonalListAtHashAndAtTheEnd) {
  test::TempDir dir;
  const std::string path = dir.PathOf("personal.lex");
  UsePersonalList(path);
  auto fileHas = [&](const std::string& word) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
      if (line == word) return true;
    }
    return false;
  };
  // Count the saves: one at each #, one at the end when words were added
  // after the last save, none for a run that added nothing.
  int saves = 0;
  const std::function<std::string()> save = pipe_.savePersonal;
  pipe_.savePersonal = [&]() {
    ++saves;
    return save();
  };
  EXPECT_EQ(Run("*qzxone\n#\n"), "");
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(fileHas("qzxone"));
  EXPECT_EQ(Run("hello\n#\n*qzxzero\n#\nhello\n"), "*\n\n*\n\n");
  EXPECT_EQ(saves, 3);
  EXPECT_EQ(Run("hello\n"), "*\n\n");
  EXPECT_EQ(saves, 3);
  // Saved at the end of input without a #, old words kept.
  EXPECT_EQ(Run("&QZXTWO\nqzxone qzxtwo\n"), "*\n*\n\n");
  EXPECT_EQ(saves, 4);
  EXPECT_TRUE(fileHas("qzxone"));
  EXPECT_TRUE(fileHas("qzxtwo"));
  EXPECT_TRUE(warnings_.empty());

  // A failed save is reported and fails the run; the file keeps its words.
  pipe_.savePersonal = []() { return std::string("cannot save"); };
  EXPECT_EQ(Run("*qzxthree\n"), "");
  EXPECT_EQ(status_, 1);
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_TRUE(fileHas("qzxone"));
  EXPECT_TRUE(fileHas("qzxtwo"));
}

TEST_F(PipeLoopTest, OddInputNeverBreaksTheConversation) {
  std::string input;
  input += std::string(5000, 'a') + " wrold\n";              // a very long word
  input += std::string("\x1a\x01\x7f\xff\xfe\x80 hello\n");  // control and stray bytes
  input += "\xe2\x82 hello\n";                               // a cut UTF-8 character
  input += "*" + std::string(300, 'q') + "\n";               // a long word to add
  input += "@\n*\n&\n";                                      // commands without a word
  input += "hello";                                          // no final line end
  const std::vector<std::string> lines = Lines(Run(input));
  // Each checked line ends with its empty line.
  std::size_t empty = 0;
  for (const std::string& line : lines) empty += line.empty() ? 1 : 0;
  EXPECT_EQ(empty, 4u);
  EXPECT_EQ(lines.back(), "");
  EXPECT_EQ(lines[lines.size() - 2], "*");
}

}  // namespace
}  // namespace orth::cli
