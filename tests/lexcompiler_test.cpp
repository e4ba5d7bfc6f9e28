// The dictionary compiler: reading word lists, the order and layout of
// sections, word codes, token choice, the written file, and round trips
// through the engine's loader, cache, decoder and lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/compressed_lookup.h"
#include "lex/section_decoder.h"
#include "lex/section_format.h"
#include "lexcompiler/lex_compiler.h"
#include "lexcompiler/lex_layout.h"
#include "lexcompiler/lex_reader.h"
#include "lexcompiler/lex_writer.h"
#include "lexcompiler/section_encoder.h"
#include "lexcompiler/text_encoding.h"
#include "lexcompiler/word_list.h"

namespace orth {
namespace {

namespace fs = std::filesystem;

// A fresh directory for one test, removed afterwards.
struct ScratchDir {
  fs::path path;
  ScratchDir() {
    std::random_device seed;
    path = fs::temp_directory_path() / ("orth_lexcompiler_" + std::to_string(seed()));
    fs::create_directories(path);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string File(const char* name) const { return (path / name).string(); }
};

std::unique_ptr<CompressedLex> Open(const std::string& path, int32_t budget = -1) {
  std::unique_ptr<CompressedLex> lex;
  EXPECT_EQ(OpenCompressedLex(path.c_str(), budget, lex), 0) << path;
  return lex;
}

bool Found(const std::string& word, CompressedLex& lex) {
  return FindInCompressedLex(word.c_str(), lex) == 0;
}

// Compiles entries and expects success.
CompileSummary Compile(const std::vector<std::string>& entries, const std::string& out) {
  CompileSummary summary;
  std::string error;
  EXPECT_TRUE(CompileWordEntries(entries, out, CompileOptions{}, summary, error)) << error;
  return summary;
}

// Every stored word is found, and variants of every `stride`-th word that are
// not stored are not.
void ExpectExactLookups(const std::vector<std::string>& stored, CompressedLex& lex,
                        size_t stride = 1) {
  const std::unordered_set<std::string> all(stored.begin(), stored.end());
  size_t missing = 0, wrong = 0;
  for (size_t i = 0; i < stored.size(); ++i) {
    const std::string& word = stored[i];
    if (!Found(word, lex) && ++missing <= 5) ADD_FAILURE() << "not found: " << word;
    if (i % stride != 0) continue;
    std::vector<std::string> nearMisses = {word + "s", word + "q", word.substr(0, word.size() - 1),
                                           word + "\xE9"};
    std::string changed = word;
    changed.back() = changed.back() == 'z' ? 'a' : static_cast<char>(changed.back() + 1);
    nearMisses.push_back(changed);
    for (const std::string& near : nearMisses) {
      const bool usable = !near.empty() && near.size() <= WORD_MAX &&
                          near.find('\0') == std::string::npos && all.count(near) == 0;
      if (!usable) continue;
      if (Found(near, lex) && ++wrong <= 5) ADD_FAILURE() << "found but not stored: " << near;
    }
  }
  EXPECT_EQ(missing, 0u);
  EXPECT_EQ(wrong, 0u);
}

TEST(LexCompilerWordList, StoredFormsAndSkippedLines) {
  const std::string list =
      "\xEF\xBB\xBF"
      "Dog's\r\n"
      "couldn't\n"
      "O'Neill\n"
      "  dog  \n"
      "\n"
      "New York\n"
      "\xC3\x89t\xC3\xA9\n"  // Été
      "\xC5\x92uvre\n"       // Œuvre: beyond Latin-1
      "bad\xC3\n"            // cut sequence
      "tab\there\n"          // control character
      "'s\n"                 // nothing left
      "abcdefghijklmnopqrstuvwxyzabcdefgh\n";
  CompileSummary summary;
  const std::vector<std::string> words = ParseWordList(list, InputEncoding::Utf8, summary);
  const std::vector<std::string> expected = {
      "abcdefghijklmnopqrstuvwxyzabcd", "couldn", "dog", "neill", "new", "\xE9t\xE9"};
  EXPECT_EQ(words, expected);
  EXPECT_EQ(summary.linesRead, 11u);
  EXPECT_EQ(summary.duplicates, 1u);  // «Dog's» and «dog»
  EXPECT_EQ(summary.cutToLength, 1u);
  EXPECT_EQ(summary.cutAtSpace, 1u);
  EXPECT_EQ(summary.skipped[static_cast<int>(SkipReason::NotLatin1)], 1u);
  EXPECT_EQ(summary.skipped[static_cast<int>(SkipReason::InvalidUtf8)], 1u);
  EXPECT_EQ(summary.skipped[static_cast<int>(SkipReason::ControlCharacter)], 1u);
  EXPECT_EQ(summary.skipped[static_cast<int>(SkipReason::NothingToLookUp)], 1u);

  CompileSummary latin1Summary;
  EXPECT_EQ(ParseWordList("\xC9t\xE9\n\xC3\x89", InputEncoding::Latin1, latin1Summary),
            (std::vector<std::string>{"\xE3\x89", "\xE9t\xE9"}));
}

TEST(LexCompilerWordList, Utf8Conversion) {
  struct Row {
    std::string utf8;
    Utf8Status status;
    std::string latin1;
  };
  const Row rows[] = {
      {"abc", Utf8Status::Ok, "abc"},
      {"\xC3\xA9\xC3\xBF\xC2\xA0", Utf8Status::Ok, "\xE9\xFF\xA0"},
      {"\xC0\xA9", Utf8Status::Invalid, ""},          // overlong
      {"\xED\xA0\x80", Utf8Status::Invalid, ""},      // surrogate
      {"\xF4\x90\x80\x80", Utf8Status::Invalid, ""},  // beyond U+10FFFF
      {"\x80", Utf8Status::Invalid, ""},              // stray continuation
      {"\xE2\x80\x99", Utf8Status::NotLatin1, ""},    // typographic apostrophe
      {"\xE2\x80\x99\xC3", Utf8Status::Invalid, ""},  // a malformed tail wins
  };
  for (const Row& row : rows) {
    std::string out;
    EXPECT_EQ(Utf8ToLatin1(row.utf8, out), row.status) << row.utf8;
    if (row.status == Utf8Status::Ok) {
      EXPECT_EQ(out, row.latin1);
    }
  }
  std::string every;
  for (int c = 1; c < 256; ++c) every.push_back(static_cast<char>(c));
  std::string back;
  ASSERT_EQ(Utf8ToLatin1(Latin1ToUtf8(every), back), Utf8Status::Ok);
  EXPECT_EQ(back, every);
}

TEST(LexCompilerLayout, SectionOrderFollowsLetterCodes) {
  struct Row {
    const char* a;
    const char* b;
  };  // a sorts before b
  const Row rows[] = {
      {"abc", "abcd"},        {"abcz", "abc\xE0"},     // z 26, à 27
      {"abc'", "abca"},       {"abc5", "abc'"},        // no letter code (-1) before the apostrophe
      {"abc", "abc5"},        {"abcd", "abd"},         // third byte first
      {"abz", "ab\xE9"},      {"abc\xFD", "abc\xFF"},  // ý 54, ÿ 55
      {"abc\xFF", "abc\xDF"}, {"abc-a", "abc5b"},      // equal codes, then the next letter
  };
  for (const Row& row : rows) {
    EXPECT_LT(CompareSectionOrder(row.a, row.b), 0) << row.a << " / " << row.b;
    EXPECT_GT(CompareSectionOrder(row.b, row.a), 0) << row.b << " / " << row.a;
  }
  EXPECT_EQ(CompareSectionOrder("abc", "abc"), 0);
}

TEST(LexCompilerLayout, PairsThatShareAPosition) {
  CompileSummary summary;
  LexLayout layout;
  std::string error;
  // «aßen» lands on the position of the pair b, a: it keeps it only while
  // no b, a word wants it. ÿ first, or a digit first with a lettered second,
  // gives no position at all.
  ASSERT_TRUE(BuildLexLayout({"a\xDF"
                              "en",
                              "\xFF"
                              "ab",
                              "1ab", "ab"},
                             layout, summary, error));
  ASSERT_EQ(layout.sections.size(), 1u);
  EXPECT_EQ(layout.sections[0].position, SectionPosition('b', 'a'));
  EXPECT_EQ(layout.sections[0].first, 'a');
  EXPECT_EQ(layout.sections[0].second, 0xDF);
  EXPECT_EQ(summary.skipped[static_cast<int>(SkipReason::NoSection)], 2u);
  ASSERT_EQ(layout.shortWords.size(), 1u);

  CompileSummary contested;
  ASSERT_TRUE(BuildLexLayout({"a\xDF"
                              "en",
                              "bad", "bade"},
                             layout, contested, error));
  ASSERT_EQ(layout.sections.size(), 1u);
  EXPECT_EQ(layout.sections[0].first, 'b');
  EXPECT_EQ(contested.skipped[static_cast<int>(SkipReason::NoSection)], 1u);

  ScratchDir dir;
  Compile({"a\xDF"
           "en",
           "a\xDF"
           "er"},
          dir.File("sz.olx"));
  auto lex = Open(dir.File("sz.olx"));
  ASSERT_NE(lex, nullptr);
  EXPECT_TRUE(
      Found("a\xDF"
            "en",
            *lex));
  EXPECT_FALSE(Found("baen", *lex));
  CloseCompressedLex(std::move(lex));
}

TEST(LexCompilerEncoding, WordCodesChooseTheCheapestStart) {
  struct Row {
    const char* previous;
    const char* word;
    TokenList tokens;
    std::vector<uint8_t> codes;  // empty: cannot be written
  };
  const uint8_t E = CODE_END, R = CODE_RESUME, S = CODE_SKIP, T = CODE_TOKEN, A = CODE_ACCENT;
  const Row rows[] = {
      {"", "abc", {}, {E}},
      {"abc", "abcde", {}, {4, 5, E}},    // the fixed letters alone beat a resume here
      {"abcde", "abcdf", {}, {4, 6, E}},  // a skip of one costs more than the d it saves
      {"abcdf", "abcdfing", {"ing"}, {R, T, 0, E}},
      {"abcdfing", "abc\xE9", {"ing"}, {A, 10, E}},
      {"abcdefgh", "abcdefghij", {}, {R, 9, 10, E}},
      {"abcdefgh", "abcdefgx", {}, {S, 4, 24, E}},
      {"", "abc1", {}, {}},
      {"", "abc1", {"1"}, {T, 0, E}},
      {"", "abcd\xDF\xFF", {}, {4, A, 0, A, 29, E}},
      // Sharing «abcx1» would cut the only token that spells the 1.
      {"abcx1", "abcx12", {"x1", "x12"}, {T, 1, E}},
      {"abc", "abc", {}, {}},  // a later word of three characters
      {"abcdefghijklmnopqrstuvwxyzabcd", "abcdefghijklmnopqrstuvwxyzabce", {}, {S, 26, 5, E}},
  };
  for (const Row& row : rows) {
    std::vector<uint8_t> codes;
    const bool ok = AppendWordCodes(row.previous, row.word, row.tokens, codes);
    EXPECT_EQ(ok, !row.codes.empty()) << row.previous << " -> " << row.word;
    if (ok) {
      EXPECT_EQ(codes, row.codes) << row.previous << " -> " << row.word;
    }
  }
}

std::vector<std::string>* decodedWords = nullptr;
int32_t CollectDecoded(const char* /*target*/, const char* word) {
  decodedWords->emplace_back(word);
  return 1;
}

TEST(LexCompilerEncoding, SectionBytesOfASmallExample) {
  SectionWords section;
  section.first = 'a';
  section.second = 'b';
  section.position = SectionPosition('a', 'b');
  section.words = {"abc", "abcde", "abcdf", "abcdfing", "abc\xE9", "abd", "abdo"};
  std::vector<unsigned char> data;
  std::string error;
  ASSERT_TRUE(EncodeSection(section, {"ing"}, data, error)) << error;
  // Record c: E 4 5 | E 4 6 | E R T | 0 E A | 10 E E; record d: E 15 E.
  const std::vector<unsigned char> expected = {0x0A, 0x00, 'c',  0x00, 0x9F, 0x14, 0x9F,
                                               0x18, 0xBF, 0x73, 0xE0, 0x7B, 0xEA, 0x7F,
                                               0x02, 0x00, 'd',  0x00, 0xFF, 0x7D};
  EXPECT_EQ(data, expected);

  LexSection decoded;
  decoded.firstLetter = 'a';
  decoded.secondLetter = 'b';
  decoded.size = static_cast<uint32_t>(data.size());
  decoded.data = std::make_unique<unsigned char[]>(data.size());
  std::copy(data.begin(), data.end(), decoded.data.get());
  TokenStrings tokenStrings{};
  std::copy_n("ing", 4, tokenStrings[0].data());
  std::vector<std::string> words;
  decodedWords = &words;
  EXPECT_EQ(DecodeSection(decoded, "", false, CollectDecoded, tokenStrings), 0);
  decodedWords = nullptr;
  EXPECT_EQ(words, section.words);
}

TEST(LexCompilerTables, ShortWordTableHoldsAtMost439) {
  std::vector<std::string> words;
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = 'a'; b <= 'z'; ++b) words.push_back(std::string{a, b});
  }
  ScratchDir dir;
  const std::vector<std::string> fits(words.begin(), words.begin() + 439);
  const CompileSummary summary = Compile(fits, dir.File("439.olx"));
  EXPECT_EQ(summary.shortWords, 439u);
  auto lex = Open(dir.File("439.olx"));
  ASSERT_NE(lex, nullptr);
  EXPECT_EQ(lex->shortWordCount, 439u);
  for (const std::string& word : fits) EXPECT_TRUE(Found(word, *lex)) << word;
  EXPECT_FALSE(Found(words[439], *lex));
  CloseCompressedLex(std::move(lex));

  const std::vector<std::string> tooMany(words.begin(), words.begin() + 440);
  CompileSummary failed;
  std::string error;
  EXPECT_FALSE(CompileWordEntries(tooMany, dir.File("440.olx"), {}, failed, error));
  EXPECT_NE(error.find("440"), std::string::npos) << error;
  EXPECT_NE(error.find("439"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir.File("440.olx")));
}

TEST(LexCompilerTables, OversizedSectionIsAnErrorNamingItsPair) {
  std::mt19937 random(7);
  std::vector<std::string> words;
  for (int i = 0; i < 6000; ++i) {
    std::string word = "q\xE9";
    for (int k = 0; k < 24; ++k) word.push_back(static_cast<char>('a' + random() % 26));
    words.push_back(word);
  }
  ScratchDir dir;
  const std::string out = dir.File("big.olx");
  { std::ofstream(out) << "earlier content"; }
  CompileSummary summary;
  std::string error;
  EXPECT_FALSE(CompileWordEntries(words, out, {}, summary, error));
  EXPECT_NE(error.find("\"q\xC3\xA9\""), std::string::npos) << error;  // the pair, in UTF-8
  EXPECT_NE(error.find("65535"), std::string::npos) << error;
  std::ifstream kept(out);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "earlier content");
}

TEST(LexCompilerFile, HeaderTokensAndDirectory) {
  LexLayout layout;
  layout.shortWords = {ShortWord{'a', 0}, ShortWord{'a', 'b'}};
  SectionWords section;
  section.first = 't';
  section.second = 'h';
  section.position = SectionPosition('t', 'h');
  section.words = {"the"};
  layout.sections.push_back(section);
  TokenList tokens;
  for (int n = 0; n < MAX_TOKENS; ++n) tokens.push_back(std::string(TOKEN_MAX, 'a' + n % 26));
  const std::vector<unsigned char> data = {0x02, 0x00, 'e', 0x00, 0xFF, 0x7F};
  const std::vector<unsigned char> image = BuildLexImage(1033, layout, tokens, {data});

  ASSERT_EQ(image.size(), COMPRESSED_HEADER_SIZE + 4 + 8 + data.size());
  EXPECT_NE(image[0], '#');
  EXPECT_EQ(ReadLe32(&image[HEADER_MAGIC_OFFSET]), COMPRESSED_LEX_MAGIC);
  EXPECT_EQ(ReadLe16(&image[HEADER_SHORT_WORD_COUNT_OFFSET]), 2u);
  EXPECT_EQ(ReadLe16(&image[HEADER_SECTION_COUNT_OFFSET]), 1u);
  EXPECT_EQ(ReadLe16(&image[HEADER_LANGUAGE_OFFSET]), 1033u);
  EXPECT_EQ(image[COMPRESSED_HEADER_SIZE - 1], 0);  // the last token's NUL closes the area
  const unsigned char* entry = &image[COMPRESSED_HEADER_SIZE + 4];
  EXPECT_EQ(ReadLe32(entry), COMPRESSED_HEADER_SIZE + 12);
  EXPECT_EQ(ReadLe16(entry + 4), data.size());
  EXPECT_EQ(entry[6], 't');
  EXPECT_EQ(entry[7], 'h');

  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("t.olx"), image, error)) << error;
  auto lex = Open(dir.File("t.olx"));
  ASSERT_NE(lex, nullptr);
  const LexDescription description = DescribeLex(*lex);
  EXPECT_EQ(description.tokens, tokens);
  EXPECT_EQ(description.language, 1033u);
  EXPECT_TRUE(Found("the", *lex));
  EXPECT_TRUE(Found("ab", *lex));
  CloseCompressedLex(std::move(lex));
}

// Random words over letters, accents, apostrophes and characters only tokens spell.
std::vector<std::string> RandomWords(unsigned seed, size_t count, const std::string& extra) {
  std::mt19937 random(seed);
  std::string alphabet = "abcdefghijklmnopqrstuvwxyzaeiouaeiou'";
  for (int n = 0; n < 30; ++n) alphabet.push_back(static_cast<char>(DecodeAccents[n]));
  std::vector<std::string> words;
  for (size_t i = 0; i < count; ++i) {
    const size_t length = 1 + random() % 14;
    std::string word;
    for (size_t k = 0; k < length; ++k) {
      const bool rare = !extra.empty() && random() % 12 == 0;
      word.push_back(rare ? extra[random() % extra.size()] : alphabet[random() % alphabet.size()]);
    }
    words.push_back(word);
  }
  return words;
}

TEST(LexCompilerRoundTrip, RandomWordsWithAccentsApostrophesAndTokens) {
  struct Row {
    unsigned seed;
    std::string extra;  // characters only tokens spell
    bool expectSkips;   // more such characters than token places
  };
  std::string many;
  for (int c = 0x21; c <= 0x40; ++c) {
    if (c != '\'') many.push_back(static_cast<char>(c));
  }
  many += "\xA1\xA2\xA3\xA4\xA5\xD0\xDE\xF0\xFE";
  const Row rows[] = {{1, "", false}, {2, "-0123456789", false}, {3, many, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE("seed " + std::to_string(row.seed));
    ScratchDir dir;
    const std::string out = dir.File("random.olx");
    const std::vector<std::string> entries = RandomWords(row.seed, 4000, row.extra);
    const CompileSummary summary = Compile(entries, out);
    EXPECT_TRUE(summary.verified);
    const uint64_t noToken = summary.skipped[static_cast<int>(SkipReason::NoTokenForCharacter)];
    EXPECT_EQ(noToken > 0, row.expectSkips);

    auto lex = Open(out, 4096);  // a small budget: sections come and go
    ASSERT_NE(lex, nullptr);
    std::vector<std::string> stored = ReadShortWords(*lex);
    std::vector<std::string> words;
    for (int32_t position = 0; position < SECTION_INDEX_SIZE; ++position) {
      ASSERT_EQ(ReadSectionWords(*lex, position, words), 0);
      stored.insert(stored.end(), words.begin(), words.end());
    }
    EXPECT_EQ(stored.size(), summary.WordsWritten());
    // Every entry whose stored form was kept is found under that form.
    const std::set<std::string> kept(stored.begin(), stored.end());
    CompileSummary ignored;
    const std::vector<std::string> forms = StoreEntries(entries, ignored);
    EXPECT_EQ(forms.size(),
              kept.size() + noToken + summary.skipped[static_cast<int>(SkipReason::NoSection)]);
    ExpectExactLookups(stored, *lex);
    CloseCompressedLex(std::move(lex));
  }
}

TEST(LexCompilerRoundTrip, EnglishWordList) {
  const char* data = std::getenv("ORTH_TEST_DATA");
  ASSERT_NE(data, nullptr);
  const std::string list =
      (fs::path(data) / "../../dicts/en_US/en_US.words").lexically_normal().string();
  ScratchDir dir;
  const std::string out = dir.File("en_US.olx");
  CompileSummary summary;
  std::string error;
  ASSERT_TRUE(CompileWordListFile(list, out, CompileOptions{1033}, summary, error)) << error;
  EXPECT_TRUE(summary.verified);
  EXPECT_EQ(summary.SkippedTotal(), 0u);
  EXPECT_GT(summary.WordsWritten(), 70000u);
  EXPECT_LT(summary.fileSize, summary.WordsWritten() * 4);  // well under 4 bytes a word

  std::vector<std::string> stored;
  CompileSummary again;
  ASSERT_TRUE(ReadWordListFile(list, InputEncoding::Utf8, stored, again, error));
  auto lex = Open(out, static_cast<int32_t>(summary.largestSectionSize));
  ASSERT_NE(lex, nullptr);
  EXPECT_EQ(lex->language, 1033u);
  ExpectExactLookups(stored, *lex, 3);
  // The list's own spellings reach their stored forms: possessives, elisions, capitals.
  for (const char* entry : {"dog's", "couldn't", "O'Neill", "Atat\xFCrk's", "Bogot\xE1"}) {
    EXPECT_TRUE(Found(StoredFormOf(entry), *lex)) << entry;
  }
  CloseCompressedLex(std::move(lex));
}

}  // namespace
}  // namespace orth
