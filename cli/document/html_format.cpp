// html_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return StartsWithNoCase(start, "<!doctype html") || StartsWithNoCase(start, "<html") ||
         StartsWithNoCase(start, "<?xml");
}

}  // namespace

const DocumentFormat& HtmlFormat() {
  static const DocumentFormat format{
      "html",
      {"xml", "xhtml", "htm"},
      {".html", ".htm", ".xhtml", ".shtml", ".xml"},
      {},
      &Sniff,
      size_t{1} << 24,
      &MakePlainTextParser,
      "HTML and XML: text nodes and alt, title, placeholder, aria-label"};
  return format;
}

}  // namespace orth::cli
