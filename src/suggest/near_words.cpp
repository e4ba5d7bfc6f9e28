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
    // A swap can still reach back past one hopeless row.
    const uint32_t reachable =
        std::min<uint32_t>(smallest, uint32_t{walk.rowMin[d - 1]} + transpose);
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
