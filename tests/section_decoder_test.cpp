// The section decoder: the packed word stream, exact lookups with their early
// stops, visitors, and malformed sections that must stop safely.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/section_decoder.h"
#include "lex_file_builder.h"

namespace orth {
namespace {

using test::Bytes;
using test::Concat;
using test::RecordBytes;

constexpr uint8_t E = CODE_END;
constexpr uint8_t R = CODE_RESUME;
constexpr uint8_t S = CODE_SKIP;
constexpr uint8_t T = CODE_TOKEN;
constexpr uint8_t A = CODE_ACCENT;

// The section's data lives in a buffer of exactly its size, so that the
// sanitizer build sees any read past its end.
LexSection MakeSection(const Bytes& bytes, unsigned char first = 'a', unsigned char second = 'b') {
  LexSection section;
  section.size = static_cast<uint32_t>(bytes.size());
  section.data.reset(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  if (!bytes.empty()) std::memcpy(section.data.get(), bytes.data(), bytes.size());
  section.firstLetter = first;
  section.secondLetter = second;
  return section;
}

TokenStrings MakeTokens(std::vector<std::string> values) {
  TokenStrings tokens{};
  for (size_t n = 0; n < values.size(); ++n) {
    std::strncpy(tokens[n].data(), values[n].c_str(), TOKEN_MAX);
  }
  return tokens;
}

// Visitors see only the target and the word; the words go to a file-wide list.
std::vector<std::string> g_visited;
int32_t g_stopAt = -1;  // index of the word at which to answer g_stopAnswer
int32_t g_stopAnswer = 0;

int32_t CollectWords(const char*, const char* word) {
  g_visited.push_back(word);
  return static_cast<int32_t>(g_visited.size()) - 1 == g_stopAt ? g_stopAnswer : 1;
}

std::vector<std::string> VisitAll(const LexSection& section, const TokenStrings& tokens,
                                  int32_t* result = nullptr) {
  g_visited.clear();
  g_stopAt = -1;
  const int32_t r = DecodeSection(section, "", false, CollectWords, tokens);
  if (result != nullptr) *result = r;
  return g_visited;
}

// The worked record: abc, abcde, abcdf, abcdfing, abcé with token 0 = "ing".
const Bytes kWorkedRecord = {0x0C, 0x00, 0x63, 0x00, 0xBF, 0x13, 0xE5, 0x6F,
                             0xC1, 0x7C, 0x9D, 0x03, 0xDF, 0x2B, 0xFF, 0x7F};

TEST(SectionDecoder, WorkedRecordPacksAndDecodes) {
  const std::vector<uint8_t> codes = {E, R, 4, 5, E, S, 1, 6, E, R, T, 0, E, A, 10, E, E, E};
  EXPECT_EQ(RecordBytes('c', codes), kWorkedRecord);
  EXPECT_EQ(PackUnit(E, R, 4), 0x13BF);
  EXPECT_EQ(PackUnit(E, E, E), 0x7FFF);

  const LexSection section = MakeSection(kWorkedRecord);
  int32_t result = -1;
  EXPECT_EQ(VisitAll(section, MakeTokens({"ing"}), &result),
            (std::vector<std::string>{"abc", "abcde", "abcdf", "abcdfing", "abc\xE9"}));
  EXPECT_EQ(result, 0);
}

TEST(SectionDecoder, ExactLookupStopsWhereTheTargetWouldBe) {
  // Records ', c (the worked one), a second c-record continuing the run
  // ("abcéz") and d ("abdx").
  const Bytes data = Concat({RecordBytes('\'', {E}), kWorkedRecord,
                             RecordBytes('c', {A, 10, 26, E}), RecordBytes('d', {24, E})});
  const LexSection section = MakeSection(data);
  const TokenStrings tokens = MakeTokens({"ing"});
  struct Row {
    const char* target;
    int32_t expected;
  };
  const Row
      rows[] =
          {
              {"abcdfing", 1}, {"abc", 1},  {"abcde", 1},    {"abc\xE9", 1},
              {"ab'", 1},      {"abdx", 1}, {"abc\xE9z", 1},  // the run goes on in the next record
              {"abcd", 0},     {"abcf", 0}, {"abcdfin", 0},  {"abcdfings", 0},
              {"abd", 0},      {"abb", 0},  {"ab", 0},       {"a", 0},
              {"", 0},         {"abe", 0},  {"abcz", 0},  // stops at abcé in the first record
              {"ABcde", 0},  // bytes must be equal; a capital only differs by letter code 0
              {"ABCDE", 0},  // its third byte sorts before every lower-case record
          };
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeSection(section, row.target, true, nullptr, tokens), row.expected)
        << row.target;
  }
}

TEST(SectionDecoder, ExactLookupDecodesNoWordBeforeItsRecords) {
  const LexSection section = MakeSection(Concat({RecordBytes('m', {E}), RecordBytes('n', {E})}));
  const TokenStrings tokens{};
  g_visited.clear();
  g_stopAt = -1;
  // Third letter below every record's: nothing decoded.
  EXPECT_EQ(DecodeSection(section, "abc", true, CollectWords, tokens), 0);
  EXPECT_TRUE(g_visited.empty());
  // Third letter above every record's: all skipped.
  EXPECT_EQ(DecodeSection(section, "abz", true, CollectWords, tokens), 0);
  EXPECT_TRUE(g_visited.empty());
  // With a visitor, exact mode hands over only the matching record's words.
  EXPECT_EQ(DecodeSection(section, "abnot", true, CollectWords, tokens), 0);
  EXPECT_EQ(g_visited, std::vector<std::string>{"abn"});
}

TEST(SectionDecoder, StreamEdgeCases) {
  struct Row {
    const char* name;
    std::vector<uint8_t> codes;
    std::vector<std::string> words;
  };
  const Row rows[] = {
      {"bare three-letter first word", {E}, {"abc"}},
      {"end after end emits nothing, resume continues from 3", {E, E, R, 1, E}, {"abc", "abca"}},
      {"skip 0 and an empty token add nothing", {1, E, S, 0, T, 5, 2, E}, {"abca", "abcb"}},
      {"skip keeps the previous characters", {1, 2, 3, E, S, 2, 4, E}, {"abcabc", "abcabd"}},
      {"skip 0 keeps nothing, even in a first word", {S, 0, 1, E}, {"abca"}},
      {"no skip or resume starts at the third letter", {1, 2, E, 4, E}, {"abcab", "abcd"}},
      {"argument in the next unit", {1, 2, E, 4, E, S, 1, 5, E}, {"abcab", "abcd", "abcde"}},
      {"command codes as arguments are numbers", {A, 29, A, 31, E}, {"abc\xFF"}},
      {"token of twelve characters", {T, 1, E}, {"abcabcdefghijkl"}},
      {"word of 31 characters",
       {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, E},
       {"abc" + std::string(28, 'a')}},
  };
  const TokenStrings tokens = MakeTokens({"ing", "abcdefghijkl"});
  for (const Row& row : rows) {
    EXPECT_EQ(VisitAll(MakeSection(RecordBytes('c', row.codes)), tokens), row.words) << row.name;
  }
}

TEST(SectionDecoder, VisitorAnswersStopTheSection) {
  const LexSection section = MakeSection(kWorkedRecord);
  const TokenStrings tokens = MakeTokens({"ing"});
  struct Row {
    int32_t stopAt;
    int32_t answer;
    int32_t result;
    size_t visited;
  };
  const Row rows[] = {{2, -1, 0, 3}, {2, 0, 1, 3}, {0, 0, 1, 1}, {4, -5, 0, 5}};
  for (const Row& row : rows) {
    g_visited.clear();
    g_stopAt = row.stopAt;
    g_stopAnswer = row.answer;
    EXPECT_EQ(DecodeSection(section, "x", false, CollectWords, tokens), row.result);
    EXPECT_EQ(g_visited.size(), row.visited) << "stop at " << row.stopAt;
  }
}

TEST(SectionDecoder, EmptyOrNotResidentSectionFindsNothing) {
  LexSection empty;
  EXPECT_EQ(DecodeSection(empty, "abc", true, nullptr, TokenStrings{}), 0);
  LexSection unloaded;
  unloaded.size = 16;  // not resident: no data
  EXPECT_EQ(DecodeSection(unloaded, "abc", false, CollectWords, TokenStrings{}), 0);
}

// Malformed sections: the decoder stops the section with 0 after the words
// before the fault, and never reads outside the section (checked by the
// sanitizer build, as every section sits in a buffer of its exact size).
TEST(SectionDecoder, MalformedSectionsStopSafely) {
  const Bytes good = RecordBytes('a', {E});  // "aba"
  auto raw = [](uint16_t length, unsigned char third, Bytes units) {
    Bytes out = {static_cast<unsigned char>(length & 0xFF), static_cast<unsigned char>(length >> 8),
                 third, 0};
    out.insert(out.end(), units.begin(), units.end());
    return out;
  };
  struct Row {
    const char* name;
    Bytes data;
    std::vector<std::string> words;
  };
  const std::vector<uint8_t> tooLong(29, 1);  // 3 + 29 characters
  std::vector<uint8_t> tokensTooLong = {T, 1, T, 1, T, 1, E};
  const Row rows[] = {
      {"record header cut short", Concat({good, Bytes{0x02, 0x00, 'b'}}), {"aba"}},
      {"length 0", Concat({good, raw(0, 'b', {})}), {"aba"}},
      {"length 1", Concat({good, raw(1, 'b', {0xFF})}), {"aba"}},
      {"length past the section", Concat({good, raw(4, 'b', {0xFF, 0x7F})}), {"aba"}},
      {"length far past the section", raw(0xFFFF, 'b', {0xFF, 0x7F}), {}},
      {"odd length: the last byte belongs to no unit",
       Concat({raw(3, 'a', {0xFF, 0x7F, 0x00}), good}),
       {"aba", "aba"}},
      {"skip argument beyond the last unit", RecordBytes('c', {E, E, S}), {"abc"}},
      {"token argument beyond the last unit", RecordBytes('c', {1, E, T}), {"abca"}},
      {"accent argument beyond the last unit", RecordBytes('c', {1, E, A}), {"abca"}},
      {"word longer than 31 characters", RecordBytes('c', tooLong), {}},
      {"tokens making the word too long", RecordBytes('c', tokensTooLong), {}},
      {"skip past the previous word", RecordBytes('c', {1, E, S, 2, E}), {"abca"}},
      {"skip in the first word", RecordBytes('c', {S, 1, 4, E}), {}},
      {"resume in the first word", RecordBytes('c', {R, 1, E}), {}},
      {"fault in the second record", Concat({good, RecordBytes('b', {R, E}), good}), {"aba"}},
  };
  const TokenStrings tokens = MakeTokens({"ing", "abcdefghijkl"});
  for (const Row& row : rows) {
    const LexSection section = MakeSection(row.data);
    int32_t result = -1;
    EXPECT_EQ(VisitAll(section, tokens, &result), row.words) << row.name;
    EXPECT_EQ(result, 0) << row.name;
    // Exact mode over the same bytes must be just as safe.
    for (const char* target :
         {"aba", "abb", "abc", "abcz", "abcaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"}) {
      const int32_t found = DecodeSection(section, target, true, nullptr, tokens);
      EXPECT_TRUE(found == 0 || found == 1) << row.name;
    }
  }
}

int32_t CheckWordShape(const char*, const char* word) {
  const size_t length = std::strlen(word);
  EXPECT_LE(length, static_cast<size_t>(DECODED_WORD_MAX));
  EXPECT_TRUE(length == 0 || word[0] == 'q');
  return 1;
}

// Random and mutated sections: no crash, no read outside, no word over 31.
TEST(SectionDecoder, RandomAndMutatedBytesNeverEscapeTheSection) {
  const TokenStrings tokens = MakeTokens({"ing", "abcdefghijkl", "", "x"});
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    Bytes data(random() % 120);
    for (auto& byte : data) byte = static_cast<unsigned char>(random());
    if (data.size() >= 2 && round % 2 == 0) {
      data[0] = static_cast<unsigned char>((data.size() - 4) & 0xFE);  // plausible lengths
      data[1] = 0;
    }
    const LexSection section = MakeSection(data, 'q', 'u');
    DecodeSection(section, "", false, CheckWordShape, tokens);
    DecodeSection(section, "quaint", true, nullptr, tokens);
  }
  Bytes mutated = kWorkedRecord;
  for (size_t i = 0; i < mutated.size(); ++i) {
    for (int value = 0; value < 256; ++value) {
      const unsigned char kept = mutated[i];
      mutated[i] = static_cast<unsigned char>(value);
      const LexSection section = MakeSection(mutated, 'q', 'u');
      DecodeSection(section, "", false, CheckWordShape, tokens);
      DecodeSection(section, "qucdfing", true, nullptr, tokens);
      mutated[i] = kept;
    }
  }
}

}  // namespace
}  // namespace orth
