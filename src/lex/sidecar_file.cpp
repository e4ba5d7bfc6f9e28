#include "lex/sidecar_file.h"

#include <cstdio>

#include "orth.h"
#include "session/platform_file.h"

namespace orth {

void PutLe32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLe32(const unsigned char* at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

int32_t WriteSidecarFile(const std::string& path, const unsigned char* header, size_t headerSize,
                         const void* body, size_t bodySize) {
  const std::string part = path + ".part";
  std::FILE* file = OpenFile(part.c_str(), "wb");
  if (file == nullptr) return ERR_FILE_OPEN;
  bool written = std::fwrite(header, 1, headerSize, file) == headerSize &&
                 (bodySize == 0 || std::fwrite(body, 1, bodySize, file) == bodySize);
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  if (!written || ReplaceFileWith(part.c_str(), path.c_str()) != 0) {
    RemoveFile(part.c_str());
    return ERR_FILE_OPEN;
  }
  return 0;
}

}  // namespace orth
