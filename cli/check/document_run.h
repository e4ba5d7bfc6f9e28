// Checks one input from its first byte to its last: opens it, chooses its
// format, and streams it through the format's parser into a DocumentChecker.
#pragma once

#include <string>

#include "check/checker_session.h"
#include "check/document_checker.h"
#include "document/document_format.h"

namespace orth::cli {

struct ModeChoice {
  const DocumentFormat* format = nullptr;  // --mode; null: by name and content
  std::string modeName;                    // the name --mode gave
  FormatOptions options;
  // When set, its technical word list is opened or closed for each
  // document's format (ChooseTechWords).
  CheckerSession* lexicons = nullptr;
};

// The format of an input: the chosen one, else detected from its name and
// first bytes; standard input ("-") is text unless a mode is chosen.
const DocumentFormat& FormatFor(const ModeChoice& mode, const std::string& name,
                                std::string_view head);

// Checks the file `name` ("-": standard input). False with a message (naming
// the file) when it cannot be opened or read; what was read is checked.
bool CheckDocument(const std::string& name, const ModeChoice& mode, DocumentChecker& checker,
                   std::string& error);

}  // namespace orth::cli
