// The UTF-8 edge of orthspell: one Latin-1 byte per input character, the way
// back to the input's bytes, line and column positions, the common options
// and JSON strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/common_options.h"
#include "encoding/edge_text.h"
#include "output/json_output.h"
#include "orth.h"

namespace orth::cli {
namespace {

TEST(EdgeText, EveryCharacterBecomesOneByte) {
  struct Row {
    std::string input;
    std::string latin1;
    bool invalid;
    bool replaced;
  };
  const std::vector<Row> rows = {
      {"plain", "plain", false, false},
      {"caf\xc3\xa9", "caf\xe9", false, false},                      // é
      {"don\xe2\x80\x99t", "don't", false, false},                   // U+2019
      {"\xe2\x80\x98quoted\xe2\x80\x99", "'quoted'", false, false},  // U+2018, U+2019
      {"o\xca\xbc"
       "clock",
       "o'clock", false, false},  // U+02BC
      {"\xc5\x81\xc3\xb3"
       "d\xc5\xba",
       "\x1a\xf3"
       "d\x1a",
       false, true},  // Łódź
      {"a\xe2\x80\x94"
       "b",
       "a-b", false, true},                                   // em dash
      {"\xe2\x80\x9chi\xe2\x80\x9d", "\"hi\"", false, true},  // curly quotes
      {"x\xf0\x9f\x98\x80y", "x\x1ay", false, true},          // emoji, 4 bytes
      {"caf\xe9 ok", "caf\xe9 ok", true, false},              // Latin-1 é
      {"\xc3", "\xc3", true, false},                          // cut short
      {"\xc0\xaf", "\xc0\xaf", true, false},                  // overlong '/'
      {"\xed\xa0\x80", "\xed\xa0\x80", true, false},          // surrogate
      {"", "", false, false},
  };
  for (const Row& row : rows) {
    const EdgeText text = DecodeEdgeText(row.input);
    EXPECT_EQ(text.latin1, row.latin1) << row.input;
    EXPECT_EQ(text.invalidUtf8, row.invalid) << row.input;
    EXPECT_EQ(text.replacedCharacters, row.replaced) << row.input;
    ASSERT_EQ(text.sourceOffset.size(), text.latin1.size() + 1) << row.input;
    EXPECT_EQ(text.sourceOffset.back(), row.input.size());
    // Each character's own bytes, put together, give back the input.
    std::string rebuilt;
    for (size_t i = 0; i < text.latin1.size(); ++i) {
      rebuilt += SourceSlice(row.input, text, i, i + 1);
    }
    EXPECT_EQ(rebuilt, row.input);
  }
}

TEST(EdgeText, SourceTextIsWellFormedUtf8) {
  const std::string input = "\xc3\xa9t\xc3\xa9 caf\xe9 don\xe2\x80\x99t";
  const EdgeText text = DecodeEdgeText(input);
  EXPECT_EQ(SourceTextUtf8(input, text, 0, 3), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(SourceTextUtf8(input, text, 4, 8), "caf\xc3\xa9");        // byte read as Latin-1
  EXPECT_EQ(SourceTextUtf8(input, text, 9, 14), "don\xe2\x80\x99t");  // as written
  EXPECT_EQ(SourceTextUtf8(input, text, 12, 999), "\xe2\x80\x99t");   // clamped at the end
  EXPECT_EQ(SourceSlice(input, text, 20, 10), "");
}

TEST(EdgeText, LinesAndColumnsCountCharacters) {
  const EdgeText text = DecodeEdgeText("\xc3\xa9t\xc3\xa9 wrold\nsecond line\n\nlast");
  const LineIndex lines = IndexLines(text.latin1);
  struct Row {
    size_t offset;
    size_t line;
    size_t column;
  };
  for (const Row& row : std::vector<Row>{{0, 1, 1},
                                         {4, 1, 5},
                                         {9, 1, 10},
                                         {10, 2, 1},
                                         {17, 2, 8},
                                         {22, 3, 1},
                                         {23, 4, 1},
                                         {26, 4, 4}}) {
    const TextPosition at = PositionOf(lines, row.offset);
    EXPECT_EQ(at.line, row.line) << row.offset;
    EXPECT_EQ(at.column, row.column) << row.offset;
  }
}

TEST(EdgeText, WordsFromTheCommandLine) {
  std::string latin1;
  EXPECT_TRUE(WordToLatin1("na\xc3\xafve", latin1));
  EXPECT_EQ(latin1, "na\xefve");
  EXPECT_TRUE(WordToLatin1("it\xe2\x80\x99s", latin1));
  EXPECT_EQ(latin1, "it's");
  EXPECT_FALSE(
      WordToLatin1("\xc5\x81\xc3\xb3"
                   "d\xc5\xba",
                   latin1));
  EXPECT_EQ(Latin1ToUtf8Text("na\xefve"), "na\xc3\xafve");
}

TEST(CommonOptions, ParsesEveryForm) {
  const std::vector<std::string> args = {"-d",
                                         "en_GB",
                                         "-des",
                                         "--dict=x.olx",
                                         "-p",
                                         "me.lex",
                                         "--replacements",
                                         "r.lex",
                                         "--ignore-caps",
                                         "--ignore-mixed",
                                         "--ignore-non-alpha",
                                         "--no-doubled",
                                         "other"};
  CommonOptions options;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const OptionParse parsed = ParseCommonOption("test", args, i, options);
    if (parsed != OptionParse::Taken) break;
  }
  EXPECT_EQ(args[i], "other");  // not a common option: left to the subcommand
  EXPECT_EQ(options.dictionaries, (std::vector<std::string>{"en_GB", "es", "x.olx"}));
  EXPECT_EQ(options.personalList, "me.lex");
  EXPECT_EQ(options.replacementList, "r.lex");
  EXPECT_EQ(CheckOptionBits(options), OPT_REPORT_MISSPELLED | OPT_IGNORE_CAPITALIZED |
                                          OPT_IGNORE_MIXED_CASE | OPT_IGNORE_NON_ALPHA);
  EXPECT_EQ(CheckOptionBits(CommonOptions{}), OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD);
}

TEST(CommonOptions, RefusesMissingOrStrayValues) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"-d"}, {"--dict="}, {"-p"}, {"--no-doubled=1"}}) {
    CommonOptions options;
    size_t i = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ParseCommonOption("test", args, i, options), OptionParse::Failed) << args[0];
    EXPECT_NE(testing::internal::GetCapturedStderr().find("orthspell test: "), std::string::npos);
  }
  long value = 0;
  EXPECT_TRUE(ParseNumber("42", 0, 100, value));
  EXPECT_EQ(value, 42);
  for (const char* bad : {"", "-", "101", "4x", "-1", "99999999999"}) {
    EXPECT_FALSE(ParseNumber(bad, 0, 100, value)) << bad;
  }
}

TEST(JsonOutput, AlwaysValidStrings) {
  struct Row {
    std::string text;
    std::string json;
  };
  for (const Row& row : std::vector<Row>{
           {"plain", "\"plain\""},
           {"a\"b\\c", "\"a\\\"b\\\\c\""},
           {"tab\there\nnl", "\"tab\\there\\nnl\""},
           {std::string("nul\0x", 5), "\"nul\\u0000x\""},
           {"na\xc3\xafve", "\"na\xc3\xafve\""},
           {"caf\xe9", "\"caf\xc3\xa9\""},  // invalid UTF-8 read as Latin-1
       }) {
    EXPECT_EQ(JsonString(row.text), row.json);
  }
}

}  // namespace
}  // namespace orth::cli
