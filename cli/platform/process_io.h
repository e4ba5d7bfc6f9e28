// What orthspell needs from the system around its files and standard
// streams, behind one small interface: process_io_posix.cpp and
// process_io_windows.cpp implement it, the build picks one. File names are
// UTF-8 on every platform.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orth::cli {

// Sets the standard streams up for UTF-8 bytes in and out: on Windows they
// pass bytes unchanged (no line-end translation) and the console shows UTF-8.
// Nothing to do elsewhere.
void PrepareStandardStreams();

// Opens a file for reading by its UTF-8 name: a file descriptor, or -1 with
// errno set.
int OpenForReading(const std::string& name);

// Whether two open descriptors are the same file; nothing when the system
// cannot tell.
std::optional<bool> SameOpenFile(int first, int second);

// The running program's own file; empty when the system cannot tell.
std::filesystem::path ProgramFile();

// A UTF-8 name as a path, and a path as a UTF-8 name.
std::filesystem::path PathFromUtf8(const std::string& name);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace orth::cli
