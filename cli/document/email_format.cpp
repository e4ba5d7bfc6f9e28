// email_format.cpp0
// (Placeholder: read as plain text until its parser lands.)
#include "document/document_format.h"

namespace orth::cli {

namespace {

bool Sniff(std::string_view head) {
  return head.rfind("From ", 0) == 0 || StartsWithNoCase(head, "Return-Path:") ||
         StartsWithNoCase(head, "Received:") || StartsWithNoCase(head, "Delivered-To:");
}

}  // namespace

const DocumentFormat& EmailFormat() {
  static const DocumentFormat format{"email",
                                     {"mail", "eml", "mbox"},
                                     {".eml", ".mbox", ".mbx"},
                                     {},
                                     &Sniff,
                                     size_t{1} << 20,
                                     &MakePlainTextParser,
                                     "e-mail: Subject and body, not headers, quotes or signature"};
  return format;
}

}  // namespace orth::cli
