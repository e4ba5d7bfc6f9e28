// The interactive correction of a document, driven with keys on the
// line-oriented terminal over a small in-memory dictionary: the keys and the
// bytes handed on, the screen, the word lists, and failures.
#include "commands/fix_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "check/non_words.h"
#include "orth.h"

namespace orth::cli {
namespace {

// A source that fails after handing on its bytes.
class FailingSource final : public ByteSource {
 public:
  explicit FailingSource(std::string bytes) : bytes_(std::move(bytes)) {}
  bool Read(char* buffer, size_t size, size_t& got, std::string& error) override {
    if (bytes_.empty()) {
      error = "device gone";
      return false;
    }
    got = std::min(size, bytes_.size());
    bytes_.copy(buffer, got);
    bytes_.erase(0, got);
    return true;
  }

 private:
  std::string bytes_;
};

class FixDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = ORTH_OpenSession();
    ASSERT_GE(session_, 0);
    const int32_t dictionary = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    for (const char* word : {"the", "cat", "sat", "on", "mat", "is", "fine", "line", "use", "here",
                             "end", "see", "for", "a", "caf\xe9", "cat's"}) {
      ASSERT_EQ(ORTH_AddToLex(session_, dictionary, word, nullptr), 0) << word;
    }
    context_ = FixContext{};
    context_.session = session_;
    context_.runLex = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
    context_.policy.engineOptions = OPT_REPORT_MISSPELLED;
    context_.policy.skipKinds = NON_WORD_ALL;
    context_.fileName = "doc.txt";
  }
  void TearDown() override { ORTH_CloseSession(session_); }

  // Runs fix over `text` in `mode` with pieces of at most `window` bytes,
  // read a few bytes at a time (so that the text format makes a piece of
  // each line), with `keys` as input lines. Returns the bytes handed on.
  std::string Fix(const std::string& text, std::string keys, const char* mode = "text",
                  size_t window = 64, ByteSource* failing = nullptr, bool outputFails = false) {
    keys += '\n';  // fmemopen refuses an empty buffer; an empty line is no key
    std::FILE* in = fmemopen(keys.data(), keys.size(), "r");
    std::FILE* out = std::tmpfile();
    Terminal terminal{false, in, out};
    context_.terminal = &terminal;
    context_.changes = 0;
    context_.changed = false;
    StringSource strings(text, 8);
    ByteSource& source = failing != nullptr ? *failing : strings;
    InputHead head;
    std::string error;
    EXPECT_TRUE(ReadHead(source, 4, head, error));
    FormatOptions options;
    ParserContext parserContext;
    parserContext.fileName = "doc";
    parserContext.head = head.bytes;
    parserContext.options = &options;
    const auto parser = FindFormat(mode)->make(parserContext);
    std::string handed;
    const FixOutput output = [&](std::string_view bytes, std::string& failure) {
      if (outputFails) {
        failure = "disk full";
        return false;
      }
      handed.append(bytes);
      return true;
    };
    error_.clear();
    outcome_ = FixDocument(context_, source, head, *parser, window, output, error_);
    std::rewind(out);
    screen_.clear();
    for (int c; (c = std::fgetc(out)) != EOF;) screen_.push_back(static_cast<char>(c));
    std::fclose(in);
    std::fclose(out);
    return handed;
  }

  bool Known(const char* word) {
    return ORTH_CheckWord(session_, OPT_REPORT_MISSPELLED, word, nullptr, 0) == 0;
  }

  int32_t session_ = -1;
  FixContext context_;
  FixOutcome outcome_ = FixOutcome::FAILED;
  std::string screen_;
  std::string error_;
};

TEST_F(FixDocumentTest, KeysEditTheText) {
  constexpr FixOutcome DONE = FixOutcome::FINISHED;
  constexpr FixOutcome QUIT = FixOutcome::QUIT_WITHOUT_SAVING;
  const std::string longWord(3000, 'a');
  struct Row {
    std::string text;
    std::string keys;
    std::string expected;  // the bytes handed on
    FixOutcome outcome;
    size_t changes;
    const char* mode = "text";
    bool latin1 = false;
  };
  const Row rows[] = {
      {"teh cat", "1", "the cat", DONE, 1},
      {"teh cat", "r\nthe", "the cat", DONE, 1},
      // A replacement that is still wrong is shown again, word by word.
      {"teh cat", "r\ntha\nr\nthe", "the cat", DONE, 2},
      {"teh cat", "r\nzzq mat\nr\non", "on mat cat", DONE, 2},
      {"teh cat", "r\n" + longWord + "\ni", longWord + " cat", DONE, 1},
      // A doubled word goes with the spaces after it, at a line end with
      // the spaces before it.
      {"the cat sat sat on the mat", "d", "the cat sat on the mat", DONE, 1},
      {"the cat sat sat\non the mat\n", "d", "the cat sat\non the mat\n", DONE, 1},
      {"the cat sat  sat.", "d", "the cat sat.", DONE, 1},
      {"the cat, cat sat", "", "the cat, cat sat", DONE, 0},
      // Undo brings back the text and shows the word again.
      {"teh cat zzq", "1\nu\ni\ni", "teh cat zzq", DONE, 0},
      {"teh cat sat sat zzq", "1\nd\nu\nu\ni\nd\ni", "teh cat sat zzq", DONE, 1},
      {"teh cat", "r\nzzq mat\nu\ni", "teh cat", DONE, 0},
      // Undo stays within its piece (a line here).
      {"teh cat\nzzq cat\n", "1\nu\ni", "the cat\nzzq cat\n", DONE, 1},
      {"zzq cat zzq", "i\ni", "zzq cat zzq", DONE, 0},
      // I: the word is not shown again, in this piece or a later one.
      {"zzq cat zzq\ncat zzq\n", "I", "zzq cat zzq\ncat zzq\n", DONE, 0},
      // A replacement the engine cannot hold is refused; an unknown key helps.
      {"teh cat", "r\n\xe2\x86\x92\nz\n1", "the cat", DONE, 1},
      // Characters outside Latin-1 around the word stay.
      {"\xe2\x80\x9cteh\xe2\x80\x9d \xe2\x86\x92 cat", "1",
       "\xe2\x80\x9cthe\xe2\x80\x9d \xe2\x86\x92 cat", DONE, 1},
      // A replaced word keeps its typographic apostrophe.
      {"cta\xe2\x80\x99s mat", "1", "cat\xe2\x80\x99s mat", DONE, 1},
      // Suggestions and replacements are written in the file's encoding.
      {"cafx teh", "1\n1", "caf\xc3\xa9 the", DONE, 2},
      {"cafx teh", "1\nr\ncaf\xc3\xa9", "caf\xe9 caf\xe9", DONE, 2, "text", true},
      {"caf\xe9 teh \xd7", "1", "caf\xe9 the \xd7", DONE, 1, "text", true},
      // q keeps what was done and hands the rest on unchanged.
      {"teh zzq\nzzq teh\n", "1\nq", "the zzq\nzzq teh\n", FixOutcome::SAVE_AND_QUIT, 1},
      {"teh zzq", "1\nx", "", QUIT, 1},
      {"teh zzq", "1", "", QUIT, 1},  // the keys ran out
      // Code, URLs and markup are never stopped on: one key for one finding.
      {"Use `teh` here.\n\n```\nteh zzq\n```\n\n<!-- zzq -->\n[a cat](http://zzq.example/teh) teh "
       "end\n",
       "1",
       "Use `teh` here.\n\n```\nteh zzq\n```\n\n<!-- zzq -->\n[a cat](http://zzq.example/teh) the "
       "end\n",
       DONE, 1, "markdown"},
      {"see https://zzq.example/teh for teh\n", "1", "see https://zzq.example/teh for the\n", DONE,
       1},
  };
  for (const Row& row : rows) {
    SetUp();
    context_.policy.latin1Input = row.latin1;
    const std::string label = row.text.substr(0, 40) + " / " + row.keys.substr(0, 20);
    EXPECT_EQ(Fix(row.text, row.keys, row.mode), row.expected) << label;
    EXPECT_EQ(outcome_, row.outcome) << label;
    EXPECT_EQ(context_.changes, row.changes) << label;
    EXPECT_EQ(context_.changed, row.outcome != QUIT && row.expected != row.text) << label;
    TearDown();
  }
}

TEST_F(FixDocumentTest, ShowsTheLineWithTheWordAndItsSuggestions) {
  // Line numbers count over the whole file, across pieces.
  Fix("the cat\nis fine\nsat on teh mat\n", "x");
  EXPECT_NE(screen_.find("doc.txt:3: sat on [[teh]] mat\n"), std::string::npos) << screen_;
  EXPECT_NE(screen_.find("'teh' is not in the dictionary\n  1) the"), std::string::npos) << screen_;
  Fix("the mat mat", "x");
  EXPECT_NE(screen_.find("doubled word 'mat'\n? "), std::string::npos) << screen_;
  // Control characters would move the cursor: they show as '?'.
  Fix("teh\x1b[2J cat", "x");
  EXPECT_NE(screen_.find("[[teh]]?[2J cat"), std::string::npos) << screen_;
  // A long line is cut around the word.
  std::string side;
  for (int i = 0; i < 25; ++i) side += "the cat ";
  Fix(side + " teh " + side, "x", "text", 1000);
  const size_t shown = screen_.find("[[teh]]");
  ASSERT_NE(shown, std::string::npos) << screen_;
  EXPECT_LT(screen_.find('\n'), 90u) << screen_;
  EXPECT_GT(shown, 30u) << screen_;
}

TEST_F(FixDocumentTest, AddingAWordGoesToTheListAndCanBeUndone) {
  // Without a personal list, a keeps the word for the run.
  EXPECT_EQ(Fix("zzq cat zzq", "a"), "zzq cat zzq");
  EXPECT_EQ(outcome_, FixOutcome::FINISHED);
  EXPECT_TRUE(Known("zzq"));
  EXPECT_FALSE(context_.personalModified);

  context_.personalLex = ORTH_CreateLex(session_, nullptr, LEX_TYPE_ACCEPT, 0);
  EXPECT_EQ(Fix("Qqx's cat\nqqx\n", "a"), "Qqx's cat\nqqx\n");
  EXPECT_EQ(outcome_, FixOutcome::FINISHED);
  EXPECT_TRUE(context_.personalModified);
  EXPECT_TRUE(Known("qqx"));

  // Undo of an addition takes the word out of the list again.
  EXPECT_EQ(Fix("vvk wwk", "a\nu\ni\ni"), "vvk wwk");
  EXPECT_EQ(outcome_, FixOutcome::FINISHED);
  EXPECT_FALSE(Known("vvk"));
  EXPECT_EQ(Fix("vvk wwk", "I\nu\ni\ni"), "vvk wwk");
  EXPECT_EQ(outcome_, FixOutcome::FINISHED);
  EXPECT_FALSE(Known("vvk"));
}

TEST_F(FixDocumentTest, FailuresEndTheRun) {
  EXPECT_EQ(Fix("teh cat", "1", "text", 64, nullptr, true), "");
  EXPECT_EQ(outcome_, FixOutcome::FAILED);
  EXPECT_EQ(error_, "disk full");
  // A read error ends the walk at once: nothing more is asked.
  FailingSource source("teh cat");
  EXPECT_EQ(Fix("", "1", "text", 64, &source), "");
  EXPECT_EQ(outcome_, FixOutcome::FAILED);
  EXPECT_EQ(error_, "cannot read the file: device gone");
  EXPECT_EQ(screen_, "");
}

}  // namespace
}  // namespace orth::cli
