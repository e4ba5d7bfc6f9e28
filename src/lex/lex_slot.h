// Lexicon slots: one record per open lexicon of a session.
#pragma once

#include <cstdint>
#include <string>

namespace orth {

struct Session;

// Longest file name a slot keeps (a longer one is refused at open/create).
inline constexpr int LEX_FILE_NAME_MAX = 259;

// One open lexicon: its format (LEX_FORMAT_*), type (LEX_TYPE_*), language,
// the file it came from (empty: none), and whether it changed since opened.
struct LexSlot {
  int32_t format = 0;
  int32_t type = 0;
  int32_t language = 0;
  std::string fileName;
  int32_t modified = 0;
};

// Closes lexicon slot `lex` of a session, saving a modified text lexicon that
// has a file first. Returns 0, or the save's error with the slot left open.
int32_t CloseLexSlot(Session& session, int32_t lex);

}  // namespace orth
