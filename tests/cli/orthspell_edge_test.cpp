// The pieces of orthspell's front end that need no dictionary: the UTF-8
// edge, positions in characters, the command lines, what is not a word, the
// inline directives and the splitting of identifiers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/directives.h"
#include "check/identifier_parts.h"
#include "check/non_words.h"
#include "commands/command_line.h"
#include "commands/common_options.h"
#include "encoding/engine_text.h"
#include "encoding/source_position.h"
#include "orth.h"

namespace orth::cli {
namespace {

TEST(EngineText, EveryCharacterBecomesOneByte) {
  struct Row {
    std::string input;
    std::string latin1;  // what the engine sees of a word typed by a user
    bool word;           // false: it needs a stand-in, so it cannot be a word
    std::string utf8;    // the input as well-formed UTF-8
  };
  const std::vector<Row> rows = {
      {"plain", "plain", true, "plain"},
      {"caf\xc3\xa9", "caf\xe9", true, "caf\xc3\xa9"},
      {"don\xe2\x80\x99t", "don't", true, "don\xe2\x80\x99t"},  // U+2019
      {"o\xca\xbc"
       "clock",
       "o'clock", true,
       "o\xca\xbc"
       "clock"},  // U+02BC
      {"\xc5\x81\xc3\xb3"
       "d\xc5\xba",
       "", false,
       "\xc5\x81\xc3\xb3"
       "d\xc5\xba"},                                                       // Łódź
      {"caf\xe9", "caf\xe9", true, "caf\xc3\xa9"},                         // a Latin-1 byte
      {"\xc0\xaf", "\xc0\xaf", true, "\xc3\x80\xc2\xaf"},                  // overlong '/'
      {"\xed\xa0\x80", "\xed\xa0\x80", true, "\xc3\xad\xc2\xa0\xc2\x80"},  // surrogate
  };
  for (const Row& row : rows) {
    std::string latin1;
    EXPECT_EQ(WordToLatin1(row.input, latin1), row.word) << row.input;
    if (row.word) {
      EXPECT_EQ(latin1, row.latin1) << row.input;
    }
    EXPECT_EQ(WellFormedUtf8(row.input), row.utf8) << row.input;
  }
  // Characters outside Latin-1 keep their role where they have one.
  EXPECT_EQ(EngineByteOf(0x2014), '-');
  EXPECT_EQ(EngineByteOf(0x201C), '"');
  EXPECT_EQ(EngineByteOf(0x3000), ' ');
  EXPECT_EQ(EngineByteOf(0x1F600), NON_LATIN1_STAND_IN);
  EXPECT_EQ(Latin1ToUtf8Text("na\xefve"), "na\xc3\xafve");
}

TEST(SourcePosition, LinesAndColumnsCountCharacters) {
  const std::string input =
      "\xEF\xBB\xBF\xc3\xa9t\xc3\xa9 x\r\n"  // BOM, é: line 1
      "\xe4\xb8\xad\xf0\x9f\x98\x80 y\n"     // CJK, emoji: line 2
      "caf\xe9\t z\n";                       // a Latin-1 byte, a tab: line 3
  struct Row {
    size_t offset;
    size_t line;
    size_t column;
  };
  const std::vector<Row> rows = {{3, 1, 1},  {8, 1, 4},  {9, 1, 5},  {12, 2, 1},
                                 {20, 2, 4}, {22, 3, 1}, {28, 3, 7}, {25, 3, 4}};
  // In one piece, and again as pieces of 5 bytes read in order.
  SourcePosition whole;
  whole.SetPiece(input, 0);
  for (const Row& row : rows) {
    const TextPosition at = whole.At(row.offset);
    EXPECT_EQ(at.line, row.line) << row.offset;
    EXPECT_EQ(at.column, row.column) << row.offset;
  }
  SourcePosition pieces;
  size_t next = 0;
  for (size_t base = 0; base < input.size(); base += 5) {
    pieces.SetPiece(std::string_view(input).substr(base, 5), base);
    for (; next < rows.size() && rows[next].offset < base + 5; ++next) {
      const TextPosition at = pieces.At(rows[next].offset);
      EXPECT_EQ(at.line, rows[next].line) << rows[next].offset;
      EXPECT_EQ(at.column, rows[next].column) << rows[next].offset;
    }
    pieces.At(std::min(base + 5, input.size()));
  }
  // Latin-1 input: every byte is a character, a BOM is three.
  SourcePosition latin1(true);
  latin1.SetPiece("\xEF\xBB\xBFx", 0);
  EXPECT_EQ(latin1.At(3).column, 4u);
}

TEST(CommandLine, ParsesEveryFormAndRefusesBadValues) {
  CommonOptions options;
  DocumentOptions documents;
  SuggestionArgs suggestionArgs;
  std::vector<std::string> files;
  CommandLine line("test", "help");
  AddCommonOptions(line, options);
  AddDocumentOptions(line, documents);
  AddSuggestionOptions(line, suggestionArgs);
  line.app.add_option("files", files);
  ASSERT_EQ(ParseCommandLine(line, {"-d",
                                    "en_GB",
                                    "-des",
                                    "a.txt",
                                    "--dict=x.olx",
                                    "-p",
                                    "me.lex",
                                    "--replacements",
                                    "r.lex",
                                    "--ignore-caps",
                                    "--ignore-mixed",
                                    "--ignore-non-alpha",
                                    "--no-doubled",
                                    "--ignore-case-rules",
                                    "--max=3",
                                    "--level",
                                    "2",
                                    "--mode",
                                    "Markdown",
                                    "--no-skip",
                                    "urls,caps",
                                    "--tex-command",
                                    "\\gls:P",
                                    "--",
                                    "-"}),
            ParseOutcome::GO_ON);
  EXPECT_EQ(options.dictionaries, (std::vector<std::string>{"en_GB", "es", "x.olx"}));
  EXPECT_EQ(files, (std::vector<std::string>{"a.txt", "-"}));
  EXPECT_EQ(options.personalList, "me.lex");
  EXPECT_EQ(options.replacementList, "r.lex");
  EXPECT_EQ(CheckOptionBits(options), OPT_REPORT_MISSPELLED | OPT_IGNORE_CAPITALIZED |
                                          OPT_IGNORE_MIXED_CASE | OPT_IGNORE_NON_ALPHA);
  EXPECT_EQ(CheckOptionBits(CommonOptions{}),
            OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD | OPT_REPORT_WRONG_CASE);
  SuggestionOptions suggestion;
  ASSERT_TRUE(FinishSuggestionOptions(line, suggestionArgs, suggestion));
  EXPECT_EQ(suggestion.maxSuggestions, 3);
  EXPECT_TRUE(suggestion.classic);  // --level implies it
  ASSERT_TRUE(ResolveDocumentOptions(line, documents));
  ASSERT_NE(documents.format, nullptr);
  EXPECT_EQ(documents.format->name, "markdown");
  EXPECT_EQ(documents.skipKinds, NON_WORD_ALL & ~(NON_WORD_URL | NON_WORD_CAPS));
  ASSERT_EQ(documents.formatOptions.texCommands.size(), 1u);
  EXPECT_EQ(documents.formatOptions.texCommands[0].name, "gls");

  struct Bad {
    std::vector<std::string> args;
    std::string message;
  };
  for (const Bad& bad : std::vector<Bad>{
           {{"-d"}, "orthspell test: option --dict needs a value\n"},
           {{"--bogus"},
            "orthspell test: unknown option '--bogus' (try 'orthspell test --help')\n"},
           {{"--max", "101"}, "orthspell test: --max needs a number 0..100, not '101'\n"},
           {{"--mode", "klingon"}, "orthspell test: unknown mode 'klingon'"},
           {{"--no-skip", "urls,nope"}, "orthspell test: --no-skip: unknown kind 'nope'"},
           {{"--tex-command", "gls:X"}, "orthspell test: --tex-command is NAME:ARGS"},
       }) {
    CommonOptions common;
    DocumentOptions documentOptions;
    SuggestionArgs args;
    CommandLine fresh("test", "help");
    AddCommonOptions(fresh, common);
    AddDocumentOptions(fresh, documentOptions);
    AddSuggestionOptions(fresh, args);
    testing::internal::CaptureStderr();
    SuggestionOptions ignored;
    const bool ok = ParseCommandLine(fresh, bad.args) == ParseOutcome::GO_ON &&
                    FinishSuggestionOptions(fresh, args, ignored) &&
                    ResolveDocumentOptions(fresh, documentOptions);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(ok) << bad.args[0];
    EXPECT_EQ(err.rfind(bad.message, 0), 0u) << err;
  }
  long value = 0;
  for (const char* bad : {"", "-", "101", "4x", "-1", "99999999999"}) {
    EXPECT_FALSE(ParseNumber(bad, 0, 100, value)) << bad;
  }
}

TEST(NonWords, TokensThatAreNotWords) {
  struct Row {
    std::string token;
    NonWordKind kind;
  };
  const std::vector<Row> rows = {
      {"https://example.org/qq/x.", NON_WORD_URL},
      {"<www.example.org>", NON_WORD_URL},
      {"mailto:someone@example.org", NON_WORD_URL},
      {"someone@example.org,", NON_WORD_EMAIL},
      {"/usr/share/doc", NON_WORD_PATH},
      {"src/x/main.cpp", NON_WORD_PATH},
      {"docs/README.md", NON_WORD_PATH},
      {"~/x", NON_WORD_PATH},
      {"C:\\x", NON_WORD_PATH},
      {"(README.md)", NON_WORD_FILE},
      {"example.com", NON_WORD_FILE},
      {".bashrc", NON_WORD_FILE},
      {"os.path.join", NON_WORD_FILE},
      {"0xdeadbeef", NON_WORD_HEX},
      {"#a0b1c2", NON_WORD_HEX},
      {"3f2a9c1", NON_WORD_HASH},
      {"123e4567-e89b-12d3-a456-426614174000", NON_WORD_UUID},
      {"QmFzZTY0IGlzIG5vdCBhIHdvcmQ=", NON_WORD_BASE64},
      {"--build", NON_WORD_OPTION},
      {"-j2", NON_WORD_OPTION},
      {"$HOME", NON_WORD_VARIABLE},
      {"${HOME}/x", NON_WORD_VARIABLE},
      {"%PATH%", NON_WORD_VARIABLE},
      // Words, with the punctuation of running text around them.
      {"'sed'", NON_WORD_NONE},
      {"and/or", NON_WORD_NONE},
      {"e.g.", NON_WORD_NONE},
      {"end.", NON_WORD_NONE},
      {"well-known", NON_WORD_NONE},
      {"deadbeef", NON_WORD_NONE},  // hex letters only: a word
      {"-", NON_WORD_NONE},
      {"-5", NON_WORD_NONE},
      {"Antidisestablishmentarianism", NON_WORD_NONE},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ClassifyToken(row.token, NON_WORD_ALL), row.kind) << row.token;
    // A kind turned off is not skipped any more.
    if (row.kind != NON_WORD_NONE) {
      EXPECT_NE(ClassifyToken(row.token, NON_WORD_ALL & ~row.kind), row.kind) << row.token;
    }
  }
  struct Format {
    std::string text;
    size_t length;
  };
  for (const Format& row : std::vector<Format>{{"%s!", 2},
                                               {"%-5.2f", 6},
                                               {"%(name)s", 8},
                                               {"%lu", 3},
                                               {"%%", 2},
                                               {"{0}", 3},
                                               {"{name}", 6},
                                               {"{:>10}", 6},
                                               {"{0!r:^5}", 8},
                                               {"{a sentence}", 0},
                                               {"% of", 0},
                                               {"{", 0}}) {
    EXPECT_EQ(FormatDirectiveLength(row.text), row.length) << row.text;
  }
}

TEST(Directives, EveryPrefixAndKeyword) {
  struct Row {
    std::string text;
    std::vector<DirectiveKind> kinds;
    std::vector<std::string> words;  // of the first IGNORE_WORDS
  };
  const std::vector<Row> rows = {
      {"<!-- orthspell: disable -->", {DirectiveKind::DISABLE}, {}},
      {"// cspell:enable", {DirectiveKind::ENABLE}, {}},
      {"# spellchecker: disable-next-line", {DirectiveKind::DISABLE_NEXT_LINE}, {}},
      {"% Spell-Checker: disable-line", {DirectiveKind::DISABLE_LINE}, {}},
      {"/* cspell:ignore qqone, qqtwo */ x", {DirectiveKind::IGNORE_WORDS}, {"qqone", "qqtwo"}},
      {"cspell:words zorblat\nmore text", {DirectiveKind::IGNORE_WORDS}, {"zorblat"}},
      {"a: orthspell:disable b orthspell:enable\northspell:enable",
       {DirectiveKind::DISABLE, DirectiveKind::ENABLE},
       {}},
      {"myorthspell: disable", {}, {}},  // not a prefix of its own
      {"orthspell: dance", {}, {}},      // not a keyword
      {"see cspell.org: disable", {}, {}},
  };
  for (const Row& row : rows) {
    std::vector<Directive> found;
    FindDirectives(row.text, found);
    ASSERT_EQ(found.size(), row.kinds.size()) << row.text;
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].kind, row.kinds[i]) << row.text;
      EXPECT_LT(found[i].begin, found[i].end);
      // The directive's text ends at its line or comment.
      const std::string_view text =
          std::string_view(row.text).substr(found[i].begin, found[i].end - found[i].begin);
      EXPECT_EQ(text.find('\n'), std::string_view::npos);
      EXPECT_EQ(text.find("*/"), std::string_view::npos);
      EXPECT_EQ(text.find("-->"), std::string_view::npos);
    }
    if (!row.words.empty()) {
      EXPECT_EQ(found[0].words, row.words);
    }
  }
}

TEST(IdentifierParts, SplitWhereCaseOrKindChanges) {
  struct Row {
    std::string word;
    std::vector<std::string> parts;
  };
  const std::vector<Row> rows = {
      {"camelCase", {"camel", "Case"}},
      {"LuaTeX", {"Lua", "TeX"}},
      {"HTTPServer", {"HTTP", "Server"}},
      {"SimpleXMLTokenizer", {"Simple", "XML", "Tokenizer"}},
      {"PDFLoader", {"PDF", "Loader"}},
      {"GL11Version", {"GL", "11", "Version"}},
      {"vimRPCPlugin", {"vim", "RPC", "Plugin"}},
      {"99Bottles", {"99", "Bottles"}},
      {"BFG9000", {"BFG", "9000"}},
      {"Hello", {"Hello"}},
      {"HTTP", {"HTTP"}},
      {"don't", {"don't"}},
      {"O'Neill", {"O'Neill"}},
      {"appliqu\xe9s", {"appliqu\xe9s"}},
      {"na\xefveWord", {"na\xefve", "Word"}},
  };
  for (const Row& row : rows) {
    std::vector<WordPart> parts;
    SplitIdentifier(row.word, parts);
    std::vector<std::string> texts;
    for (const WordPart& part : parts) texts.push_back(row.word.substr(part.begin, part.length));
    EXPECT_EQ(texts, row.parts) << row.word;
  }
}

}  // namespace
}  // namespace orth::cli
