#!/usr/bin/env bash
# Installs dictionaries of more languages from Debian's word-list packages:
# installs the package when its list is missing, compiles the list with
# `orthspell compile` (into volumes when it needs them) and puts the result,
# with the package's copyright file, where `orthspell -d NAME` finds it.
#
#   tools/install-dictionary.sh [--dest DIR] [--orthspell PROGRAM] NAME... | all
#   tools/install-dictionary.sh --list | --table
#
# DIR defaults to $XDG_DATA_HOME/orth/dicts (~/.local/share/orth/dicts).
set -euo pipefail

# name  package  list in /usr/share/dict  language identifier
LANGUAGES="
de     wngerman     ngerman     1031
de_CH  wswiss       swiss       2055
fr     wfrench      french      1036
it     witalian     italian     1040
pt_PT  wportuguese  portuguese  2070
pt_BR  wbrazilian   brazilian   1046
nl     wdutch       dutch       1043
sv     wswedish     swedish     1053
da     wdanish      danish      1030
nb     wnorwegian   bokmaal     1044
nn     wnorwegian   nynorsk     2068
ca     wcatalan     catalan     1027
"

usage() {
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  exit "${1:-2}"
}

here="$(cd "$(dirname "$0")/.." && pwd)"
dest="${XDG_DATA_HOME:-${HOME:-}/.local/share}/orth/dicts"
orthspell=""
names=()
while (($# > 0)); do
  case "$1" in
    --dest) dest="${2:?--dest needs a folder}"; shift 2 ;;
    --orthspell) orthspell="${2:?--orthspell needs a program}"; shift 2 ;;
    --list) echo "$LANGUAGES" | awk 'NF { printf "%-6s from Debian package %s\n", $1, $2 }'; exit 0 ;;
    --table) echo "$LANGUAGES" | awk 'NF'; exit 0 ;;
    -h|--help) usage 0 ;;
    all) names+=($(echo "$LANGUAGES" | awk 'NF { print $1 }')); shift ;;
    -*) echo "install-dictionary: unknown option '$1'" >&2; usage ;;
    *) names+=("$1"); shift ;;
  esac
done
((${#names[@]} > 0)) || usage

if [ -z "$orthspell" ]; then
  if [ -x "$here/build/cli/orthspell" ]; then
    orthspell="$here/build/cli/orthspell"
  else
    orthspell="$(command -v orthspell || true)"
  fi
fi
[ -x "$orthspell" ] || { echo "install-dictionary: no orthspell program (build it, or give --orthspell)" >&2; exit 2; }

row() { echo "$LANGUAGES" | awk -v n="$1" '$1 == n'; }
for name in "${names[@]}"; do
  [ -n "$(row "$name")" ] || { echo "install-dictionary: unknown language '$name' (try --list)" >&2; exit 2; }
done

missing=()
for name in "${names[@]}"; do
  read -r _ package list _ <<<"$(row "$name")"
  [ -r "/usr/share/dict/$list" ] || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    $(printf '%s\n' "${missing[@]}" | sort -u)
fi

mkdir -p "$dest"
for name in "${names[@]}"; do
  read -r _ package list language <<<"$(row "$name")"
  source="$(readlink -f "/usr/share/dict/$list")"
  # Some lists are UTF-8, the others Latin-1 (ISO 8859-1): compiled as UTF-8,
  # with the words the project adds (dicts/extra/NAME.words).
  encoding=utf-8
  iconv -f utf-8 -t utf-8 "$source" >/dev/null 2>&1 || encoding=latin-1
  echo "== $name: $source ($encoding) from $package"
  words="$(mktemp)"
  if [ "$encoding" = utf-8 ]; then cat "$source" >"$words"; else iconv -f latin1 -t utf-8 "$source" >"$words"; fi
  [ ! -r "$here/dicts/extra/$name.words" ] || cat "$here/dicts/extra/$name.words" >>"$words"
  status=0
  "$orthspell" compile "$words" -o "$dest/$name.olx" --language "$language" --text-words --volumes || status=$?
  rm -f "$words"
  ((status == 0)) || exit "$status"
  cp "/usr/share/doc/$package/copyright" "$dest/$name.COPYRIGHT"
done
