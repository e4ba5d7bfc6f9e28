#include "lexcompiler/word_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "orth.h"
#include "text/char_table.h"
#include "text/normalize.h"

namespace orth {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

bool HasControlCharacter(std::string_view word) {
  return std::any_of(word.begin(), word.end(), [](char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::string StoredFormOf(std::string_view entry) {
  const std::string terminated(entry);
  char field[WORD_MAX + 1];
  const int32_t length = NormalizeWord(terminated.c_str(), field);
  return std::string(field, static_cast<size_t>(length));
}

namespace {

// Checks and normalises one Latin-1 entry, adding its
// stored form or counting why it has none.
void AddEntry(std::string_view latin1, CompileSummary& summary, std::vector<std::string>& words,
              std::vector<std::string>* written) {
  // NUL is a control character too, so the word can be passed on as a C string.
  if (HasControlCharacter(latin1)) {
    summary.Skip(SkipReason::ControlCharacter);
    return;
  }
  std::string stored = StoredFormOf(latin1);
  if (stored.empty()) {
    summary.Skip(SkipReason::NothingToLookUp);
    return;
  }
  if (latin1.size() > WORD_MAX) ++summary.cutToLength;
  if (latin1.find(' ') != std::string_view::npos) ++summary.cutAtSpace;
  if (written != nullptr) {
    // The characters the stored form comes from, in the list's case.
    const size_t start = NormalizedStart(std::string(latin1).c_str());
    written->emplace_back(latin1.substr(start, stored.size()));
  }
  words.push_back(std::move(stored));
}

void SortAndDeduplicate(std::vector<std::string>& words, CompileSummary& summary) {
  std::sort(words.begin(), words.end());
  const auto last = std::unique(words.begin(), words.end());
  summary.duplicates += static_cast<uint64_t>(words.end() - last);
  words.erase(last, words.end());
}

// Adds the words text checking finds in an entry: its runs of word
// characters ("anglo-saxon" gives «anglo» and «saxon», "etc." gives «etc»).
void AddTextWords(std::string_view latin1, CompileSummary& summary, std::vector<std::string>& words,
                  std::vector<std::string>* written) {
  size_t start = 0;
  bool split = false;
  for (size_t i = 0; i <= latin1.size(); ++i) {
    if (i < latin1.size() && IsWordChar(static_cast<unsigned char>(latin1[i]))) continue;
    if (i > start) {
      AddEntry(latin1.substr(start, i - start), summary, words, written);
    }
    split = split || i < latin1.size();
    start = i + 1;
  }
  if (split) ++summary.splitIntoWords;
}

}  // namespace

std::vector<std::string> ParseWordList(std::string_view content, InputEncoding encoding,
                                       CompileSummary& summary, EntryForms forms,
                                       std::vector<std::string>* written) {
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  std::vector<std::string> words;
  std::string latin1;
  while (!content.empty()) {
    const size_t end = content.find('\n');
    const std::string_view line = Trim(content.substr(0, end));
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (line.empty()) continue;
    ++summary.linesRead;
    if (encoding == InputEncoding::Latin1) {
      latin1.assign(line);
    } else if (const Utf8Status status = Utf8ToLatin1(line, latin1); status != Utf8Status::Ok) {
      summary.Skip(status == Utf8Status::Invalid ? SkipReason::InvalidUtf8 : SkipReason::NotLatin1);
      continue;
    }
    if (forms == EntryForms::TextWords) {
      AddTextWords(latin1, summary, words, written);
    } else {
      AddEntry(latin1, summary, words, written);
    }
  }
  SortAndDeduplicate(words, summary);
  return words;
}

std::vector<std::string> StoreEntries(const std::vector<std::string>& entries,
                                      CompileSummary& summary, std::vector<std::string>* written) {
  std::vector<std::string> words;
  for (const std::string& entry : entries) {
    ++summary.linesRead;
    AddEntry(entry, summary, words, written);
  }
  SortAndDeduplicate(words, summary);
  return words;
}

bool ReadWordListFile(const std::string& path, InputEncoding encoding,
                      std::vector<std::string>& words, CompileSummary& summary, std::string& error,
                      EntryForms forms, std::vector<std::string>* written) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open word list " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) {
    error = "cannot read word list " + path;
    return false;
  }
  words = ParseWordList(content.str(), encoding, summary, forms, written);
  return true;
}

}  // namespace orth
