// The checking stage on the bundled en_US dictionary: which words of a
// document's spans are reported, where, and which are left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/checker_session.h"
#include "check/document_checker.h"
#include "check/non_words.h"
#include "document/document_format.h"
#include "input/document_reader.h"
#include "orth.h"

namespace orth::cli {
namespace {

// "line:column word kind" for every finding.
class Recorder final : public FindingSink {
 public:
  std::vector<std::string> lines;
  void Word(const CheckedWord& word, DocumentChecker& checker) override {
    static const char* const kinds[] = {"correct", "misspelled", "replacement", "suggestion",
                                        "doubled"};
    const TextPosition at = checker.Position(word.sourceBegin);
    lines.push_back(std::to_string(at.line) + ":" + std::to_string(at.column) + " " +
                    std::string(checker.Written(word.sourceBegin, word.sourceEnd)) + " " +
                    kinds[static_cast<int>(word.verdict)]);
  }
};

class DocumentCheck : public testing::Test {
 protected:
  void SetUp() override {
    CommonOptions options;
    options.dictionaries.push_back(ORTH_DICT_DIR "/en_US.olx");
    std::string error;
    ASSERT_TRUE(OpenCheckerSession(options, session_, error)) << error;
  }

  CheckPolicy Policy(uint32_t checkedKinds = 0) const {
    CheckPolicy policy;
    policy.engineOptions = OPT_REPORT_MISSPELLED;
    policy.skipKinds = NON_WORD_ALL & ~checkedKinds;
    return policy;
  }

  // The findings of `text` read as plain text, in pieces of `readSize` bytes.
  std::vector<std::string> Check(const std::string& text, const CheckPolicy& policy,
                                 size_t readSize = 1 << 16) {
    Recorder recorder;
    DocumentChecker checker(session_.session, policy, recorder);
    checker.StartDocument();
    FormatOptions formatOptions;
    ParserContext context;
    context.options = &formatOptions;
    auto parser = MakePlainTextParser(context);
    StringSource source(text, readSize);
    ReadOptions read;
    read.readSize = readSize;
    read.window = 256;
    std::string error;
    EXPECT_TRUE(ReadDocument(source, InputHead{}, *parser, checker, read, error));
    return recorder.lines;
  }

  CheckerSession session_;
};

using Lines = std::vector<std::string>;

TEST_F(DocumentCheck, WordsOfPlainText) {
  struct Row {
    std::string text;
    Lines found;
    uint32_t checkedKinds = 0;  // --no-skip
  };
  const std::vector<Row> rows = {
      // Quotes are not part of the word; a plural possessive is a word.
      {"Use 'stone' or 'qqsed' here.\n", {"1:17 qqsed misspelled"}},
      {"the boys' toys and \xe2\x80\x98wrold\xe2\x80\x99\n", {"1:21 wrold misspelled"}},
      // No doubled word across skipped text.
      {"run make --build build now\n", {}},
      {"see the https://example.org/x the end\n", {}},
      {"it is is fine\n", {"1:7 is doubled"}},
      {"teh teh\n", {"1:1 teh misspelled", "1:5 teh misspelled", "1:5 teh doubled"}},
      // Identifiers: only the wrong part, at its own column.
      {"call recieveData now\n", {"1:6 recieve misspelled"}},
      {"HTTPServer and parseQqsnakeword\n", {"1:21 Qqsnakeword misspelled"}},
      {"qq_snake_case\n", {"1:1 qq misspelled"}},
      // Words with digits and words in capitals are skipped unless asked for.
      {"IPv4 and file1 QQCONSTANT QQURLs\n", {}},
      {"QQCONSTANT\n", {"1:1 QQCONSTANT misspelled"}, NON_WORD_CAPS},
      {"see https://example.org/qqurl\n",
       {"1:5 https misspelled", "1:25 qqurl misspelled"},
       NON_WORD_URL | NON_WORD_FILE | NON_WORD_PATH},
      // Skips of every kind in one line.
      {"qqa@example.com /usr/qqb README.md 0x1f2e 3f2a9c1de $QQHOME %QQPATH% -qqopt\n", {}},
      // Columns count characters.
      {"\xe4\xb8\xad\xe6\x96\x87 wrold\n", {"1:4 wrold misspelled"}},
      {"\xEF\xBB\xBFwrold\r\nok wrold\n", {"1:1 wrold misspelled", "2:4 wrold misspelled"}},
      // The ligature is read as its two letters, one column wide.
      {"the c\xc5\x93ur wrold\n", {"1:5 c\xc5\x93ur misspelled", "1:10 wrold misspelled"}},
      // After a longer elision only the word is checked, and reported.
      {"qu'wrold and lorsqu'it, all's well\n", {"1:4 wrold misspelled"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Check(row.text, Policy(row.checkedKinds)), row.found) << row.text;
    // Read a few bytes at a time the findings are the same.
    EXPECT_EQ(Check(row.text, Policy(row.checkedKinds), 3), row.found) << row.text;
  }
}

TEST_F(DocumentCheck, InlineDirectives) {
  struct Row {
    std::string text;
    Lines found;
  };
  const std::vector<Row> rows = {
      {"orthspell: ignore zorblat, flimwick\nzorblat and flimwick\n", {}},
      {"zorblat\ncspell:words zorblat\nzorblat\n", {"1:1 zorblat misspelled"}},
      {"wrold\ncspell:disable\nwrold\nspellchecker: enable\nwrold\n",
       {"1:1 wrold misspelled", "5:1 wrold misspelled"}},
      {"# spellchecker: disable-next-line\nwrold\nan wrold\n", {"3:4 wrold misspelled"}},
      {"wrold // cspell:disable-line\nwrold\n", {"2:1 wrold misspelled"}},
      {"ORTHSPELL: Disable\nwrold\n", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Check(row.text, Policy()), row.found) << row.text;
  }
  // An ignore directive holds for the rest of its file only.
  Recorder recorder;
  DocumentChecker checker(session_.session, Policy(), recorder);
  for (int file = 0; file < 2; ++file) {
    checker.StartDocument();
    const std::string text = file == 0 ? "orthspell: ignore zorblat\nzorblat\n" : "zorblat\n";
    checker.BeginPiece(text, 0);
    checker.Text(text, 0, TextRole::PROSE);
    checker.EndPiece(text.size());
  }
  EXPECT_EQ(recorder.lines, Lines{"1:1 zorblat misspelled"});
}

// What parsers hand on: joined pieces, markup, breaks, decoded text, comments
// and strings.
TEST_F(DocumentCheck, SpansFromParsers) {
  const std::string source =
      "the the th*e* the `x` the na&iuml;vx %sfoo {0} itmes <!-- cspell:disable --> wrold";
  Recorder recorder;
  DocumentChecker checker(session_.session, Policy(), recorder);
  checker.StartDocument();
  checker.BeginPiece(source, 0);
  checker.Text(source.substr(0, 11), 0, TextRole::PROSE);  // "the the th*"
  checker.Markup(10);
  checker.Text("e", 11, TextRole::PROSE);
  checker.Markup(12);
  checker.Text(" the ", 13, TextRole::PROSE);  // "the" after markup: not doubled
  checker.Break(18);                           // `x`
  checker.Text(" the ", 21, TextRole::PROSE);  // after a break: not doubled
  checker.Text("na", 26, TextRole::PROSE);
  checker.Decoded("\xc3\xaf", 28, 34, TextRole::PROSE);
  checker.Text("vx ", 34, TextRole::PROSE);
  checker.Text("%sfoo {0} itmes ", 37, TextRole::STRING);
  checker.Comment("<!-- cspell:disable -->", 53);
  checker.Text(" wrold", 76, TextRole::PROSE);
  checker.EndPiece(source.size());
  EXPECT_EQ(recorder.lines,
            (Lines{"1:5 the doubled", "1:27 na&iuml;vx misspelled", "1:48 itmes misspelled"}));
}

}  // namespace
}  // namespace orth::cli
