// Man pages: text lines and the text arguments of macros are checked;
// requests, other arguments, escapes, definitions, examples and table
// layouts are not.
#include <gtest/gtest.h>

#include "document/document_format.h"
#include "document/line_feed.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::RecordSpans;

const DocumentFormat& Nroff() {
  return *FindFormat("man");
}

using Row = testing::DocumentRow;

void ExpectRows(const std::vector<Row>& rows) {
  testing::ExpectDocumentRows(Nroff(), rows);
}

TEST(NroffFormat, EscapesAreReadAsWhatTheyRender) {
  ExpectRows({
      // Fonts and sizes keep a word whole; \& and \c are nothing.
      {"a \\fBbol\\fPd and \\f(CWfix\\fR\\f[I]ed\\fP \\s-1UNIX\\s0 \\&word\n",
       {{"bold", "1:6"}, {"fixed", "1:23"}, {"UNIX", "1:44"}, {"word", "1:54"}},
       {"CW", "s"}},
      // Glyphs that are letters or apostrophes join the word; others part it.
      {"don\\(aqt caf\\(aqe caf\\[u00E9] na\\[:i]ve one\\(butwo \\e \\-\\-opt\n",
       {{"don't", "1:1"}, {"caf\xC3\xA9", "1:19"}, {"na\xC3\xAFve", "1:31"}, {"two", "1:48"}},
       {"aq", "bu", "u00E9"}},
      // Strings, registers, motions and widths are not text.
      {"x \\*[qqstr] y \\n[qqreg] z \\n(ab \\h'qqmove' \\w'qqwidth' end\n",
       {{"end", "1:56"}},
       {"qqstr", "qqreg", "ab", "qqmove", "qqwidth"}},
      // \c joins the next line's text; \# takes the line end with it.
      {"join\\c\n.B ed\nnex\\#gone\nt\n", {{"joined", "1:1"}, {"next", "3:1"}}, {"gone"}},
      // A comment to the line end, a comment line, and text after both.
      {".\\\" qqcomment line\ntext \\\" qqtrailing\nmore\n",
       {{"text", "2:1"}, {"more", "3:1"}},
       {"qqcomment", "qqtrailing"}},
  });
  const auto recording = RecordSpans(Nroff(), ".\\\" cspell: ignore qqword\ntext\n");
  ASSERT_EQ(recording.comments.size(), 1u);
  EXPECT_EQ(recording.comments[0], ".\\\" cspell: ignore qqword");
}

TEST(NroffFormat, MacrosCheckTheirTextArgumentsOnly) {
  ExpectRows({
      {".TH QQTITLE 1 2024 \"qqsource\"\n.SH \"SEE ALSO\"\n.SS Heading\n",
       {{"SEE", "2:6"}, {"Heading", "3:5"}},
       {"QQTITLE", "qqsource"}},
      // The alternating fonts join their arguments without spaces.
      {".BR qqone qqtwo\n.IR \"two words\" (1)\n.B bold words\n",
       {{"qqoneqqtwo", "1:5"}, {"two", "2:6"}, {"words", "2:10"}, {"bold", "3:4"}},
       {"qqone"}},
      // .IP checks its tag, not its indent; .TP's next line is the tag.
      {".IP \"qqtag text\" 4n\n.TP 8\n\\fB\\-\\-all\\fR\nbody\n",
       {{"qqtag", "1:6"}, {"all", "3:8"}, {"body", "4:1"}},
       {"n"}},
      // Requests and their arguments; conditions and what they hold.
      {".nr qqreg 3\n.ds qqname qqvalue\n.so qqfile\n.if n .B qqcond\n.in +4\nshown\n",
       {{"shown", "6:1"}},
       {"qqreg", "qqname", "qqvalue", "qqfile", "qqcond"}},
      // mdoc: text macros, and callable macros among the arguments.
      {".Sh DESCRIPTION\n.Nd lists qqthings\n.It Fl qqflag Ar qqarg\n.Op Fl a Em loudly\n"
       ".Xr qqpage 1\n",
       {{"DESCRIPTION", "1:5"}, {"qqthings", "2:11"}, {"loudly", "4:13"}},
       {"qqflag", "qqarg", "qqpage", "a"}},
  });
}

TEST(NroffFormat, DefinitionsExamplesEquationsAndTables) {
  ExpectRows({
      {".de QQ\n.ft B\nqqbody\n..\nafter\n.ig\nqqignored\n..\n.EX\nqqexample\n.EE\n"
       ".EQ\nx sup qqeqn\n.EN\n.nf\nnofill text\n.fi\n",
       {{"after", "5:1"}, {"nofill", "16:1"}},
       {"qqbody", "qqignored", "qqexample", "qqeqn"}},
      {".Vb 2\nqqverbatim\n.Ve\n.Bd -literal\nqqliteral\n.Ed\n.Bd -filled\nfilled text\n.Ed\n"
       ".de AA BB\n..\nqqstill\n.BB\nback\n'ig\nqqig\n..\n",
       {{"filled", "8:1"}, {"back", "14:1"}},
       {"qqverbatim", "qqliteral", "qqstill", "qqig"}},
      // tbl: options and layout skipped, cells and T{ blocks checked.
      {".TS\ntab(@);\nl lb.\nqqcell@other cell\n_\nT{\nblock text\nT}@last\n.TE\nafter\n",
       {{"qqcell", "4:1"}, {"other", "4:8"}, {"block", "7:1"}, {"last", "8:4"}, {"after", "10:1"}},
       {"lb"}},
      // Unterminated: a definition runs to the end, an open bracket to the
      // line end, and neither hangs.
      {"text \\f[qq\nnext\n.de XX\nqqswallowed\n",
       {{"text", "1:1"}, {"next", "2:1"}},
       {"qqswallowed"}},
  });
}

TEST(NroffFormat, SameWordsWholeInSmallPiecesAndLineByLine) {
  std::string page = "\xEF\xBB\xBF.\\\" comment\r\n.TH T 1\r\n.SH NAME\r\nqqname \\- a \tpage\r\n";
  for (int i = 0; i < 5; ++i)
    page += "A \\fBlong\\fP line of text that runs well past sixty-four bytes, number " +
            std::to_string(i) + "\n";
  page += "continued \\\n.qqnotarequest here\n\xE2\x9C\x93 \\(aqquoted\\(aq end\n";
  page += ".de XX\nqqhidden text in a definition that is long enough to be cut\n..\nlast\n";
  const auto whole = RecordSpans(Nroff(), page);
  testing::RecordOptions small;
  small.window = 64;
  small.readSize = 5;
  const auto pieces = RecordSpans(Nroff(), page, small);
  const auto lines = testing::RecordLineByLine(Nroff(), page);
  for (const auto* recording : {&whole, &pieces, &lines}) {
    ASSERT_TRUE(recording->errors.empty()) << recording->errors[0];
  }
  EXPECT_EQ(whole.At("qqnotarequest"), "11:2");  // a continued line is no request
  EXPECT_EQ(whole.At("quoted"), "12:7");
  EXPECT_FALSE(whole.Has("qqhidden"));
  EXPECT_EQ(whole.At("last"), "16:1");
  EXPECT_EQ(testing::WordList(pieces), testing::WordList(whole));
  EXPECT_EQ(testing::WordList(lines), testing::WordList(whole));
}

}  // namespace
}  // namespace orth::cli
