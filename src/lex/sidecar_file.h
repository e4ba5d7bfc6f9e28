// The files that sit beside a compressed lexicon (commonness grades, case
// forms): their little-endian fields, and their writing through a temporary
// file renamed over the old one, so that a failed write leaves it whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orth {

void PutLe32(unsigned char* at, uint32_t value);
uint32_t GetLe32(const unsigned char* at);

// Writes header and body to path + ".part", then renames that over path.
// Returns 0 or ERR_FILE_OPEN (the part file removed).
int32_t WriteSidecarFile(const std::string& path, const unsigned char* header, size_t headerSize,
                         const void* body, size_t bodySize);

}  // namespace orth
