// The diagnostics of a document: one per finding the user sees, with
// source "orthspell", the kind as code (misspelled, doubled, replacement,
// suggestion), and in `data` the word, its range and the document's version,
// from which code actions are built.
#pragma once

#include <string>

#include "lsp/json_rpc.h"
#include "lsp/open_document.h"
#include "lsp/positions.h"

namespace orth::cli::lsp {

inline constexpr char DIAGNOSTIC_SOURCE[] = "orthspell";

// The code of a finding's kind.
const char* KindName(WordVerdict verdict);

// Whether a finding is shown: not a misspelling named in the document's
// code, nor one the user ignored in this document.
bool IsShown(const OpenDocument& document, const Finding& finding);

// A finding's word as UTF-8.
std::string WordOf(const Finding& finding);

// The LSP range of source bytes [begin, end).
Json RangeJson(const TextDocument& document, size_t begin, size_t end, PositionEncoding encoding);
Json RangeJson(Position start, Position end);

// The params of textDocument/publishDiagnostics for the document.
Json PublishParams(const OpenDocument& document, int severity, PositionEncoding encoding);

}  // namespace orth::cli::lsp
