#!/bin/bash
# The document benchmark: orthspell, aspell and hunspell on real documents of
# seven formats (recall of planted misspellings, other flags, leaks), and the
# whole-process speed and memory of the three tools. Writes the documents
# region of bench/RESULTS.md.
#
#   bench/documents/run.sh [FORMAT...]
#       FORMAT: markdown html tex c python nroff email (default: all); naming
#       formats rescores only those and keeps the others' earlier scores
#
# Environment:
#   ORTHSPELL=PATH  the orthspell to measure (default: built here in Release
#                   mode from this repository, under bench/documents/work/)
#   RUNS=5          timed runs per tool on the 10 MB inputs
#   BIG_RUNS=1      runs on each 1 GB file (0 skips them)
#   SPEED=0         skip the speed and memory part
#
# Installs what it needs from Debian's packages when it is missing (needs root
# or sudo), downloads and unpacks the corpus packages under
# bench/documents/work/ (not kept in git; about 600 MB) without installing
# them, and checks the copies against corpus.tsv.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK="$HERE/work"
FORMATS=("$@")
START=$(date +%s)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
PACKAGES=(aspell aspell-en hunspell hunspell-en-us codespell time python3)
missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
mkdir -p "$WORK"
# apt-get download needs current package lists; refresh them once a day.
if [ ${#missing[@]} -gt 0 ] || [ ! -f "$WORK/.apt-updated" ] ||
   [ -n "$(find "$WORK/.apt-updated" -mmin +1440)" ]; then
  $SUDO apt-get update -q
  touch "$WORK/.apt-updated"
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ -z "${ORTHSPELL:-}" ]; then
  echo "building orthspell (Release)"
  "$ROOT/tools/install-deps.sh"
  cmake -S "$ROOT" -B "$WORK/build" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF \
    -DORTH_BUILD_BENCH=OFF >/dev/null
  cmake --build "$WORK/build" -j"$(nproc)" --target orthspell dictionaries >/dev/null
  ORTHSPELL="$WORK/build/cli/orthspell"
  ORTH_FROM="built here from $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo '?')"
else
  ORTHSPELL=$(realpath "$(command -v "$ORTHSPELL" || echo "$ORTHSPELL")")
  ORTH_FROM="ORTHSPELL=$ORTHSPELL"
fi

echo "fetching the corpus"
python3 "$HERE/corpus.py" fetch "$HERE/corpus.tsv" "$WORK"
echo "planting misspellings"
python3 "$HERE/inject.py" "$WORK" "$ORTHSPELL"
echo "checking"
python3 "$HERE/check.py" "$WORK" "$ORTHSPELL" "${FORMATS[@]}"
CHECKED=$(date +%s)
if [ "${SPEED:-1}" != 0 ]; then
  echo "speed and memory"
  python3 "$HERE/speed.py" "$WORK" "$ORTHSPELL"
fi
END=$(date +%s)

cat >"$WORK/run-info.txt" <<EOF
orthspell: $ORTH_FROM
run $(date -u '+%Y-%m-%d %H:%M UTC'): $(( (CHECKED - START) / 60 )) min to fetch, plant and check, $(( (END - CHECKED) / 60 )) min for speed and memory
EOF
python3 "$HERE/report.py" "$WORK" "$ROOT/bench/RESULTS.md"
echo "wrote $ROOT/bench/RESULTS.md (other flags by word: $WORK/other-flags/)"
