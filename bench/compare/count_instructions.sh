#!/usr/bin/env bash
# Counts the instructions the suggesters spend per misspelling, at an
# earlier revision and at the working tree, under valgrind's callgrind:
# repeatable whatever else the machine is doing, where wall-clock medians on
# a shared machine drift by several per cent between runs.
#
#   bench/compare/count_instructions.sh REV [PAIRS]
#
# REV: the revision to compare with (a worktree of it is built under
# bench/compare/work/rev-REV); PAIRS: how many misspellings of the report
# half (default 300). Needs bench/compare/run.sh to have assembled its
# inputs. Prints, per suggester and revision, the instructions per
# misspelling, leaving out the one-time work of the first call (the ranked
# suggester's index, the case forms file), which callgrind counts apart.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK="$HERE/work"
rev=${1:?usage: count_instructions.sh REV [PAIRS]}
pairs_wanted=${2:-300}
[ -s "$WORK/inputs/misspellings-report.txt" ] || { echo "run bench/compare/run.sh first" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "needs valgrind" >&2; exit 2; }

count="$WORK/count"
mkdir -p "$count"
head -n "$pairs_wanted" "$WORK/inputs/misspellings-report.txt" >"$count/pairs.txt"
echo the >"$count/words.txt"

# build NAME SOURCE: the engine in Release mode and the driver of that source.
build() {
  { cmake -S "$2" -B "$count/$1" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF \
    -DORTH_BUILD_BENCH=OFF &&
    cmake --build "$count/$1" -j"$(nproc)" --target ORTHMV32 dictionaries; } \
    >"$count/$1.log" 2>&1 || { cat "$count/$1.log" >&2; exit 1; }
  g++ -std=c++20 -O2 -DNDEBUG -I"$2/bench/compare" -I"$2/include" "$2/bench/compare/orth_driver.cpp" \
    -o "$count/$1/orth_driver" -L"$count/$1" -lORTHMV32 -Wl,-rpath,"$count/$1"
}
tree="$WORK/rev-$rev"
[ -d "$tree" ] || git -C "$ROOT" worktree add -q --detach "$tree" "$rev"
build old "$tree"
build new "$ROOT"

# instructions FILE FUNCTION: callgrind's inclusive count of FUNCTION.
instructions() {
  callgrind_annotate --inclusive=yes "$1" 2>/dev/null |
    awk -v f="$2" 'index($0, f) { gsub(",", "", $1); print $1; exit }'
}
n=$(wc -l <"$count/pairs.txt")
echo "| suggester | $rev | working tree | change |"
echo "|---|---:|---:|---:|"
for mode in classic ranked; do
  flag=()
  function=ORTH_Suggest
  [ "$mode" = ranked ] && flag=(--ranked) && function=ORTH_SuggestRanked
  per=()
  for side in old new; do
    out="$count/callgrind.$side.$mode"
    valgrind --tool=callgrind --callgrind-out-file="$out" "$count/$side/orth_driver" \
      "$count/words.txt" "$count/pairs.txt" "$count/$side/dicts/en_US.olx" "${flag[@]}" \
      >/dev/null 2>&1
    total=$(instructions "$out" "$function [")
    once=0
    for setup in "BuildRankIndex(" "LoadCaseForms("; do
      part=$(instructions "$out" "$setup")
      once=$((once + ${part:-0}))
    done
    # The ranked driver makes one call before the pairs, to build the index.
    calls=$n
    [ "$mode" = ranked ] && calls=$((n + 1))
    per+=($(((total - once) / calls)))
  done
  echo "| $mode | ${per[0]} | ${per[1]} |" \
    "$(awk -v a="${per[0]}" -v b="${per[1]}" 'BEGIN { printf "%+.1f%%", 100 * (b - a) / a }') |"
done
