#include "lex/commonness_file.h"

#include <cstdio>
#include <cstring>

#include "lex/compressed_lex.h"
#include "lex/sidecar_file.h"
#include "orth.h"
#include "session/platform_file.h"

namespace orth {

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
      GetLe32(fields) != COMMONNESS_VERSION || GetLe32(fields + 4) != wordCount ||
      GetLe32(fields + 8) != lex.size || GetLe32(fields + 12) != lex.hash) {
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
  PutLe32(fields, COMMONNESS_VERSION);
  PutLe32(fields + 4, static_cast<uint32_t>(grades.size()));
  PutLe32(fields + 8, lex.size);
  PutLe32(fields + 12, lex.hash);

  return WriteSidecarFile(path, header, sizeof header, grades.data(), grades.size());
}

}  // namespace orth
