#include "document/line_cut.h"

#include <cstring>

namespace orth::cli {

size_t CompleteLinesLength(std::string_view input, InputEnd end) {
  if (end == InputEnd::LAST || input.empty()) return input.size();
  const size_t lastNewline = input.rfind('\n');
  if (lastNewline != std::string_view::npos) return lastNewline + 1;
  if (end == InputEnd::MORE) return 0;
  // A line longer than the window: cut it after white space, where no word
  // runs through, or failing that between two UTF-8 characters.
  const size_t space = input.find_last_of(" \t");
  if (space != std::string_view::npos) return space + 1;
  // Keep a character that the read cut short for the next piece.
  const size_t size = input.size();
  for (size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(input[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (length > back && size - back > 0) return size - back;
    break;
  }
  return size;
}

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') return false;
  }
  return true;
}

std::string_view LineAt(std::string_view input, size_t start, size_t& next) {
  const void* found = start < input.size()
                          ? std::memchr(input.data() + start, '\n', input.size() - start)
                          : nullptr;
  size_t end = found != nullptr
                   ? static_cast<size_t>(static_cast<const char*>(found) - input.data())
                   : input.size();
  next = found != nullptr ? end + 1 : input.size();
  if (end > start && input[end - 1] == '\r') --end;
  return input.substr(start, end - start);
}

}  // namespace orth::cli
