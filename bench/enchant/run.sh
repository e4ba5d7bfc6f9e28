#!/bin/bash
# The engine through Enchant against Enchant's hunspell provider: enchant-2 -l
# over the same prose and enchant-2 -a over the same misspellings, whole
# process, and writes the enchant region of bench/RESULTS.md.
#
#   bench/enchant/run.sh
#
# Environment: RUNS=5 (timed runs of each command, in turn with the others),
# JOBS=2 (parallel build jobs).
#
# Installs what it needs from Debian's packages when it is missing (needs root
# or sudo; debian-reference-en's text edition is the prose, as in
# bench/compare), builds the engine and the provider in Release mode under bench/enchant/work/
# (not kept in git), and a provider that knows every word (null_provider.c),
# which measures what Enchant itself costs. Enchant 2.3 loads providers from
# its module directory only, so each command runs in a private mount
# namespace (unshare -rm) with a folder holding one provider mounted over that
# directory; nothing outside the namespace changes.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WORK="$HERE/work"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
PACKAGES=(enchant-2 libenchant-2-dev hunspell-en-us codespell debian-reference-en time python3
          cmake g++ make pkg-config)
missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
mkdir -p "$WORK/inputs"
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
unshare -rm true 2>/dev/null || {
  echo "unshare -rm is not allowed here: Enchant's module directory cannot be replaced" >&2
  exit 1
}

echo "building the engine and the provider (Release)"
"$ROOT/tools/install-deps.sh"
cmake -S "$ROOT" -B "$WORK/build" -DCMAKE_BUILD_TYPE=Release -DORTH_BUILD_TESTS=OFF \
  -DORTH_BUILD_BENCH=OFF -DORTH_ENCHANT=ON >/dev/null
cmake --build "$WORK/build" -j"${JOBS:-2}" --target enchant_orth dictionaries >/dev/null
MODULE_DIR=$(sed -n 's/^ORTH_ENCHANT_MODULE_DIR:PATH=//p' "$WORK/build/CMakeCache.txt")

echo "building the provider that knows every word"
rm -rf "$WORK/modules" && mkdir -p "$WORK/modules/orth" "$WORK/modules/hunspell" \
  "$WORK/modules/null"
# shellcheck disable=SC2046
${CC:-cc} -O2 -Wall -Wextra -shared -fPIC $(pkg-config --cflags enchant-2) \
  "$HERE/null_provider.c" -o "$WORK/modules/null/enchant_null.so" $(pkg-config --libs glib-2.0)
cp "$WORK/build/enchant/enchant_orth.so" "$WORK/modules/orth/"
cp "$MODULE_DIR/enchant_hunspell.so" "$WORK/modules/hunspell/"

PROSE=/usr/share/debian-reference/debian-reference.en.txt.gz
zcat "$PROSE" >"$WORK/inputs/debian-reference.en.txt"
dpkg-query -W -f='${Version}' debian-reference-en >"$WORK/inputs/prose-version.txt"

python3 "$HERE/measure.py" "$WORK" "$MODULE_DIR" "$ROOT/dicts/en_US/en_US.words" \
  "$ROOT/bench/RESULTS.md"
echo "wrote $ROOT/bench/RESULTS.md"
