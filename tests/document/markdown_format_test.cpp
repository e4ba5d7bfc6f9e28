// The Markdown format: what is checked and skipped, where words are, and
// how a document read in pieces or a line at a time reads the same.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "document/document_format.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::Recording;
using testing::RecordOptions;
using testing::RecordSpans;

struct Row {
  std::string input;
  std::vector<std::pair<std::string, std::string>> at;  // word, "line:column"
  std::vector<std::string> absent;
};

const DocumentFormat& Markdown() {
  return *FindFormat("markdown");
}

void Expect(const Row& row, const Recording& recording, const std::string& how = "") {
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0] << how << "\n" << row.input;
  for (const auto& [word, position] : row.at) {
    EXPECT_EQ(recording.At(word), position) << word << how << "\n" << row.input;
  }
  for (const std::string& word : row.absent) {
    EXPECT_FALSE(recording.Has(word)) << word << how << "\n" << row.input;
  }
}

// Feeds `input` a line at a time, as the pipe mode does.
Recording RecordLines(std::string_view input) {
  ParserContext context;
  const FormatOptions options;
  context.options = &options;
  auto parser = Markdown().make(context);
  testing::detail::RecordingSink sink(input);
  for (size_t pos = 0; pos < input.size();) {
    const size_t newline = input.find('\n', pos);
    const size_t next = newline == std::string_view::npos ? input.size() : newline + 1;
    const std::string_view line = input.substr(pos, next - pos);
    sink.BeginPiece(line, pos);
    EXPECT_EQ(parser->Parse(line, pos, InputEnd::FULL, sink), line.size());
    pos = next;
  }
  sink.CollectWords();
  return sink.recording;
}

TEST(MarkdownFormat, ChecksProseAndSkipsCodeLinksAndMarkup) {
  const std::vector<Row> rows = {
      {"# Head qqa\n\nSome `qqcode` and ``q`qqtick`` text.\n\n    "
       "qqindented\n\n```sh\nqqfence\n```\n"
       "~~~\nqqtilde\n~~~\nafter\n",
       {{"Head", "1:3"}, {"text", "3:32"}, {"after", "13:1"}},
       {"qqcode", "qqtick", "qqindented", "qqfence", "sh", "qqtilde"}},
      // An unterminated fence runs to the end.
      {"Before\n\n```\nqqopen\n\nqqstill\n", {{"Before", "1:1"}}, {"qqopen", "qqstill"}},
      {"A [link *text*](https://x.org/qqurl \"qqtitle\") and <https://x.org/qqauto> and "
       "https://x.org/qqbare or qqmail@x.org.\n",
       {{"link", "1:4"}, {"text", "1:10"}, {"or", "1:100"}},
       {"qqurl", "qqtitle", "qqauto", "qqbare", "qqmail", "x"}},
      {"See [the qqlabel][qqref] and ![an image](qqpath.png \"qqimgtitle\")after.\n\n"
       "[qqref]: https://x.org/qqdefurl \"qqdeftitle\"\n",
       {{"qqlabel", "1:10"}, {"image", "1:35"}, {"after", "1:66"}},
       {"qqref", "qqpath", "png", "qqimgtitle", "qqdefurl", "qqdeftitle"}},
      {"Math $qqmath$ and $$qq display$$, but $5 and $10 stay.\n",
       {{"Math", "1:1"}, {"but", "1:35"}, {"and", "1:15"}, {"stay", "1:50"}},
       {"qqmath", "qq", "display"}},
      {"| one | `qqcell` |\n|-----|:--:|\n| a\\|b | ~~two~~ |\n\n- [x] done\n- [ ] open\n\n"
       "> quoted *line*\n> - item\n",
       {{"one", "1:3"},
        {"b", "3:6"},
        {"two", "3:12"},
        {"done", "5:7"},
        {"open", "6:7"},
        {"quoted", "8:3"},
        {"item", "9:5"}},
       {"qqcell", "x"}},
      // Emphasis marks join a word; nesting and mismatches are fine.
      {"**bo**ld, ***al*l** _a_*b* ~~st~~rike *un _closed\n",
       {{"bold", "1:3"}, {"all", "1:14"}, {"ab", "1:22"}, {"strike", "1:30"}, {"closed", "1:44"}},
       {"bo", "ld"}},
      {"---\ntitle: qqyaml\n# cspell: words qqword\n---\nBody\n",
       {{"Body", "5:1"}},
       {"title", "qqyaml", "qqword"}},
      {"+++\ntitle = \"qqtoml\"\n+++\nBody\n", {{"Body", "4:1"}}, {"qqtoml"}},
      // One marked word per construct; blank lines where CommonMark would
      // otherwise read a line into the block before it.
      {"---\n"
       "title: qqfrontmatter document\n"
       "---\n"
       "# Heading with qqheading word\n"
       "Prose with a real mispeling here and `qqcodespan` inline code.\n"
       "Also a [link text qqlinktext](https://example.com/qqlinkurl \"qqlinktitle\").\n"
       "An autolink <https://example.org/qqautolink> and a bare URL "
       "https://example.net/qqbareurl.\n"
       "Reference [qqreflabeltext][qqref] and ![qqimagealt](img/qqimagepath.png).\n"
       "Email me at qqemailuser@example.com today.\n"
       "Inline <span title=\"qqspantitle\">qqspantext</span> and <!-- qqhtmlcomment -->.\n"
       "\n"
       "    qqindentedcode block\n"
       "\n"
       "<div class=\"qqdivclass\">\n"
       "qqhtmlblocktext\n"
       "</div>\n"
       "\n"
       "<!-- spellchecker: disable -->\n"
       "qqdisabledregion\n"
       "<!-- spellchecker: enable -->\n"
       "\n"
       "[qqref]: https://example.com/qqrefurl \"qqreftitle\"\n"
       "\n"
       "~~~\n"
       "qqtildefence\n"
       "~~~\n"
       "\n"
       "| cell | `qqcellcode` |\n"
       "|------|--------------|\n"
       "| qqcelltext | x |\n"
       "\n"
       "> qqquoted text\n",
       {{"qqheading", "4:16"},
        {"mispeling", "5:19"},
        {"qqlinktext", "6:19"},
        {"qqreflabeltext", "8:12"},
        {"qqimagealt", "8:41"},
        {"today", "9:37"},
        {"qqspantext", "10:34"},
        {"qqhtmlblocktext", "15:1"},
        {"qqcelltext", "30:3"},
        {"qqquoted", "32:3"}},
       {"qqfrontmatter", "qqcodespan", "qqlinkurl", "qqlinktitle", "qqautolink", "qqbareurl",
        "qqref", "qqimagepath", "qqemailuser", "qqdivclass", "qqhtmlcomment", "qqindentedcode",
        "qqrefurl", "qqreftitle", "qqtildefence", "qqcellcode"}},
      // Without its closing line "---" is a rule, not front matter.
      {"---\nNot front matter\n", {{"Not", "2:1"}, {"matter", "2:11"}}, {}},
  };
  for (const Row& row : rows) Expect(row, RecordSpans(Markdown(), row.input));
  const auto recording = RecordSpans(Markdown(), "---\n# cspell: words qqword\n---\nx\n");
  ASSERT_EQ(recording.comments.size(), 1u);
  EXPECT_EQ(recording.comments[0], "# cspell: words qqword");
}

TEST(MarkdownFormat, InlineHtmlAndHtmlBlocks) {
  const std::vector<Row> rows = {
      {"Say <b>bo</b>ld, <code>qqcode <b>x</b> y</code> and <kbd>qqkbd</kbd> then "
       "<span class=\"qqclass\">after</span>.\n",
       {{"bold", "1:8"}, {"and", "1:49"}, {"then", "1:70"}, {"after", "1:97"}},
       {"qqcode", "x", "y", "qqkbd", "qqclass", "bo"}},
      // Left open, the element's content is skipped to the end of its block.
      {"Open <samp>qqsamp\nstill\n\nnext\n",
       {{"Open", "1:1"}, {"next", "4:1"}},
       {"qqsamp", "still"}},
      {"Text <!-- qq\ncomment --> more\n\n<div class=\"qqdiv\">\nin block\n</div>\n\n"
       "<!--\nqqblock comment\n-->\nlast\n",
       {{"more", "2:13"}, {"in", "5:1"}, {"last", "11:1"}},
       {"qq", "comment", "qqdiv", "qqblock"}},
  };
  for (const Row& row : rows) Expect(row, RecordSpans(Markdown(), row.input));
  const auto recording = RecordSpans(Markdown(), "a <!-- cspell:disable --> b\n\n<!--\nx\n-->\n");
  ASSERT_EQ(recording.comments.size(), 2u);
  EXPECT_EQ(recording.comments[0], "<!-- cspell:disable -->");
  EXPECT_EQ(recording.comments[1], "<!--\nx\n-->");
}

TEST(MarkdownFormat, DecodesReferencesAndEscapes) {
  const std::vector<Row> rows = {
      {"A na&iuml;ve &#233;t&eacute; caf&#xE9;, &qqnosuch;word and \\*not em\\* x\\_y.\n",
       {{"na\xc3\xafve", "1:3"},
        {"\xc3\xa9t\xc3\xa9", "1:14"},
        {"caf\xc3\xa9", "1:30"},
        {"word", "1:51"},
        {"not", "1:62"},
        {"em", "1:66"}},
       {"qqnosuch", "na", "ve"}},
      {"&notit; &amp;&lt;tag&gt;\n", {{"tag", "1:18"}}, {"notit", "not", "it", "amp", "lt"}},
  };
  for (const Row& row : rows) Expect(row, RecordSpans(Markdown(), row.input));
  EXPECT_EQ(RecordSpans(Markdown(), "Tom&rsquo;s &amp; \\\\x\n").checked,
            "Tom\xe2\x80\x99s & \\x|");
}

TEST(MarkdownFormat, PositionsInContainersAfterTabsAndLineEnds) {
  const std::vector<Row> rows = {
      {"\xEF\xBB\xBF# Title\r\nfirst line\r\n  indented next\r\n\r\n> quote\r\n> more\r\n",
       {{"Title", "1:4"}, {"first", "2:1"}, {"indented", "3:3"}, {"next", "3:12"}, {"more", "6:3"}},
       {}},
      {"- item\n\tcontinued\tword\n\n1. \xce\xb1\xce\xb2 \xe6\xbc\xa2 after\n   lazy\n",
       {{"continued", "2:2"}, {"word", "2:12"}, {"after", "4:9"}, {"lazy", "5:4"}},
       {}},
      {"> > deep *quote*\n> > ```\n> > qqquoted\n> > ```\n> back\n",
       {{"deep", "1:5"}, {"quote", "1:11"}, {"back", "5:3"}},
       {"qqquoted"}},
      // Lone carriage returns end lines too (the recorder counts lines by
      // "\n" only).
      {"Old\rMac *lines*\r\r```\rqqcode\r```\rend\r\n",
       {{"lines", "1:10"}, {"end", "1:33"}},
       {"qqcode"}},
  };
  for (const Row& row : rows) Expect(row, RecordSpans(Markdown(), row.input));
  // The pipe mode takes a line whole, even one that holds lone "\r"s.
  Expect(rows.back(), RecordLines(rows.back().input), " (line by line)");
}

TEST(MarkdownFormat, ReadInPiecesOrLineByLine) {
  // Whole, in pieces of a small window, and a line at a time (the pipe
  // mode), a construct open at a cut is carried into the next piece.
  const std::vector<Row> rows = {
      {"---\ntitle: qqfront\n---\nOne *two*\nthree\n\n```\nqqa\n\nqqb\n```\n\n<!--\nqqc\n-->\n"
       "four\n\n- five\n  ```\n  qqd\n  ```\n\n> six\n> ```\n> qqe\n> ```\n\nseven `qqg` eight\n\n"
       "~~~\nqqh\n",
       {{"One", "4:1"},
        {"two", "4:6"},
        {"three", "5:1"},
        {"four", "16:1"},
        {"five", "18:3"},
        {"six", "23:3"},
        {"seven", "28:1"},
        {"eight", "28:13"}},
       {"qqfront", "qqa", "qqb", "qqc", "qqd", "qqe", "qqg", "qqh"}},
      {"+++\ntitle = \"qqtoml\"\n+++\nText\n<!-- qqa\nqqb --> after\n",
       {{"Text", "4:1"}, {"after", "6:9"}},
       {"qqtoml", "qqa", "qqb"}},
      // A shorter fence inside a longer one; a backtick in the info string
      // makes no fence.
      {"````\n```\nqqinner\n````\nout\n\n``` a`b\nnot a fence\n",
       {{"out", "5:1"}, {"fence", "8:7"}},
       {"qqinner"}},
      // A fence ends with the block quote or list item around it.
      {"> ```\n> qqquoted\nafter\n\n- item\n  ```\n  qqlisted\n\nlast\n",
       {{"after", "3:1"}, {"item", "5:3"}, {"last", "9:1"}},
       {"qqquoted", "qqlisted"}},
      {"<pre>\nqqpre\n</pre> after\n\n<script>\nqqscript\n</script>\nnext\n",
       {{"after", "3:8"}, {"next", "8:1"}},
       {}},
  };
  RecordOptions options;
  options.window = 64;
  options.readSize = 5;
  for (const Row& row : rows) {
    Expect(row, RecordSpans(Markdown(), row.input), " (whole)");
    Expect(row, RecordSpans(Markdown(), row.input, options), " (window 64)");
    const Recording lines = RecordLines(row.input);
    Expect(row, lines, " (line by line)");
    // Raw text blocks carried from line to line are skipped here; whole
    // blocks are the HTML reader's to skip.
    EXPECT_FALSE(lines.Has("qqpre") || lines.Has("qqscript"));
  }
}

TEST(MarkdownFormat, LargeDocumentsArePiecedAtBlockBoundaries) {
  // Fenced blocks of 96 KiB between short paragraphs, and one fence longer
  // than the window: no code is checked and every word keeps its place.
  const std::string code(96 << 10, 'q');
  std::string input;
  size_t line = 1;
  std::vector<std::pair<std::string, std::string>> at;
  for (int block = 0; block < 40; ++block) {
    const std::string word = "word" + std::string(1, static_cast<char>('a' + block % 26)) +
                             std::string(1, static_cast<char>('a' + block / 26));
    input += word + " text\n\n```\n" + code + "\n```\n\n";
    at.emplace_back(word, std::to_string(line) + ":1");
    line += 6;
  }
  input += "```\n";
  for (int i = 0; i < 50; ++i) input += code + "\n\n";
  input += "```\nlast word\n";
  at.emplace_back("last", std::to_string(line + 102) + ":1");
  RecordOptions options;
  options.readSize = 1 << 16;
  const Row row{input, at, {code}};
  const auto recording = RecordSpans(Markdown(), input, options);
  Expect(row, recording, " (large)");
  EXPECT_EQ(recording.words.size(), 2 * 40 + 2u);

  // A paragraph too long to give md4c at once is read in parts.
  std::string paragraph;
  for (int i = 0; i < 2000; ++i) paragraph += "[link](qqdest) and `qqcode` word\n";
  const auto parts = RecordSpans(Markdown(), paragraph);
  ASSERT_TRUE(parts.errors.empty()) << parts.errors[0];
  ASSERT_EQ(parts.words.size(), 6000u);
  for (size_t i = 0; i < parts.words.size(); ++i) {
    const auto& word = parts.words[i];
    ASSERT_EQ(word.word, (std::vector<std::string>{"link", "and", "word"}[i % 3])) << i;
    ASSERT_EQ(word.line, i / 3 + 1);
    ASSERT_EQ(word.column, (std::vector<size_t>{2, 16, 29}[i % 3]));
  }
}

}  // namespace
}  // namespace orth::cli
