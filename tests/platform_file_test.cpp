// The system's file calls behind the engine, on the platform the test runs
// on: folder separators and drive letters, UTF-8 names, line ends a list is
// written and read with, and replacing an existing file in one step.
#include "session/platform_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lex/commonness_file.h"
#include "lex_file_builder.h"
#include "orth.h"

namespace {

namespace fs = std::filesystem;
using orth::test::TempDir;

#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::string ReadBytes(const std::string& name) {
  std::ifstream in(orth::PathFromName(name.c_str()), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(PlatformFile, FileNamesStartAfterTheSeparatorsOfThePlatform) {
  struct Row {
    std::string name;
    size_t posix;
    size_t windows;
  };
  const std::vector<Row> rows = {
      {"en_US.olx", 0, 0},   {"dicts/en_US.olx", 6, 6}, {"C:\\dicts\\en_US.olx", 0, 9},
      {"C:en_US.olx", 0, 2}, {"a.b\\c/d", 6, 6},        {"a.b\\lex", 0, 4},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(orth::FileNameStart(row.name), kWindows ? row.windows : row.posix) << row.name;
  }
  // A dot in a folder's name is no extension of the lexicon's name.
  EXPECT_EQ(orth::CommonnessFileName(kWindows ? "C:\\my.dicts\\en_US" : "/my.dicts/en_US"),
            kWindows ? "C:\\my.dicts\\en_US.olc" : "/my.dicts/en_US.olc");
}

// A list created, filled, saved and opened again under each kind of name the
// platform knows: the file is written with "\n" line ends on every platform.
TEST(PlatformFile, ListsRoundTripUnderEveryFormOfName) {
  TempDir dir;
  const std::string folder = dir.PathOf("");
  std::vector<std::string> names = {folder + "plain.lex", folder + "w\xC3\xB6rter.lex"};
  if (kWindows) {
    // The temporary folder is a drive's, written with backslashes; the same
    // name with forward slashes works too.
    EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
    std::string slashed = folder + "slashed.lex";
    for (char& c : slashed) c = c == '\\' ? '/' : c;
    names.push_back(slashed);
  }
  for (const std::string& name : names) {
    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_CreateLex(s, name.c_str(), LEX_TYPE_ACCEPT, 1033), 0) << name;
    ASSERT_EQ(ORTH_AddToLex(s, 0, "banana", nullptr), 0);
    ASSERT_EQ(ORTH_AddToLex(s, 0, "apple", nullptr), 0);
    ASSERT_EQ(ORTH_CloseLex(s, 0), 0) << name;  // saves
    EXPECT_EQ(ReadBytes(name), "#LID 1033 1 2\napple\nbanana\n") << name;
    ASSERT_EQ(ORTH_OpenLex(s, name.c_str(), -1), 0) << name;
    EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "apple", nullptr, 0), 0) << name;
    ORTH_CloseSession(s);
  }
}

// Lists from either platform read the same: "\n" and "\r\n" line ends.
TEST(PlatformFile, ListsWithEitherLineEndReadTheSame) {
  TempDir dir;
  for (const std::string& end : {std::string("\n"), std::string("\r\n")}) {
    const std::string name = dir.PathOf(end.size() == 1 ? "lf.lex" : "crlf.lex");
    std::ofstream(name, std::ios::binary)
        << "#LID 1033 0 2" << end << "teh:the" << end << "recieve:receive" << end;
    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_OpenLex(s, name.c_str(), -1), 0);
    char other[WORD_MAX + 1] = "";
    EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "recieve", other, sizeof other),
              RES_CHANGE_WORD);
    EXPECT_STREQ(other, "receive");
    // Saved back with "\n" line ends, whichever it was read with.
    ASSERT_EQ(ORTH_AddToLex(s, 0, "wierd", "weird"), 0);
    ASSERT_EQ(ORTH_CloseLex(s, 0), 0);
    EXPECT_EQ(ReadBytes(name), "#LID 1033 0 3\nteh:the\nrecieve:receive\nwierd:weird\n");
    ORTH_CloseSession(s);
  }
}

// Replacing works over an existing file (which a plain rename refuses on
// Windows) and leaves no temporary file; creating refuses a taken name.
TEST(PlatformFile, ReplaceOverwritesAndCreateRefusesATakenName) {
  TempDir dir;
  const std::string from = dir.PathOf("new.tmp");
  const std::string to = dir.PathOf("list.lex");
  std::ofstream(to, std::ios::binary) << "old";
  std::FILE* file = orth::CreateNewFile(from.c_str());
  ASSERT_NE(file, nullptr);
  std::fputs("new\n", file);
  std::fclose(file);
  EXPECT_EQ(orth::CreateNewFile(from.c_str()), nullptr);
  EXPECT_EQ(errno, EEXIST);
  ASSERT_EQ(orth::ReplaceFileWith(from.c_str(), to.c_str()), 0);
  EXPECT_EQ(ReadBytes(to), "new\n");  // bytes as written: no "\r\n"
  EXPECT_FALSE(fs::exists(orth::PathFromName(from.c_str())));
  EXPECT_NE(orth::ReplaceFileWith(from.c_str(), to.c_str()), 0);
  EXPECT_EQ(orth::RemoveFile(to.c_str()), 0);
}

}  // namespace
