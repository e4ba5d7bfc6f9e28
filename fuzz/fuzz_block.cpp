// Text blocks: fuzzed text and a script of block operations, in place and copied, with guard bytes
// around the caller's buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "orth.h"

namespace {

using orth::fuzz::FuzzInput;
using orth::fuzz::GuardedBuffer;

// What an edited block says about itself must stay inside its buffer.
void CheckInfo(int32_t session, int32_t block, uint32_t expectedCapacity) {
  uint32_t length = 0, capacity = 0, cursor = 0, words = 0;
  FUZZ_CHECK(ORTH_GetBlockInfo(session, block, &length, &capacity, &cursor, &words) == 0);
  FUZZ_CHECK(capacity == expectedCapacity);
  FUZZ_CHECK(length <= capacity);
  FUZZ_CHECK(cursor <= length);
  FUZZ_CHECK(words <= length);
}

void RunOperation(FuzzInput& script, int32_t session, int32_t block, int32_t lex,
                  uint32_t capacity) {
  const uint8_t op = script.Byte();
  switch (op % 8) {
    case 0:
      ORTH_NextBlockWord(session, block);
      break;
    case 1: {
      const std::string word = script.String(40);
      ORTH_ReplaceBlockWord(session, block, (op & 0x80) ? nullptr : word.c_str());
      break;
    }
    case 2:
      ORTH_DelBlockWord(session, block);
      break;
    case 3: {
      const uint32_t options = script.Number32();
      GuardedBuffer word(script.Byte() % 40);
      GuardedBuffer other(script.Byte() % 40);
      ORTH_CheckBlock(session, block, options, (op & 0x80) ? nullptr : word.Data(),
                      static_cast<uint32_t>(word.size), other.Data(),
                      static_cast<uint32_t>(other.size));
      FUZZ_CHECK(word.GuardsIntact() && other.GuardsIntact());
      break;
    }
    case 4:
      CheckInfo(session, block, capacity);
      break;
    case 5: {
      GuardedBuffer text(static_cast<size_t>(script.Byte()) * 2);
      const int32_t length =
          ORTH_GetBlock(session, block, text.Data(), static_cast<uint32_t>(text.size));
      FUZZ_CHECK(text.GuardsIntact());
      FUZZ_CHECK(length == ERR_BUFFER_TOO_SMALL ||
                 (length >= 0 && static_cast<size_t>(length) <= text.size));
      break;
    }
    case 6: {
      GuardedBuffer word(script.Byte() % 40);
      ORTH_GetBlockWord(session, block, word.Data(), static_cast<uint32_t>(word.size));
      FUZZ_CHECK(word.GuardsIntact());
      break;
    }
    default: {
      const std::string word = script.String(40);
      ORTH_AddToLex(session, lex, word.c_str(), nullptr);
      break;
    }
  }
}

}  // namespace

// Input: a flags byte (bit 0: copy), the spare capacity, the text length (2
// bytes), the text, then the operation script.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input{data, size};
  const uint8_t flags = input.Byte();
  const bool copy = (flags & 1) != 0;
  const uint32_t spare = input.Byte();
  const uint32_t wanted = (input.Byte() | (input.Byte() << 8)) % 2048;
  const std::string text = input.Take(wanted);
  const uint32_t length = static_cast<uint32_t>(text.size());
  const uint32_t capacity = length + spare;

  // The caller's buffer: the text, then bytes the engine may use up to the
  // capacity, with guards on both sides.
  GuardedBuffer caller(capacity);
  std::memcpy(caller.Data(), text.data(), length);
  std::memset(caller.Data() + length, (flags & 2) ? 0 : 'Z', capacity - length);
  const std::vector<char> original(caller.bytes);

  const int32_t session = ORTH_OpenSession();
  FUZZ_CHECK(session >= 0);
  const int32_t lex = ORTH_CreateLex(session, nullptr, LEX_TYPE_ACCEPT, 1033);
  FUZZ_CHECK(lex >= 0);
  for (const char* word : {"the", "quick", "brown", "fox", "don't", "caf\xE9"}) {
    ORTH_AddToLex(session, lex, word, nullptr);
  }
  const int32_t block = ORTH_OpenBlock(session, capacity > 0 ? caller.Data() : nullptr, length,
                                       capacity, copy ? 1 : 0);
  FUZZ_CHECK(block >= 0);

  for (int steps = 0; steps < 128 && !input.Empty(); ++steps) {
    RunOperation(input, session, block, lex, capacity);
    FUZZ_CHECK(caller.GuardsIntact());
    if (copy) FUZZ_CHECK(caller.bytes == original);
  }
  CheckInfo(session, block, capacity);

  // The block's text is what the caller's buffer holds when it works in place.
  GuardedBuffer out(capacity);
  const int32_t finalLength =
      ORTH_GetBlock(session, block, out.Data(), static_cast<uint32_t>(out.size));
  FUZZ_CHECK(out.GuardsIntact());
  FUZZ_CHECK(finalLength >= 0 && static_cast<uint32_t>(finalLength) <= capacity);
  if (!copy) {
    FUZZ_CHECK(std::memcmp(out.Data(), caller.Data(), static_cast<size_t>(finalLength)) == 0);
  }
  FUZZ_CHECK(ORTH_CloseBlock(session, block) == 0);
  FUZZ_CHECK(ORTH_CloseSession(session) == 0);
  FUZZ_CHECK(caller.GuardsIntact());
  return 0;
}
