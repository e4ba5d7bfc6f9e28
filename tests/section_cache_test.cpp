// The section cache: loading on demand, the byte budget, least-recently-used
// release, empty sections and failed reads.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lex/compressed_lex.h"
#include "lex/section_cache.h"
#include "lex_file_builder.h"

namespace orth {
namespace {

using test::AssembleLexFile;
using test::Bytes;
using test::LexFileParts;
using test::MakeSectionPart;
using test::TempDir;

// Section i has the pair a, (b + i) and `sizes[i]` bytes of data whose bytes
// are all i + 1.
Bytes LexWithSections(const std::vector<uint16_t>& sizes) {
  LexFileParts parts;
  for (size_t i = 0; i < sizes.size(); ++i) {
    parts.sections.push_back(MakeSectionPart('a', static_cast<unsigned char>('b' + i),
                                             Bytes(sizes[i], static_cast<unsigned char>(i + 1))));
  }
  return AssembleLexFile(parts);
}

int32_t PositionOf(size_t i) {
  return SectionPosition('a', static_cast<unsigned char>('b' + i));
}

bool Resident(const CompressedLex& lex, size_t i) {
  return lex.sections[PositionOf(i)]->IsResident();
}

struct OpenLex {
  TempDir dir;
  std::string path;
  std::unique_ptr<CompressedLex> lex;

  OpenLex(const Bytes& file, int32_t budget) {
    path = dir.Write("lex.olx", file);
    EXPECT_EQ(OpenCompressedLex(path.c_str(), budget, lex), 0);
  }
};

TEST(SectionCache, NoLimitKeepsEverySectionAndReadsItOnce) {
  OpenLex open(LexWithSections({10, 20, 30}), -1);
  CompressedLex& lex = *open.lex;
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(LoadSection(lex, PositionOf(i)), 0);
    const LexSection& section = *lex.sections[PositionOf(i)];
    EXPECT_EQ(section.data[0], i + 1);
    EXPECT_EQ(section.data[section.size - 1], i + 1);
  }
  EXPECT_EQ(lex.cacheBudget, -1);
  // With the file cut away, resident sections still answer: a hit reads nothing.
  std::filesystem::resize_file(open.path, COMPRESSED_HEADER_SIZE);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(LoadSection(lex, PositionOf(i)), 0);
    EXPECT_TRUE(Resident(lex, i));
  }
  EXPECT_EQ(lex.useCounter, 6u);
  EXPECT_EQ(lex.sections[PositionOf(2)]->stamp, 6u);
}

TEST(SectionCache, BudgetOfOneSectionSwapsSections) {
  OpenLex open(LexWithSections({16, 16}), 16);
  CompressedLex& lex = *open.lex;
  ASSERT_EQ(LoadSection(lex, PositionOf(0)), 0);
  EXPECT_EQ(lex.cacheBudget, 0);
  ASSERT_EQ(LoadSection(lex, PositionOf(1)), 0);
  EXPECT_FALSE(Resident(lex, 0));
  EXPECT_TRUE(Resident(lex, 1));
  EXPECT_EQ(lex.sections[PositionOf(0)]->stamp, 1u);  // a released section keeps its stamp
  ASSERT_EQ(LoadSection(lex, PositionOf(0)), 0);
  EXPECT_TRUE(Resident(lex, 0));
  EXPECT_FALSE(Resident(lex, 1));
  EXPECT_EQ(lex.cacheBudget, 0);
}

TEST(SectionCache, LeastRecentlyUsedIsReleased) {
  // S1, S2, S1, S3 with room for two: S2 goes, S1 stays. Run it from a fresh
  // counter and from counters where 32 bits would have wrapped.
  for (uint64_t start : {uint64_t{0}, uint64_t{INT32_MAX} - 1, uint64_t{UINT32_MAX} - 1}) {
    OpenLex open(LexWithSections({8, 8, 8}), 16);
    CompressedLex& lex = *open.lex;
    lex.useCounter = start;
    for (size_t i : {0, 1, 0, 2}) ASSERT_EQ(LoadSection(lex, PositionOf(i)), 0);
    EXPECT_TRUE(Resident(lex, 0)) << start;
    EXPECT_FALSE(Resident(lex, 1)) << start;
    EXPECT_TRUE(Resident(lex, 2)) << start;
    EXPECT_EQ(lex.cacheBudget, 0);
    EXPECT_EQ(lex.useCounter, start + 4);
  }
}

TEST(SectionCache, EmptySectionAndPositionsWithoutSection) {
  OpenLex open(LexWithSections({0, 4}), 4);
  CompressedLex& lex = *open.lex;
  for (uint64_t call = 1; call <= 3; ++call) {
    EXPECT_EQ(LoadSection(lex, PositionOf(0)), -1);
    EXPECT_EQ(lex.useCounter, call);  // every call counts
    EXPECT_EQ(lex.sections[PositionOf(0)]->stamp, 0u);
  }
  EXPECT_EQ(lex.cacheBudget, 4);
  EXPECT_EQ(LoadSection(lex, PositionOf(5)), ERR_NOT_FOUND);  // no section there
  EXPECT_EQ(LoadSection(lex, -1), ERR_NOT_FOUND);
  EXPECT_EQ(LoadSection(lex, SECTION_INDEX_SIZE), ERR_NOT_FOUND);
}

TEST(SectionCache, UnreadableSectionsFailAndRecover) {
  LexFileParts parts;
  parts.sections = {
      MakeSectionPart('a', 'b', Bytes(8, 1)),
      MakeSectionPart('a', 'c', Bytes{}, 1u << 20, 8),           // offset beyond the end
      MakeSectionPart('a', 'd', Bytes{}, 0xFFFFFFFFu, 8),        // offset at the far end
      MakeSectionPart('a', 'e', Bytes(4, 5), std::nullopt, 16),  // size beyond the end
  };
  const Bytes file = AssembleLexFile(parts);
  OpenLex open(file, 16);
  CompressedLex& lex = *open.lex;
  ASSERT_EQ(LoadSection(lex, SectionPosition('a', 'b')), 0);
  for (unsigned char second : {'c', 'd', 'e'}) {
    for (int call = 0; call < 2; ++call) {
      EXPECT_EQ(LoadSection(lex, SectionPosition('a', second)), ERR_BAD_FORMAT) << second;
      EXPECT_FALSE(lex.sections[SectionPosition('a', second)]->IsResident());
    }
  }
  // The failed loads made room (releasing a b) but charged nothing.
  EXPECT_EQ(lex.cacheBudget, 16);
  EXPECT_FALSE(lex.sections[SectionPosition('a', 'b')]->IsResident());

  // Once the file holds the missing bytes, the same section loads.
  Bytes longer = file;
  longer.resize(file.size() + 12, 7);
  std::string path = open.dir.Write("lex.olx", longer);
  EXPECT_EQ(LoadSection(lex, SectionPosition('a', 'e')), 0);
  const LexSection& e = *lex.sections[SectionPosition('a', 'e')];
  EXPECT_EQ(e.data[0], 5);
  EXPECT_EQ(e.data[15], 7);
  EXPECT_EQ(lex.cacheBudget, 0);
}

// The release rule done the slow way: scan all positions, take the resident
// section with the strictly smallest stamp.
struct ReferenceCache {
  std::vector<uint32_t> sizes;
  std::vector<bool> resident;
  std::vector<uint64_t> stamps;
  int64_t budget;
  uint64_t counter = 0;

  int32_t Load(size_t s) {
    ++counter;
    if (resident[s]) {
      stamps[s] = counter;
      return 0;
    }
    if (sizes[s] == 0) return -1;
    while (budget >= 0 && sizes[s] > budget) {
      size_t chosen = sizes.size();
      for (size_t i = 0; i < sizes.size(); ++i) {  // positions ascend with i
        if (resident[i] && (chosen == sizes.size() || stamps[i] < stamps[chosen])) chosen = i;
      }
      resident[chosen] = false;
      budget += sizes[chosen];
    }
    resident[s] = true;
    stamps[s] = counter;
    if (budget >= 0) budget -= sizes[s];
    return 0;
  }
};

TEST(SectionCache, MatchesTheFullScanChoiceOnRandomUse) {
  std::mt19937 random(2024);
  for (int round = 0; round < 12; ++round) {
    const size_t count = 2 + random() % 20;
    std::vector<uint16_t> sizes(count);
    uint32_t largest = 0;
    for (auto& size : sizes) {
      size = static_cast<uint16_t>(random() % 6 == 0 ? 0 : 1 + random() % 40);
      largest = std::max<uint32_t>(largest, size);
    }
    const int32_t budget = round == 0 ? -1 : static_cast<int32_t>(largest + random() % 100);
    OpenLex open(LexWithSections(sizes), budget);
    ASSERT_NE(open.lex, nullptr);
    CompressedLex& lex = *open.lex;
    ReferenceCache reference{std::vector<uint32_t>(sizes.begin(), sizes.end()),
                             std::vector<bool>(count, false), std::vector<uint64_t>(count, 0),
                             budget};
    for (int use = 0; use < 2000; ++use) {
      // Favour a few sections so that hits and misses both happen.
      const size_t s = random() % 3 == 0 ? random() % count : random() % std::min<size_t>(count, 4);
      ASSERT_EQ(LoadSection(lex, PositionOf(s)), reference.Load(s));
      int64_t residentBytes = 0;
      for (size_t i = 0; i < count; ++i) {
        ASSERT_EQ(Resident(lex, i), reference.resident[i]) << "round " << round << " use " << use;
        if (Resident(lex, i)) residentBytes += sizes[i];
      }
      ASSERT_EQ(lex.cacheBudget, reference.budget);
      if (budget >= 0) {
        ASSERT_EQ(lex.cacheBudget + residentBytes, budget);
      }
    }
  }
}

}  // namespace
}  // namespace orth
