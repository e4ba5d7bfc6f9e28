#include "suggest/rank_index.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <numeric>

#include "lex/commonness_file.h"
#include "lex/lex_words.h"
#include "lex/shared_dictionary.h"
#include "session/platform_file.h"
#include "text/char_table.h"

namespace orth {

namespace {

// Collects the words in stored order; the sort comes after.
struct WordCollector {
  std::vector<unsigned char> chars;  // each word followed by a NUL
  std::vector<uint32_t> starts;
  bool tooLong = false;
};

bool CollectWord(void* context, const unsigned char* word, uint32_t length) {
  auto& collector = *static_cast<WordCollector*>(context);
  if (length > RANK_WORD_MAX) {
    collector.tooLong = true;
    return false;
  }
  collector.starts.push_back(static_cast<uint32_t>(collector.chars.size()));
  collector.chars.insert(collector.chars.end(), word, word + length);
  collector.chars.push_back(0);
  return true;
}

// Adds the words, in byte order, to the tree: each word shares the nodes of
// its common prefix with the word before it.
class TreeBuilder {
 public:
  explicit TreeBuilder(RankIndex& index) : index_(index) {}

  void Add(const unsigned char* word, uint32_t length, uint8_t grade) {
    if (length == 0) return;
    uint32_t shared = 0;
    while (shared < length && shared < open_ && previous_[shared] == word[shared]) ++shared;
    if (shared == length && shared == open_) {
      Mark(open_ - 1, grade);  // the same word again
      return;
    }
    Close(shared);
    for (uint32_t d = shared; d < length; ++d) {
      openNodes_[d] = static_cast<uint32_t>(index_.nodes.size());
      index_.nodes.push_back({0, 0, word[d], static_cast<uint8_t>(d + 1), 0, 0});
      previous_[d] = word[d];
    }
    open_ = length;
    Mark(length - 1, grade);
  }

  void Finish() { Close(0); }

 private:
  void Mark(uint32_t d, uint8_t grade) {
    RankNode& node = index_.nodes[openNodes_[d]];
    if (node.isWord == 0) ++index_.wordCount;
    node.isWord = 1;
    node.grade = grade;
  }

  // Ends the subtrees of the open nodes deeper than `depth`.
  void Close(uint32_t depth) {
    const auto end = static_cast<uint32_t>(index_.nodes.size());
    while (open_ > depth) index_.nodes[openNodes_[--open_]].next = end;
  }

  RankIndex& index_;
  uint32_t openNodes_[RANK_WORD_MAX] = {};
  unsigned char previous_[RANK_WORD_MAX] = {};
  uint32_t open_ = 0;
};

// Fills every node's `below` from its children, the last node first.
void MarkLettersBelow(std::vector<RankNode>& nodes) {
  for (size_t k = nodes.size(); k-- > 0;) {
    uint32_t below = 0;
    for (size_t child = k + 1; child < nodes[k].next; child = nodes[child].next) {
      below |= nodes[child].below | RankLetterBit(nodes[child].letter);
    }
    nodes[k].below = below;
  }
}

}  // namespace

uint32_t RankLetterBit(unsigned char c) {
  const int32_t code = LetterCodeOf(c);
  if (code < 0) return uint32_t{1} << 31;
  const int32_t base = FoldLetterCode(code);  // 0 apostrophe, 1..26 letters, 56 ß
  return uint32_t{1} << (base <= 26 ? base : 27);
}

std::unique_ptr<RankIndex> BuildRankIndex(CompressedLex& lex, const std::string& lexFileName) {
  WordCollector stored;
  if (ForEachLexWord(lex, LexWordSink{&stored, CollectWord}) != 0 || stored.tooLong) {
    return nullptr;
  }
  const auto count = static_cast<uint32_t>(stored.starts.size());

  std::vector<uint8_t> grades;
  // The whole lexicon file is hashed only when a commonness file is there
  // to be checked against it.
  const std::string gradesFile = CommonnessFileName(lexFileName);
  std::error_code noFile;
  LexFingerprint fingerprint;
  const bool graded = std::filesystem::is_regular_file(PathFromName(gradesFile.c_str()), noFile) &&
                      FingerprintLexFile(lex, fingerprint) &&
                      ReadCommonnessFile(gradesFile, fingerprint, count, grades) == 0;

  // The stored order is by letter code, which differs from byte order only
  // for the few words with accents or apostrophes.
  const unsigned char* base = stored.chars.data();
  auto before = [&](uint32_t a, uint32_t b) {
    return std::strcmp(reinterpret_cast<const char*>(base + stored.starts[a]),
                       reinterpret_cast<const char*>(base + stored.starts[b])) < 0;
  };
  std::vector<uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), before);

  auto index = std::make_unique<RankIndex>();
  index->hasGrades = graded;
  index->nodes.reserve(count * 3);
  TreeBuilder tree(*index);
  for (const uint32_t i : order) {
    const unsigned char* word = base + stored.starts[i];
    const auto length = static_cast<uint32_t>(std::strlen(reinterpret_cast<const char*>(word)));
    tree.Add(word, length, graded ? grades[i] : COMMONNESS_UNKNOWN);
  }
  tree.Finish();
  MarkLettersBelow(index->nodes);
  index->nodes.shrink_to_fit();
  return index;
}

const RankIndex* RankIndexOf(CompressedLex& lex, const std::string& lexFileName) {
  if (lex.rankIndex == nullptr && !lex.rankIndexFailed) {
    if (lex.shared != nullptr) {
      // One lexicon on the file builds it while the others wait for it; a
      // build that throws leaves it untried, for the next call.
      SharedDictionary& shared = *lex.shared;
      const std::lock_guard<std::mutex> guard(shared.rankLock);
      if (!shared.rankIndexTried) {
        shared.rankIndex = BuildRankIndex(lex, lexFileName);
        shared.rankIndexTried = true;
      }
      lex.rankIndex = shared.rankIndex;
    } else {
      lex.rankIndex = BuildRankIndex(lex, lexFileName);
    }
    lex.rankIndexFailed = lex.rankIndex == nullptr;
  }
  return lex.rankIndex.get();
}

const RankNode* FindInRankIndex(const RankIndex& index, const char* word) {
  const auto count = static_cast<uint32_t>(index.nodes.size());
  const RankNode* found = nullptr;
  uint32_t k = 0;
  uint32_t end = count;  // the end of the subtree being searched
  for (uint32_t d = 0; word[d] != '\0'; ++d) {
    const auto letter = static_cast<unsigned char>(word[d]);
    // The children of the last node found: from k to `end`, sibling by sibling.
    while (k < end && index.nodes[k].letter != letter) k = index.nodes[k].next;
    if (k >= end) return nullptr;
    found = &index.nodes[k];
    end = found->next;
    ++k;
  }
  return found != nullptr && found->isWord != 0 ? found : nullptr;
}

}  // namespace orth
