#!/usr/bin/env bash
# How many tokens of Debian documentation and of prose each word list
# flags, and how many known misspellings each accepts as words: the figures
# behind the technical word list (dicts/en_tech) and the size of en_US.
#
#   bench/vocabulary/run.sh [BUILD]        (BUILD defaults to ./build)
#
# Technical text: the tokens bench/compare/make_inputs.py takes from
# debian-handbook, debian-reference-en and python3.11-doc (1.2 million).
# Prose: the tokens of fortunes-min (fortunes, literature, riddles). One
# token a line, so every checker sees the same words; orthspell runs
# `list --no-doubled --no-skip all` (nothing skipped as not a word, as the
# peers skip nothing). Typos: the 2000 misspellings of bench/compare (from
# codespell's dictionary, wrong words wamerican lacks) and every one-word
# misspelling of codespell's dictionary; "accepted" counts the typos a
# checker does not flag. Whole-process counts, one run. Lists compiled
# here (wamerican-large, hunspell's en_US expanded with unmunch) stay in
# BUILD/bench-vocabulary. Prints a Markdown table.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build}"
orthspell="$build/cli/orthspell"
[ -x "$orthspell" ] || { echo "no $orthspell: build first" >&2; exit 2; }
[ -r "$build/dicts/en_tech.olx" ] || { echo "no $build/dicts/en_tech.olx: build first" >&2; exit 2; }
work="$build/bench-vocabulary"
mkdir -p "$work"

packages=(hunspell hunspell-en-us hunspell-tools aspell aspell-en codespell debian-handbook
  debian-reference-en python3.11-doc fortunes-min wamerican-large)
missing=()
for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if ((${#missing[@]} > 0)); then
  echo "installing: ${missing[*]}" >&2
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
fi

if [ ! -s "$work/inputs/words.txt" ]; then
  python3 "$repo/bench/compare/make_inputs.py" "$repo/dicts/en_US/en_US.words" "$work/inputs" >&2
fi
python3 "$repo/bench/vocabulary/corpus.py" "$work/inputs" "$work"

# Larger English lists, compiled as any list is (volumes where they need them).
"$orthspell" compile /usr/share/dict/american-english-large -o "$work/large.olx" \
  --language 1033 --volumes >/dev/null
if [ ! -s "$work/scowl60.txt" ]; then
  (cd "$work" && unmunch /usr/share/hunspell/en_US.dic /usr/share/hunspell/en_US.aff 2>/dev/null |
    iconv -f iso-8859-1 -t utf-8 | grep -v '^[0-9]*$' | sort -u >scowl60.txt)
fi
"$orthspell" compile "$work/scowl60.txt" -o "$work/scowl60.olx" --language 1033 --volumes \
  >/dev/null

# flagged CHECKER FILE: how many tokens of FILE the checker flags.
flagged() {
  local file="$2"
  local list=("$orthspell" list --no-doubled --no-skip all)
  case "$1" in
    en_US) "${list[@]}" -d en_US --no-rare-words --no-tech-words "$file" ;;
    en_US+rare) "${list[@]}" -d en_US --no-tech-words "$file" ;;
    en_US+rare+tech) "${list[@]}" -d en_US --tech-words "$file" ;;
    large) "${list[@]}" -d "$work/large.olx" "$file" ;;
    large+tech) "${list[@]}" -d "$work/large.olx" --tech-words "$file" ;;
    scowl60) "${list[@]}" -d "$work/scowl60.olx" "$file" ;;
    hunspell) hunspell -l -d en_US -i utf-8 <"$file" ;;
    aspell) aspell list --lang=en_US --encoding=utf-8 <"$file" ;;
  esac | wc -l
}

labels=(
  "en_US alone (wamerican)"
  "en_US + en_US.rare: orthspell, prose"
  "en_US + en_US.rare + en_tech: orthspell, code and Markdown"
  "wamerican-large (SCOWL 70)"
  "wamerican-large + en_tech"
  "hunspell's en_US expanded (SCOWL 60)"
  "hunspell -l (its en_US)"
  "aspell list (en_US)"
)
checkers=(en_US en_US+rare en_US+rare+tech large large+tech scowl60 hunspell aspell)
typos=$(wc -l <"$work/typos.txt")
every=$(wc -l <"$work/codespell.txt")
echo "Technical text: $(wc -l <"$work/tech.txt") tokens; prose: $(wc -l <"$work/prose.txt") tokens;" \
  "typos: $typos of bench/compare and $every of codespell's dictionary."
echo
echo "| word list | technical text flagged | prose flagged | typos accepted (of $typos) | codespell typos accepted (of $every) |"
echo "|---|---:|---:|---:|---:|"
for i in "${!checkers[@]}"; do
  c="${checkers[$i]}"
  echo "| ${labels[$i]} | $(flagged "$c" "$work/tech.txt") | $(flagged "$c" "$work/prose.txt") |" \
    "$((typos - $(flagged "$c" "$work/typos.txt"))) | $((every - $(flagged "$c" "$work/codespell.txt"))) |"
done
echo
# What a larger base list does to the ranked suggestions: bench/compare's
# driver on the report half of its misspellings, en_US against
# wamerican-large graded by the same word counts (en_US.freq).
"$orthspell" compile /usr/share/dict/american-english-large -o "$work/large-ranked.olx" \
  --language 1033 --frequencies "$repo/dicts/en_US/en_US.freq" >/dev/null
g++ -std=c++20 -O2 -DNDEBUG -I"$repo/bench/compare" -I"$repo/include" \
  "$repo/bench/compare/orth_driver.cpp" -o "$work/orth_driver" -L"$build" -lORTHMV32 \
  -Wl,-rpath,"$build"
head -n 100000 "$work/tech.txt" >"$work/tech-head.txt"
echo "| ranked suggestions (1000 pairs) | top-1 % | top-5 % | p50 ms | p99 ms | check words/s |"
echo "|---|---:|---:|---:|---:|---:|"
ranked_row() {
  local name="$1"
  shift
  "$work/orth_driver" "$work/tech-head.txt" "$work/inputs/misspellings-report.txt" "$@" |
    awk -v name="$name" '{ v[$1] = $2 } END {
      printf "| %s | %s | %s | %s | %s | %.0f |\n", name, v["top1_pct"], v["top5_pct"],
        v["suggest_p50_ms"], v["suggest_p99_ms"], v["check_words_per_s"] }'
}
ranked_row "en_US (wamerican)" "$build/dicts/en_US.olx" --ranked
ranked_row "en_US + en_US.rare, check-only" "$build/dicts/en_US.olx" --ranked \
  --check-only "$build/dicts/en_US.rare.olx"
ranked_row "wamerican-large" "$work/large-ranked.olx" --ranked
echo
# What the rare-word and technical lists let through that en_US alone flags.
for set in typos codespell; do
  "$orthspell" list --no-doubled -d en_US --no-rare-words --no-tech-words "$work/$set.txt" \
    >"$work/$set.en_US"
  "$orthspell" list --no-doubled -d en_US --no-tech-words "$work/$set.txt" >"$work/$set.rare"
  "$orthspell" list --no-doubled -d en_US --no-rare-words --tech-words "$work/$set.txt" \
    >"$work/$set.tech"
  for list in rare tech; do
    echo "$set: what en_US.$list adds to the accepted: $(comm -23 <(sort -u "$work/$set.en_US") \
      <(sort -u "$work/$set.$list") | paste -sd ' ' | sed 's/^$/none/')"
  done
done
