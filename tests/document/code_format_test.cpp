// The code format: comments and strings are checked in every language, code
// is not; escapes, substitutions and unterminated constructs; the same words
// whatever the pieces the input comes in.
#include <gtest/gtest.h>

#include "document/code_languages.h"
#include "document/document_format.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::Recording;
using testing::RecordOptions;
using testing::RecordSpans;

const DocumentFormat& Code() {
  return *FindFormat("code");
}

Recording Record(const std::string& mode, const std::string& input, size_t window = 0) {
  RecordOptions options;
  options.modeName = mode;
  options.window = window;
  return RecordSpans(Code(), input, options);
}

// Every word with its place and role, to compare two readings.
std::string Words(const Recording& recording) {
  std::string out;
  for (const auto& word : recording.words) {
    out += word.word + "@" + std::to_string(word.line) + ":" + std::to_string(word.column) +
           (word.role == TextRole::COMMENT ? "c " : "s ");
  }
  return out;
}

struct Row {
  std::string mode;
  std::string input;
  std::vector<std::pair<std::string, std::string>> found;  // word, "line:column"
  std::vector<std::string> absent;
};

void Expect(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode + ": " + row.input);
    const Recording recording = Record(row.mode, row.input);
    ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
    for (const auto& [word, place] : row.found) EXPECT_EQ(recording.At(word), place) << word;
    for (const std::string& word : row.absent) EXPECT_FALSE(recording.Has(word)) << word;
  }
}

TEST(CodeFormat, CommentsAndStringsAreCheckedCodeIsNot) {
  Expect({
      {"c",
       "int qqIdent = 0x1F; // tail note\n/* block\n   text */ f(\"str\");",
       {{"tail", "1:24"}, {"block", "2:4"}, {"text", "3:4"}, {"str", "3:15"}},
       {"qqIdent", "int", "x1F", "f"}},
      {"python",
       "import qqmod\nx = 'one' + \"two\"  # note\n",
       {{"one", "2:6"}, {"two", "2:14"}, {"note", "2:22"}},
       {"qqmod", "import", "x"}},
      {"sh",
       "qqcmd --flag 'single' \"double\" # note\n",
       {{"single", "1:15"}, {"double", "1:24"}, {"note", "1:34"}},
       {"qqcmd", "flag"}},
      {"typescript",
       "const qqVar: string = `tmpl` + 'one' /* c */ + \"two\";",
       {{"tmpl", "1:24"}, {"one", "1:33"}, {"c", "1:41"}, {"two", "1:49"}},
       {"qqVar", "const", "string"}},
      {"rust",
       "/// Doc line\nfn qqfn() { let s = \"text\"; }",
       {{"Doc", "1:5"}, {"text", "2:22"}},
       {"qqfn", "fn", "let"}},
      {"go",
       "func qqF() { s := `raw` + \"str\" } // end",
       {{"raw", "1:20"}, {"str", "1:28"}},
       {"qqF"}},
      {"java", "String qqS = \"\"\"\n  block text\"\"\";", {{"block", "2:3"}}, {"qqS", "String"}},
      {"csharp",
       "var qqV = @\"verbatim\" + $\"interp\";",
       {{"verbatim", "1:13"}, {"interp", "1:27"}},
       {"qqV"}},
      {"kotlin",
       "val qqK = \"\"\"raw\"\"\" /* a /* nested */ end */ val",
       {{"raw", "1:14"}, {"end", "1:39"}},
       {"qqK", "val"}},
      {"swift", "let qqW = #\"raw\"# + \"str\"", {{"raw", "1:13"}, {"str", "1:22"}}, {"qqW"}},
      // The generic fallback: # and // at the start of a word, /* */.
      {"code",
       "qqcall \"str\" # hash\nurl = 'http://qqhost' // slash\na#qqb /* block */",
       {{"str", "1:9"}, {"hash", "1:16"}, {"http", "2:8"}, {"slash", "2:26"}, {"block", "3:10"}},
       {"qqcall", "qqb", "url"}},
  });
}

TEST(CodeFormat, EscapesAreDecodedOrBreakWords) {
  struct EscapeRow {
    std::string mode;
    std::string input;
    std::string checked;  // decoded text, "|" for each break
  };
  const std::vector<EscapeRow> rows = {
      {"c", R"(s = "Hello\nWorld\tTab";)", "Hello\nWorld\tTab|"},
      {"c", R"("don\'t \"q\" a\\b")", "don't \"q\" a\\b|"},
      {"c", R"("\x41BC \101x \0end \u00e9t\u00e9 \U0001F600")",
       "ABC Ax |end \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80|"},
      {"js", R"('\u{e9}t\u{e9} \d+ caf\xe9 \q')", "\xC3\xA9t\xC3\xA9 |+ caf| ||"},
      {"c", "\"line \\\n joined\"", "line | joined|"},
      // Raw strings have no escapes.
      {"python", R"(r"raw\n \" \\")", "raw\\n \" \\|"},
      {"rust", R"(r#"a "b" \n"#)", "a \"b\" \\n|"},
      {"cpp", R"T(R"x(a )" \n)x")T", "a )\" \\n|"},
      {"go", R"(`a \n`)", "a \\n|"},
      {"sh", R"('no \n' "yes\n")", "no \\n|yes\n|"},
      {"csharp", R"(@"say ""hi"" \n")", "say \"hi\" \\n|"},
  };
  for (const EscapeRow& row : rows) {
    const Recording recording = Record(row.mode, row.input);
    ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
    EXPECT_EQ(recording.checked, row.checked) << row.mode << ": " << row.input;
  }
  const Recording split = Record("c", "x = \"Hello\\nWorld\";");
  EXPECT_EQ(split.At("World"), "1:13");
  EXPECT_FALSE(split.Has("nWorld"));
}

TEST(CodeFormat, IncludesShebangsCharactersAndSubstitutionsAreSkipped) {
  Expect({
      {"c",
       "#include <qqheader.h> // kept\n# include \"qqlocal.h\"\n#pragma qqpragma(\"qqp\")\n"
       "char c = 'q', d = '\\n'; x = 1'000; // after\n#define M \"macro\"",
       {{"kept", "1:26"}, {"after", "4:39"}, {"macro", "5:12"}},
       {"qqheader", "qqlocal", "qqpragma", "qqp", "q", "n"}},
      {"sh", "#!/usr/bin/qqinterp -x\n# real comment", {{"real", "2:3"}}, {"qqinterp", "usr"}},
      {"rust",
       "fn f<'qqa>(x: &'qqa str) -> char { 'q' } // note 'quoted'",
       {{"note", "1:45"}, {"quoted", "1:51"}},
       {"qqa", "q", "str"}},
      {"js",
       "x = `Hi ${qqvar + `in ${qqdeep}`} there`; r = /qq[\"']re/g; // end",
       {{"Hi", "1:6"}, {"in", "1:20"}, {"there", "1:35"}, {"end", "1:63"}},
       {"qqvar", "qqdeep", "qq", "re"}},
      {"python",
       "f\"Hi {qqvar!r:>{qqw}} {{lit}}\" rb'raw'",
       {{"Hi", "1:3"}, {"lit", "1:25"}, {"raw", "1:35"}},
       {"qqvar", "qqw", "r"}},
      {"sh",
       "echo \"Hi $qqv ${qqw:-x} $(qqcmd \"in\") $((1<<2)) `qqbt` $1 end\" a#qqb $# ${#qqarr}",
       {{"Hi", "1:7"}, {"in", "1:34"}, {"end", "1:59"}},
       {"qqv", "qqw", "qqcmd", "qqbt", "qqb", "qqarr"}},
      {"kotlin",
       "\"Hi $qqname ${qqexpr} end\"",
       {{"Hi", "1:2"}, {"end", "1:23"}},
       {"qqname", "qqexpr"}},
      {"swift", "\"Hi \\(qqname) end\"", {{"Hi", "1:2"}, {"end", "1:15"}}, {"qqname"}},
      {"csharp", "$\"Hi {qqx} {{lit}}\"", {{"Hi", "1:3"}, {"lit", "1:14"}}, {"qqx"}},
      {"ruby", "\"Hi #{qqname} end\"", {{"Hi", "1:2"}, {"end", "1:15"}}, {"qqname"}},
      {"go",
       "type T struct {\n\tName string `json:\"qqtag,omitempty\"`\n} // done",
       {{"done", "3:6"}},
       {"qqtag", "json", "omitempty"}},
  });
}

TEST(CodeFormat, UnterminatedAndNestedConstructs) {
  Expect({
      // A one-line string ends at the line end; the next line is code again.
      {"c", "s = \"open string\nqqcode(); // c1\n", {{"open", "1:6"}, {"c1", "2:14"}}, {"qqcode"}},
      {"python", "s = 'open\nqqcode  # c2\n", {{"open", "1:6"}, {"c2", "2:11"}}, {"qqcode"}},
      // A block comment, a triple-quoted string, a heredoc run on to the end.
      {"c", "/* never closed\nqqword \"x\" */ z", {{"never", "1:4"}, {"qqword", "2:1"}}, {}},
      {"python", "'''never closed\nqqword", {{"never", "1:4"}, {"qqword", "2:1"}}, {}},
      {"sh",
       "cat <<EOF\nnever ended $qqv\nqqword",
       {{"never", "2:1"}, {"qqword", "3:1"}},
       {"qqv", "EOF"}},
      // Markers inside the other construct are text.
      {"c",
       "s = \"a /* b\"; t = 1; // c \" d\nqqcode();",
       {{"b", "1:11"}, {"d", "1:29"}},
       {"qqcode"}},
      {"rust",
       "/* a /* b */ still */ qqcode /* c */",
       {{"still", "1:14"}, {"c", "1:33"}},
       {"qqcode"}},
      {"c", "/* a /* b */ qqcode */", {{"b", "1:9"}}, {"qqcode"}},
      {"sh",
       "cat <<-'END'\n\tlit $qqkept\n\tEND\nqqcode # after",
       {{"qqkept", "2:7"}, {"after", "4:10"}},
       {"qqcode", "END"}},
  });
}

TEST(CodeFormat, CommentRunsRolesAndDocstrings) {
  struct RunRow {
    std::string mode;
    std::string input;
    std::string checked;
  };
  const std::vector<RunRow> rows = {
      // Line comments that start their lines form one span; a trailing
      // comment, a blank line or code between them ends it.
      {"c", "// one\n  // two\nx; // three\n// four\n\n// five",
       " one\n two\n| three\n four\n| five|"},
      {"python", "# a\nx = 1\n# b\n", " a\n| b\n|"},
      {"python", "def f():\n    \"\"\"Doc\n    more.\"\"\"\n    return \"s\"", "Doc\n    more.|s|"},
  };
  for (const RunRow& row : rows) {
    const Recording recording = Record(row.mode, row.input);
    ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
    EXPECT_EQ(recording.checked, row.checked) << row.input;
  }
  const Recording roles =
      Record("python", "\"\"\"Module doc.\"\"\"\nx = (\n  \"\"\"arg\"\"\")\ny = \"val\"  # note\n");
  ASSERT_EQ(roles.words.size(), 5u);
  const std::vector<TextRole> expected = {TextRole::COMMENT, TextRole::COMMENT, TextRole::STRING,
                                          TextRole::STRING, TextRole::COMMENT};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(roles.words[i].role, expected[i]) << roles.words[i].word;
  }
}

TEST(CodeFormat, HostileBytesKeepPositions) {
  Expect({
      {"c",
       "\xEF\xBB\xBF// bom word\r\nx = \"crlf\"; // end\r\n",
       {{"bom", "1:5"}, {"crlf", "2:6"}, {"end", "2:16"}},
       {}},
      {"c",
       "\t/*\ttab\t*/ \"\tx\" // \xE2\x86\x92 \xE4\xB8\xAD qqword",
       {{"tab", "1:5"}, {"x", "1:14"}, {"qqword", "1:24"}},
       {}},
      {"sh",
       "\xEF\xBB\xBF#!/bin/qqsh\necho \"a\xE2\x80\x94word\"",
       {{"a\xE2\x80\x94word", "2:7"}},
       {"qqsh"}},
      {"python",
       "s = 'a\\\r\nb'  # crlf splice\r\n",
       {{"a", "1:6"}, {"b", "2:1"}, {"crlf", "2:7"}},
       {}},
  });
}

TEST(CodeFormat, LanguageFromModeFileNameOrInterpreter) {
  struct ChoiceRow {
    std::string mode;
    std::string fileName;
    std::string head;
    std::string language;  // the first mode name of the chosen row
  };
  const std::vector<ChoiceRow> rows = {
      {"ccpp", "x.py", "#!/bin/sh\n", "c"},
      {"shellscript", "", "", "shellscript"},
      {"typescriptreact", "", "", "javascript"},
      {"code", "src/lib.RS", "", "rust"},
      {"code", "tool", "#!/usr/bin/env -S python3.12 -u\n", "python"},
      {"code", "run", "#!/bin/bash -e\n", "shellscript"},
      {"code", "Makefile", "", "ruby"},
      {"code", "notes", "plain\n", "ruby"},
  };
  for (const ChoiceRow& row : rows) {
    ParserContext context;
    context.modeName = row.mode;
    context.fileName = row.fileName;
    context.head = row.head;
    EXPECT_EQ(ChooseCodeLanguage(context).modeNames[0], row.language) << row.mode << row.fileName;
  }
  EXPECT_EQ(DetectFormat("main.go", "").name, "code");
  EXPECT_EQ(DetectFormat("x", "#!/usr/bin/env node\n").name, "code");
}

// The same words whether the file comes whole, in pieces of a 64-byte
// window, or line by line as the pipe mode feeds it.
TEST(CodeFormat, StreamingGivesTheWholeFileWords) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"c",
       "/* A block comment\n   over lines */\n#include <qqh.h>\nint x; // one\n// two\n"
       "char* s = \"esc\\\n aped\";\n/* a comment line that is longer than the window of sixty "
       "four bytes */\n"},
      {"python", "'''Doc\nstring'''\nx = f\"{a}\"  # c\ns = '''multi\nline'''\n"},
      {"sh", "cat <<EOF\nbody $x text\nEOF\necho \"multi\nline $(cmd \"in\nner\")\" # done\n"},
      {"js", "t = `tmpl ${x +\n `in`} end\nline`; // c\nr = /re/; /* block\n end */\n"},
      {"rust", "/* a /* nested\n */ still */\nlet s = r#\"raw\n\"#; // x\n"},
  };
  for (const auto& [mode, file] : files) {
    SCOPED_TRACE(mode);
    const Recording whole = Record(mode, file);
    ASSERT_TRUE(whole.errors.empty()) << whole.errors[0];
    EXPECT_FALSE(whole.words.empty());
    RecordOptions small;
    small.modeName = mode;
    small.window = 64;
    small.readSize = 3;
    const Recording pieces = RecordSpans(Code(), file, small);
    ASSERT_TRUE(pieces.errors.empty()) << pieces.errors[0];
    EXPECT_EQ(Words(pieces), Words(whole));

    ParserContext context;
    context.modeName = mode;
    FormatOptions options;
    context.options = &options;
    const auto parser = Code().make(context);
    testing::detail::RecordingSink sink(file);
    size_t base = 0;
    while (base < file.size()) {
      const std::string_view line =
          std::string_view(file).substr(base, file.find('\n', base) + 1 - base);
      sink.BeginPiece(line, base);
      EXPECT_EQ(parser->Parse(line, base, InputEnd::FULL, sink), line.size());
      base += line.size();
    }
    parser->Parse({}, base, InputEnd::LAST, sink);
    sink.CollectWords();
    ASSERT_TRUE(sink.recording.errors.empty()) << sink.recording.errors[0];
    EXPECT_EQ(Words(sink.recording), Words(whole));
  }
}

}  // namespace
}  // namespace orth::cli
