// The Markdown and HTML formats of a build without their parsers (md4c and
// gumbo; ORTH_DOCUMENT_PARSERS=OFF, the Windows build). The formats keep
// their names, aliases and file names (format_identities.h), so that such a document is refused
// with a clear error instead of being read as plain text; the HTML parts of
// mails are left unchecked.
#include "document/document_format.h"
#include "document/format_identities.h"
#include "document/html_spans.h"

namespace orth::cli {

namespace {

std::unique_ptr<DocumentParser> NoParser(const ParserContext&) {
  return nullptr;
}

}  // namespace

void EmitHtmlSpans(std::string_view, size_t, SpanSink&) {}

const DocumentFormat& MarkdownFormat() {
  static const DocumentFormat format = [] {
    DocumentFormat row = MarkdownIdentity();
    row.make = &NoParser;
    row.summary = "Markdown: not available in this build (built without md4c)";
    return row;
  }();
  return format;
}

const DocumentFormat& HtmlFormat() {
  static const DocumentFormat format = [] {
    DocumentFormat row = HtmlIdentity();
    row.make = &NoParser;
    row.summary = "HTML and XML: not available in this build (built without gumbo)";
    return row;
  }();
  return format;
}

}  // namespace orth::cli
