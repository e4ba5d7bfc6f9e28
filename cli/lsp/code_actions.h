// Quick fixes for the findings of a document. They are built from the
// server's own findings: the diagnostics the client sends back are only used
// to find those (by the word, range and version in their `data`), never for
// the edit's range, which some clients echo in the wrong units.
//
//   misspelled    the first ranked suggestions ("Replace with «s»", the first
//                 preferred), "Add «w» to the personal word list",
//                 "Ignore «w» in this document"
//   doubled       "Delete the repeated word"
//   replacement   "Replace with «r»" (a replacement or suggest list's word)
#pragma once

#include <cstdint>
#include <vector>

#include "lsp/json_rpc.h"
#include "lsp/open_document.h"
#include "lsp/positions.h"

namespace orth::cli::lsp {

inline constexpr char ADD_WORD_COMMAND[] = "orthspell.addWord";
inline constexpr char IGNORE_WORD_COMMAND[] = "orthspell.ignoreWord";

struct ActionOptions {
  int32_t session = -1;  // for suggestions
  int32_t maxSuggestions = 5;
  PositionEncoding encoding = PositionEncoding::UTF16;
  bool documentChanges = false;  // the client takes versioned edits
  bool canAddWords = false;
};

// The findings a textDocument/codeAction request is about: those its
// context's diagnostics name, else those its range touches.
std::vector<const Finding*> FindingsAsked(const OpenDocument& document, const Json& params,
                                          PositionEncoding encoding);

// The code actions for a request's params.
Json CodeActions(const OpenDocument& document, const Json& params, const ActionOptions& options);

}  // namespace orth::cli::lsp
