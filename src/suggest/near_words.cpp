#include "suggest/near_words.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orth {

namespace {

// A cell above the limit: the walk never computes what cannot matter, and
// marks it so.
constexpr uint16_t DEAD = EDIT_COST_LIMIT;

constexpr std::array<uint16_t, EDIT_ROW_SIZE> DeadRow() {
  std::array<uint16_t, EDIT_ROW_SIZE> row{};
  for (uint16_t& cell : row) cell = DEAD;
  return row;
}
constexpr std::array<uint16_t, EDIT_ROW_SIZE> DEAD_ROW = DeadRow();

struct TreeWalk {
  const RankIndex& index;
  const EditModel& model;
  const TypedWord& typed;
  uint16_t limit;
  const NearWordSink& sink;
  EditRows rows;
  // The live band of each row: its first and last cell within the limit
  // (first > last when there is none). Cells outside it are DEAD.
  uint8_t first[EDIT_ROW_SIZE];
  uint8_t last[EDIT_ROW_SIZE];
  unsigned char path[RANK_WORD_MAX + 1];
};

// Finds the live band of a fully computed row (rows 0 and 1) and marks the
// cells beyond the limit DEAD.
uint32_t MarkBand(TreeWalk& walk, uint32_t d) {
  uint16_t* row = walk.rows[d];
  uint32_t first = EDIT_ROW_SIZE, last = 0, smallest = DEAD;
  for (uint32_t j = 0; j <= walk.typed.length; ++j) {
    if (row[j] > walk.limit) {
      row[j] = DEAD;
      continue;
    }
    if (first == EDIT_ROW_SIZE) first = j;
    last = j;
    smallest = std::min<uint32_t>(smallest, row[j]);
  }
  walk.first[d] = static_cast<uint8_t>(first);
  walk.last[d] = static_cast<uint8_t>(last);
  return smallest;
}

// Fills row d >= 2 of the current path, computing only the cells that the
// live band of row d - 1 (and of row d - 2, through a swap) can reach; the
// rest is DEAD. Returns the row's smallest value.
uint32_t FillBandedRow(TreeWalk& walk, uint32_t d) {
  const TypedWord& typed = walk.typed;
  const EditCosts& costs = walk.model.costs;
  const uint32_t n = typed.length;
  const uint32_t limit = walk.limit;
  const unsigned char c = walk.path[d - 1];
  const unsigned char before = walk.path[d - 2];
  uint16_t* row = walk.rows[d];
  const uint16_t* above = walk.rows[d - 1];
  const uint16_t* twoAbove = walk.rows[d - 2];
  std::memcpy(row, DEAD_ROW.data(), sizeof(EditRows{}[0]));

  // Cells a..b take the full step; past b only the typed word's added
  // letters can still stay within the limit.
  uint32_t a = walk.first[d - 1];
  uint32_t b = walk.last[d - 1] + 1;
  if (a > walk.last[d - 1]) {
    a = EDIT_ROW_SIZE;
    b = 0;
  }
  const uint32_t swaps = c != before ? typed.positions[before] & (typed.positions[c] << 1) : 0;
  if (swaps != 0) {
    a = std::min<uint32_t>(a, static_cast<uint32_t>(__builtin_ctz(swaps)));
    b = std::max<uint32_t>(b, 31u - static_cast<uint32_t>(__builtin_clz(swaps)));
  }
  b = std::min(b, n);

  const uint32_t missing = c == before ? costs.doubled : walk.model.missing[c];
  const uint16_t* substitute = &walk.model.substitute[static_cast<size_t>(c) * 256];
  const uint32_t transpose = costs.transpose;
  uint32_t first = EDIT_ROW_SIZE, last = 0, smallest = DEAD;
  auto keep = [&](uint32_t j, uint32_t value) {
    value = value < DEAD ? value : DEAD;
    row[j] = static_cast<uint16_t>(value);
    if (value <= limit) {
      if (first == EDIT_ROW_SIZE) first = j;
      last = j;
      smallest = value < smallest ? value : smallest;
    }
    return value;
  };

  uint32_t left = DEAD;
  uint32_t j = a;
  if (j == 0) {
    left = keep(0, uint32_t{above[0]} + missing);
    j = 1;
  }
  for (; j <= b; ++j) {
    uint32_t best = uint32_t{above[j - 1]} + substitute[typed.chars[j - 1]];
    const uint32_t dropped = uint32_t{above[j]} + missing;
    best = dropped < best ? dropped : best;
    const uint32_t added = left + typed.extraCost[j];
    best = added < best ? added : best;
    if (((swaps >> j) & 1u) != 0) {
      const uint32_t swapped = uint32_t{twoAbove[j - 2]} + transpose;
      best = swapped < best ? swapped : best;
    }
    left = keep(j, best);
  }
  for (; j <= n && left <= limit; ++j) left = keep(j, left + typed.extraCost[j]);
  walk.first[d] = static_cast<uint8_t>(first);
  walk.last[d] = static_cast<uint8_t>(last);
  return smallest;
}

// Set bits of a word, without relying on a processor instruction.
inline uint32_t CountBits(uint32_t v) {
  v = v - ((v >> 1) & 0x55555555u);
  v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
  return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

// The least distance a word ending at or under `node` can have: for each
// live cell of row d, its distance plus what the rest of the typed word must
// cost where the subtree holds no letter of its kind.
uint32_t LeastReachable(const TreeWalk& walk, const RankNode& node, uint32_t d, uint32_t smallest) {
  if (smallest > walk.limit) return smallest;
  const TypedWord& typed = walk.typed;
  uint32_t lacking = typed.letterBits & ~node.below;
  // A subtree holding every kind of typed letter adds nothing to the row.
  if (lacking == 0) return smallest;
  uint32_t absent = 0;  // bit j: typed letter j - 1 is of a kind the subtree lacks
  for (; lacking != 0; lacking &= lacking - 1) {
    absent |= typed.positionsOfKind[__builtin_ctz(lacking)];
  }
  const uint16_t* row = walk.rows[d];
  uint32_t least = DEAD;
  for (uint32_t j = walk.first[d]; j <= walk.last[d]; ++j) {
    // The typed letters after the first j: bits j + 1 and up.
    const uint32_t after = static_cast<uint32_t>(uint64_t{absent} >> (j + 1));
    const uint32_t bound = uint32_t{row[j]} + uint32_t{typed.absentCost} * CountBits(after);
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
    uint32_t smallest = 0;
    if (d == 1) {
      FillEditRow(walk.model, walk.typed, walk.path, 1, walk.rows);
      smallest = MarkBand(walk, 1);
    } else {
      smallest = FillBandedRow(walk, d);
    }
    const bool hopeless = LeastReachable(walk, node, d, smallest) > walk.limit &&
                          SwapReach(walk, d, transpose) > walk.limit;
    if (hopeless) {
      k = node.next;
      continue;
    }
    const uint16_t distance = walk.rows[d][walk.typed.length];
    if (node.isWord != 0 && distance <= walk.limit) {  // DEAD otherwise
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

void FindNearWords(const RankIndex& index, const EditModel& model, const TypedWord& typed,
                   uint16_t limit, const NearWordSink& sink) {
  TreeWalk walk{index, model, typed, limit, sink, {}, {}, {}, {}};
  FillFirstEditRow(typed, walk.rows);
  MarkBand(walk, 0);
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
}

}  // namespace orth
