// The file operations on Linux and other POSIX systems: the C library's and
// the standard library's calls, names passed through as bytes.
#include <sys/stat.h>

#include <system_error>

#include "session/platform_file.h"

namespace orth {

std::FILE* OpenFile(const char* name, const char* mode) {
  return std::fopen(name, mode);
}

std::FILE* CreateNewFile(const char* name) {
  return std::fopen(name, "wx");
}

int ReplaceFileWith(const char* from, const char* to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return error ? -1 : 0;
}

int RemoveFile(const char* name) {
  return std::remove(name);
}

std::filesystem::path PathFromName(const char* name) {
  return std::filesystem::path(name);
}

std::string NameFromPath(const std::filesystem::path& path) {
  return path.string();
}

size_t FileNameStart(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

bool IdentifyOpenFile(std::FILE* file, FileIdentity& identity) {
  struct stat status {};
  if (file == nullptr || fstat(fileno(file), &status) != 0) return false;
  identity.device = static_cast<uint64_t>(status.st_dev);
  identity.inode = static_cast<uint64_t>(status.st_ino);
  identity.size = static_cast<uint64_t>(status.st_size);
  identity.modifiedSeconds = static_cast<int64_t>(status.st_mtim.tv_sec);
  identity.modifiedNanoseconds = static_cast<int64_t>(status.st_mtim.tv_nsec);
  return true;
}

}  // namespace orth
