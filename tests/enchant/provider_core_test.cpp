// The Enchant provider apart from Enchant: which characters make words, how a
// token becomes the engine's words, what a token gets on the bundled en_US,
// how tags name dictionaries, where dictionaries are found, and the shared
// sessions with their errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dictionary_catalog.h"
#include "encoding/engine_text.h"
#include "orth.h"
#include "shared_dictionary.h"
#include "token_words.h"

namespace orth::provider {
namespace {

namespace fs = std::filesystem;

const std::string EN_US = std::string(ORTH_DICT_DIR) + "/en_US.olx";

TEST(ProviderWords, WordCharactersFollowTheEngine) {
  struct Row {
    uint32_t character;
    bool first, middle, last;
  };
  const Row rows[] = {
      {'a', true, true, true},       {'Z', true, true, true},
      {0xE9, true, true, true},      {0xFF, true, true, true},        // é ÿ
      {0xDF, true, true, true},      {'0', false, true, true},        // ß, a digit
      {'\'', false, true, false},    {0x2019, false, true, false},    // the apostrophes
      {0x2018, false, true, false},  {0x02BC, false, true, false},    //
      {'-', false, false, false},    {0x2013, false, false, false},   // hyphen, en dash
      {' ', false, false, false},    {0xA0, false, false, false},     // spaces
      {0x2009, false, false, false}, {'_', false, false, false},      //
      {'.', false, false, false},    {0xD0, false, false, false},     // Ð has no class
      {0xD7, false, false, false},   {0x0416, false, false, false},   // ×, Cyrillic Ж
      {0x0153, true, true, true},    {0x1F600, false, false, false},  // œ is oe, an emoji
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsWordCharacter(row.character, 0), row.first) << std::hex << row.character;
    EXPECT_EQ(IsWordCharacter(row.character, 1), row.middle) << std::hex << row.character;
    EXPECT_EQ(IsWordCharacter(row.character, 2), row.last) << std::hex << row.character;
  }
  EXPECT_FALSE(IsWordCharacter('a', 3));
}

TEST(ProviderWords, TokensSplitAsOrthspellSplitsText) {
  struct Row {
    std::string token;               // UTF-8, as Enchant hands it over
    std::vector<std::string> words;  // Latin-1
  };
  const std::vector<Row> rows = {
      {"plain", {"plain"}},
      {"don\xe2\x80\x99t", {"don't"}},
      {"o\xca\xbc"
       "clock",
       {"o'clock"}},
      {"boys'", {"boys"}},
      {"'tis", {"tis"}},
      {"well-known", {"well", "known"}},
      {"well\xe2\x80\x93known", {"well", "known"}},  // an en dash
      {"na\xc3\xafve", {"na\xefve"}},
      {"\xc5\x92uvre", {"OEuvre"}},  // the ligature's letters
      {"c\xc5\x93ur", {"coeur"}},
      {"\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", {}},  // привет
      {"4th", {"th"}},
      {"abc123", {"abc123"}},
      {"123", {}},
      {"", {}},
      {"''", {}},
      {"\xff\xfe", {"\xff"}},  // malformed UTF-8: bytes as Latin-1; þ has no class
  };
  for (const Row& row : rows) {
    std::string engine;
    TokenToEngineBytes(row.token, engine);
    std::vector<std::string> words;
    for (const WordSpan& span : EngineWordSpans(engine)) {
      words.push_back(engine.substr(span.begin, span.end - span.begin));
    }
    EXPECT_EQ(words, row.words) << row.token;
  }
}

TEST(ProviderWords, TokensOnTheBundledDictionary) {
  std::string error;
  const auto dictionary = SharedDictionary::Open(EN_US, error);
  ASSERT_NE(dictionary, nullptr) << error;
  struct Row {
    std::string token;
    int32_t check;                // 0 correct, 1 misspelled
    std::string firstSuggestion;  // empty: no suggestion at all
  };
  const std::vector<Row> rows = {
      {"receive", 0, "receive"},
      {"recieve", 1, "receive"},
      {"Recieve", 1, "Receive"},
      {"don\xe2\x80\x99t", 0, "don't"},
      {"boys'", 0, ""},
      {"well-known", 0, ""},
      {"wel-known", 1, ""},
      {"colour", 1, "color"},
      {"\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", 0, ""},  // no word to judge
      {"\xc5\x92uvre", 0, "OEuvre"},  // read as oeuvre, a word of en_US's rare-word list
      {"123", 0, ""},
      // Words of 64 bytes or more reach the engine from the heap, shorter ones
      // from the stack; every length is judged.
      {std::string(63, 'q'), 1, ""},
      {std::string(64, 'q'), 1, ""},
      {"receive-" + std::string(70, 'q'), 1, ""},
      {std::string(70, 'q') + "-receive", 1, ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(dictionary->Check(row.token), row.check) << row.token;
    std::vector<std::string> suggestions;
    ASSERT_EQ(dictionary->Suggest(row.token, suggestions), 0) << row.token;
    EXPECT_LE(suggestions.size(), static_cast<size_t>(MAX_SUGGESTIONS)) << row.token;
    for (const std::string& suggestion : suggestions) {
      EXPECT_TRUE(cli::IsValidUtf8(suggestion)) << row.token;
    }
    if (!row.firstSuggestion.empty()) {
      ASSERT_FALSE(suggestions.empty()) << row.token;
      EXPECT_EQ(suggestions.front(), row.firstSuggestion) << row.token;
    } else if (row.check == 0) {
      // A correct word is its own first suggestion.
      EXPECT_TRUE(suggestions.empty() || suggestions.front() == row.token) << row.token;
    }
  }
  // Suggestions come back as UTF-8: naiveté holds é as two bytes.
  std::vector<std::string> suggestions;
  ASSERT_EQ(dictionary->Suggest("na\xc3\xafve", suggestions), 0);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "naive"), suggestions.end());
}

TEST(ProviderDictionaries, SessionsAreSharedAndFailuresExplained) {
  std::string error;
  auto first = SharedDictionary::Open(EN_US, error);
  auto second = SharedDictionary::Open(std::string(ORTH_DICT_DIR) + "/../dicts/en_US.olx", error);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->session(), second->session());  // one session for one file
  auto other = SharedDictionary::Open(std::string(ORTH_DICT_DIR) + "/en_GB.olx", error);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other->session(), first->session());
  EXPECT_EQ(other->Check("colour"), 0);
  const int32_t session = first->session();
  first.reset();
  EXPECT_EQ(second->Check("color"), 0);  // still open for its other user
  second.reset();
  EXPECT_EQ(ORTH_CloseSession(session), ERR_BAD_SESSION);  // closed with its last user

  const fs::path work = fs::temp_directory_path() / "orth_provider_core_test";
  fs::create_directories(work);
  struct Row {
    std::string name;
    std::string bytes;  // the file's content; "-" for no file
    std::string message;
  };
  const std::vector<Row> rows = {
      {"garbage.olx", std::string(600, '\x5a'), "not a dictionary, or damaged"},
      {"empty.olx", "", "not a dictionary, or damaged"},
      {"missing.olx", "-", "cannot open the file"},
  };
  for (const Row& row : rows) {
    const fs::path path = work / row.name;
    fs::remove(path);
    if (row.bytes != "-") std::ofstream(path, std::ios::binary) << row.bytes;
    error.clear();
    EXPECT_EQ(SharedDictionary::Open(path.string(), error), nullptr) << row.name;
    EXPECT_EQ(error, row.message) << row.name;
  }
  fs::remove_all(work);
}

TEST(ProviderCatalog, TagsNameDictionaries) {
  const std::vector<DictionaryFile> all = {{"en_GB", "/d/en_GB.olx"}, {"en_US", "/d/en_US.olx"},
                                           {"es", "/d/es.olx"},       {"fr_CA", "/d/fr_CA.olx"},
                                           {"pt_BR", "/d/pt_BR.olx"}, {"pt_PT", "/d/pt_PT.olx"}};
  const std::vector<DictionaryFile> british = {{"en_AU", "/d/en_AU.olx"},
                                               {"en_GB", "/d/en_GB.olx"}};
  struct Row {
    const std::vector<DictionaryFile>* dictionaries;
    std::string tag;
    std::string name;  // empty: none
  };
  const std::vector<Row> rows = {
      {&all, "en_US", "en_US"},
      {&all, "en-US", "en_US"},
      {&all, "en_us", "en_US"},
      {&all, "EN-us", "en_US"},
      {&all, "en_US.UTF-8@euro", "en_US"},
      {&all, " en_GB", "en_GB"},
      {&all, "en", "en_US"},
      {&all, "EN", "en_US"},
      {&all, "es", "es"},
      {&all, "es_ES", ""},  // the broker then asks for es
      {&all, "fr", "fr_CA"},
      {&all, "pt", "pt_BR"},
      {&all, "de", ""},
      {&all, "", ""},
      {&all, "_US", ""},
      {&all, "e", ""},
      {&british, "en", "en_AU"},
      {&british, "en_US", ""},
  };
  for (const Row& row : rows) {
    const DictionaryFile* found = DictionaryForTag(*row.dictionaries, row.tag);
    EXPECT_EQ(found != nullptr ? found->name : "", row.name) << row.tag;
  }
  EXPECT_EQ(NormalizeTag("en-gb.ISO-8859-15@euro"), "en_GB");
}

TEST(ProviderCatalog, FoldersInOrderAndTheFirstFolderWins) {
  const fs::path work = fs::temp_directory_path() / "orth_provider_catalog_test";
  fs::remove_all(work);
  const fs::path user = work / "config" / "orth";
  const fs::path data = work / "data";
  fs::create_directories(user);
  fs::create_directories(data / "folder.olx");  // a folder is not a dictionary
  for (const fs::path& file : {user / "en_US.olx", user / "la.olx", data / "en_US.olx",
                               data / "es.olx", data / "notes.txt", data / ".olx"}) {
    std::ofstream(file) << "x";
  }
  const std::vector<DictionaryFile> found =
      FindDictionaries({user.string(), data.string(), (work / "missing").string()});
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "en_US");
  EXPECT_EQ(found[0].path, (user / "en_US.olx").string());
  EXPECT_EQ(found[1].name, "es");
  EXPECT_EQ(found[2].name, "la");

  const std::vector<std::string> folders = DictionaryFolders((work / "config").string());
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front(), user.string());
  EXPECT_EQ(folders.back(), fs::path(ORTH_DICT_DIR).lexically_normal().string());
  // Without a user folder the others stay, in the same order.
  EXPECT_EQ(DictionaryFolders(""), std::vector<std::string>(folders.begin() + 1, folders.end()));
  fs::remove_all(work);
}

}  // namespace
}  // namespace orth::provider
