// Reads a document the way the pipe mode does: one line per call, each
// ending in "\n", with InputEnd::FULL, the parser kept from line to line.
// Line formats must give the same words as when they read the whole file.
#pragma once

#include <string>
#include <string_view>

#include "document/span_recorder.h"

namespace orth::cli::testing {

inline Recording RecordLineByLine(const DocumentFormat& format, std::string_view input) {
  FormatOptions options;
  ParserContext context;
  context.head = input.substr(0, 4096);
  context.options = &options;
  auto parser = format.make(context);
  detail::RecordingSink sink(input);
  size_t base = 0;
  while (base < input.size()) {
    const size_t newline = input.find('\n', base);
    const size_t end = newline == std::string_view::npos ? input.size() : newline + 1;
    const std::string_view line = input.substr(base, end - base);
    sink.BeginPiece(line, base);
    const size_t taken = parser->Parse(line, base, InputEnd::FULL, sink);
    if (taken != line.size()) sink.recording.errors.push_back("a line was not taken whole");
    sink.EndPiece(end);
    base = end;
  }
  sink.CollectWords();
  return sink.recording;
}

// "word@line:column ..." of a recording, to compare two readings.
inline std::string WordList(const Recording& recording) {
  std::string list;
  for (const SpanWord& word : recording.words) {
    list += word.word + "@" + std::to_string(word.line) + ":" + std::to_string(word.column) + " ";
  }
  return list;
}

}  // namespace orth::cli::testing
