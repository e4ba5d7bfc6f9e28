#include "lex/commonness_file.h"

#include <cstdio>
#include <cstring>

#include "lex/compressed_lex.h"
#include "orth.h"
#include "session/platform_file.h"

namespace orth {

namespace {

void PutU32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetU32(const unsigned char* at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

}  // namespace

std::string CommonnessFileName(const std::string& lexFileName) {
  // The last component's extension; a dot that starts the component (a
  // hidden file's name) is none.
  const size_t start = FileNameStart(lexFileName);
  const size_t dot = lexFileName.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && dot > start;
  return (hasExtension ? lexFileName.substr(0, dot) : lexFileName) + COMMONNESS_EXTENSION;
}

int32_t ReadCommonnessFile(const std::string& path, const LexFingerprint& lex, uint32_t wordCount,
                           std::vector<uint8_t>& grades) {
  grades.clear();
  const FilePtr file(OpenFile(path.c_str(), "rb"));
  if (file == nullptr) return ERR_FILE_OPEN;
  unsigned char header[COMMONNESS_HEADER_SIZE];
  if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return ERR_BAD_FORMAT;
  const unsigned char* fields = header + COMMONNESS_MAGIC_SIZE;
  if (std::memcmp(header, COMMONNESS_MAGIC, COMMONNESS_MAGIC_SIZE) != 0 ||
      GetU32(fields) != COMMONNESS_VERSION || GetU32(fields + 4) != wordCount ||
      GetU32(fields + 8) != lex.size || GetU32(fields + 12) != lex.hash) {
    return ERR_BAD_FORMAT;
  }
  grades.resize(wordCount);
  const bool whole = std::fread(grades.data(), 1, wordCount, file.get()) == wordCount &&
                     std::fgetc(file.get()) == EOF && std::ferror(file.get()) == 0;
  if (!whole) {
    grades.clear();
    return ERR_BAD_FORMAT;
  }
  return 0;
}

int32_t WriteCommonnessFile(const std::string& path, const LexFingerprint& lex,
                            const std::vector<uint8_t>& grades) {
  unsigned char header[COMMONNESS_HEADER_SIZE];
  std::memcpy(header, COMMONNESS_MAGIC, COMMONNESS_MAGIC_SIZE);
  unsigned char* fields = header + COMMONNESS_MAGIC_SIZE;
  PutU32(fields, COMMONNESS_VERSION);
  PutU32(fields + 4, static_cast<uint32_t>(grades.size()));
  PutU32(fields + 8, lex.size);
  PutU32(fields + 12, lex.hash);

  const std::string part = path + ".part";
  std::FILE* file = OpenFile(part.c_str(), "wb");
  if (file == nullptr) return ERR_FILE_OPEN;
  bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                 std::fwrite(grades.data(), 1, grades.size(), file) == grades.size();
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  if (!written || ReplaceFileWith(part.c_str(), path.c_str()) != 0) {
    RemoveFile(part.c_str());
    return ERR_FILE_OPEN;
  }
  return 0;
}

}  // namespace orth
