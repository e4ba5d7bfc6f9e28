#!/bin/bash
# Compares this engine with hunspell, nuspell and aspell on the same English
# prose and the same misspellings, and writes bench/RESULTS.md.
#
#   bench/compare/run.sh [CHECKER...]
#       CHECKER: orth (the classic search) orth-ranked hunspell nuspell aspell
#
# Installs the peers, the documentation the corpus comes from and codespell
# from Debian's packages when they are missing (needs root or sudo), builds
# the engine in Release mode and one driver per checker under
# bench/compare/work/ (not kept in git), runs every checker RUNS times (3 by
# default) and summarizes the medians. Naming checkers reruns only those;
# the other checkers' earlier results are reused.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK="$HERE/work"
RUNS=${RUNS:-3}
CHECKERS=("$@")
[ ${#CHECKERS[@]} -eq 0 ] && CHECKERS=(orth orth-ranked hunspell nuspell aspell)

PACKAGES=(hunspell libhunspell-dev hunspell-en-us nuspell libnuspell-dev aspell aspell-en
          libaspell-dev codespell debian-handbook debian-reference-en python3.11-doc
          g++ cmake make pkg-config python3)
missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

mkdir -p "$WORK/bin" "$WORK/results"

echo "building the engine (Release)"
cmake -S "$ROOT" -B "$WORK/engine" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF \
  -DORTH_BUILD_BENCH=OFF >/dev/null
cmake --build "$WORK/engine" -j"$(nproc)" --target ORTHMV32 dictionaries >/dev/null
OLX="$WORK/engine/dicts/en_US.olx"

echo "building the drivers"
CXX=${CXX:-g++}
FLAGS=(-std=c++20 -O2 -DNDEBUG -I"$HERE")
$CXX "${FLAGS[@]}" -I"$ROOT/include" "$HERE/orth_driver.cpp" -o "$WORK/bin/orth_driver" \
  -L"$WORK/engine" -lORTHMV32 -Wl,-rpath,"$WORK/engine"
# shellcheck disable=SC2046
$CXX "${FLAGS[@]}" "$HERE/hunspell_driver.cpp" -o "$WORK/bin/hunspell_driver" \
  $(pkg-config --cflags --libs hunspell)
# shellcheck disable=SC2046
$CXX "${FLAGS[@]}" "$HERE/nuspell_driver.cpp" -o "$WORK/bin/nuspell_driver" \
  $(pkg-config --cflags --libs nuspell)
$CXX "${FLAGS[@]}" "$HERE/aspell_driver.cpp" -o "$WORK/bin/aspell_driver" -laspell

if [ ! -s "$WORK/inputs/words.txt" ] || [ ! -s "$WORK/inputs/misspellings-report.txt" ]; then
  echo "assembling the corpus and the misspellings"
  python3 "$HERE/make_inputs.py" "$ROOT/dicts/en_US/en_US.words" "$WORK/inputs"
fi
WORDS="$WORK/inputs/words.txt"
# Only the report half: the ranked suggester's weights were tuned on the other.
PAIRS="$WORK/inputs/misspellings-report.txt"

run_checker() {
  case "$1" in
    orth) "$WORK/bin/orth_driver" "$WORDS" "$PAIRS" "$OLX" ;;
    orth-ranked) "$WORK/bin/orth_driver" "$WORDS" "$PAIRS" "$OLX" --ranked ;;
    hunspell) "$WORK/bin/hunspell_driver" "$WORDS" "$PAIRS" /usr/share/hunspell/en_US.aff \
                /usr/share/hunspell/en_US.dic ;;
    nuspell) "$WORK/bin/nuspell_driver" "$WORDS" "$PAIRS" /usr/share/hunspell/en_US.aff ;;
    aspell) "$WORK/bin/aspell_driver" "$WORDS" "$PAIRS" en_US ;;
    *) echo "unknown checker $1" >&2; return 2 ;;
  esac
}

for checker in "${CHECKERS[@]}"; do
  rm -f "$WORK/results/$checker".*.txt
  [ -f "$WORK/results/loadavg.txt" ] && sed -i "/^$checker /d" "$WORK/results/loadavg.txt"
done

# Round-robin, so that a slow phase of the machine does not hit one checker only.
for run in $(seq 1 "$RUNS"); do
  for checker in "${CHECKERS[@]}"; do
    echo "run $run: $checker"
    echo "$checker $run: $(cut -d' ' -f1-3 /proc/loadavg)" >>"$WORK/results/loadavg.txt"
    run_checker "$checker" >"$WORK/results/$checker.$run.txt"
  done
done

# The number of distinct words the dictionary holds, as its compiler counts them.
WORDS_WRITTEN=$("$WORK/engine/cli/orthspell" compile "$ROOT/dicts/en_US/en_US.words" \
  -o "$WORK/en_US.recount.olx" | sed -n 's/^ *words written: *\([0-9]*\).*/\1/p')
python3 "$HERE/summarize.py" "$WORK" "$OLX" "$ROOT/bench/RESULTS.md" "$WORDS_WRITTEN"
echo "wrote $ROOT/bench/RESULTS.md"
