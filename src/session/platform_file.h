// The file operations the engine needs from the system, behind one small
// interface: file names reach it as the caller's bytes (UTF-8 on Windows,
// where they become UTF-16 for the system calls), and the engine code above
// it is the same on every platform. platform_file_posix.cpp and
// platform_file_windows.cpp implement it; the build picks one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace orth {

// fopen with a binary mode ("rb", "r+b", "wb", "ab"): no platform turns line
// ends or stops at a Ctrl-Z, so what is read is the file's bytes.
std::FILE* OpenFile(const char* name, const char* mode);

// Creates a file that must not exist yet and opens it for binary writing;
// null on failure, with errno EEXIST when the name was taken.
std::FILE* CreateNewFile(const char* name);

// Replaces `to` by `from` in one step (the target, if any, is never seen half
// written): 0 on success.
int ReplaceFileWith(const char* from, const char* to);

// Removes a file: 0 on success.
int RemoveFile(const char* name);

// The name as a path of the standard library.
std::filesystem::path PathFromName(const char* name);

// The name of a path in the form PathFromName takes.
std::string NameFromPath(const std::filesystem::path& path);

// Where the last component of a file name starts: after the last folder
// separator ('/', and on Windows also '\' and a drive's ':').
size_t FileNameStart(const std::string& name);

// What tells two opens of one unchanged file from opens of different or
// changed files: the file's identity, size and modification time.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
};

// Fills identity for an open file: false when the system cannot tell.
bool IdentifyOpenFile(std::FILE* file, FileIdentity& identity);

}  // namespace orth
