// Word normalisation and case restoration.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "orth.h"
#include "text/normalize.h"

namespace orth {
namespace {

TEST(NormalizeWord, Rows) {
  struct Row {
    std::string word;
    std::string normal;
  };
  const std::string letters35 = "Abcdefghijklmnopqrstuvwxyzabcdefghi";
  const std::string word30s = std::string(28, 'k') + "'s";
  const std::string word31s = std::string(29, 'k') + "'s";
  const Row rows[] = {
      {"Hello", "hello"},
      {"dog's", "dog"},
      {"dogs'", "dogs"},
      {"can't", "can"},
      {"I'd", "i"},
      {"'tis", "tis"},
      {"l'homme", "homme"},
      {"O'Neill", "neill"},
      {"rock'n'roll", "rock'n'roll"},
      {"New York", "new"},
      {"'", ""},
      {"''", ""},
      {"'s", ""},
      {"'a", ""},
      {" x", ""},
      {"", ""},
      {letters35, "abcdefghijklmnopqrstuvwxyzabcd"},
      {"ABC", "abc"},
      {"\xC0"
       "B\xC7",
       "\xE0"
       "b\xE7"},  // ÀBÇ -> àbç
      {"x2", "x2"},
      {"a's", "a"},
      {"''abc", "abc"},
      {"x'", "x"},
      {"a'", "a"},
      {"'x'", "x"},              // final apostrophe, then the leading one
      {"d'A b", "a"},            // elision, then the cut at the space
      {"a\tb", "a\tb"},          // only the space byte cuts
      {"\xDF\xFF", "\xDF\xFF"},  // ß and ÿ are lower case already
      {word30s, std::string(28, 'k')},
      {word31s, std::string(29, 'k')},  // cut to 30, then the apostrophe goes
  };
  for (const Row& row : rows) {
    char out[WORD_MAX + 1];
    std::memset(out, 'Z', sizeof out);
    const int32_t length = NormalizeWord(row.word.c_str(), out);
    EXPECT_EQ(length, static_cast<int32_t>(row.normal.size())) << "word «" << row.word << "»";
    EXPECT_EQ(out[WORD_MAX], '\0') << row.word;
    if (length > 0) {
      EXPECT_EQ(std::string(out), row.normal) << row.word;
    }
  }
}

TEST(RestoreCase, Rows) {
  struct Row {
    std::string word;
    std::string suggestion;
    std::string restored;
  };
  const std::string word30(30, 'm');
  const Row rows[] = {
      {"Teh", "the", "The"},
      {"TEH", "the", "THE"},
      {"teh", "the", "the"},
      {"Helo", "hello", "Hello"},
      {"HELO", "hello", "HELLO"},
      {"hELO", "hello", "hELLo"},
      {"Dgo's", "dog", "Dog's"},
      {"dogz'", "dogs", "dogs'"},
      {"l'Homme", "homme", "l'Homme"},
      {"'Tis", "tis", "'Tis"},
      {"Alot", "a lot", "A lot"},
      {"123", "abc", "ABC"},
      {"X", "xi", "XI"},
      {"", "abc", "ABC"},  // an empty word counts as all capitals
      {"Ab'", "abc", "Abc'"},
      {"'s", "is", "'is"},      // a rest of one character gets no ending
      {"'", "ab", "'AB"},       // nothing left of the word: all capitals
      {"''Ab", "xab", "'xAb"},  // second apostrophe aligns with the first letter
      {"ROCK'N'ROLL", "rock'n'roll", "ROCK'N'ROLL"},
      {"STRASSE",
       "stra\xDF"
       "e",
       "STRA\xDF"
       "E"},                                                  // ß has no capital
      {"\xC9T\xC9", "\xE9t\xE9", "\xC9T\xC9"},                // ÉTÉ
      {"Dogs's", word30, "M" + std::string(29, 'm') + "'s"},  // 32 characters
      {"'Tis", word30, "'M" + std::string(28, 'm')},          // cut to 29 after '
      {"L'Homme's", word30, "L'M" + std::string(27, 'm') + "'s"},
  };
  for (const Row& row : rows) {
    char buffer[64];
    std::memset(buffer, 'Z', sizeof buffer);
    std::memcpy(buffer, row.suggestion.c_str(), row.suggestion.size() + 1);
    RestoreCase(row.word.c_str(), buffer);
    EXPECT_EQ(std::string(buffer), row.restored) << "word «" << row.word << "»";
    EXPECT_LE(std::strlen(buffer), 32u);
    EXPECT_EQ(buffer[33], 'Z') << "wrote past 33 bytes for «" << row.word << "»";
  }
}

// What normalisation removes at the ends, restoration puts back.
TEST(RestoreCase, MirrorsNormalization) {
  const char* words[] = {"Dog's", "DOGS'", "l'Homme", "'Tis", "O'NEILL", "Can't", "hello"};
  for (const char* word : words) {
    char normal[WORD_MAX + 1];
    NormalizeWord(word, normal);
    char buffer[33];
    std::memcpy(buffer, normal, sizeof normal);
    RestoreCase(word, buffer);
    EXPECT_STREQ(buffer, word);
  }
}

}  // namespace
}  // namespace orth
