// html_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"
#include "document/html_spans.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return StartsWithNoCase(start, "<!doctype html") || StartsWithNoCase(start, "<html") ||
         StartsWithNoCase(start, "<?xml");
}

}  // namespace

void EmitHtmlSpans(std::string_view html, size_t base, SpanSink& sink) {
  // Placeholder: text outside tags, comments to the directive reader.
  size_t i = 0;
  while (i < html.size()) {
    const size_t open = html.find('<', i);
    const size_t stop = open == std::string_view::npos ? html.size() : open;
    if (stop > i) sink.Text(html.substr(i, stop - i), base + i);
    if (open == std::string_view::npos) break;
    if (html.substr(open, 4) == "<!--") {
      const size_t close = html.find("-->", open + 4);
      const size_t end = close == std::string_view::npos ? html.size() : close + 3;
      sink.Comment(html.substr(open, end - open), base + open);
      i = end;
    } else {
      const size_t close = html.find('>', open);
      sink.Break(base + open);
      i = close == std::string_view::npos ? html.size() : close + 1;
    }
  }
}

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
