// The engine's view of a document: one Latin-1 byte per character, edits
// that keep every other character as it was, and the cut into parts.
#include "encoding/engine_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orth::cli {
namespace {

TEST(MappedTextTest, ReadsUtf8AsOneEngineBytePerCharacter) {
  struct Row {
    std::string bytes;
    bool utf8;
    std::string engine;
  };
  const Row rows[] = {
      {"", true, ""},
      {"plain text", true, "plain text"},
      {"caf\xc3\xa9", true, "caf\xe9"},
      {"don\xe2\x80\x99t", true, "don't"},  // typographic apostrophe
      {"a\xe2\x86\x92"
       "b",
       true,
       "a\x1a"
       "b"},                                            // outside Latin-1
      {"x\xf0\x9f\x98\x80y", true, "x\x1ay"},           // four-byte character
      {"caf\xe9 \xc3\xa9", false, "caf\xe9 \xc3\xa9"},  // not UTF-8: Latin-1 bytes
      {"\xed\xa0\x80", false, "\xed\xa0\x80"},          // a surrogate is not UTF-8
      {"\xc0\xaf", false, "\xc0\xaf"},                  // nor an overlong form
      {"\xe2\x82", false, "\xe2\x82"},                  // nor a cut character
  };
  for (const Row& row : rows) {
    const MappedText text = MakeMappedText(row.bytes);
    EXPECT_EQ(text.utf8, row.utf8) << row.bytes;
    EXPECT_EQ(text.engine, row.engine) << row.bytes;
    EXPECT_EQ(text.chars.size(), text.engine.size()) << row.bytes;
    EXPECT_EQ(EncodeMappedText(text), row.bytes) << "round trip of " << row.bytes;
  }
  // Asked for Latin-1, valid UTF-8 stays bytes.
  const MappedText forced = MakeMappedText("\xc3\xa9", true);
  EXPECT_FALSE(forced.utf8);
  EXPECT_EQ(forced.engine, "\xc3\xa9");
}

TEST(MappedTextTest, EditsKeepTheOtherCharacters) {
  // Replacing or deleting one run of the engine text, as the block edits do,
  // around characters the engine cannot hold.
  struct Row {
    std::string before;
    std::string from;  // engine bytes replaced (the first run at or after the edit)
    std::string to;
    std::string after;  // the file bytes after the edit
  };
  const Row rows[] = {
      {"\xe2\x80\x9cteh\xe2\x80\x9d \xe2\x86\x92 x", "teh", "the",
       "\xe2\x80\x9cthe\xe2\x80\x9d \xe2\x86\x92 x"},
      {"the the \xe2\x9c\x93 cat", "the ", "", "the \xe2\x9c\x93 cat"},
      {"don\xe2\x80\x99t stpo", "stpo", "stop", "don\xe2\x80\x99t stop"},
      {"a\xe2\x86\x92"
       "b",
       "b", "bcd",
       "a\xe2\x86\x92"
       "bcd"},
      {"nai\xcc\x88ve", "nai\x1ave", "naive", "naive"},  // the whole word replaced
      {"\xe9t\xe9 teh", "teh", "the", "\xe9t\xe9 the"},  // Latin-1 file
      {"x teh", "teh", "t\xe9", "x t\xc3\xa9"},          // new bytes in the file's encoding
  };
  for (const Row& row : rows) {
    MappedText text = MakeMappedText(row.before);
    const std::size_t start =
        row.from == "the " ? text.engine.rfind(row.from) : text.engine.find(row.from);
    ASSERT_NE(start, std::string::npos) << row.before;
    std::string edited = text.engine;
    edited.replace(start, row.from.size(), row.to);
    SyncMappedText(text, edited, start);
    EXPECT_EQ(text.engine, edited) << row.before;
    EXPECT_EQ(EncodeMappedText(text), row.after) << row.before;
    EXPECT_EQ(DisplayMappedText(text, 0, text.engine.size()).size() > 0, !edited.empty());
  }
}

TEST(MappedTextTest, CutsPartsAtLineEndsThenSpaces) {
  struct Row {
    std::string text;
    std::size_t maxBytes;
    std::vector<std::size_t> starts;
  };
  const Row rows[] = {
      {"short", 100, {}},      {"aaaa\nbbbb\ncccc\n", 10, {10}}, {"aaaa\nbbbb\ncccc\n", 6, {5, 10}},
      {"aa bb cc dd", 6, {6}}, {"aaaaaaaaaa", 4, {4, 8}},        {"aaaa\n", 5, {}},
  };
  for (const Row& row : rows) {
    const MappedText text = MakeMappedText(row.text);
    const std::vector<std::size_t> starts = SplitMappedText(text, row.maxBytes);
    EXPECT_EQ(starts, row.starts) << row.text << " / " << row.maxBytes;
    // The parts hold the whole text, each within the limit.
    std::string joined;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= starts.size(); ++i) {
      const std::size_t end = i < starts.size() ? starts[i] : text.engine.size();
      EXPECT_LE(end - begin, row.maxBytes);
      joined += EncodeMappedText(SliceMappedText(text, begin, end));
      begin = end;
    }
    EXPECT_EQ(joined, row.text);
  }
}

TEST(MappedTextTest, ShowsControlCharactersHarmlessly) {
  const MappedText text = MakeMappedText("a\x1b[2Jb\tc\x9b");
  EXPECT_EQ(DisplayMappedText(text, 0, text.engine.size()), "a?[2Jb\tc?");
}

}  // namespace
}  // namespace orth::cli
