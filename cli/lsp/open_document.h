// What the language server keeps for one open document.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "lsp/paragraph_checks.h"
#include "lsp/text_document.h"
#include "lsp/window_check.h"

namespace orth::cli::lsp {

using Clock = std::chrono::steady_clock;

struct OpenDocument {
  explicit OpenDocument(TextDocument document) : text(std::move(document)) {}

  TextDocument text;
  ParserChoice parser;  // a null format: not checked
  ParagraphChecks checks;
  // Words (Latin-1, lower case) the user chose to ignore in this document.
  std::unordered_set<std::string> ignored;
  std::optional<Clock::time_point> checkAt;  // a check is due (after edits)
  std::optional<int64_t> published;          // the version last published
};

}  // namespace orth::cli::lsp
