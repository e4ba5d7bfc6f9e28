// What the Markdown and HTML formats answer to: their names, aliases, file
// names, sniffer and window. Shared by their readers and by the stand-ins of
// a build without those readers (parsers_unavailable.cpp), so that both
// recognise the same documents.
#pragma once

#include "document/document_format.h"

namespace orth::cli {

// The rows without a parser or summary; each build adds its own.
DocumentFormat MarkdownIdentity();
DocumentFormat HtmlIdentity();

}  // namespace orth::cli
