// The interactive correction of a document: its format's parser and the
// checking stage find the words (so code, URLs and markup are never shown),
// the user decides what happens to each, and the corrected bytes are handed
// on piece by piece, so that memory stays bounded whatever the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "check/document_checker.h"
#include "commands/common_options.h"
#include "commands/terminal.h"
#include "document/document_format.h"
#include "input/document_reader.h"
#include "orth.h"

namespace orth::cli {

enum class FixOutcome {
  FINISHED,             // the walk reached the end of the input
  SAVE_AND_QUIT,        // q: the rest of the input was handed on unchanged
  QUIT_WITHOUT_SAVING,  // x, or the keys ran out
  FAILED,               // the input could not be read or the output written
};

struct FixContext {
  int32_t session = -1;
  int32_t personalLex = -1;  // where `a` adds words (the -p list), or -1
  int32_t runLex = -1;       // the in-memory list of `I` (and of `a` without -p)
  CheckPolicy policy;        // latin1Input: the file is Latin-1 and so are its corrections
  SuggestionOptions suggestion{9, false, SUGGEST_LEVEL_AUTO};
  std::string fileName;
  Terminal* terminal = nullptr;

  // What the run did.
  bool personalModified = false;
  std::size_t changes = 0;  // edits kept (undo lowers it)
  bool changed = false;     // the bytes handed on differ from the input's
};

// Receives the corrected bytes in order; false with a message when they
// cannot be kept (a full disk), which ends the run as FAILED.
using FixOutput = std::function<bool(std::string_view bytes, std::string& error)>;

// Reads `source` (after `head`) through `parser` in pieces of at most
// `window` bytes, walks the findings of each piece with the user and hands
// every piece's bytes, corrected, to `output`. Nothing is handed on after
// QUIT_WITHOUT_SAVING or FAILED; `error` says why for FAILED.
FixOutcome FixDocument(FixContext& context, ByteSource& source, InputHead head,
                       DocumentParser& parser, std::size_t window, const FixOutput& output,
                       std::string& error);

}  // namespace orth::cli
