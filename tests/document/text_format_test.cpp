// The plain-text format and the piece-by-piece reader under it.
#include <gtest/gtest.h>

#include "document/document_format.h"
#include "document/span_recorder.h"

namespace orth::cli {
namespace {

using testing::RecordOptions;
using testing::RecordSpans;

TEST(TextFormat, EveryLineIsTextAndBlankLinesEndParagraphs) {
  const auto recording = RecordSpans(TextFormat(), "one two\r\nthree\n \t\nfour\n\n\nfive");
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
  EXPECT_EQ(recording.checked, "one two\r\nthree\n|four\n|five|");
  EXPECT_EQ(recording.At("three"), "2:1");
  EXPECT_EQ(recording.At("five"), "7:1");
}

TEST(TextFormat, ALineLongerThanTheWindowIsCutBetweenWords) {
  std::string line;
  for (int i = 0; i < 200; ++i) line += "w\xc3\xa9rd ";
  RecordOptions options;
  options.window = 64;
  options.readSize = 5;
  const auto recording = RecordSpans(TextFormat(), line, options);
  ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
  ASSERT_EQ(recording.words.size(), 200u);
  for (const auto& word : recording.words) EXPECT_EQ(word.word, "w\xc3\xa9rd");
  // Without any space the cut falls between characters, never inside one.
  const std::string solid(300, 'x');
  const auto cut = RecordSpans(TextFormat(), "\xc3\xa9" + solid + "\xc3\xa9", options);
  ASSERT_TRUE(cut.errors.empty()) << cut.errors[0];
  EXPECT_EQ(cut.checked.size(), solid.size() + 4 + 1);
}

TEST(FormatRegistry, NamesAliasesAndDetection) {
  struct Row {
    std::string fileName;
    std::string head;
    std::string format;
  };
  const std::vector<Row> rows = {
      {"README.md", "", "markdown"},
      {"doc/INDEX.HTML", "", "html"},
      {"paper.tex", "", "tex"},
      {"ls.1", "", "nroff"},
      {".git/COMMIT_EDITMSG", "", "gitcommit"},
      {"main.cpp", "", "code"},
      {"run", "#!/usr/bin/env python3\n", "code"},
      {"run", "#!/bin/sh -e\n", "code"},
      {"page", "\xEF\xBB\xBF  <!DOCTYPE html>", "html"},
      {"notes", "hello\n", "text"},
      {"notes.txt", "<html>", "text"},
      {"", "From someone@example.com Mon Jan  1 00:00:00 2024\n", "email"},
      {"src/CMakeLists.txt", "", "code"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DetectFormat(row.fileName, row.head).name, row.format) << row.fileName;
  }
  for (const auto& [name, format] : std::vector<std::pair<std::string, std::string>>{
           {"markdown", "markdown"}, {"ccpp", "code"}, {"TeX", "tex"}, {"none", "text"}}) {
    ASSERT_NE(FindFormat(name), nullptr) << name;
    EXPECT_EQ(FindFormat(name)->name, format);
  }
  EXPECT_EQ(FindFormat("nosuchmode"), nullptr);
  // No name, alias or file name belongs to two formats.
  std::vector<std::string> seen;
  for (const DocumentFormat& format : DocumentFormats()) {
    for (const auto& list :
         {std::vector<std::string_view>{format.name}, format.aliases, format.fileNames}) {
      for (const std::string_view name : list) {
        std::string lower(name);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), lower), 0) << lower;
        seen.push_back(lower);
      }
    }
  }
}

}  // namespace
}  // namespace orth::cli
