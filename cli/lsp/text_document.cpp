#include "lsp/text_document.h"

#include <algorithm>

namespace orth::cli::lsp {

TextDocument::TextDocument(std::string uri, std::string languageId, int64_t version,
                           std::string text)
    : uri_(std::move(uri)),
      languageId_(std::move(languageId)),
      version_(version),
      text_(std::move(text)) {
  lines_.Build(text_);
}

ByteEdit TextDocument::Apply(const TextChange& change, PositionEncoding encoding) {
  ByteEdit edit;
  if (change.whole) {
    const std::string& next = change.text;
    const size_t most = std::min(text_.size(), next.size());
    size_t prefix = 0;
    while (prefix < most && text_[prefix] == next[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < most - prefix &&
           text_[text_.size() - 1 - suffix] == next[next.size() - 1 - suffix]) {
      ++suffix;
    }
    edit.begin = prefix;
    edit.oldEnd = text_.size() - suffix;
    edit.newEnd = next.size() - suffix;
    text_.replace(edit.begin, edit.oldEnd - edit.begin, next, edit.begin, edit.newEnd - edit.begin);
  } else {
    size_t begin = OffsetOf(change.start, encoding);
    size_t end = OffsetOf(change.end, encoding);
    if (end < begin) std::swap(begin, end);
    edit.begin = begin;
    edit.oldEnd = end;
    edit.newEnd = begin + change.text.size();
    text_.replace(begin, end - begin, change.text);
  }
  lines_.Update(text_, edit.begin, edit.oldEnd, edit.newEnd);
  return edit;
}

}  // namespace orth::cli::lsp
