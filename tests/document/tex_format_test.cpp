// The LaTeX format: which words are checked and where, which are skipped
// (every skipped word starts with "qq"), and that a document reads the same
// whole, in a small window and line by line as the pipe feeds it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "document/document_format.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::RecordOptions;
using testing::RecordSpans;

const DocumentFormat& Tex() {
  return *FindFormat("tex");
}

struct Row {
  std::string input;
  std::vector<std::pair<std::string, std::string>> found;  // word, "line:column"
};

// Every row: no broken contract, each expected word at its place, and no
// word starting with "qq".
void ExpectRows(const std::vector<Row>& rows, const RecordOptions& options = {}) {
  for (const Row& row : rows) {
    const auto recording = RecordSpans(Tex(), row.input, options);
    ASSERT_TRUE(recording.errors.empty()) << row.input << ": " << recording.errors[0];
    for (const auto& [word, at] : row.found) EXPECT_EQ(recording.At(word), at) << row.input;
    for (const auto& word : recording.words) {
      EXPECT_NE(word.word.substr(0, 2), "qq") << row.input << " checks " << word.word;
    }
  }
}

TEST(TexFormat, TextArgumentsAreCheckedAndOtherArgumentsSkipped) {
  ExpectRows({
      {"\\section[Shrt]{Intro \\emph{bo}ld}\\label{sec:qqlabel}",
       {{"Shrt", "1:10"}, {"Intro", "1:16"}, {"bold", "1:28"}}},
      {"\\section*\n{Nextline}", {{"Nextline", "2:2"}}},
      // A required argument may follow on the next line, an optional one not.
      {"Line end\\\\\n[Bracketword]", {{"Bracketword", "2:2"}}},
      {"See~\\ref{qqref}, \\cite[see][p.~5]{qqkey} and \\cite*{qqstar}.",
       {{"See", "1:1"}, {"see", "1:24"}, {"and", "1:42"}}},
      {"\\caption{Capword} \\footnote[3]{Noteword} \\item[Labelword] after",
       {{"Capword", "1:10"}, {"Noteword", "1:32"}, {"Labelword", "1:48"}, {"after", "1:59"}}},
      {"\\textcolor{qqred}{Redword} \\href{http://qqurl/%20}{Linkword} \\url{qqu}",
       {{"Redword", "1:19"}, {"Linkword", "1:52"}}},
      {"\\begin{tabular}{qqlll}\na & b \\\\ \\hline\n\\end{tabular}", {{"a", "2:1"}}},
      {"\\begin{figure}[qqhtbp]\n\\includegraphics[width=qqw]{qqfile}\n\\end{figure}", {}},
      {"\\usepackage[qqopt]{qqpkg} \\newcommand{\\qqname}[1]{\\textbf{qqbody #1}}\n"
       "\\def\\qqdef#1{qqbody} After",
       {{"After", "2:22"}}},
      {"\\texttt{qqcode} \\gls{qqgls}s \\SI{3}{\\qqunit} \\cref{qqref} \\hspace*{1cm}Word",
       {{"s", "1:28"}, {"Word", "1:72"}}},
      // A command the table does not know: braces checked, options skipped.
      {"\\unknown{Checkedarg}[Bracketword] \\unknownb[qqopts]{Argword}",
       {{"Checkedarg", "1:10"}, {"Bracketword", "1:22"}, {"Argword", "1:53"}}},
      {"\\begin{theorem}[Pythagoras] \\begin{qqenv}[qqopt] Envword \\end{qqenv}",
       {{"Pythagoras", "1:17"}, {"Envword", "1:50"}}},
  });
}

TEST(TexFormat, MathIsSkippedUpToItsEndOrABlankLine) {
  ExpectRows({
      {"Text $qqa + \\alpha$ and $$qqb$$ and \\(qqc\\) and \\[qqd\\] end",
       {{"Text", "1:1"}, {"end", "1:57"}}},
      {"\\begin{align*}\nqqe &= \\text{qqf}\n\\end{align*}\nAfter \\begin{equation}qqg"
       "\\end{equation} post",
       {{"After", "4:1"}, {"post", "4:41"}}},
      // A currency sign, not math; an escaped dollar is text.
      {"It costs $5 and $10 each, \\$3 or $qqh$.", {{"and", "1:13"}, {"each", "1:21"}}},
      {"Open $qqi\nqqj\n\nAfter math", {{"After", "4:1"}}},
      {"\\begin{gather}\nqqk\n \t\nBack", {{"Back", "4:1"}}},
  });
}

TEST(TexFormat, VerbatimIsSkipped) {
  ExpectRows({
      {"\\begin{verbatim}\nqqa \\end{itemize} $\n\\end{verbatim} After", {{"After", "3:16"}}},
      {"\\verb|qqb| \\verb*+qqc+ \\verb!qq d! \\verb%qqe% then", {{"then", "1:47"}}},
      {"\\lstinline[language=C]{qqf} \\lstinline|qqg| \\mintinline{qqlang}{qqh} done",
       {{"done", "1:70"}}},
      {"\\begin{lstlisting}[caption=qqi]\nqqj\n\\end{lstlisting}\n\\begin{minted}{python}\n"
       "qqk\n\\end{minted}\n\\begin{comment}\nqql\n\\end{comment}\nEnd",
       {{"End", "10:1"}}},
      {"\\verb|qqm\nNext line", {{"Next", "2:1"}}},
      // An unclosed verbatim environment runs to the end, blank lines and all.
      {"\\begin{Verbatim}\nqqn\n\nqqo\n", {}},
  });
}

TEST(TexFormat, CommentsGoToTheSinkUnlessChecked) {
  const std::string input = "Text % qqcomment \\% x\n\\% is text\n$a % qqmath\n$ % orthspell: off";
  const auto skipped = RecordSpans(Tex(), input);
  ASSERT_TRUE(skipped.errors.empty()) << skipped.errors[0];
  EXPECT_EQ(skipped.comments,
            (std::vector<std::string>{" qqcomment \\% x", " qqmath", " orthspell: off"}));
  EXPECT_EQ(skipped.At("is"), "2:4");
  EXPECT_FALSE(skipped.Has("qqcomment"));
  EXPECT_FALSE(skipped.Has("orthspell"));

  RecordOptions options;
  options.format.texCheckComments = true;
  const auto checked = RecordSpans(Tex(), input, options);
  ASSERT_TRUE(checked.errors.empty()) << checked.errors[0];
  EXPECT_EQ(checked.comments, skipped.comments);  // directives are read either way
  EXPECT_EQ(checked.At("qqcomment"), "1:8");
  EXPECT_EQ(checked.At("qqmath"), "3:6");
  for (const auto& word : checked.words) {
    const bool inComment = word.word.substr(0, 2) == "qq" || word.word == "orthspell" ||
                           word.word == "off" || (word.line == 1 && word.column > 5);
    EXPECT_EQ(word.role, inComment ? TextRole::COMMENT : TextRole::PROSE) << word.word;
  }
}

TEST(TexFormat, AccentsAndLetterCommandsJoinTheirWord) {
  ExpectRows({
      {"na\\\"ive na\\\"{\\i}ve {\\\"a}pfel \\'ecole caf\\'e",
       {{"naïve", "1:1"}, {"äpfel", "1:21"}, {"école", "1:30"}, {"café", "1:38"}}},
      {"Stra\\ss e \\O{}re \\c{c}a \\v{s}ek \\AA ngstr\\\"om",
       {{"Straße", "1:1"}, {"Øre", "1:11"}, {"ça", "1:18"}, {"šek", "1:25"}, {"Ångström", "1:33"}}},
      // Hyphenation points, grouping braces and fonts join; ties, thin
      // spaces and line breaks part words.
      {"Hy\\-phen\\-ated {T}he bo\\emph{ld} a~b x\\,y one\\\\two \\&c",
       {{"Hyphenated", "1:1"},
        {"The", "1:17"},
        {"bold", "1:22"},
        {"b", "1:36"},
        {"y", "1:41"},
        {"two", "1:48"}}},
  });
  const auto recording = RecordSpans(Tex(), "a~b one\\\\two \\\"{}x");
  for (const char* joined : {"ab", "onetwo"}) EXPECT_FALSE(recording.Has(joined));
  EXPECT_EQ(recording.At("x"), "1:18");
}

TEST(TexFormat, UserCommandsExtendAndOverrideTheTable) {
  RecordOptions options;
  options.format.texCommands = {{"todo", "op"}, {"textbf", "P"}, {"\\mycite", "oPx"}};
  ExpectRows({{"\\todo[Optword]{Todoword} \\textbf{qqbold} \\mycite[Note]{qqkey}{qqmore}",
               {{"Optword", "1:7"}, {"Todoword", "1:16"}, {"Note", "1:50"}}}},
             options);
}

TEST(TexFormat, BrokenInputDoesNotSwallowTheDocument) {
  ExpectRows({
      {"\\label{qqa{qqb}qqc} after", {{"after", "1:21"}}},
      {"\\label{qqd {qqe\nqqf\n\nBack", {{"Back", "4:1"}}},
      {"\\emph{open\n\n}Later", {{"open", "1:7"}, {"Later", "3:2"}}},
      {"\\begin{itemize\nItemword", {{"itemize", "1:8"}, {"Itemword", "2:1"}}},
      {"\\begin{equation}\nqqg\n\nAfter", {{"After", "4:1"}}},
      {"Line one\r\n\\section{Two}\r\n% qqc\r\nThree $qqx$ \\verb|qqv\r\nFour",
       {{"one", "1:6"}, {"Two", "2:10"}, {"Three", "4:1"}, {"Four", "5:1"}}},
      {"\tTabbed\t\\emph{word}", {{"Tabbed", "1:2"}, {"word", "1:15"}}},
      {"\xEF\xBB\xBF"
       "First word",
       {{"First", "1:2"}}},
      {"€ 😀 \\emph{Wort} 中 Zeichen", {{"Wort", "1:11"}, {"Zeichen", "1:19"}}},
      {"\\item[{Br]acket}] \\\xC3\xA9t\xC3\xA9 \\", {{"acket", "1:11"}}},
  });
  // Nesting deeper than the parser follows is read as plain groups.
  std::string deep;
  for (int i = 0; i < 400; ++i) deep += "\\footnote{";
  deep += "Deep \\label{qqlabel}";
  for (int i = 0; i < 400; ++i) deep += "}";
  ExpectRows({{deep + " after", {{"Deep", "1:4001"}, {"after", "1:4422"}}}});
  for (const char* end : {"\\", "\\verb", "$", "$$", "\\begin{", "\\\"", "\\section[", "\\c"}) {
    const auto recording = RecordSpans(Tex(), std::string("Word ") + end);
    EXPECT_TRUE(recording.errors.empty()) << end;
    EXPECT_EQ(recording.At("Word"), "1:1") << end;
  }
}

// The pipe hands a parser one line at a time, each to be taken whole.
testing::Recording RecordLineByLine(std::string_view input) {
  FormatOptions format;
  ParserContext context;
  context.options = &format;
  auto parser = Tex().make(context);
  testing::detail::RecordingSink sink(input);
  for (size_t start = 0; start < input.size();) {
    const size_t newline = input.find('\n', start);
    const size_t stop = newline == std::string_view::npos ? input.size() : newline + 1;
    const InputEnd end = stop == input.size() ? InputEnd::LAST : InputEnd::FULL;
    EXPECT_EQ(parser->Parse(input.substr(start, stop - start), start, end, sink), stop - start);
    start = stop;
  }
  sink.CollectWords();
  return sink.recording;
}

TEST(TexFormat, LineByLineAndInASmallWindowReadsAsTheWholeFile) {
  const std::string document =
      "\xEF\xBB\xBF\\documentclass[a4paper,\n  11pt]{article}\n\\begin{document}\n"
      "\\section\n[Short]\n{Long title} text $a +\nb$ after\r\n\\label{qqa\n qqb} more\n"
      "\\newcommand{\\qqc}{%\n  \\textbf{qqd}%\n}\nCosts $5 each\n and $qqe\nqqf$ or\n"
      "\\begin{verbatim}\nqqg\n\nqqh\n\\end{verbatim} na\\\"ive \\verb|qqi| x % qqj\n"
      "\\begin{align}\nqqk\n\\end{align}\n"
      "A line of prose longer than the window, cut between its words, never inside one.\n"
      "\\footnote{Long\n\nnote} \\item\n[Label] end\n\\end{document}\n";
  const auto whole = RecordSpans(Tex(), document);
  ASSERT_TRUE(whole.errors.empty()) << whole.errors[0];
  EXPECT_EQ(whole.At("title"), "6:7");
  EXPECT_EQ(whole.At("after"), "7:4");
  EXPECT_EQ(whole.At("inside"), "24:70");
  RecordOptions small;
  small.window = 64;
  small.readSize = 3;
  const auto windowed = RecordSpans(Tex(), document, small);
  const auto lines = RecordLineByLine(document);
  for (const auto* recording : {&windowed, &lines}) {
    ASSERT_TRUE(recording->errors.empty()) << recording->errors[0];
    ASSERT_EQ(recording->words.size(), whole.words.size());
    for (size_t i = 0; i < whole.words.size(); ++i) {
      EXPECT_EQ(recording->words[i].word, whole.words[i].word);
      EXPECT_EQ(recording->words[i].line, whole.words[i].line);
      EXPECT_EQ(recording->words[i].column, whole.words[i].column);
    }
  }
  for (const auto& word : whole.words) EXPECT_NE(word.word.substr(0, 2), "qq") << word.word;
}

}  // namespace
}  // namespace orth::cli
