// nroff_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return start.rfind(".\\\"", 0) == 0 || start.rfind("'\\\"", 0) == 0 ||
         start.rfind(".TH ", 0) == 0;
}

}  // namespace

const DocumentFormat& NroffFormat() {
  static const DocumentFormat format{"nroff",
                                     {"man", "groff", "troff", "roff"},
                                     {".1", ".2", ".3", ".4", ".5", ".6", ".7", ".8", ".9", ".man",
                                      ".mdoc", ".roff", ".tmac", ".ms", ".me", ".mm", ".n"},
                                     {},
                                     &Sniff,
                                     size_t{1} << 20,
                                     &MakePlainTextParser,
                                     "man pages (nroff): text, not requests, macros or escapes"};
  return format;
}

}  // namespace orth::cli
