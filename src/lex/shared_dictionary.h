// What the lexicons open on one dictionary file share: the parts that never
// change once made, kept once per file however many sessions open it.
//
// A file is the same dictionary when its name (as opened), device, inode,
// size and modification time agree. Shared are:
//  - the ranked suggester's index with its commonness grades, for every
//    lexicon on the file;
//  - the case forms read from the file beside it, for every lexicon on it;
//  - for lexicons opened without a cache budget, each section's bytes and
//    its word index. Such a lexicon never releases a section, so sharing
//    them changes nothing it does; it still keeps its own use counter,
//    stamps and recency list, so its cache behaves as before.
// A lexicon opened with a budget reads and keeps its own sections: the
// budget exists to bound its memory, and bytes held by other lexicons would
// escape it.
//
// Each part is made once, by the first lexicon that needs it, under the
// dictionary's lock (the others wait), and never changes after it is
// published. A dictionary lives while a lexicon holds it; a process-wide
// registry with weak references finds it for the next open and is locked
// only when a lexicon opens or the last one closes.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "lex/compressed_lex.h"

namespace orth {

struct SharedSection {
  std::shared_ptr<unsigned char[]> data;              // the section's bytes; null: not read yet
  std::shared_ptr<const SectionWordIndex> wordIndex;  // null: not built yet
};

struct SharedDictionary {
  // Guards `sections`; held while a section is read or indexed.
  std::mutex sectionLock;
  std::array<SharedSection, SECTION_INDEX_SIZE> sections;
  // Guards the rank index; held while it is built, so that it is built once.
  std::mutex rankLock;
  std::shared_ptr<const RankIndex> rankIndex;
  bool rankIndexTried = false;  // built, or its build failed (not tried again)
  // Guards the case forms; held while they are read, so that they are read once.
  std::mutex caseLock;
  std::shared_ptr<const CaseForms> caseForms;
  bool caseFormsTried = false;  // read, or found missing or unfit (not tried again)
  // Published in the registry (set under the registry's lock).
  bool registered = false;
};

// The shared dictionary of the file open as `file` under `fileName`,
// made when no lexicon holds one yet. Null when the file cannot be
// identified (then the lexicon shares nothing). Throws std::bad_alloc.
std::shared_ptr<SharedDictionary> AcquireSharedDictionary(const char* fileName, std::FILE* file);

}  // namespace orth
