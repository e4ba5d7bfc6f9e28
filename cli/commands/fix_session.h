// The interactive correction of one part of a document: the engine's block
// check walks it, the user decides what happens to each finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "encoding/engine_text.h"
#include "commands/terminal.h"

namespace orth::cli {

enum class FixOutcome {
  PART_DONE,            // the walk reached the end of the part
  SAVE_AND_QUIT,        // q
  QUIT_WITHOUT_SAVING,  // x, or the input ended
  FAILED,               // the engine refused the part
};

struct FixContext {
  int32_t session = -1;
  int32_t personalLex = -1;  // where `a` adds words (the -p list), or -1
  int32_t runLex = -1;       // the in-memory list of `I` (and of `a` without -p)
  uint32_t options = 0;      // OPT_* bits of the block check
  int maxSuggestions = 9;
  bool classic = false;  // the classic suggestion search instead of the ranked one
  std::string fileName;
  std::size_t partIndex = 0, partCount = 1;
  std::size_t firstLine = 1;  // the line number of the part's first line
  bool personalModified = false;
  std::size_t changes = 0;  // edits of the text kept so far (undo lowers it)
  Terminal* terminal = nullptr;
};

// Walks the part, shows each finding and applies the user's keys to text.
FixOutcome FixPart(FixContext& context, MappedText& text);

}  // namespace orth::cli
