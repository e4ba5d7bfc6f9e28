// The file operations a text lexicon save goes through, in one process-wide
// record so that tests can make any step fail. Internal: never exported.
#pragma once

#include <cstdio>

namespace orth {

struct SaveFileOps {
  // Creates a file that must not exist yet ("wx"); null on failure.
  std::FILE* (*createExclusive)(const char* name);
  // Writes a NUL-terminated piece of text: a negative result is a failure.
  int (*writeText)(std::FILE* file, const char* text);
  // Flushes and closes: 0 on success, as fflush and fclose answer.
  int (*flush)(std::FILE* file);
  int (*close)(std::FILE* file);
  // Replaces `to` by `from` in one step: 0 on success.
  int (*rename)(const char* from, const char* to);
};

// The operations the standard library provides.
SaveFileOps DefaultSaveFileOps();

// The operations SaveTextLex uses; starts as DefaultSaveFileOps().
SaveFileOps& TextLexSaveOps();

}  // namespace orth
