#include "document/format_identities.h"

namespace orth::cli {

DocumentFormat MarkdownIdentity() {
  DocumentFormat format;
  format.name = "markdown";
  format.aliases = {"md", "gfm", "commonmark"};
  format.fileNames = {".md", ".markdown", ".mdown", ".mkd", ".mkdn", ".mdwn", ".markdn"};
  // Up to 4 MiB at once: a piece ends at a block boundary.
  format.window = size_t{1} << 22;
  format.technical = true;
  return format;
}

DocumentFormat HtmlIdentity() {
  DocumentFormat format;
  format.name = "html";
  format.aliases = {"xml", "xhtml", "htm"};
  format.fileNames = {".html", ".htm", ".xhtml", ".shtml", ".xml"};
  format.sniff = &LooksLikeHtml;
  format.window = size_t{1} << 20;
  return format;
}

}  // namespace orth::cli
