// Shared by the fuzz targets: a cursor over the input, caller buffers with
// guard bytes, and the failure report of a broken property.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace orth::fuzz {

struct FuzzInput {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  bool Empty() const { return at >= size; }
  size_t Remaining() const { return at < size ? size - at : 0; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint32_t Number32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
    return value;
  }
  // A string of up to max bytes: a length byte, then that many bytes.
  std::string String(size_t max) {
    const size_t length = Byte() % (max + 1);
    std::string text;
    while (text.size() < length && !Empty()) text.push_back(static_cast<char>(Byte()));
    return text;
  }
  // Bytes from the cursor on, taking up to count of them.
  std::string Take(size_t count) {
    const size_t n = count < Remaining() ? count : Remaining();
    std::string bytes(reinterpret_cast<const char*>(data + at), n);
    at += n;
    return bytes;
  }
};

// A caller's buffer of size bytes with guard bytes on both sides that the
// engine must never touch.
struct GuardedBuffer {
  static constexpr size_t GUARD = 32;
  static constexpr uint8_t GUARD_BYTE = 0xA5;
  std::vector<char> bytes;
  size_t size;

  explicit GuardedBuffer(size_t n) : bytes(n + 2 * GUARD, static_cast<char>(GUARD_BYTE)), size(n) {}
  char* Data() { return bytes.data() + GUARD; }
  bool GuardsIntact() const {
    for (size_t i = 0; i < GUARD; ++i) {
      if (static_cast<uint8_t>(bytes[i]) != GUARD_BYTE) return false;
      if (static_cast<uint8_t>(bytes[GUARD + size + i]) != GUARD_BYTE) return false;
    }
    return true;
  }
};

// A word list written into size bytes ends with an empty string inside them.
inline bool IsTerminatedList(const char* list, size_t size) {
  size_t at = 0;
  while (at < size) {
    if (list[at] == '\0') return true;
    while (at < size && list[at] != '\0') ++at;
    ++at;  // past the word's NUL
  }
  return false;
}

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

#define FUZZ_CHECK(condition)                         \
  do {                                                \
    if (!(condition)) ::orth::fuzz::Fail(#condition); \
  } while (0)

}  // namespace orth::fuzz
