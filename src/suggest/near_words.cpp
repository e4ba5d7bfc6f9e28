#include "suggest/near_words.h"

#include <algorithm>
#include <cstring>

namespace orth {

namespace {

struct TreeWalk {
  const RankIndex& index;
  const EditModel& model;
  const TypedWord& typed;
  uint16_t limit;
  const NearWordSink& sink;
  EditRows rows;
  uint16_t rowMin[EDIT_ROW_SIZE];
  unsigned char path[RANK_WORD_MAX + 1];
  uint64_t work = 0;
};

// The least distance a word ending at or under `node` can have: for each
// typed prefix, its distance in `row` plus what the rest of the typed word
// must cost where the subtree holds none of its letters.
uint32_t LeastReachable(const TreeWalk& walk, const RankNode& node, const uint16_t* row,
                        uint32_t smallest) {
  if (smallest > walk.limit) return smallest;
  const TypedWord& typed = walk.typed;
  uint32_t least = row[typed.length];
  uint32_t rest = 0;
  for (uint32_t j = typed.length; j > 0; --j) {
    if ((node.below & typed.letterBit[j]) == 0) rest += typed.absentCost[j];
    const uint32_t bound = uint32_t{row[j - 1]} + rest;
    least = bound < least ? bound : least;
  }
  return least;
}

// What a swap can still reach past a hopeless row d: the next dictionary
// letter and letter d swapped, which needs letter d typed at some j - 1 and
// starts from row d - 1 at j - 2.
uint32_t SwapReach(const TreeWalk& walk, uint32_t d, uint32_t transpose) {
  const uint32_t where = walk.typed.positions[walk.path[d - 1]] >> 2;
  if (where == 0) return UINT32_MAX;
  const uint16_t* row = walk.rows[d - 1];
  uint32_t least = UINT32_MAX;
  for (uint32_t j = 2, rest = where; rest != 0; ++j, rest >>= 1) {
    if ((rest & 1u) != 0) least = std::min<uint32_t>(least, uint32_t{row[j - 2]} + transpose);
  }
  return least;
}

// Walks the nodes [from, to), which start at a first letter and hold whole
// subtrees.
void WalkNodes(TreeWalk& walk, uint32_t from, uint32_t to) {
  const uint32_t transpose = walk.model.costs.transpose;
  const std::vector<RankNode>& nodes = walk.index.nodes;
  uint32_t k = from;
  while (k < to) {
    const RankNode& node = nodes[k];
    const uint32_t d = node.depth;
    walk.path[d - 1] = node.letter;
    const uint16_t smallest = FillEditRow(walk.model, walk.typed, walk.path, d, walk.rows);
    walk.rowMin[d] = smallest;
    ++walk.work;
    const uint32_t reachable =
        std::min(LeastReachable(walk, node, walk.rows[d], smallest), SwapReach(walk, d, transpose));
    if (reachable > walk.limit) {
      k = node.next;
      continue;
    }
    const uint16_t distance = walk.rows[d][walk.typed.length];
    if (node.isWord != 0 && distance <= walk.limit) {
      NearWord hit{};
      std::memcpy(hit.word, walk.path, d);
      hit.distance = distance;
      hit.grade = node.grade;
      walk.limit = std::min(walk.limit, walk.sink.found(walk.sink.context, hit));
    }
    ++k;
  }
}

}  // namespace

uint64_t FindNearWords(const RankIndex& index, const EditModel& model, const TypedWord& typed,
                       uint16_t limit, const NearWordSink& sink) {
  TreeWalk walk{index, model, typed, limit, sink, {}, {}, {}};
  FillFirstEditRow(typed, walk.rows);
  walk.rowMin[0] = 0;
  const auto count = static_cast<uint32_t>(index.nodes.size());

  // The first letters are the siblings from node 0 on.
  uint32_t first = 0;
  while (first < count && (typed.length == 0 || index.nodes[first].letter != typed.chars[0])) {
    first = index.nodes[first].next;
  }
  if (first < count) {
    WalkNodes(walk, first, index.nodes[first].next);
    WalkNodes(walk, 0, first);
    WalkNodes(walk, index.nodes[first].next, count);
  } else {
    WalkNodes(walk, 0, count);
  }
  return walk.work;
}

}  // namespace orth
