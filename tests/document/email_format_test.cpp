// E-mail: the Subject and the text parts are checked, decoded where they
// are encoded; other headers, quotes, signatures and other parts are not.
#include <gtest/gtest.h>

#include "document/document_format.h"
#include "document/line_feed.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::RecordSpans;

const DocumentFormat& Email() {
  return *FindFormat("email");
}

using Row = testing::DocumentRow;

// A build without the HTML reader (ORTH_DOCUMENT_PARSERS off, as on
// Windows) leaves HTML parts unchecked: their words must then be absent.
Row WithHtmlWords(Row row, const std::vector<std::string>& htmlWords) {
#if defined(ORTH_NO_DOCUMENT_PARSERS)
  for (const std::string& word : htmlWords) {
    std::erase_if(row.found, [&word](const auto& found) { return found.first == word; });
    row.absent.push_back(word);
  }
#else
  (void)htmlWords;
#endif
  return row;
}

void ExpectRows(const std::vector<Row>& rows) {
  testing::ExpectDocumentRows(Email(), rows);
}

TEST(EmailFormat, OnlyTheSubjectOfTheHeadersIsChecked) {
  ExpectRows({
      {"From: Qqsender <qq@example.com>\r\nX-Qqheader: qqvalue\r\nSubject: Re: the\r\n"
       "\tfolded subject\r\n\r\nBody\r\n",
       {{"Re", "3:10"}, {"folded", "4:2"}, {"Body", "6:1"}},
       {"Qqsender", "Qqheader", "qqvalue"}},
      // Encoded words are decoded; white space between two of them goes.
      {"Subject: =?utf-8?q?caf=C3=A9_au?= =?UTF-8?Q?lait?= and\n =?iso-8859-1?b?bmHvdmU=?="
       " =?koi8-r?q?qqcyrillic?=\n\n",
       {{"caf\xC3\xA9", "1:20"}, {"aulait", "1:30"}, {"and", "1:52"}, {"na\xC3\xAFve", "2:2"}},
       {"qqcyrillic", "utf", "q"}},
  });
}

TEST(EmailFormat, QuotesSignaturesAndPatchesAreSkipped) {
  ExpectRows({
      // Text types people write are text; text types that hold data are not.
      {"Subject: s\nContent-Type: text/asciidoc\n\nWritten prose\n", {{"Written", "4:1"}}, {}},
      {"Subject: s\nContent-Type: text/calendar\n\nBEGIN:qqvevent\n", {}, {"qqvevent"}},
      {"Subject: s\n\nI agree.\n> qqquoted\n  > > qqnested\n>qqtight\nMe too.\n-- \nQqsignature\n",
       {{"agree", "3:3"}, {"too", "7:4"}},
       {"qqquoted", "qqnested", "qqtight", "Qqsignature"}},
      {"Subject: s\n\n--verbose is an option\n-- not a signature\nstill\n--\r\nqqsig\n",
       {{"verbose", "3:3"}, {"not", "4:4"}, {"still", "5:1"}},
       {"qqsig"}},
      {"Subject: s\n\nThe fix.\ndiff --git a/qqfile b/qqfile\n+qqadded\n",
       {{"fix", "3:5"}},
       {"qqfile", "qqadded"}},
  });
}

TEST(EmailFormat, MimePartsAreFollowedAndDecoded) {
  const std::string multipart =
      "Subject: parts\r\nContent-Type: multipart/mixed;\r\n boundary=\"outer\"\r\n\r\n"
      "qqpreamble\r\n--outer\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n\r\nna=EFve soft=\r\nbreak =C3=A9\r\n"
      "--outer\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      "cXFpbWFnZQ==\r\n--outer\r\nContent-Type: multipart/alternative; boundary=inner\r\n\r\n"
      "--inner\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n"
      "\r\nYmFzZTY0IHdv\r\ncmRz\r\n--inner\r\nContent-Type: text/html\r\n\r\n<p>html <a\r\n"
      "href=\"qqhref\">text</a></p>\r\n--inner--\r\nqqepilogue\r\n--outer\r\n"
      "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=a.txt\r\n\r\n"
      "qqattached\r\n--outer\r\nContent-Type: text/plain; charset=koi8-r\r\n\r\nqqkoi\r\n"
      "--outer--\r\n";
  ExpectRows({
      WithHtmlWords(
          {multipart,
           {{"parts", "1:10"},
            {"na\xC3\xAFve", "10:1"},
            {"softbreak", "10:9"},
            {"\xC3\x83\xC2\xA9", "11:7"},  // UTF-8 bytes read as Latin-1, as the part says
            {"base64", "24:1"},
            {"words", "24:9"},
            {"html", "29:4"},
            {"text", "30:15"}},
           {"qqpreamble", "qqimage", "qqhref", "qqepilogue", "qqattached", "qqkoi"}},
          {"html", "text"}),
      // HTML: a script, a comment and a style element over several lines.
      WithHtmlWords(
          {"Content-Type: text/html\n\n<p>first<script>\nqqscript\n</script><!--\nqqcomment\n"
           "-->second <style\ntype=x>qqstyle</style>third\n",
           {{"first", "3:4"}, {"second", "7:4"}, {"third", "8:23"}},
           {"qqscript", "qqcomment", "qqstyle"}},
          {"first", "second", "third"}),
      // Windows-1252, a character cut between two base64 lines, and parts
      // that are not read: a forwarded message, an unknown encoding.
      {"Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain; "
       "charset=windows-1252\nContent-Transfer-Encoding: quoted-printable\n\ndon=92t\n--b\n"
       "Content-Transfer-Encoding: base64\n\neHhjYWbD\nqSBvawo=\n--b\nContent-Type: "
       "message/rfc822\n\nSubject: qqforwarded\n\nqqinner\n--b\nContent-Transfer-Encoding: "
       "x-uuencode\n\nqquu\n--b--\n",
       {{"don\xE2\x80\x99t", "7:1"}, {"xxcaf\xC3\xA9", "11:1"}, {"ok", "12:1"}},
       {"qqforwarded", "qqinner", "qquu"}},
      // Headers that end without their blank line.
      {"Subject: s\nthis is body text\n", {{"body", "2:9"}}, {}},
      // A boundary that never closes ends with its message: the next
      // message of the mbox is read from its headers on.
      {"From a@b Mon Jan  1 00:00:00 2024\nSubject: one\nContent-Type: multipart/mixed; "
       "boundary=b\n\n--b\nContent-Type: image/gif\n\nqqgif\n\n"
       "From c@d Tue Jan  2 00:00:00 2024\nSubject: two\nX-Qq: qqheader\n\nFrom me to you\nend\n",
       {{"one", "2:10"}, {"two", "11:10"}, {"From", "14:1"}, {"end", "15:1"}},
       {"qqgif", "qqheader"}},
  });
}

TEST(EmailFormat, SameWordsWholeInSmallPiecesAndLineByLine) {
  std::string mail =
      "\xEF\xBB\xBF"
      "From: x\r\nSubject: =?utf-8?q?an_encoded_subject?=\r\n"
      "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n"
      "\r\n";
  for (int i = 0; i < 4; ++i)
    mail += "A line\tof the body with caf=C3=A9 in it and more text, number " + std::to_string(i) +
            "\r\n";
  mail +=
      "\xE2\x9C\x93 checked\r\n> a quoted line long enough to be cut by a small window of "
      "reading\r\n";
  mail += "last\r\n";
  const auto whole = RecordSpans(Email(), mail);
  testing::RecordOptions small;
  small.window = 64;
  small.readSize = 5;
  const auto pieces = RecordSpans(Email(), mail, small);
  const auto lines = testing::RecordLineByLine(Email(), mail);
  for (const auto* recording : {&whole, &pieces, &lines}) {
    ASSERT_TRUE(recording->errors.empty()) << recording->errors[0];
  }
  EXPECT_EQ(whole.At("encoded"), "2:23");
  EXPECT_EQ(whole.At("checked"), "10:3");
  EXPECT_FALSE(whole.Has("quoted"));
  EXPECT_EQ(testing::WordList(lines), testing::WordList(whole));
  EXPECT_EQ(testing::WordList(pieces), testing::WordList(whole));
}

}  // namespace
}  // namespace orth::cli
