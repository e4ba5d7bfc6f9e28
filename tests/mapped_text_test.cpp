// The engine's view of a text: one Latin-1 byte per character, and the
// text's own bytes back from it.
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

}  // namespace
}  // namespace orth::cli
