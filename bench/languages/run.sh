#!/usr/bin/env bash
# The dictionaries of more languages, one row each: words, bytes per word,
# volumes, words skipped and why, compile time, and check throughput.
#
#   bench/languages/run.sh [BUILD]        (BUILD defaults to ./build)
#
# Each language of tools/install-dictionary.sh whose Debian list is installed
# is compiled as that script compiles it, into a scratch folder (compile time:
# `orthspell compile`, whole process, median of 3).
# Throughput: `orthspell list -d NAME` over the language's own list in a fixed
# shuffled order (every word a known word, so every lookup runs to its end),
# whole process, median of 5, in words per second. Prints a Markdown table.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build}"
orthspell="$build/cli/orthspell"
[ -x "$orthspell" ] || { echo "no $orthspell: build first" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -n 1; }

echo "| language | package | words | bytes/word | volumes | skipped (why) | compile s | check words/s |"
echo "|---|---|---:|---:|---:|---|---:|---:|"
while read -r name package list _; do
  [ -r "/usr/share/dict/$list" ] || continue
  read -r _ _ _ language <<<"$("$repo/tools/install-dictionary.sh" --table | awk -v n="$name" '$1 == n')"
  # The list as the install script compiles it: UTF-8, with dicts/extra.
  source="$(readlink -f "/usr/share/dict/$list")"
  text="$work/$name.txt"
  if iconv -f utf-8 -t utf-8 "$source" >/dev/null 2>&1; then cp "$source" "$text"; else iconv -f latin1 -t utf-8 "$source" >"$text"; fi
  [ ! -r "$repo/dicts/extra/$name.words" ] || cat "$repo/dicts/extra/$name.words" >>"$text"
  compile=("$orthspell" compile "$text" -o "$work/$name.olx" --language "$language" --text-words --volumes)
  times=()
  for _ in 1 2 3; do times+=("$(seconds "${compile[@]}")"); done
  compile_s="$(printf '%s\n' "${times[@]}" | median)"
  log="$work/$name.log"
  "${compile[@]}" >"$log"
  words="$(sed -n 's/^  words written: *\([0-9]*\).*/\1/p' "$log")"
  per_word="$(sed -n 's/^  bytes per word: *//p' "$log")"
  volumes="$(sed -n 's/^  volumes: *\([0-9]*\).*/\1/p' "$log")"
  skipped="$(sed -n 's/^  words skipped: *//p' "$log")"
  why="$(sed -n 's/^ \{4\} *\([0-9][0-9]*\)  \(.*\)/\1 \2/p' "$log" | paste -sd ';' | sed 's/;/; /g')"
  [ -z "$why" ] || skipped="$skipped ($why)"
  # Checked in a fixed shuffled order.
  shuf --random-source=<(yes) "$text" -o "$text"
  lines="$(wc -l <"$text")"
  runs=()
  for _ in 1 2 3 4 5; do runs+=("$(seconds "$orthspell" list -d "$work/$name.olx" "$text")"); done
  check_s="$(printf '%s\n' "${runs[@]}" | median)"
  rate="$(awk -v n="$lines" -v s="$check_s" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')"
  echo "| $name | $package | $words | $per_word | ${volumes:-1} | $skipped | $compile_s | $rate |"
done < <("$repo/tools/install-dictionary.sh" --table)

# The bundled en_US, measured the same way, for reference.
text="$work/en_US.txt"
shuf --random-source=<(yes) "$repo/dicts/en_US/en_US.words" -o "$text"
compile=("$orthspell" compile "$repo/dicts/en_US/en_US.words" -o "$work/en_US.olx" --language 1033)
times=()
for _ in 1 2 3; do times+=("$(seconds "${compile[@]}")"); done
compile_s="$(printf '%s\n' "${times[@]}" | median)"
log="$work/en_US.log"
"${compile[@]}" >"$log"
words="$(sed -n 's/^  words written: *\([0-9]*\).*/\1/p' "$log")"
per_word="$(sed -n 's/^  bytes per word: *//p' "$log")"
skipped="$(sed -n 's/^  words skipped: *//p' "$log")"
lines="$(wc -l <"$text")"
runs=()
for _ in 1 2 3 4 5; do runs+=("$(seconds "$orthspell" list -d "$work/en_US.olx" "$text")"); done
check_s="$(printf '%s\n' "${runs[@]}" | median)"
rate="$(awk -v n="$lines" -v s="$check_s" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')"
echo "| en_US (bundled, for reference) | wamerican | $words | $per_word | 1 | $skipped | $compile_s | $rate |"
