// The text lexicon: header parsing, loading, saving, editing and listing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#include <csignal>
#endif

#include "lex/text_lex.h"
#include "orth.h"

namespace orth {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class TextLexFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() /
           ("orth_text_lex_" + std::to_string(random()) + "_" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    return PathOf(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  fs::path dir_;
};

// The entries as ListTextLex writes them, checking the size it reports.
std::vector<std::string> Listing(const TextLex& lex) {
  int32_t size = 0;
  EXPECT_EQ(GetTextLexSize(lex, size), 0);
  std::vector<char> buffer(static_cast<size_t>(size) + 8, 'Z');
  EXPECT_EQ(ListTextLex(lex, buffer.data(), static_cast<uint32_t>(size)),
            static_cast<int32_t>(lex.count));
  EXPECT_EQ(buffer[size - 1], '\0');
  EXPECT_EQ(buffer[size], 'Z') << "wrote past the reported size";
  std::vector<std::string> entries;
  // Count entries rather than stop at the first empty string: an empty word
  // is an entry too.
  const char* p = buffer.data();
  for (uint32_t i = 0; i < lex.count; ++i, p += entries.back().size() + 1) entries.emplace_back(p);
  EXPECT_EQ(*p, '\0');
  return entries;
}

// A distinct lower-case word for every number.
std::string WordNumber(int n) {
  std::string word = "w";
  for (int i = 0; i < 4; ++i, n /= 26) word += static_cast<char>('a' + n % 26);
  return word;
}

std::string Lines(const std::string& header, int count) {
  std::string text = header;
  for (int i = 0; i < count; ++i) text += WordNumber(i) + "\n";
  return text;
}

TEST(TextLexHeader, ParseRows) {
  struct Row {
    const char* line;
    int32_t result, language, type, count;
  };
  const Row rows[] = {
      {"#LID 0009 1 3\n", 0, 9, 1, 3},
      {"#LID 9 1\n", 0, 9, 1, 0},  // no count before the line end
      {"#LID 9 1 \n", 0, 9, 1, 0},
      {"#LID 9 1", ERR_BAD_FORMAT, 0, 0, 0},  // last line without its line end
      {"#LID 9\n", ERR_BAD_FORMAT, 0, 0, 0},  // no type
      {"#LID 9", ERR_BAD_FORMAT, 0, 0, 0},
      {"#LID\n", ERR_BAD_FORMAT, 0, 0, 0},
      {"#\n", ERR_BAD_FORMAT, 0, 0, 0},
      {"# 12 2 5\n", 0, 12, 2, 5},  // the first token is not examined
      {"#XYZ 1 0 0\n", 0, 1, 0, 0},
      {"#LID 1234567890 1 0\n", 0, 123456789, 0, 1},  // 10 bytes make two tokens
      {"#LIDLIDLIDLID 7 1 2\n", 0, 0, 7, 1},
      {"#LID -3 1 -5\n", 0, -3, 1, 0},  // a negative count counts as 0
      {"#LID +12x 1 4z\n", 0, 12, 1, 4},
      {"#LID\t9\xA0"
       "1\f4\r\n",
       0, 9, 1, 4},  // tab, no-break space, form feed
      {"#LID x y z\n", 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    int32_t language = 0, type = 0, count = 0;
    EXPECT_EQ(ParseLexHeader(row.line, language, type, count), row.result) << row.line;
    if (row.result == 0) {
      EXPECT_EQ(language, row.language) << row.line;
      EXPECT_EQ(type, row.type) << row.line;
      EXPECT_EQ(count, row.count) << row.line;
    }
  }
  char token[HEADER_TOKEN_MAX + 1];
  const char* line = "  abcdefghijkl m";
  const char* rest = ReadHeaderToken(line, token);
  EXPECT_STREQ(token, "abcdefghi");
  EXPECT_STREQ(rest, "jkl m");
}

TEST_F(TextLexFiles, ProbeRows) {
  struct Row {
    std::string content;
    int32_t result, type, language;
  };
  const Row rows[] = {
      {"#LID 0009 1 0\n", 0, 1, 9},
      {"#LID 0044 3 0\n", 0, 3, 44},  // the probe does not check the type
      {"#LID 5 0\nabc:def\n", 0, 0, 5},
      {"", ERR_BAD_FORMAT, 0, 0},
      {"LID 1 1 0\n", ERR_BAD_FORMAT, 0, 0},
      {"\n#LID 1 1 0\n", ERR_BAD_FORMAT, 0, 0},
      {"#LID 1\n", ERR_BAD_FORMAT, 0, 0},
      {"#LID 1 1", ERR_BAD_FORMAT, 0, 0},
  };
  for (const Row& row : rows) {
    const std::string path = Write("probe.lex", row.content);
    int32_t type = -1, language = -1;
    EXPECT_EQ(ProbeTextLex(path.c_str(), type, language), row.result) << row.content;
    if (row.result == 0) {
      EXPECT_EQ(type, row.type);
      EXPECT_EQ(language, row.language);
    }
  }
  int32_t type = 0, language = 0;
  EXPECT_EQ(ProbeTextLex(PathOf("missing.lex").c_str(), type, language), ERR_FILE_OPEN);
}

TEST_F(TextLexFiles, LoadRows) {
  const std::string line100(100, 'q');
  struct Row {
    std::string content;
    int32_t result;
    uint32_t capacity;
    std::vector<std::string> entries;
  };
  const Row rows[] = {
      {"#LID 0007 1 0\nabc\nde\nf\n", 0, 8, {"abc", "de", "f"}},
      {"#LID 7 1 2\r\nabc\r\nde\r\n", 0, 10, {"abc", "de"}},
      {"#LID 7 1 0\n# a comment\nabc\n#another\n", 0, 8, {"abc"}},
      {"#LID 7 1 0\n\nabc\n", 0, 8, {"", "abc"}},  // an empty line is an empty word
      {"#LID 7 1 0\nabc", 0, 8, {"abc"}},          // no final line end
      {"#LID 7 1 0\nzeta\nalpha\nzeta\n", 0, 8, {"zeta", "alpha", "zeta"}},  // kept as read
      {"#LID 7 1 0\n a b \n", 0, 8, {" a b "}},                              // nothing is trimmed
      {"#LID 7 1 0\na:b\n", 0, 8, {"a:b"}},  // an Accept word may hold ':'
      {"#LID 7 0 0\nteh:the:x\n", 0, 8, {"teh:the:x"}},
      {"#LID 7 2 0\nteh\n", 0, 8, {"teh:"}},  // no ':': an empty other word
      {"#LID 7 1 0\n" + line100 + "\n", 0, 8, {std::string(30, 'q'), std::string(21, 'q')}},
      {"#LID 7 1 0\n" + std::string(40, 'r') + "\n", 0, 8, {std::string(30, 'r')}},
      {"#LID 7 0 0\n" + std::string(35, 'a') + ":" + std::string(35, 'b') + "\n",
       0,
       8,
       {std::string(30, 'a') + ":" + std::string(30, 'b')}},
      {"#LID 7 1\nabc\n", 0, 8, {"abc"}},     // no count
      {"#LID 7 1 -4\nabc\n", 0, 8, {"abc"}},  // negative count
      {Lines("#LID 7 1 0\n", 20), 0, 24, {}},
      {"", ERR_BAD_FORMAT, 0, {}},
      {"abc\n", ERR_BAD_FORMAT, 0, {}},
      {"#LID 7\nabc\n", ERR_BAD_FORMAT, 0, {}},
      {"#LID 7 1", ERR_BAD_FORMAT, 0, {}},
      {"#LID 7 3 0\n", ERR_BAD_FORMAT, 0, {}},
      {"#LID 7 -1 0\n", ERR_BAD_FORMAT, 0, {}},
  };
  for (const Row& row : rows) {
    const std::string path = Write("load.lex", row.content);
    std::unique_ptr<TextLex> lex;
    ASSERT_EQ(LoadTextLex(path.c_str(), lex), row.result) << row.content;
    if (row.result != 0) {
      EXPECT_EQ(lex, nullptr);
      continue;
    }
    EXPECT_EQ(lex->language, 7);
    EXPECT_EQ(lex->capacity, row.capacity) << row.content;
    EXPECT_EQ(lex->HasOthers(), lex->type != LEX_TYPE_ACCEPT);
    if (!row.entries.empty()) {
      EXPECT_EQ(Listing(*lex), row.entries) << row.content;
    }
  }
  std::unique_ptr<TextLex> lex;
  EXPECT_EQ(LoadTextLex(PathOf("missing.lex").c_str(), lex), ERR_FILE_OPEN);
}

TEST_F(TextLexFiles, LoadSizeLimits) {
  struct Row {
    int headerCount, lines;
    int32_t result;
    uint32_t capacity;
  };
  const Row rows[] = {
      {2106, 2106, 0, 2114},
      {2107, 2107, 0, 2114},
      {2114, 2114, 0, 2114},
      {2115, 0, ERR_NO_MEMORY, 0},
      {999999999, 0, ERR_NO_MEMORY, 0},
      {2114, 2115, ERR_NO_MEMORY, 0},  // more lines than the arrays can hold
      {0, 2112, 0, 2112},              // grown in steps of 8
      {0, 2113, ERR_NO_MEMORY, 0},     // growth from 8 stops at 2112
  };
  for (const Row& row : rows) {
    const std::string header = "#LID 1 1 " + std::to_string(row.headerCount) + "\n";
    const std::string path = Write("big.lex", Lines(header, row.lines));
    std::unique_ptr<TextLex> lex;
    ASSERT_EQ(LoadTextLex(path.c_str(), lex), row.result) << row.headerCount << " " << row.lines;
    if (row.result == 0) {
      EXPECT_EQ(lex->count, static_cast<uint32_t>(row.lines));
      EXPECT_EQ(lex->capacity, row.capacity);
    }
  }
}

TEST_F(TextLexFiles, CreateAndSaveByteForByte) {
  const std::string path = PathOf("user.lex");
  std::unique_ptr<TextLex> lex;
  ASSERT_EQ(CreateTextLex(path.c_str(), LEX_TYPE_ACCEPT, 9, lex), 0);
  EXPECT_EQ(Read(path), "#LID 0009 1 0\n");
  EXPECT_EQ(lex->capacity, 8u);
  EXPECT_FALSE(lex->HasOthers());
  for (const char* word : {"cherry", "Apple", "banana"})
    EXPECT_EQ(AddToTextLex(*lex, word, "x"), 0);
  ASSERT_EQ(SaveTextLex(*lex, path.c_str()), 0);
  EXPECT_EQ(Read(path), "#LID 0009 1 3\nApple\nbanana\ncherry\n");
  std::unique_ptr<TextLex> again;
  ASSERT_EQ(LoadTextLex(path.c_str(), again), 0);
  EXPECT_EQ(again->language, 9);
  EXPECT_EQ(Listing(*again), (std::vector<std::string>{"Apple", "banana", "cherry"}));

  // A Change list: comments go, CR LF becomes LF, a line without ':' comes
  // back as "word:", the count is rewritten.
  const std::string change =
      Write("change.lex", "#LID 12345 0 9\r\n# keep me?\r\nalot:a lot\r\nteh\r\nthier:their\r\n");
  std::unique_ptr<TextLex> changeLex;
  ASSERT_EQ(LoadTextLex(change.c_str(), changeLex), 0);
  ASSERT_EQ(SaveTextLex(*changeLex, change.c_str()), 0);
  EXPECT_EQ(Read(change), "#LID 12345 0 3\nalot:a lot\nteh:\nthier:their\n");
  EXPECT_EQ(Names().size(), 2u) << "a temporary file was left behind";

  // Creating never touches an existing file; a null or empty name makes none.
  Write("taken.lex", "precious");
  std::unique_ptr<TextLex> none;
  EXPECT_EQ(CreateTextLex(PathOf("taken.lex").c_str(), LEX_TYPE_ACCEPT, 1, none), ERR_FILE_EXISTS);
  EXPECT_EQ(Read(PathOf("taken.lex")), "precious");
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(CreateTextLex(PathOf("no/such/dir.lex").c_str(), LEX_TYPE_ACCEPT, 1, none),
            ERR_FILE_OPEN);
  EXPECT_EQ(CreateTextLex(nullptr, LEX_TYPE_SUGGEST, 1, none), 0);
  EXPECT_TRUE(none->HasOthers());
  EXPECT_EQ(CreateTextLex("", LEX_TYPE_ACCEPT, 1, none), 0);
  EXPECT_EQ(Names().size(), 3u);
  EXPECT_EQ(FreeTextLex(none), 0);
  EXPECT_EQ(none, nullptr);

  // Saving through a link replaces the file it points to and keeps the link
  // (POSIX links: Windows makes them only with privileges).
#if !defined(_WIN32)
  fs::create_symlink("user.lex", PathOf("link.lex"));
  ASSERT_EQ(DeleteFromTextLex(*lex, "apple"), 0);
  ASSERT_EQ(SaveTextLex(*lex, PathOf("link.lex").c_str()), 0);
  EXPECT_TRUE(fs::is_symlink(PathOf("link.lex")));
  EXPECT_EQ(Read(path), "#LID 0009 1 2\nbanana\ncherry\n");
#endif
}

TEST_F(TextLexFiles, FailedSaveKeepsTheOldFile) {
  std::unique_ptr<TextLex> lex;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_ACCEPT, 1, lex), 0);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(AddToTextLex(*lex, WordNumber(i).c_str(), nullptr), 0);
  const std::string old = "#LID 0001 1 1\nprecious\n";
  const std::string path = Write("user.lex", old);

  // No folder, or a folder in the target's place.
  EXPECT_EQ(SaveTextLex(*lex, PathOf("missing/user.lex").c_str()), ERR_FILE_OPEN);
  fs::create_directory(PathOf("folder.lex"));
  EXPECT_EQ(SaveTextLex(*lex, PathOf("folder.lex").c_str()), ERR_FILE_OPEN);
  EXPECT_TRUE(fs::is_directory(PathOf("folder.lex")));
  EXPECT_EQ(SaveTextLex(*lex, nullptr), ERR_FILE_OPEN);
  EXPECT_EQ(SaveTextLex(*lex, ""), ERR_FILE_OPEN);

  // A taken temporary name is never overwritten.
  Write("user.lex.tmp", "stale");
  ASSERT_EQ(SaveTextLex(*lex, path.c_str()), 0);  // another free name is used
  EXPECT_EQ(Read(PathOf("user.lex.tmp")), "stale");
  // Stale files of interrupted saves never use up the temporary names.
  for (int n = 1; n < 16; ++n) Write("user.lex." + std::to_string(n) + ".tmp", "stale");
  EXPECT_EQ(SaveTextLex(*lex, path.c_str()), 0);
  EXPECT_EQ(Read(PathOf("user.lex.15.tmp")), "stale");
  Write("user.lex", old);

#if defined(__unix__)
  // Writes fail part way (the file size limit stands in for a full disk).
  for (int n = 0; n < 16; ++n)
    fs::remove(PathOf(n == 0 ? "user.lex.tmp" : "user.lex." + std::to_string(n) + ".tmp"));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int32_t result = SaveTextLex(*lex, path.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, ERR_FILE_OPEN);
  EXPECT_EQ(Read(path), old);
  EXPECT_EQ(Names().size(), 2u) << "a temporary file was left behind";

  // A read-only target stays as it is (unless privileges override modes).
  fs::permissions(path, fs::perms::owner_read);
  if (std::FILE* probe = std::fopen(path.c_str(), "r+")) {
    std::fclose(probe);
  } else {
    EXPECT_EQ(SaveTextLex(*lex, path.c_str()), ERR_FILE_OPEN);
    EXPECT_EQ(Read(path), old);
  }
#endif
}

TEST(TextLexEntries, SortedInsertionAndLookup) {
  std::unique_ptr<TextLex> lex;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_CHANGE, 0, lex), 0);
  struct Add {
    const char* word;
    const char* other;
  };
  const Add adds[] = {
      {"teh", "the"},       {"Alot", "a lot"}, {"zz", "z"},
      {"TEH", "ignored"},  // caseless duplicate
      {"b'c", "bc"},        {"bac", "bac"},    {"", "empty"},
      {"\xC0x", "a-grave"}, {"alot", "again"}, {"recieve", "receive"},
  };
  for (const Add& add : adds) EXPECT_EQ(AddToTextLex(*lex, add.word, add.other), 0) << add.word;
  EXPECT_EQ(Listing(*lex),
            (std::vector<std::string>{":empty", "Alot:a lot", "b'c:bc", "bac:bac",
                                      "recieve:receive", "teh:the", "zz:z", "\xC0x:a-grave"}));
  EXPECT_EQ(lex->capacity, 8u);
  EXPECT_EQ(AddToTextLex(*lex, "one more", "grows"), 0);
  EXPECT_EQ(lex->capacity, 16u);

  // Lookups: caseless; the other word is cut to the buffer and NUL-filled.
  struct Find {
    const char* word;
    int32_t size;
    int32_t result;
    const char* other;
  };
  const Find finds[] = {
      {"TEH", 8, 0, "the"},   {"alot", 5, 0, "a lo"},      {"RECIEVE", 7, 0, "receiv"},
      {"recieve", 1, 0, ""},  {"\xE0X", 31, 0, "a-grave"}, {"tea", 8, ERR_NOT_FOUND, ""},
      {"teh", 0, 0, nullptr},  // size 0: nothing written
  };
  for (const Find& find : finds) {
    char buffer[40];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(FindInTextLex(*lex, find.word, buffer, find.size), find.result) << find.word;
    if (find.result == 0 && find.other != nullptr) {
      EXPECT_STREQ(buffer, find.other) << find.word;
      for (int32_t i = 0; i < find.size; ++i) {
        if (i >= static_cast<int32_t>(std::strlen(find.other))) {
          EXPECT_EQ(buffer[i], '\0');
        }
      }
    }
    if (find.size < 40) {
      EXPECT_EQ(buffer[find.size], 'Z') << find.word;
    }
  }

  // Words longer than a slot are cut, and the cut form is a duplicate.
  const std::string longWord(40, 'm');
  EXPECT_EQ(AddToTextLex(*lex, longWord.c_str(), std::string(33, 'o').c_str()), 0);
  const uint32_t count = lex->count;
  EXPECT_EQ(AddToTextLex(*lex, longWord.substr(0, 30).c_str(), "x"), 0);
  EXPECT_EQ(lex->count, count);
  char other[31];
  EXPECT_EQ(FindInTextLex(*lex, longWord.substr(0, 30).c_str(), other, sizeof other), 0);
  EXPECT_EQ(std::string(other), std::string(30, 'o'));

  // Deleting is caseless and keeps the order and the capacity.
  EXPECT_EQ(DeleteFromTextLex(*lex, "ALOT"), 0);
  EXPECT_EQ(DeleteFromTextLex(*lex, "alot"), ERR_NOT_FOUND);
  EXPECT_EQ(FindInTextLex(*lex, "b'c", other, sizeof other), 0);
  EXPECT_STREQ(other, "bc");
  EXPECT_EQ(ClearTextLex(*lex), 0);
  EXPECT_EQ(lex->count, 0u);
  EXPECT_EQ(lex->capacity, 16u);
  EXPECT_EQ(SearchTextLex(*lex, "teh"), ERR_NOT_FOUND);
}

TEST(TextLexEntries, SizesAndListing) {
  std::unique_ptr<TextLex> accept;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_ACCEPT, 0, accept), 0);
  int32_t size = -1;
  EXPECT_EQ(GetTextLexSize(*accept, size), 0);
  EXPECT_EQ(size, 1);
  AddToTextLex(*accept, "bc", nullptr);
  AddToTextLex(*accept, "a", nullptr);
  GetTextLexSize(*accept, size);
  EXPECT_EQ(size, 6);
  char buffer[8];
  EXPECT_EQ(ListTextLex(*accept, buffer, 5), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(ListTextLex(*accept, buffer, 0), ERR_BUFFER_TOO_SMALL);
  std::memset(buffer, 'Z', sizeof buffer);
  EXPECT_EQ(ListTextLex(*accept, buffer, 6), 2);
  EXPECT_EQ(std::string(buffer, 7), std::string("a\0bc\0\0Z", 7));

  // Deleting the only entry leaves the capacity; the list is one NUL.
  std::unique_ptr<TextLex> change;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_CHANGE, 0, change), 0);
  AddToTextLex(*change, "abc", "defg");
  GetTextLexSize(*change, size);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(DeleteFromTextLex(*change, "ABC"), 0);
  EXPECT_EQ(change->capacity, 8u);
  std::memset(buffer, 'Z', sizeof buffer);
  EXPECT_EQ(ListTextLex(*change, buffer, 1), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'Z');
}

TEST_F(TextLexFiles, GrowthLimitAndReload) {
  std::unique_ptr<TextLex> lex;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_ACCEPT, 3, lex), 0);
  for (int i = 0; i < 2112; ++i) ASSERT_EQ(AddToTextLex(*lex, WordNumber(i).c_str(), nullptr), 0);
  EXPECT_EQ(AddToTextLex(*lex, "overflow", nullptr), ERR_NO_MEMORY);
  EXPECT_EQ(lex->count, 2112u);
  EXPECT_EQ(lex->capacity, 2112u);
  EXPECT_EQ(SearchTextLex(*lex, "overflow"), ERR_NOT_FOUND);
  EXPECT_EQ(AddToTextLex(*lex, WordNumber(7).c_str(), nullptr), 0);  // present: no growth needed

  // The saved list loads again, with room up to the byte limit.
  const std::string path = PathOf("full.lex");
  ASSERT_EQ(SaveTextLex(*lex, path.c_str()), 0);
  std::unique_ptr<TextLex> loaded;
  ASSERT_EQ(LoadTextLex(path.c_str(), loaded), 0);
  EXPECT_EQ(loaded->capacity, 2114u);
  EXPECT_EQ(AddToTextLex(*loaded, "more", nullptr), 0);
  EXPECT_EQ(AddToTextLex(*loaded, "most", nullptr), 0);
  EXPECT_EQ(AddToTextLex(*loaded, "overflow", nullptr), ERR_NO_MEMORY);
  ASSERT_EQ(SaveTextLex(*loaded, path.c_str()), 0);
  ASSERT_EQ(LoadTextLex(path.c_str(), loaded), 0);
  EXPECT_EQ(loaded->count, 2114u);
  EXPECT_GE(SearchTextLex(*loaded, "most"), 0);
  EXPECT_GE(SearchTextLex(*loaded, WordNumber(2111).c_str()), 0);
}

TEST(TextLexEntries, ForEachWord) {
  std::unique_ptr<TextLex> lex;
  ASSERT_EQ(CreateTextLex(nullptr, LEX_TYPE_SUGGEST, 0, lex), 0);
  struct Walk {
    std::string seen;
    int32_t stopAt = -1;  // visit number that returns stopResult
    int32_t stopResult = 0;
    int32_t visits = 0;
  };
  auto visitor = [](const char* target, const char* word, void* context) -> int32_t {
    auto* walk = static_cast<Walk*>(context);
    walk->seen += std::string(target) + "=" + word + ";";
    return walk->visits++ == walk->stopAt ? walk->stopResult : 1;
  };
  Walk empty;
  EXPECT_EQ(ForEachTextLexWord(*lex, visitor, "t", &empty), 1);
  EXPECT_EQ(empty.seen, "");
  for (const char* word : {"c", "a", "b"}) AddToTextLex(*lex, word, "other");
  Walk all;
  EXPECT_EQ(ForEachTextLexWord(*lex, visitor, "t", &all), 1);
  EXPECT_EQ(all.seen, "t=a;t=b;t=c;");
  Walk stop{"", 1, 0};
  EXPECT_EQ(ForEachTextLexWord(*lex, visitor, "t", &stop), 0);
  EXPECT_EQ(stop.seen, "t=a;t=b;");
  Walk fail{"", 0, ERR_BUFFER_TOO_SMALL};
  EXPECT_EQ(ForEachTextLexWord(*lex, visitor, "t", &fail), ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(fail.seen, "t=a;");
}

}  // namespace
}  // namespace orth
