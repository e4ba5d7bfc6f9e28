// orthspell's files and streams on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "platform/process_io.h"

namespace orth::cli {

void PrepareStandardStreams() {}

int OpenForReading(const std::string& name) {
  return ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
}

std::optional<bool> SameOpenFile(int first, int second) {
  struct stat a {
  }, b{};
  if (fstat(first, &a) != 0 || fstat(second, &b) != 0) return std::nullopt;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::filesystem::path ProgramFile() {
  std::error_code failed;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::filesystem::path() : program;
}

std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(name);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace orth::cli
