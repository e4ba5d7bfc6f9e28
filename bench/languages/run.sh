#!/usr/bin/env bash
# The dictionaries of more languages, one row each: words, bytes per word,
# volumes, words skipped and why, compile time, and check throughput.
#
#   bench/languages/run.sh [BUILD]        (BUILD defaults to ./build)
#
# Each language of tools/install-dictionary.sh whose Debian list is installed
# is compiled as that script compiles it, into a scratch folder (compile time:
# `orthspell compile`, whole process, median of 3). Throughput: `orthspell
# list -d NAME` over the language's own list in a fixed shuffled order (every
# word a known word, so every lookup runs to its end), whole process, median
# of 5, in words per second. The bundled en_US closes the table for
# reference. Prints a Markdown table.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build}"
orthspell="$build/cli/orthspell"
[ -x "$orthspell" ] || { echo "no $orthspell: build first" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -n 1; }

# row LABEL PACKAGE NAME TEXT COMPILE-OPTIONS...: compiles TEXT (UTF-8) into
# NAME.olx with the options, checks the text, prints the table row.
row() {
  local label="$1" package="$2" name="$3" text="$4"
  shift 4
  local compile=("$orthspell" compile "$text" -o "$work/$name.olx" "$@")
  local times=() runs=() _
  for _ in 1 2 3; do times+=("$(seconds "${compile[@]}")"); done
  local log="$work/$name.log"
  "${compile[@]}" >"$log"
  local words per_word volumes skipped why
  words="$(sed -n 's/^  words written: *\([0-9]*\).*/\1/p' "$log")"
  per_word="$(sed -n 's/^  bytes per word: *//p' "$log")"
  volumes="$(sed -n 's/^  volumes: *\([0-9]*\).*/\1/p' "$log")"
  skipped="$(sed -n 's/^  words skipped: *//p' "$log")"
  why="$(sed -n 's/^ \{4\} *\([0-9][0-9]*\)  \(.*\)/\1 \2/p' "$log" | paste -sd ';' | sed 's/;/; /g')"
  [ -z "$why" ] || skipped="$skipped ($why)"
  local shuffled="$work/$name.shuffled"
  shuf --random-source=<(yes) "$text" -o "$shuffled"
  for _ in 1 2 3 4 5; do runs+=("$(seconds "$orthspell" list -d "$work/$name.olx" "$shuffled")"); done
  local rate
  rate="$(awk -v n="$(wc -l <"$shuffled")" -v s="$(printf '%s\n' "${runs[@]}" | median)" \
    'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')"
  echo "| $label | $package | $words | $per_word | ${volumes:-1} | $skipped |" \
    "$(printf '%s\n' "${times[@]}" | median) | $rate |"
}

echo "| language | package | words | bytes/word | volumes | skipped (why) | compile s | check words/s |"
echo "|---|---|---:|---:|---:|---|---:|---:|"
while read -r name package list language; do
  [ -r "/usr/share/dict/$list" ] || continue
  # The list as the install script compiles it: UTF-8, with dicts/extra.
  source="$(readlink -f "/usr/share/dict/$list")"
  text="$work/$name.txt"
  if iconv -f utf-8 -t utf-8 "$source" >/dev/null 2>&1; then cp "$source" "$text"; else iconv -f latin1 -t utf-8 "$source" >"$text"; fi
  [ ! -r "$repo/dicts/extra/$name.words" ] || cat "$repo/dicts/extra/$name.words" >>"$text"
  row "$name" "$package" "$name" "$text" --language "$language" --text-words --volumes
done < <("$repo/tools/install-dictionary.sh" --table)
row "en_US (bundled, for reference)" wamerican en_US "$repo/dicts/en_US/en_US.words" --language 1033
