// The ispell pipe protocol that editors and mail programs speak: one input
// line in, one answer out (a line per word, then an empty line), with a few
// one-character commands that edit the word lists or the answer style.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_format.h"

namespace orth::cli {

// What an input line asks for.
enum class PipeCommandKind {
  CHECK_LINE,          // text to check (a leading '^' stripped)
  ADD_PERSONAL,        // *word
  ADD_PERSONAL_LOWER,  // &word
  ACCEPT_FOR_RUN,      // @word
  SAVE_PERSONAL,       // #
  TERSE_ON,            // !
  TERSE_OFF,           // %
  MODE_TEX,            // +: read the following lines as TeX
  MODE_DEFAULT,        // -: back to the mode of the command line
  IGNORED,             // ~...: a setting this tool does not have
};

struct PipeCommand {
  PipeCommandKind kind = PipeCommandKind::CHECK_LINE;
  std::string_view text;       // the line to check, or the command's word
  std::size_t offsetBase = 0;  // characters before text in the received line
};

// Splits one received line (without its line end) into its command.
PipeCommand ParsePipeCommand(std::string_view line);

// How the client's text is encoded.
enum class PipeEncoding {
  AUTO,    // UTF-8, except that a line that is not valid UTF-8 is Latin-1
  LATIN1,  // every line is Latin-1
  UTF8,    // as AUTO (a line that is not valid UTF-8 can only be Latin-1)
};

// Reads an encoding name as -i and --encoding give it: "utf-8", "utf8",
// "latin1", "latin-1", "iso-8859-1", "iso8859-1" (any case). False when the
// name is unknown.
bool ParsePipeEncoding(std::string_view name, PipeEncoding& encoding);

// The answer for one word of a checked line, in the client's encoding.
struct WordAnswer {
  std::string word;        // the word as it stands in the received line
  std::size_t offset = 0;  // where it starts in the received line ('^' counted)
  bool correct = true;
  std::vector<std::string> suggestions;  // best first; empty: no suggestion
};

// The answer line: "*", "& WORD COUNT OFFSET: s1, s2" or "# WORD OFFSET".
std::string FormatWordAnswer(const WordAnswer& answer);

// What the loop needs of an open checker. The engine session holds the
// dictionaries and lists; the loop adds an in-memory list for @word.
struct PipeChecker {
  int32_t session = -1;
  int32_t personalLex = -1;     // the -p list (an Accept text lexicon), or -1
  uint32_t options = 0x80000u;  // OPT_* bits of the word check (OPT_REPORT_MISSPELLED)
  int maxSuggestions = 10;
  bool classic = false;  // the classic suggestion search instead of the ranked one
  PipeEncoding encoding = PipeEncoding::AUTO;
  const DocumentFormat* mode = nullptr;  // how lines are read (null: plain text)
  FormatOptions formatOptions;
  uint32_t skipKinds = 0xFFFFFFFFu;  // NonWordKind bits of what is not checked
  // Writes the personal list to its file; returns an error message, empty on
  // success. Unset when there is no personal list file.
  std::function<std::string()> savePersonal;
  // Receives warnings (a failed save, a full list); the loop writes nothing
  // but answers to its output.
  std::function<void(const std::string&)> warn;
};

// Reads lines from in until its end, answers each on out (flushed after
// every answer) and carries out the commands; saves the personal list at
// '#' and at the end of input. Lines are read in the checker's mode (or as
// TeX after '+'), one after the other as one document, so that a construct
// over several lines (a math environment) is skipped whole. Answers are in
// the line's encoding, offsets in bytes for Latin-1 and characters for UTF-8.
// Returns 0, or 1 when the final save failed.
int RunPipeLoop(std::istream& in, std::ostream& out, PipeChecker& checker);

}  // namespace orth::cli
