// Loading sections on demand within a byte budget, releasing the least
// recently used resident sections to make room.
//
// Each successful LoadSection gives its section a fresh, larger stamp, so the
// resident sections ordered by stamp are exactly the order of their latest
// uses. The cache keeps them in that order in a list linked through the
// sections themselves: its oldest end is the resident section with the
// smallest stamp, found without scanning the index.
#include "lex/section_cache.h"

#include "lex/section_word_index.h"
#include "lex/shared_dictionary.h"

#include <climits>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

namespace orth {
namespace {

void UnlinkResident(CompressedLex& lex, LexSection& section) {
  if (section.olderResident != NO_SECTION) {
    lex.sections[section.olderResident]->newerResident = section.newerResident;
  } else {
    lex.oldestResident = section.newerResident;
  }
  if (section.newerResident != NO_SECTION) {
    lex.sections[section.newerResident]->olderResident = section.olderResident;
  } else {
    lex.newestResident = section.olderResident;
  }
  section.olderResident = NO_SECTION;
  section.newerResident = NO_SECTION;
}

void LinkAsNewest(CompressedLex& lex, int32_t position) {
  LexSection& section = *lex.sections[position];
  section.olderResident = lex.newestResident;
  section.newerResident = NO_SECTION;
  if (lex.newestResident != NO_SECTION) {
    lex.sections[lex.newestResident]->newerResident = position;
  } else {
    lex.oldestResident = position;
  }
  lex.newestResident = position;
}

// Releases the resident section with the smallest stamp and gives its size
// back to the budget. False when nothing is resident.
bool ReleaseLeastRecentlyUsed(CompressedLex& lex) {
  if (lex.oldestResident == NO_SECTION) return false;
  LexSection& oldest = *lex.sections[lex.oldestResident];
  UnlinkResident(lex, oldest);
  oldest.data.reset();  // the stamp keeps its value
  DropSectionWordIndex(lex, oldest);
  lex.cacheBudget += static_cast<int32_t>(oldest.size);
  return true;
}

bool FitsBudget(const CompressedLex& lex, uint32_t size) {
  return lex.cacheBudget < 0 || size <= static_cast<uint32_t>(lex.cacheBudget);
}

// Seeks to an offset from the start of the file; false when that fails or the
// offset cannot be expressed to the C library.
bool SeekTo(std::FILE* file, uint32_t offset) {
  if (file == nullptr) return false;
  if constexpr (sizeof(long) < sizeof(uint32_t) + 1) {
    if (offset > static_cast<uint32_t>(LONG_MAX)) return false;
  }
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

// Reads a section's bytes from the lexicon's file: 0, ERR_NO_MEMORY or
// ERR_BAD_FORMAT.
int32_t ReadSectionData(CompressedLex& lex, const LexSection& section,
                        std::shared_ptr<unsigned char[]>& out) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[section.size]);
  if (buffer == nullptr) return ERR_NO_MEMORY;
  if (!SeekTo(lex.file.get(), section.dataOffset)) return ERR_BAD_FORMAT;
  if (std::fread(buffer.get(), 1, section.size, lex.file.get()) != section.size) {
    return ERR_BAD_FORMAT;
  }
  try {
    out = std::move(buffer);
  } catch (const std::bad_alloc&) {
    return ERR_NO_MEMORY;
  }
  return 0;
}

// Whether the lexicon takes its sections from the dictionary it shares: only
// without a cache budget, where a section once resident stays so.
bool SharesSections(const CompressedLex& lex) {
  return lex.shared != nullptr && lex.cacheBudget < 0;
}

// A section's bytes from the shared dictionary, read there first when no
// lexicon on the file has. A failed read is not kept: the next use tries
// again, as the lexicon alone would.
int32_t SharedSectionData(CompressedLex& lex, int32_t position,
                          std::shared_ptr<unsigned char[]>& out) {
  SharedDictionary& shared = *lex.shared;
  const std::lock_guard<std::mutex> guard(shared.sectionLock);
  SharedSection& common = shared.sections[position];
  if (common.data == nullptr) {
    const int32_t read = ReadSectionData(lex, *lex.sections[position], common.data);
    if (read != 0) return read;
  }
  out = common.data;
  return 0;
}

// The shared word index of a resident section, built once for the file.
// Null when it cannot be built (the plain decode then serves the section).
std::shared_ptr<const SectionWordIndex> SharedWordIndex(CompressedLex& lex, int32_t position) {
  SharedDictionary& shared = *lex.shared;
  const std::lock_guard<std::mutex> guard(shared.sectionLock);
  SharedSection& common = shared.sections[position];
  if (common.wordIndex == nullptr) {
    try {
      common.wordIndex = BuildSectionWordIndex(*lex.sections[position], lex.tokens);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  return common.wordIndex;
}

}  // namespace

void DropSectionWordIndex(CompressedLex& lex, LexSection& section) {
  if (section.wordIndex != nullptr) lex.wordIndexBytes -= section.wordIndex->Bytes();
  section.wordIndex.reset();
  section.residentUses = 0;
}

int32_t LoadSection(CompressedLex& lex, int32_t position) {
  if (!IsSectionPosition(position) || lex.sections[position] == nullptr) return ERR_NOT_FOUND;
  LexSection& section = *lex.sections[position];
  const uint64_t now = ++lex.useCounter;

  if (section.IsResident()) {
    section.stamp = now;
    UnlinkResident(lex, section);
    LinkAsNewest(lex, position);
    // A section used again is likely to be used often: index it once. A
    // failed build leaves the plain decode serving it until it is reloaded.
    if (lex.indexSections && section.residentUses < 2 && ++section.residentUses == 2) {
      section.wordIndex = SharesSections(lex) ? SharedWordIndex(lex, position)
                                              : BuildSectionWordIndex(section, lex.tokens);
      if (section.wordIndex != nullptr) lex.wordIndexBytes += section.wordIndex->Bytes();
    }
    return 0;
  }
  if (section.size == 0) return -1;

  std::shared_ptr<unsigned char[]> buffer;
  if (SharesSections(lex)) {
    const int32_t read = SharedSectionData(lex, position, buffer);
    if (read != 0) return read;
  } else {
    // The open refused sections larger than the whole budget, so releasing
    // always ends with room; the test on the release only guards that
    // promise.
    while (!FitsBudget(lex, section.size)) {
      if (!ReleaseLeastRecentlyUsed(lex)) return ERR_NO_MEMORY;
    }
    const int32_t read = ReadSectionData(lex, section, buffer);
    if (read != 0) return read;
  }

  section.data = std::move(buffer);
  DropSectionWordIndex(lex, section);
  section.residentUses = 1;
  section.stamp = now;
  LinkAsNewest(lex, position);
  if (lex.cacheBudget >= 0) lex.cacheBudget -= static_cast<int32_t>(section.size);
  return 0;
}

}  // namespace orth
