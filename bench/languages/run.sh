#!/usr/bin/env bash
# The dictionaries of more languages, one row each: words, bytes per word,
# volumes, words skipped and why, compile time, and check throughput.
#
#   bench/languages/run.sh [BUILD]        (BUILD defaults to ./build)
#
# Each language of tools/install-dictionary.sh whose Debian list is installed
# is compiled into a scratch folder (compile time: whole process, median of 3).
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
  log="$work/$name.log"
  times=()
  for _ in 1 2 3; do
    times+=("$(seconds "$repo/tools/install-dictionary.sh" --dest "$work" --orthspell "$orthspell" "$name")")
  done
  compile_s="$(printf '%s\n' "${times[@]}" | median)"
  "$repo/tools/install-dictionary.sh" --dest "$work" --orthspell "$orthspell" "$name" >"$log"
  words="$(sed -n 's/^  words written: *\([0-9]*\).*/\1/p' "$log")"
  per_word="$(sed -n 's/^  bytes per word: *//p' "$log")"
  volumes="$(sed -n 's/^  volumes: *\([0-9]*\).*/\1/p' "$log")"
  skipped="$(sed -n 's/^  words skipped: *//p' "$log")"
  why="$(sed -n 's/^ \{4\} *\([0-9][0-9]*\)  \(.*\)/\1 \2/p' "$log" | paste -sd ';' | sed 's/;/; /g')"
  [ -z "$why" ] || skipped="$skipped ($why)"
  # The list as text, UTF-8, in a fixed shuffled order.
  source="$(readlink -f "/usr/share/dict/$list")"
  text="$work/$name.txt"
  if iconv -f utf-8 -t utf-8 "$source" >/dev/null 2>&1; then cp "$source" "$text"; else iconv -f latin1 -t utf-8 "$source" >"$text"; fi
  shuf --random-source=<(yes) "$text" -o "$text"
  lines="$(wc -l <"$text")"
  runs=()
  for _ in 1 2 3 4 5; do runs+=("$(seconds "$orthspell" list -d "$work/$name.olx" "$text")"); done
  check_s="$(printf '%s\n' "${runs[@]}" | median)"
  rate="$(awk -v n="$lines" -v s="$check_s" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')"
  echo "| $name | $package | $words | $per_word | ${volumes:-1} | $skipped | $compile_s | $rate |"
done < <("$repo/tools/install-dictionary.sh" --table)
