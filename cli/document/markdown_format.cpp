// markdown_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  static_cast<void>(head);
  return false;
}

}  // namespace

const DocumentFormat& MarkdownFormat() {
  static const DocumentFormat format{
      "markdown",
      {"md", "gfm", "commonmark"},
      {".md", ".markdown", ".mdown", ".mkd", ".mkdn"},
      {},
      &Sniff,
      size_t{1} << 22,
      &MakePlainTextParser,
      "Markdown (CommonMark and GFM): prose, not code, links or markup"};
  return format;
}

}  // namespace orth::cli
