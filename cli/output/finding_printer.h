// Prints what orthspell check and list find: one line per finding as text
// ("FILE:LINE:COL: word -> s1, s2"), as JSON (one object per line), or only
// the misspelled words in the input's own bytes (list).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "check/document_checker.h"
#include "check/word_lookup.h"
#include "commands/common_options.h"

namespace orth::cli {

enum class PrintStyle { TEXT, JSON, WORDS };

class FindingPrinter final : public FindingSink {
 public:
  FindingPrinter(std::FILE* out, PrintStyle style, int32_t session,
                 const SuggestionOptions& suggestion);
  ~FindingPrinter() override;

  // The file name printed with each finding.
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  // Called before anything is written (to clear a progress line).
  void SetBeforeWrite(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

  void Word(const CheckedWord& word, DocumentChecker& checker) override;

  // Writes what is buffered. False when the output cannot be written.
  bool Flush();
  bool foundSomething() const { return found_; }

 private:
  const std::vector<ScoredWord>& Suggestions(std::string_view word);
  void Line(const CheckedWord& word, DocumentChecker& checker);

  std::FILE* out_;
  PrintStyle style_;
  int32_t session_;
  SuggestionOptions suggestion_;
  std::string fileName_;
  std::function<void()> beforeWrite_;
  std::string buffer_;
  bool found_ = false;
  bool failed_ = false;
  std::unordered_map<std::string, std::vector<ScoredWord>> suggestions_;  // by Latin-1 word
};

}  // namespace orth::cli
