// Runs a document parser over a small input the way orthspell reads files,
// records what it hands on, and lists the words of the checked text with
// their line and column, independent of any dictionary. Every call is held
// to the sink's contract: offsets inside the input and in source order, and
// Text bytes equal to the input's bytes at their offset.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document_format.h"
#include "input/document_reader.h"

namespace orth::cli::testing {

struct SpanWord {
  std::string word;   // UTF-8, decoded text included
  size_t line = 0;    // 1-based
  size_t column = 0;  // 1-based, in characters
  TextRole role = TextRole::PROSE;
};

struct Recording {
  std::vector<SpanWord> words;        // words of the checked text, in order
  std::vector<std::string> comments;  // Comment() texts
  std::vector<std::string> errors;    // broken contract, empty when all is well
  std::string checked;                // the checked text, "|" for each Break

  bool Has(std::string_view word) const {
    return std::any_of(words.begin(), words.end(),
                       [&](const SpanWord& w) { return w.word == word; });
  }
  // "line:column" of the first occurrence of `word`, or "absent".
  std::string At(std::string_view word) const {
    for (const SpanWord& w : words) {
      if (w.word == word) return std::to_string(w.line) + ":" + std::to_string(w.column);
    }
    return "absent";
  }
};

struct RecordOptions {
  std::string fileName;
  std::string modeName;
  FormatOptions format;
  size_t window = 0;    // 0: the format's own
  size_t readSize = 7;  // small reads, so that parsers see many pieces
};

namespace detail {

inline bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

inline void LineColumn(std::string_view input, size_t offset, size_t& line, size_t& column) {
  line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset && i < input.size(); ++i) {
    if (input[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  column = 1;
  for (size_t i = lineStart; i < offset && i < input.size(); ++i) {
    if ((static_cast<unsigned char>(input[i]) & 0xC0) != 0x80) ++column;
  }
}

class RecordingSink final : public PieceSink {
 public:
  explicit RecordingSink(std::string_view input) : input_(input) {}

  struct Char {
    char byte;
    size_t source;
    TextRole role;
    bool separator;
  };
  std::vector<Char> chars;
  Recording recording;

  void BeginPiece(std::string_view piece, size_t base) override {
    if (input_.substr(base, piece.size()) != piece)
      Fail("piece at " + std::to_string(base) + " differs from the input");
  }
  void EndPiece(size_t) override {}
  void Text(std::string_view bytes, size_t offset, TextRole role) override {
    Order(offset, "Text");
    if (offset + bytes.size() > input_.size() || input_.substr(offset, bytes.size()) != bytes) {
      Fail("Text at " + std::to_string(offset) + " is not the input's bytes: '" +
           std::string(bytes) + "'");
      return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) chars.push_back({bytes[i], offset + i, role, false});
    recording.checked.append(bytes);
    last_ = offset + bytes.size();
  }
  void Decoded(std::string_view decoded, size_t begin, size_t end, TextRole role) override {
    Order(begin, "Decoded");
    if (begin > end || end > input_.size()) Fail("Decoded range outside the input");
    for (const char c : decoded) chars.push_back({c, begin, role, false});
    recording.checked.append(decoded);
    last_ = end;
  }
  void Markup(size_t offset) override { Order(offset, "Markup"); }
  void Break(size_t offset) override {
    Order(offset, "Break");
    chars.push_back({' ', offset, TextRole::PROSE, true});
    recording.checked += '|';
  }
  void Comment(std::string_view bytes, size_t offset) override {
    Order(offset, "Comment");
    recording.comments.emplace_back(bytes);
  }

  void CollectWords() {
    size_t i = 0;
    while (i < chars.size()) {
      if (chars[i].separator || !IsWordByte(static_cast<unsigned char>(chars[i].byte))) {
        ++i;
        continue;
      }
      SpanWord word;
      LineColumn(input_, chars[i].source, word.line, word.column);
      word.role = chars[i].role;
      while (i < chars.size() && !chars[i].separator &&
             (IsWordByte(static_cast<unsigned char>(chars[i].byte)) ||
              (chars[i].byte >= '0' && chars[i].byte <= '9') || chars[i].byte == '\'')) {
        word.word += chars[i].byte;
        ++i;
      }
      while (!word.word.empty() && word.word.back() == '\'') word.word.pop_back();
      recording.words.push_back(std::move(word));
    }
  }

 private:
  void Order(size_t offset, const char* what) {
    if (offset < last_)
      Fail(std::string(what) + " at " + std::to_string(offset) + " before " +
           std::to_string(last_));
    if (offset > input_.size()) Fail(std::string(what) + " past the end of the input");
    last_ = std::max(last_, offset);
  }
  void Fail(const std::string& message) { recording.errors.push_back(message); }

  std::string_view input_;
  size_t last_ = 0;
};

}  // namespace detail

// Parses `input` as `format` and records the checked text.
inline Recording RecordSpans(const DocumentFormat& format, std::string_view input,
                             const RecordOptions& options = {}) {
  ParserContext context;
  context.fileName = options.fileName;
  context.modeName = options.modeName;
  context.head = input.substr(0, 4096);
  context.options = &options.format;
  auto parser = format.make(context);
  detail::RecordingSink sink(input);
  StringSource source(input, options.readSize);
  ReadOptions read;
  read.window = options.window != 0 ? options.window : format.window;
  read.readSize = options.readSize;
  std::string error;
  InputHead head;
  ReadDocument(source, head, *parser, sink, read, error);
  sink.CollectWords();
  return sink.recording;
}

// A small document, the words that must be checked at their line:column and
// the words that must not be checked.
struct DocumentRow {
  std::string input;
  std::vector<std::pair<std::string, std::string>> found;  // word, "line:column"
  std::vector<std::string> absent;
};

// Checks every row as `format` reads it, and that the parser kept the sink's
// contract.
inline void ExpectDocumentRows(const DocumentFormat& format, const std::vector<DocumentRow>& rows,
                               const RecordOptions& options = {}) {
  for (const DocumentRow& row : rows) {
    SCOPED_TRACE(row.input);
    const Recording recording = RecordSpans(format, row.input, options);
    ASSERT_TRUE(recording.errors.empty()) << recording.errors[0];
    for (const auto& [word, at] : row.found) {
      EXPECT_EQ(recording.At(word), at) << word << " in " << recording.checked;
    }
    for (const std::string& word : row.absent) {
      EXPECT_FALSE(recording.Has(word)) << word << " in " << recording.checked;
    }
  }
}

}  // namespace orth::cli::testing
