// A text as the engine edits it (Latin-1 bytes, one per character) together
// with the character each byte stands for, so that characters outside
// Latin-1 and typographic apostrophes survive corrections unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orth::cli {

struct MappedText {
  bool utf8 = true;             // written back as UTF-8, else as Latin-1 bytes
  std::string engine;           // what the engine sees
  std::vector<uint32_t> chars;  // the character each engine byte stands for
};

// Whether text is valid UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The engine byte of one character: itself below 256, else the stand-in of
// the UTF-8 edge (byte 39 for the typographic apostrophes).
char EngineByteOf(uint32_t character);

// Reads bytes as UTF-8 when they are valid UTF-8 and latin1 is false, else
// as Latin-1.
MappedText MakeMappedText(std::string_view bytes, bool latin1 = false);

// A slice of a text (engine positions begin..end).
MappedText SliceMappedText(const MappedText& text, std::size_t begin, std::size_t end);

// The bytes of a text, or of its engine positions begin..end (UTF-8 or
// Latin-1 as it was read).
std::string EncodeMappedText(const MappedText& text, std::size_t begin = 0,
                             std::size_t end = std::string::npos);

// A piece of engine text (begin..end) as UTF-8 for the screen.
std::string DisplayMappedText(const MappedText& text, std::size_t begin, std::size_t end);

// Brings text in line with the engine's text after one edit that left the
// bytes before editStart alone. Unchanged bytes keep their characters; new
// bytes stand for themselves.
void SyncMappedText(MappedText& text, const std::string& edited, std::size_t editStart);

// Where the text is cut into parts of at most maxBytes engine bytes: after a
// line end when the part holds one, else after a space, else anywhere.
// Returns the start of every part after the first.
std::vector<std::size_t> SplitMappedText(const MappedText& text, std::size_t maxBytes);

}  // namespace orth::cli
