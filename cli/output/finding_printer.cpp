#include "output/finding_printer.h"

#include <nlohmann/json.hpp>

#include "encoding/engine_text.h"

namespace orth::cli {

namespace {

// Output is written in pieces of about this size, so that findings come out
// while a long input is still being read.
constexpr size_t FLUSH_BYTES = 1 << 16;

const char* KindName(WordVerdict verdict) {
  switch (verdict) {
    case WordVerdict::REPLACEMENT:
      return "replacement";
    case WordVerdict::SUGGESTION:
      return "suggestion";
    case WordVerdict::DOUBLED:
      return "doubled";
    case WordVerdict::WRONG_CASE:
      return "case";
    case WordVerdict::CORRECT:
    case WordVerdict::MISSPELLED:
      break;
  }
  return "misspelled";
}

}  // namespace

FindingPrinter::FindingPrinter(std::FILE* out, PrintStyle style, int32_t session,
                               const SuggestionOptions& suggestion)
    : out_(out), style_(style), session_(session), suggestion_(suggestion) {}

FindingPrinter::~FindingPrinter() {
  Flush();
}

const std::vector<ScoredWord>& FindingPrinter::Suggestions(std::string_view word) {
  std::string key(word);
  const auto known = suggestions_.find(key);
  if (known != suggestions_.end()) return known->second;
  std::vector<ScoredWord> found;
  if (SuggestWords(session_, key, suggestion_, found) < 0) found.clear();
  return suggestions_.emplace(std::move(key), std::move(found)).first->second;
}

void FindingPrinter::Word(const CheckedWord& word, DocumentChecker& checker) {
  if (word.verdict == WordVerdict::CORRECT) return;
  if (style_ == PrintStyle::WORDS) {
    if (word.verdict == WordVerdict::DOUBLED) return;
    // The input's own bytes, so that an editor finds the word in its buffer
    // whatever encoding it sent.
    buffer_ += checker.Written(word.sourceBegin, word.sourceEnd);
    buffer_ += '\n';
  } else {
    found_ = true;
    Line(word, checker);
  }
  if (buffer_.size() >= FLUSH_BYTES) Flush();
}

void FindingPrinter::Line(const CheckedWord& word, DocumentChecker& checker) {
  const TextPosition at = checker.Position(word.sourceBegin);
  const std::string_view bytes = checker.Written(word.sourceBegin, word.sourceEnd);
  const std::string written = WellFormedUtf8(bytes);
  static const std::vector<ScoredWord> none;
  // A word in a case its dictionary rules out may also be a slip for
  // another word («wong» for «wrong» beside the name «Wong»): it gets the
  // suggestions too, which begin with the right form.
  const bool suggests =
      word.verdict == WordVerdict::MISSPELLED || word.verdict == WordVerdict::WRONG_CASE;
  const std::vector<ScoredWord>& suggestions =
      suggests && suggestion_.maxSuggestions > 0 ? Suggestions(word.word) : none;
  if (style_ == PrintStyle::JSON) {
    nlohmann::ordered_json line;
    line["file"] = WellFormedUtf8(fileName_);
    line["line"] = at.line;
    line["column"] = at.column;
    line["word"] = written;
    line["kind"] = KindName(word.verdict);
    if (!word.other.empty()) line["replacement"] = Latin1ToUtf8Text(word.other);
    line["suggestions"] = nlohmann::ordered_json::array();
    for (const ScoredWord& suggestion : suggestions) {
      nlohmann::ordered_json entry;
      entry["word"] = Latin1ToUtf8Text(suggestion.word);
      entry["score"] = suggestion.score;
      line["suggestions"].push_back(std::move(entry));
    }
    buffer_ += line.dump();
    buffer_ += '\n';
    return;
  }
  buffer_ += fileName_;
  buffer_ += ':';
  buffer_ += std::to_string(at.line);
  buffer_ += ':';
  buffer_ += std::to_string(at.column);
  buffer_ += ": ";
  switch (word.verdict) {
    case WordVerdict::DOUBLED:
      buffer_ += "doubled word '" + written + "'\n";
      return;
    case WordVerdict::REPLACEMENT:
      buffer_ += written + " ==> " + Latin1ToUtf8Text(word.other) + "\n";
      return;
    case WordVerdict::SUGGESTION:
      buffer_ += written + " -> " + Latin1ToUtf8Text(word.other) + "\n";
      return;
    case WordVerdict::WRONG_CASE:
      buffer_ += written + " -> " + Latin1ToUtf8Text(word.other);
      for (const ScoredWord& suggestion : suggestions) {
        if (suggestion.word != word.other) buffer_ += ", " + Latin1ToUtf8Text(suggestion.word);
      }
      buffer_ += " (case)\n";
      return;
    case WordVerdict::CORRECT:
    case WordVerdict::MISSPELLED:
      break;
  }
  buffer_ += written;
  for (size_t i = 0; i < suggestions.size(); ++i) {
    buffer_ += i == 0 ? " -> " : ", ";
    buffer_ += Latin1ToUtf8Text(suggestions[i].word);
  }
  buffer_ += '\n';
}

bool FindingPrinter::Flush() {
  if (buffer_.empty()) return !failed_;
  if (beforeWrite_) beforeWrite_();
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) failed_ = true;
  buffer_.clear();
  return !failed_;
}

}  // namespace orth::cli
