#!/usr/bin/env bash
# orthspell fix on a real terminal: tmux runs it, types the keys and shows
# the screen; the saved file and its .bak are compared afterwards.
# usage: fix_tmux_test.sh ORTHSPELL DICTIONARY WORKDIR
# Exits 77 (a skipped test for CTest) when tmux is not installed.
set -uo pipefail

if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed (Debian: apt-get install tmux)"
  exit 77
fi
orthspell=$(realpath "$1") dict=$(realpath "$2") work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
work=$(realpath "$work")

# A server of our own, ended when the script ends.
socket="orthspell-fix-test-$$"
tmux_() { tmux -u -L "$socket" -f /dev/null "$@"; }
trap 'tmux_ kill-server >/dev/null 2>&1' EXIT

printf '%s\n' "The speling of this line is is fine." \
  "A secnd line with “quotes” — and a café." >"$work/sample.txt"
printf '%s\n' "The spelling of this line is fine." \
  "A second line with “quotes” — and a café." >"$work/expected.txt"
cp "$work/sample.txt" "$work/original.txt"

screen() { tmux_ capture-pane -p -t fix; }
# Waits until the screen shows a text; prints the screen and fails otherwise.
wait_for() {
  for _ in $(seq 1 300); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: the screen never showed: $1"
  screen
  exit 1
}

export LANG=C.UTF-8
tmux_ new-session -d -x 100 -y 24 -s fix \
  "cd '$work' && '$orthspell' fix -d '$dict' sample.txt; echo \"exit status \$?\"; sleep 30"

wait_for "'speling' is not in the dictionary"
if ! tmux_ capture-pane -p -e -t fix | grep -qF $'\e[7mspeling'; then
  echo "FAIL: the word is not highlighted"
  tmux_ capture-pane -p -e -t fix | cat -v
  exit 1
fi
echo "== first screen"
screen | sed -e 's/[[:space:]]*$//' | cat -s
tmux_ send-keys -t fix 1
wait_for "doubled word 'is'"
tmux_ send-keys -t fix d
wait_for "'secnd' is not in the dictionary"
echo "== third screen"
screen | sed -e 's/[[:space:]]*$//' | cat -s
tmux_ send-keys -t fix 1
wait_for "exit status"
echo "== last screen"
screen | sed -e 's/[[:space:]]*$//' | cat -s

status=0
if ! screen | grep -qF "exit status 0"; then
  echo "FAIL: orthspell fix did not exit with status 0"
  status=1
fi
if ! cmp -s "$work/sample.txt" "$work/expected.txt"; then
  echo "FAIL: the saved file differs from the expected one"
  diff "$work/expected.txt" "$work/sample.txt"
  status=1
fi
if ! cmp -s "$work/sample.txt.bak" "$work/original.txt"; then
  echo "FAIL: sample.txt.bak is not the original"
  status=1
fi
[ "$status" -eq 0 ] && echo "PASS: two misspellings and a doubled word fixed, original kept in .bak"
exit "$status"
