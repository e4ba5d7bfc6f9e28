// An open document as the client last sent it: its text, version and line
// index, and what the edits since the last check touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "lsp/positions.h"

namespace orth::cli::lsp {

// The bytes an edit replaced: [begin, oldEnd) of the text before became
// [begin, newEnd) of the text after.
struct ByteEdit {
  size_t begin = 0;
  size_t oldEnd = 0;
  size_t newEnd = 0;
};

// One entry of didChange's contentChanges.
struct TextChange {
  bool whole = true;  // no range: the text replaces the document's
  Position start;
  Position end;
  std::string text;
};

class TextDocument {
 public:
  TextDocument(std::string uri, std::string languageId, int64_t version, std::string text);

  const std::string& uri() const { return uri_; }
  const std::string& languageId() const { return languageId_; }
  int64_t version() const { return version_; }
  void SetVersion(int64_t version) { version_ = version; }
  const std::string& text() const { return text_; }
  const LineIndex& lines() const { return lines_; }

  // Applies a change and says which bytes it replaced (a whole new text is
  // compared with the old one, so that only what differs counts as edited).
  ByteEdit Apply(const TextChange& change, PositionEncoding encoding);

  Position PositionOf(size_t offset, PositionEncoding encoding) const {
    return ToPosition(text_, lines_, offset, encoding);
  }
  size_t OffsetOf(Position position, PositionEncoding encoding) const {
    return ToOffset(text_, lines_, position, encoding);
  }

 private:
  std::string uri_;
  std::string languageId_;
  int64_t version_;
  std::string text_;
  LineIndex lines_;
};

}  // namespace orth::cli::lsp
