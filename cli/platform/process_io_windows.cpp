// orthspell's files and streams on Windows: UTF-8 names become UTF-16 for
// the wide system calls, the standard streams carry bytes unchanged, and the
// console shows UTF-8.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "platform/process_io.h"

namespace orth::cli {

namespace {

std::wstring Wide(const std::string& name) {
  if (name.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                                         static_cast<int>(name.size()), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                      wide.data(), length);
  return wide;
}

}  // namespace

void PrepareStandardStreams() {
  // Text mode would turn "\n" into "\r\n" and stop reading at a Ctrl-Z:
  // orthspell's output and input are the same bytes as on Linux.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
}

int OpenForReading(const std::string& name) {
  const std::wstring wide = Wide(name);
  if (wide.empty()) {
    errno = ENOENT;
    return -1;
  }
  return _wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

std::optional<bool> SameOpenFile(int first, int second) {
  BY_HANDLE_FILE_INFORMATION a, b;
  const auto handleA = reinterpret_cast<HANDLE>(_get_osfhandle(first));
  const auto handleB = reinterpret_cast<HANDLE>(_get_osfhandle(second));
  if (!GetFileInformationByHandle(handleA, &a) || !GetFileInformationByHandle(handleB, &b)) {
    return false;  // consoles and pipes: not one file
  }
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

std::filesystem::path ProgramFile() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::filesystem::path();
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
}

std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(Wide(name));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace orth::cli
