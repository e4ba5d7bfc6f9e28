// The file operations on Windows: names arrive as UTF-8 and are converted to
// UTF-16 for the wide system calls, so that any name the file system can
// hold works, whatever the process's code page.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "session/platform_file.h"

namespace orth {
namespace {

// The UTF-16 form of a UTF-8 name; empty when the name is not valid UTF-8.
std::wstring Wide(const char* name) {
  if (name == nullptr || name[0] == '\0') return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length) - 1);  // the terminating NUL
  return wide;
}

std::wstring WideMode(const char* mode) {
  std::wstring wide;
  for (const char* c = mode; *c != '\0'; ++c) wide += static_cast<wchar_t>(*c);
  return wide;
}

}  // namespace

std::FILE* OpenFile(const char* name, const char* mode) {
  const std::wstring wide = Wide(name);
  if (wide.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  return _wfopen(wide.c_str(), WideMode(mode).c_str());
}

std::FILE* CreateNewFile(const char* name) {
  const std::wstring wide = Wide(name);
  if (wide.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  // The C runtime's fopen knows no exclusive mode; _wopen with O_EXCL fails
  // with EEXIST when the name is taken.
  const int fd =
      _wopen(wide.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
}

int ReplaceFileWith(const char* from, const char* to) {
  const std::wstring wideFrom = Wide(from);
  const std::wstring wideTo = Wide(to);
  if (wideFrom.empty() || wideTo.empty()) return -1;
  // Replaces an existing target in one step and returns only once the move
  // is on disk.
  return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : -1;
}

int RemoveFile(const char* name) {
  const std::wstring wide = Wide(name);
  return wide.empty() ? -1 : _wremove(wide.c_str());
}

std::filesystem::path PathFromName(const char* name) {
  return std::filesystem::path(Wide(name));
}

std::string NameFromPath(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

size_t FileNameStart(const std::string& name) {
  const size_t separator = name.find_last_of("/\\:");
  return separator == std::string::npos ? 0 : separator + 1;
}

bool IdentifyOpenFile(std::FILE* file, FileIdentity& identity) {
  if (file == nullptr) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return false;
  identity.device = info.dwVolumeSerialNumber;
  identity.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  identity.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // FILETIME counts 100-nanosecond steps.
  const uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;
  identity.modifiedSeconds = static_cast<int64_t>(ticks / 10000000);
  identity.modifiedNanoseconds = static_cast<int64_t>(ticks % 10000000) * 100;
  return true;
}

}  // namespace orth
