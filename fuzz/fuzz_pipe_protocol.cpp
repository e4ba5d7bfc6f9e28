// The orthspell -a pipe loop: fuzzed input lines must give one well-formed answer block per checked
// line.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "document/document_format.h"
#include "fuzz_support.h"
#include "orth.h"
#include "output/pipe_protocol.h"

namespace {

using orth::cli::PipeCommandKind;

// How many lines of the input ask for a check, split as the loop splits them.
size_t CheckedLines(const std::string& input) {
  std::istringstream in(input);
  size_t count = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (orth::cli::ParsePipeCommand(line).kind == PipeCommandKind::CHECK_LINE) ++count;
  }
  return count;
}

}  // namespace

// Input: a flags byte (encoding, terse start, failing saves, suggestion
// count), a byte choosing the mode the lines are read in, then the lines the
// client sends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orth::fuzz::FuzzInput input{data, size};
  const uint8_t flags = input.Byte();
  const uint8_t mode = input.Byte();
  const std::string lines = input.Take(input.Remaining());

  const int32_t session = ORTH_OpenSession();
  FUZZ_CHECK(session >= 0);
  const int32_t words = ORTH_CreateLex(session, nullptr, LEX_TYPE_ACCEPT, 1033);
  for (const char* word : {"the", "quick", "brown", "fox", "don't", "caf\xE9", "na\xEFve"}) {
    ORTH_AddToLex(session, words, word, nullptr);
  }
  const int32_t changes = ORTH_CreateLex(session, nullptr, LEX_TYPE_CHANGE, 1033);
  ORTH_AddToLex(session, changes, "teh", "the");

  orth::cli::PipeChecker checker;
  checker.session = session;
  checker.personalLex = (flags & 4) ? ORTH_CreateLex(session, nullptr, LEX_TYPE_ACCEPT, 0) : -1;
  checker.maxSuggestions = flags >> 4;
  checker.encoding = static_cast<orth::cli::PipeEncoding>((flags & 3) % 3);
  if (flags & 8) checker.options |= OPT_IGNORE_CAPITALIZED | OPT_IGNORE_NON_ALPHA;
  const bool failSaves = (flags & 3) == 3;
  if (checker.personalLex >= 0) {
    checker.savePersonal = [failSaves]() { return std::string(failSaves ? "disk full" : ""); };
  }
  checker.warn = [](const std::string&) {};
  const auto& formats = orth::cli::DocumentFormats();
  checker.mode = &formats[mode % formats.size()];
  checker.skipKinds = (mode & 0x80) != 0 ? 0 : 0xFFFFFFFFu;

  std::istringstream in(lines);
  std::ostringstream out;
  orth::cli::RunPipeLoop(in, out, checker);

  // Every answer is one line of its own: "*", "& ...", "# ..." or the empty
  // line that ends the answers of one checked line.
  const std::string answers = out.str();
  FUZZ_CHECK(answers.empty() || answers.back() == '\n');
  size_t blocks = 0;
  std::istringstream reply(answers);
  for (std::string line; std::getline(reply, line);) {
    if (line.empty()) {
      ++blocks;
    } else {
      FUZZ_CHECK(line[0] == '*' || line[0] == '&' || line[0] == '#');
    }
  }
  FUZZ_CHECK(blocks == CheckedLines(lines));
  FUZZ_CHECK(ORTH_CloseSession(session) == 0);
  return 0;
}
