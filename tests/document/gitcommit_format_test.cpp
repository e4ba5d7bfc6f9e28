// Git commit messages: the message is checked, not comments, trailers or
// the diff below the scissors line.
#include <gtest/gtest.h>

#include "document/document_format.h"
#include "document/line_feed.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::RecordSpans;

const DocumentFormat& GitCommit() {
  return *FindFormat("gitcommit");
}

using Row = testing::DocumentRow;

void ExpectRows(const std::vector<Row>& rows) {
  testing::ExpectDocumentRows(GitCommit(), rows);
}

TEST(GitCommitFormat, CommentsAndTheDiffBelowTheScissorsAreSkipped) {
  ExpectRows({
      {"Fix the parser\n\nIt failed on tabs.\n# Please enter the commit message\n"
       "# ------------------------ >8 ------------------------\n"
       "# Do not modify or remove the line above.\ndiff --git a/x b/x\n+qqadded\n",
       {{"Fix", "1:1"}, {"failed", "3:4"}},
       {"Please", "qqadded", "modify"}},
      // A line that only looks like the scissors is a comment; text goes on.
      {"Subject\n# ---- >8 ---- cut\nbody\n", {{"body", "3:1"}}, {"cut"}},
      // A byte-order mark, CRLF line ends, tabs and a character outside
      // Latin-1 before a word.
      {"\xEF\xBB\xBFSubj\xC3\xA9\r\n\r\n\tTabbed \xE2\x9C\x93word\r\n#\tcomment\r\n",
       {{"Subj\xC3\xA9", "1:2"}, {"Tabbed", "3:2"}},
       {"comment"}},
  });
  const auto recording = RecordSpans(GitCommit(), "Subject\n# cspell: disable\n");
  ASSERT_EQ(recording.comments.size(), 1u);
  EXPECT_EQ(recording.comments[0], "# cspell: disable");
}

TEST(GitCommitFormat, TrailersAreSkippedButNotTheSubjectOrProse) {
  ExpectRows({
      {"area: fix a bug\n\nBody text.\n\nSigned-off-by: Qqname Qqsurname <q@example.com>\n"
       "Reviewed-by: Qqreviewer\nCc: Qqcc\n",
       {{"area", "1:1"}, {"Body", "3:1"}},
       {"Qqname", "Qqsurname", "Qqreviewer", "Qqcc"}},
      // A folded trailer value; an unknown key once the paragraph holds a trailer.
      {"Subject\n\nChange-Id: Iqqhash\nQqkey: qqvalue\n  qqfolded\n",
       {{"Subject", "1:1"}},
       {"Iqqhash", "qqvalue", "qqfolded"}},
      // A one-word key starting a paragraph is prose ("Note: ..."), and so
      // is everything in the subject paragraph.
      {"Fixes: the subject line\n\nNote: this stays\nmore prose\n",
       {{"Fixes", "1:1"}, {"Note", "3:1"}, {"stays", "3:12"}, {"prose", "4:6"}},
       {}},
  });
}

TEST(GitCommitFormat, SameWordsWholeInSmallPiecesAndLineByLine) {
  std::string message = "Subject line here\n\n";
  for (int i = 0; i < 6; ++i)
    message += "A body line with several words in it, number " + std::to_string(i) +
               ", and more words\r\n";
  message += "# a comment line that runs on and on past the window of the reader\n";
  message += "Signed-off-by: Qqsomeone Qqelse <someone@example.com> and a long tail\n";
  const auto whole = RecordSpans(GitCommit(), message);
  testing::RecordOptions small;
  small.window = 64;
  small.readSize = 5;
  const auto pieces = RecordSpans(GitCommit(), message, small);
  const auto lines = testing::RecordLineByLine(GitCommit(), message);
  for (const auto* recording : {&whole, &pieces, &lines}) {
    ASSERT_TRUE(recording->errors.empty()) << recording->errors[0];
  }
  EXPECT_FALSE(whole.Has("Qqsomeone"));
  EXPECT_EQ(testing::WordList(pieces), testing::WordList(whole));
  EXPECT_EQ(testing::WordList(lines), testing::WordList(whole));
}

}  // namespace
}  // namespace orth::cli
