#!/usr/bin/env bash
# Emacs's ispell and flyspell drive `orthspell -a` (pipe mode) for real.
# usage: emacs_ispell_test.sh ORTHSPELL DICTIONARY WORKDIR [CODING]
# Exits 77 (a skipped test for CTest) when emacs is not installed.
set -uo pipefail

orthspell=$1 dict=$2 work=$3 coding=${4:-iso-8859-1}
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v emacs >/dev/null 2>&1; then
  echo "SKIP: emacs is not installed (Debian: apt-get install emacs-nox)"
  exit 77
fi

rm -rf "$work" && mkdir -p "$work" || exit 1
# Emacs runs the program from other folders.
orthspell=$(realpath "$orthspell") dict=$(realpath "$dict") work=$(realpath "$work")
export ORTHSPELL=$orthspell ORTH_DICT=$dict ORTH_WORK=$work ORTH_CODING=$coding HOME=$work

status=0
for phase in orth-test-main orth-test-personal-list; do
  echo "== emacs --batch ($phase, coding $coding)"
  # Emacs's messages go to stderr; keep them in the transcript.
  if ! emacs --batch -Q -l "$here/emacs_ispell_test.el" -f "$phase" 2>&1; then
    status=1
  fi
done
if [ "$status" -ne 0 ] && [ -f "$work/personal.lex" ]; then
  echo "== personal list"
  cat "$work/personal.lex"
fi
exit "$status"
