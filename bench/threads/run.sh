#!/bin/bash
# The engine in a multi-threaded host, whole-process figures, and the
# threads region of bench/RESULTS.md.
#
#   [OLX=en_US.olx] [REPS=7] [BASE=commit] [PRIORITY=realtime] bench/threads/run.sh
#
# Builds this tree and the tree before the engine became thread-safe (BASE:
# the parent of the commit that made the scan contexts per call, unless
# given) in Release mode under bench/threads/work/ (not kept in git), then
# measures with one driver that loads each library by path:
#   - check throughput: 1 thread with its session (both builds, on the first
#     core; this build also on the second), 2 threads each with its own
#     session (this build, one thread on each core), and, as the yardstick
#     of two cores that share nothing, 2 processes with one such thread each,
#     started together (this build, one on each core). A virtual machine's
#     cores need not be equally fast, so the 2-thread rate is also set
#     against the two cores' 1-thread rates, and each thread's rate against
#     its own core's;
#   - instructions per ORTH_CheckWord under callgrind (both builds);
#   - resident set size of 1 and 8 sessions that each open en_US, ask 8
#     ranked and 8 classic suggestions and check 1 MB of prose (both builds).
# Every timed figure is the median of REPS runs (7 by default), the builds
# taking turns so that a change in the machine's load hits both alike.
# PRIORITY=realtime runs the timed checks under a real-time priority (chrt,
# as root), so that other work on a shared machine waits for them (each
# takes well under a second) instead of taking turns on their cores.
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

PRIO=()
[ "${PRIORITY:-}" = realtime ] && PRIO=(chrt -f 10)
# The first two CPUs the benchmark may use: the cores of every figure.
read -r CORE0 CORE1 < <(python3 -c 'import os; c = sorted(os.sched_getaffinity(0)); print(c[0], c[1 % len(c)])')

# Each thread's CPU-time words/s (a wait for a busy core does not lower it),
# one a line, from the driver's output files.
thread_rates() { awk '$1 == "thread_cpu_words_per_s" { print $2 }' "$@"; }

# One check run: its wall-clock words/s, the sum over its threads of their
# CPU-time words/s, and each thread's rate as NAME_tN.
check() {
  local name=$1 cores=$2 lib=$3 threads=$4
  taskset -c "$cores" "${PRIO[@]}" "$DRIVER" check "$lib" "$OLX" "$WORDS" "$threads" "$PASSES" \
    >"$WORK/results/run.txt"
  echo -e "$name\t$(value words_per_s "$WORK/results/run.txt")" >>"$WORK/results/check.tsv"
  echo -e "$name\t$(thread_rates "$WORK/results/run.txt" | awk '{ s += $1 } END { print s }')" \
    >>"$WORK/results/cpu.tsv"
  thread_rates "$WORK/results/run.txt" | awk -v n="$name" '{ print n "_t" NR - 1 "\t" $1 }' \
    >>"$WORK/results/thread.tsv"
}

# Two processes, one thread each on its own core, whose timed passes begin
# at the same moment: the wall-clock words/s of both together (until the
# slower ends) and the sum of their CPU-time rates.
pair() {
  local name=$1 lib=$2 at
  at=$(python3 -c 'import time; print(f"{time.time() + 0.5:.3f}")')
  taskset -c "$CORE0" "${PRIO[@]}" "$DRIVER" check "$lib" "$OLX" "$WORDS" 1 "$PASSES" "$at" \
    >"$WORK/results/pair0.txt" &
  taskset -c "$CORE1" "${PRIO[@]}" "$DRIVER" check "$lib" "$OLX" "$WORDS" 1 "$PASSES" "$at" \
    >"$WORK/results/pair1.txt"
  wait
  local slower
  slower=$(cat "$WORK/results/pair0.txt" "$WORK/results/pair1.txt" |
    awk '$1 == "words_per_s" && (m == "" || $2 < m) { m = $2 } END { print m }')
  echo -e "$name\t$(awk -v w="$slower" 'BEGIN { print 2 * w }')" >>"$WORK/results/check.tsv"
  echo -e "$name\t$(thread_rates "$WORK/results/pair0.txt" "$WORK/results/pair1.txt" |
    awk '{ s += $1 } END { print s }')" >>"$WORK/results/cpu.tsv"
}

echo "check throughput, $REPS runs"
: >"$WORK/results/check.tsv"
: >"$WORK/results/cpu.tsv"
: >"$WORK/results/thread.tsv"
for rep in $(seq "$REPS"); do
  check base1 "$CORE0" "$BASELIB" 1
  check current1 "$CORE0" "$CURRENT" 1
  check current1second "$CORE1" "$CURRENT" 1
  check current2 "$CORE0,$CORE1" "$CURRENT" 2
  pair processes2 "$CURRENT"
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
  "$ROOT/bench/RESULTS.md" "${PRIORITY:-normal}"
