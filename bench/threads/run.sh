#!/bin/bash
# The engine in a multi-threaded host, whole-process figures, and the
# threads region of bench/RESULTS.md.
#
#   [OLX=en_US.olx] [REPS=7] [BASE=commit] bench/threads/run.sh
#
# Builds this tree and the tree before the engine became thread-safe (BASE:
# the parent of the commit that made the scan contexts per call, unless
# given) in Release mode under bench/threads/work/ (not kept in git), then
# measures with one driver that loads each library by path:
#   - check throughput: 1 thread with its session (both builds, on one core)
#     and 2 threads each with its own session (this build, on two cores);
#   - instructions per ORTH_CheckWord under callgrind (both builds);
#   - resident set size of 1 and 8 sessions that each open en_US, ask 8
#     ranked and 8 classic suggestions and check 1 MB of prose (both builds).
# Every timed figure is the median of REPS runs (7 by default), the builds
# taking turns so that a change in the machine's load hits both alike.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK="$HERE/work"
REPS=${REPS:-7}
PASSES=${PASSES:-40}
JOBS=${JOBS:-1}
if [ -z "${BASE:-}" ]; then
  # The commit that removed the process-wide scan context began the work.
  began=$(git -C "$ROOT" log --format=%H -1 -S'SuggestScanContext scanContext;' -- \
    src/suggest/compressed_suggest.cpp)
  BASE=$(git -C "$ROOT" rev-parse "$began^")
fi
BASE=$(git -C "$ROOT" rev-parse "$BASE")
mkdir -p "$WORK/results"

echo "building this tree (Release)"
cmake -S "$ROOT" -B "$WORK/current" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF >/dev/null
# OLX names a compiled en_US dictionary to use instead of building one.
targets=(ORTHMV32 threads_driver)
[ -z "${OLX:-}" ] && targets+=(dictionaries)
cmake --build "$WORK/current" -j"$JOBS" --target "${targets[@]}" >/dev/null
echo "building $BASE (Release)"
# A folder per commit: sources unpacked from git carry the commit's time, so
# a build folder reused for another commit would look up to date.
BASEDIR="$WORK/base-$BASE"
if [ ! -d "$BASEDIR/src" ]; then
  mkdir -p "$BASEDIR/src"
  git -C "$ROOT" archive "$BASE" | tar -x -C "$BASEDIR/src"
fi
cmake -S "$BASEDIR/src" -B "$BASEDIR/build" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF \
  -DORTH_BUILD_BENCH=OFF >/dev/null
cmake --build "$BASEDIR/build" -j"$JOBS" --target ORTHMV32 >/dev/null

DRIVER="$WORK/current/bench/threads_driver"
OLX=${OLX:-$WORK/current/dicts/en_US.olx}
CURRENT="$WORK/current/libORTHMV32.so"
BASELIB="$BASEDIR/build/libORTHMV32.so"
WORDS="$WORK/words.txt"

# Latin-1 prose tokens from Debian's reference manual (installed when
# missing), in text order.
if [ ! -s "$WORDS" ]; then
  if ! [ -r /usr/share/debian-reference/debian-reference.en.txt.gz ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
      debian-reference-en
  fi
  python3 - "$WORDS" <<'PY'
import gzip, re, sys
token = re.compile(r"[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+(?:'[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+)*")
text = gzip.open("/usr/share/debian-reference/debian-reference.en.txt.gz", "rt",
                 encoding="utf-8", errors="replace").read()
words = [w for w in token.findall(text) if len(w) <= 30]
with open(sys.argv[1], "wb") as out:
    out.write("\n".join(words).encode("latin-1", "replace") + b"\n")
PY
fi
head -n 100000 "$WORDS" >"$WORK/words-100k.txt"

value() { awk -v k="$1" '$1 == k { print $2; exit }' "$2"; }

# One check run: its wall-clock words/s and the sum over its threads of
# their CPU-time words/s (which a wait for a busy core does not lower).
check() {
  local name=$1 cores=$2 lib=$3 threads=$4
  taskset -c "$cores" "$DRIVER" check "$lib" "$OLX" "$WORDS" "$threads" "$PASSES" \
    >"$WORK/results/run.txt"
  echo -e "$name\t$(value words_per_s "$WORK/results/run.txt")" >>"$WORK/results/check.tsv"
  echo -e "$name\t$(awk '$1 == "thread_cpu_words_per_s" { s += $2 } END { print s }' \
    "$WORK/results/run.txt")" >>"$WORK/results/cpu.tsv"
}

echo "check throughput, $REPS runs"
: >"$WORK/results/check.tsv"
: >"$WORK/results/cpu.tsv"
for rep in $(seq "$REPS"); do
  check base1 0 "$BASELIB" 1
  check current1 0 "$CURRENT" 1
  check current2 0,1 "$CURRENT" 2
done

echo "instructions per check (callgrind)"
: >"$WORK/results/instructions.tsv"
for build in base current; do
  lib=$BASELIB
  [ "$build" = current ] && lib=$CURRENT
  valgrind --tool=callgrind --callgrind-out-file="$WORK/results/callgrind.$build" \
    --collect-atstart=no --toggle-collect=ORTH_CheckWord \
    "$DRIVER" check "$lib" "$OLX" "$WORK/words-100k.txt" 1 1 >/dev/null 2>&1
  ir=$(awk '/^summary:/ { print $2 }' "$WORK/results/callgrind.$build")
  echo -e "$build\t$ir" >>"$WORK/results/instructions.tsv"
done

echo "resident set size, 3 runs"
: >"$WORK/results/rss.tsv"
for rep in 1 2 3; do
  for build in base current; do
    lib=$BASELIB
    [ "$build" = current ] && lib=$CURRENT
    for sessions in 1 8; do
      "$DRIVER" rss "$lib" "$OLX" "$WORDS" "$sessions" >"$WORK/results/run.txt"
      echo -e "$build$sessions\t$(value rss_kb "$WORK/results/run.txt")" >>"$WORK/results/rss.tsv"
    done
  done
done

python3 "$HERE/summarize.py" "$WORK/results" "$BASE" "$(wc -l <"$WORDS")" "$PASSES" "$REPS" \
  "$ROOT/bench/RESULTS.md"
