// The html format: which text and attributes are checked, how words run
// across tags and entities, hostile markup, and reading in pieces (a small
// window, the pipe's one line at a time, Markdown's HTML fragments).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "document/document_format.h"
#include "document/html_fragments.h"
#include "document/html_spans.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::Recording;
using testing::RecordOptions;
using testing::RecordSpans;

const DocumentFormat& Html() {
  return *FindFormat("html");
}

using Row = testing::DocumentRow;

void ExpectRows(const std::vector<Row>& rows) {
  testing::ExpectDocumentRows(Html(), rows);
}

TEST(HtmlFormat, TextNodesAndProseAttributesAreCheckedCodeAndMarkupAreNot) {
  ExpectRows({
      {"<!DOCTYPE html><p class=qqclass>Some text</p>",
       {{"Some", "1:33"}, {"text", "1:38"}},
       {"qqclass", "DOCTYPE", "html", "p"}},
      {"<img src=qqsrc.png alt='A kitten' title=Cute><a href=qqhref>link</a>",
       {{"kitten", "1:27"}, {"Cute", "1:41"}, {"link", "1:61"}},
       {"qqsrc", "png", "qqhref"}},
      {"<input placeholder=\"Your name\" aria-label=Name value=qqtyped>",
       {{"Your", "1:21"}, {"Name", "1:43"}},
       {"qqtyped"}},
      {"<input type=Submit value='Send now'><meta name=description content=\"About cats\">",
       {{"Send", "1:27"}, {"About", "1:69"}},
       {}},
      {"<meta name=keywords content=qqkeys><option value=qqvalue>Choice</option>",
       {{"Choice", "1:58"}},
       {"qqkeys", "qqvalue"}},
      // What is code or not prose; a script's "</div>" does not end it.
      {"<script>if (a) { s = \"</div> qqscript\"; }</script>after",
       {{"after", "1:51"}},
       {"qqscript", "div"}},
      {"<style>p { qqstyle: 1 }</style><pre>qqpre <b>qqbold</b></pre><code>qqcode</code>ok",
       {{"ok", "1:81"}},
       {"qqstyle", "qqpre", "qqbold", "qqcode"}},
      {"<kbd>qqkbd</kbd> <samp>qqsamp</samp> <var>qqvar</var> <tt>qqtt</tt> <math><mi>qqmi</mi>"
       "</math> <xmp><b>qqxmp</b></xmp> end",
       {{"end", "1:120"}},
       {"qqkbd", "qqsamp", "qqvar", "qqtt", "qqmi", "qqxmp"}},
      // The element's own tooltip is prose, even on code.
      {"<code title='Returns nothing'>qqcode</code>", {{"Returns", "1:14"}}, {"qqcode"}},
      // <title> and <textarea> hold prose, markup in them included.
      {"<title>My <b>Page</b></title><textarea>Type &amp; send</textarea>",
       {{"My", "1:8"}, {"Page", "1:14"}, {"Type", "1:40"}, {"send", "1:51"}},
       {"b"}},
      // XML: declarations, CDATA, namespaces and entities a DTD defines.
      {"<?xml version=\"1.0\"?><doc><![CDATA[ qqcdata <x> & ]]><dc:title>Title</dc:title>"
       "<p>The &product; is &qqfoo; ready</p></doc>",
       {{"Title", "1:64"}, {"The", "1:83"}, {"ready", "1:108"}},
       {"qqcdata", "xml", "version", "product", "qqfoo"}},
  });
}

TEST(HtmlFormat, WordsRunAcrossInlineTagsAndEntitiesButNotBlocks) {
  ExpectRows({
      {"<b>bo</b>ld <i>it</i><em>al</em><span>ic</span>",
       {{"bold", "1:4"}, {"italic", "1:16"}},
       {"bo", "ld"}},
      {"na&iuml;ve caf&eacute; r&#233;sum&#xE9; fa&ccedil;ade",
       {{"naïve", "1:1"}, {"café", "1:12"}, {"résumé", "1:24"}, {"façade", "1:41"}},
       {}},
      // Old names without ';', in text, not in attribute values before '='.
      {"caf&eacute au lait <a title='x?a=1&copy=2'>&notit;</a> AT&T",
       {{"café", "1:1"}, {"copy", "1:36"}, {"¬it", "1:44"}, {"AT", "1:56"}},
       {"©"}},
      {"<img alt='cr&egrave;me br&ucirc;l&eacute;e'>", {{"crème", "1:11"}, {"brûlée", "1:24"}}, {}},
      {"hy&shy;phen sup<wbr>er re<!-- -->joined",
       {{"hyphen", "1:1"}, {"super", "1:13"}, {"rejoined", "1:24"}},
       {"hy", "phen", "sup"}},
      {"<p>one</p><p>two</p>three<br>four<div>five</div><li>six<td>seven",
       {{"one", "1:4"},
        {"two", "1:14"},
        {"three", "1:21"},
        {"four", "1:30"},
        {"five", "1:39"},
        {"six", "1:53"},
        {"seven", "1:60"}},
       {"onetwo", "twothree", "threefour", "fourfive"}},
      // A checked attribute is a span of its own; white space between tags
      // still parts words.
      {"word<img alt=Alt>next a<b> </b>b",
       {{"word", "1:1"}, {"Alt", "1:14"}, {"next", "1:18"}},
       {"wordAlt", "AltNext", "ab"}},
  });
}

TEST(HtmlFormat, CharacterReferencesAndCommentsReadAsBrowsersReadThem) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"&#0;&#x110000;&#xD800;&#0000000000000000065;", "\uFFFD\uFFFD\uFFFDA|"},
      {"&#150;&#128;&#x81;&#x1F600;", "\u2013\u20AC\u0081\U0001F600|"},
      {"&CounterClockwiseContourIntegral;&NotEqualTilde;&fjlig;", "\u2233\u2242\u0338fj|"},
      {"&amp &ampx &#; &#x; &; & x &#38", "& &x &#; &#x; &; & x &|"},
      {"<a title='&ampx &amp=1 &amp;'>", "|&ampx &amp=1 &||"},
      {"a&qqfoo;b &QQ;", "a|b ||"},
      // Comments end where HTML ends them, and render as nothing.
      {"a<!-->b<!--->c<!-- x --!>d<!-- -- -->e<!--", "abcde|"},
      {"<!DOCTYPE x [ <!ENTITY a \"qq\"> ]>f<?php qq ?>g</ qq>h", "| ]>f|g|h|"},
  };
  for (const auto& [input, checked] : rows) {
    const Recording recording = RecordSpans(Html(), input);
    ASSERT_TRUE(recording.errors.empty()) << input << ": " << recording.errors[0];
    EXPECT_EQ(recording.checked, checked) << input;
  }
  const Recording comments = RecordSpans(Html(), "a<!-->b<!-- x --!>c<!-- open");
  EXPECT_EQ(comments.comments, (std::vector<std::string>{"<!-->", "<!-- x --!>", "<!-- open"}));
}

TEST(HtmlFormat, HostileMarkupNeverLosesTheTextAroundIt) {
  ExpectRows({
      {"<div>unclosed <p>para <b>bold <i>deep", {{"unclosed", "1:6"}, {"deep", "1:34"}}, {}},
      // A '<' before a letter opens a tag, here one that never ends.
      {"3 < 4 and x<5 ok c<d e",
       {{"and", "1:7"}, {"x", "1:11"}, {"ok", "1:15"}, {"c", "1:18"}},
       {"d", "e"}},
      {"</b>", {}, {"b"}},
      {"x</span>y </div>z", {{"x", "1:1"}, {"y", "1:9"}, {"z", "1:17"}}, {"xy"}},
      {"line one\r\n<p>two\tthree</p>\r\n<p title=\"a\r\nb\">four",
       {{"one", "1:6"}, {"two", "2:4"}, {"three", "2:8"}, {"b", "4:1"}, {"four", "4:4"}},
       {}},
      {"\xEF\xBB\xBF<p>bom first", {{"bom", "1:5"}, {"first", "1:9"}}, {}},
      {"\xE2\x80\x9C\xCE\xB1\xCE\xB2\xE2\x80\x9D word \xF0\x9F\x98\x80text",
       {{"word", "1:6"}, {"\xF0\x9F\x98\x80text", "1:11"}},
       {}},
      // Unterminated constructs run to the end and hide what they hide.
      {"before <!-- qqcomment", {{"before", "1:1"}}, {"qqcomment"}},
      {"before <script>qqscript", {{"before", "1:1"}}, {"qqscript"}},
      {"before <img alt='qqnever", {{"before", "1:1"}}, {"qqnever"}},
      {"before <![CDATA[ qqcdata", {{"before", "1:1"}}, {"qqcdata"}},
      // XHTML's empty elements are empty, even those HTML would leave open.
      {"<script src=x.js/>shown <code/>shown2 <title/>shown3",
       {{"shown", "1:19"}, {"shown2", "1:32"}, {"shown3", "1:47"}},
       {}},
      // Attributes without a value, values that start with a reference, and
      // <body>'s own (gumbo misplaces or drops all three).
      {"<img alt>x <p title alt=Why>y</p> <p alt=&eacute;t&eacute; title=\"two words\">"
       "<body title=Body>",
       {{"Why", "1:25"}, {"été", "1:42"}, {"two", "1:67"}, {"Body", "1:90"}},
       {"alt", "title"}},
      // The parser's copies of a misnested <code> do not hide what follows.
      {"<p>x<code>qqcode</p>after", {{"after", "1:21"}}, {"qqcode"}},
      // Text the table parser moves before the table is still read in order.
      {"<table>ab<tr><td>cd</td>ef</table>", {{"ab", "1:8"}, {"cd", "1:18"}, {"ef", "1:25"}}, {}},
  });
  const Recording comment = RecordSpans(Html(), "<p>a<!-- cspell:disable -->b</p>");
  ASSERT_TRUE(comment.errors.empty());
  EXPECT_EQ(comment.comments, std::vector<std::string>{"<!-- cspell:disable -->"});
}

TEST(HtmlFormat, DeepAndWideMarkupStaysCorrectAndFast) {
  // Gumbo's work grows with the square of the nesting depth; hostile pages
  // are kept to a bounded depth, and their text is still found.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += i % 2 == 0 ? "<div>" : "<span>";
  deep += "deepword";
  std::string formatting;
  for (int i = 0; i < 5000; ++i) formatting += "<p><b id=" + std::to_string(i) + "></p>.";
  formatting += " lastword";
  std::string attributes = "<img";
  for (int i = 0; i < 20000; ++i) attributes += " a" + std::to_string(i) + "=1";
  attributes += " alt=ignored>afterword";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {deep, "deepword"}, {formatting, "lastword"}, {attributes, "afterword"}};
  RecordOptions large;
  large.readSize = 1 << 16;
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [input, word] : rows) {
    const Recording recording = RecordSpans(Html(), input, large);
    ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
    EXPECT_TRUE(recording.Has(word)) << word;
  }
  // Well under a second; unbounded, the nesting alone takes twenty seconds.
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

// What a whole-document parse and a tiny window (pieces cut at line ends,
// state carried over) must agree on.
const char* const kLongDocument =
    "<html><body>\n"
    "<p>alpha beta <b>gam</b>ma &eacute;t&eacute;</p>\n"
    "<!-- note: a comment long enough to be cut by the window qqcomment -->\n"
    "<pre>\n"
    "qqpre one\n"
    "qqpre two, a line long enough to be cut in a window of sixty-four\n"
    "</pre>\n"
    "<p>delta <code>qqcode</code> epsilon</p>\n"
    "<script>\n"
    "var qqjs = \"</div>\"; // a long line of code that keeps going and going\n"
    "</script>\n"
    "<p title=\"tooltip words\">eta <img\n"
    "  src=\"qqsrc.png\" alt=\"theta\">iota</p>\n"
    "<style>\n.qqcss { color: red; }\n</style><title>Kappa\nlambda</title>\n"
    "<img alt=\"mu\nnu\" src=qqsrc.png></body></html>\n";

TEST(HtmlFormat, ATinyWindowReadsWhatTheWholeDocumentReads) {
  const Recording whole = RecordSpans(Html(), kLongDocument);
  ASSERT_TRUE(whole.errors.empty()) << whole.errors[0];
  RecordOptions tiny;
  tiny.window = 64;
  tiny.readSize = 5;
  const Recording pieces = RecordSpans(Html(), kLongDocument, tiny);
  ASSERT_TRUE(pieces.errors.empty()) << pieces.errors[0];
  std::vector<std::string> expected = {"alpha",   "beta",    "gamma",  "été", "delta",
                                       "epsilon", "tooltip", "words",  "eta", "theta",
                                       "iota",    "Kappa",   "lambda", "mu",  "nu"};
  for (const Recording* recording : {&whole, &pieces}) {
    std::vector<std::string> words;
    for (const auto& word : recording->words) words.push_back(word.word);
    EXPECT_EQ(words, expected) << recording->checked;
    EXPECT_EQ(recording->At("epsilon"), "8:30");
    EXPECT_EQ(recording->At("lambda"), "17:1");
  }
  std::string comments;
  for (const std::string& part : pieces.comments) comments += part;
  EXPECT_EQ(comments, "<!-- note: a comment long enough to be cut by the window qqcomment -->");
  // Cut after an inline tag, the next piece starts with the space between
  // two words.
  const Recording cut = RecordSpans(
      Html(), "<p>first words go here <a>Top</a> next word and more text to fill the window</p>",
      tiny);
  ASSERT_TRUE(cut.errors.empty()) << cut.errors[0];
  EXPECT_EQ(cut.At("Top"), "1:27");
  EXPECT_EQ(cut.At("next"), "1:35");
}

// Feeds `input` the way the pipe does: one line per call, each a full piece.
Recording RecordLines(const std::string& input) {
  ParserContext context;
  FormatOptions options;
  context.options = &options;
  auto parser = Html().make(context);
  testing::detail::RecordingSink sink(input);
  size_t position = 0;
  while (position < input.size()) {
    const size_t newline = input.find('\n', position);
    const size_t next = newline == std::string::npos ? input.size() : newline + 1;
    const std::string_view line(input.data() + position, next - position);
    sink.BeginPiece(line, position);
    EXPECT_EQ(parser->Parse(line, position, InputEnd::FULL, sink), line.size()) << line;
    position = next;
  }
  sink.CollectWords();
  return sink.recording;
}

TEST(HtmlFormat, ThePipeTakesEveryLineWholeAndCarriesWhatIsOpen) {
  const Recording recording = RecordLines(kLongDocument);
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
  // Tags and attribute values split over lines keep their prose.
  for (const char* word : {"gamma", "été", "delta", "epsilon", "eta", "theta", "iota", "Kappa",
                           "lambda", "mu", "nu"}) {
    EXPECT_TRUE(recording.Has(word)) << word << " in " << recording.checked;
  }
  EXPECT_EQ(recording.At("theta"), "13:24");
  EXPECT_EQ(recording.At("nu"), "19:1");
  for (const char* word : {"qqcomment", "qqpre", "qqcode", "qqjs", "div", "qqsrc", "qqcss"}) {
    EXPECT_FALSE(recording.Has(word)) << word << " in " << recording.checked;
  }
  // What ends a carried stretch: its end tag, or for <code> the next block.
  const std::vector<Row> rows = {
      {"<p>See <code>qqa\nqqb</p>after\n", {{"See", "1:4"}, {"after", "2:8"}}, {"qqa", "qqb"}},
      {"<pre>\nqqa\n<p>qqb\n</pre>after <kbd>qqc\nqqd</kbd> x\n",
       {{"after", "4:7"}, {"x", "5:11"}},
       {"qqa", "qqb", "qqc", "qqd"}},
      {"<!-- qqa\nqqb -- qqc\n-->after\n", {{"after", "3:4"}}, {"qqa", "qqb", "qqc"}},
      {"<script>\nqqa = '</p>';\n</script>after\n", {{"after", "3:10"}}, {"qqa", "p"}},
      {"<title>One\nTwo</title> <textarea>Three\n</textarea>\n",
       {{"One", "1:8"}, {"Two", "2:1"}, {"Three", "2:23"}},
       {}},
      {"<![CDATA[\nqqa\n]]>after <math>\n<mi>qqb</mi>\n</math>end\n",
       {{"after", "3:4"}, {"end", "5:8"}},
       {"qqa", "qqb"}},
  };
  for (const Row& row : rows) {
    const Recording lines = RecordLines(row.input);
    ASSERT_TRUE(lines.errors.empty()) << row.input << ": " << lines.errors[0];
    for (const auto& [word, at] : row.found) EXPECT_EQ(lines.At(word), at) << row.input << word;
    for (const std::string& word : row.absent) EXPECT_FALSE(lines.Has(word)) << row.input << word;
  }
}

TEST(HtmlFormat, MarkdownFragmentsAreReadOnTheirOwn) {
  // Markdown hands over "<b>", "</b>" and "<img>" one at a time, between
  // its own text: inline tags keep the word going, attributes are spans.
  const std::string input = "x <b>bo</b>ld <img alt=\"Fine cat\"> <!-- cspell:ignore qq --></div>";
  testing::detail::RecordingSink sink(input);
  sink.Text("x ", 0, TextRole::PROSE);
  EmitHtmlSpans("<b>", 2, sink);
  sink.Text("bo", 5, TextRole::PROSE);
  EmitHtmlSpans("</b>", 7, sink);
  sink.Text("ld ", 11, TextRole::PROSE);
  EmitHtmlSpans("<img alt=\"Fine cat\">", 14, sink);
  sink.Text(" ", 34, TextRole::PROSE);
  EmitHtmlSpans("<!-- cspell:ignore qq -->", 35, sink);
  EmitHtmlSpans("</div>", 60, sink);
  sink.CollectWords();
  const Recording& recording = sink.recording;
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
  EXPECT_EQ(recording.checked, "x bold ||Fine cat| |");
  EXPECT_EQ(recording.At("bold"), "1:6");
  EXPECT_EQ(recording.At("cat"), "1:30");
  EXPECT_EQ(recording.comments, std::vector<std::string>{"<!-- cspell:ignore qq -->"});
}

TEST(HtmlFormat, MarkdownFragmentsCarryWhatTheyLeaveOpen) {
  // An inline <kbd> around Markdown text, an HTML block line by line, a
  // comment over two pieces: pieces and the Markdown text between them.
  const std::vector<std::string> pieces = {
      "<kbd>",    "qqkey",    "</kbd>", " and ", "<div title='Block\n", "words'>\n",  "<pre>\n",
      "qqcode\n", "</pre>\n", "</div>", " ",     "<!-- cspell:words\n", "qqword -->", " done"};
  std::string input;
  for (const std::string& piece : pieces) input += piece;
  testing::detail::RecordingSink sink(input);
  HtmlFragments fragments;
  size_t offset = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const bool html = pieces[i].find_first_of("<>") != std::string::npos || i == 7;
    if (html) {
      fragments.Emit(pieces[i], offset, sink);
    } else if (!fragments.SkipsText()) {
      sink.Text(pieces[i], offset, TextRole::PROSE);
    }
    offset += pieces[i].size();
  }
  sink.CollectWords();
  const Recording& recording = sink.recording;
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
  EXPECT_EQ(recording.At("and"), "1:18");
  EXPECT_EQ(recording.At("Block"), "1:34");
  EXPECT_EQ(recording.At("words"), "2:1");
  EXPECT_EQ(recording.At("done"), "7:12");
  for (const char* word : {"qqkey", "qqcode", "qqword", "kbd", "pre"}) {
    EXPECT_FALSE(recording.Has(word)) << word << " in " << recording.checked;
  }
  EXPECT_EQ(recording.comments, (std::vector<std::string>{"<!-- cspell:words\n", "qqword -->"}));
}

}  // namespace
}  // namespace orth::cli
