// tex_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  const std::string_view start = SkipLeadingSpace(head);
  return start.rfind("\\documentclass", 0) == 0 || start.rfind("\\input", 0) == 0;
}

}  // namespace

const DocumentFormat& TexFormat() {
  static const DocumentFormat format{
      "tex",
      {"latex", "context"},
      {".tex", ".ltx", ".sty", ".cls"},
      {},
      &Sniff,
      size_t{1} << 20,
      &MakePlainTextParser,
      "LaTeX: text and text arguments, not commands, math or verbatim"};
  return format;
}

}  // namespace orth::cli
