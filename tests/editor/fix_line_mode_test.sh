#!/usr/bin/env bash
# orthspell fix with keys from a pipe (its line-oriented mode): parts, the
# saved file and its .bak, quitting without saving, Latin-1 files, the
# personal list and bad usage.
# usage: fix_line_mode_test.sh ORTHSPELL DICTIONARY WORKDIR
set -uo pipefail
orthspell=$(realpath "$1") dict=$(realpath "$2") work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# expect_file FILE BYTES: FILE holds exactly BYTES (printf format).
expect_file() {
  printf "$2" >expected.tmp
  cmp -s "$1" expected.tmp || {
    fail "$1 holds '$(cat -v "$1")', expected '$(cat -v expected.tmp)'"
  }
}
fix() { "$orthspell" fix -d "$dict" "$@" >output.txt 2>&1; }

# Parts: a small part size puts each line in a part of its own.
printf 'The speling is fine.\nNothing wrong here.\nA secnd line, the the end.\n' >parts.txt
printf '1\n1\nd\n' | fix --part-size 64 parts.txt || fail "parts: exit status $?"
expect_file parts.txt 'The spelling is fine.\nNothing wrong here.\nA second line, the end.\n'
expect_file parts.txt.bak 'The speling is fine.\nNothing wrong here.\nA secnd line, the the end.\n'
printf 'The speling is fine.\n' >big.txt
for _ in $(seq 1 400); do printf 'Nothing wrong here at all.\n' >>big.txt; done
printf 'A secnd line.\n' >>big.txt
printf '1\n1\n' | fix --part-size 1000 big.txt || fail "big: exit status $?"
grep -q '^The spelling is fine.$' big.txt && grep -q '^A second line.$' big.txt &&
  [ "$(wc -l <big.txt)" -eq 402 ] || fail "big: $(head -1 big.txt) / $(tail -1 big.txt)"
grep -q '^big.txt:402: ' output.txt || fail "big: line numbers across parts: $(cat output.txt)"

# x and the end of input leave the file alone, without a .bak.
for keys in '1\nx\n' '1\n'; do
  printf 'The speling and secnd.\n' >quit.txt
  printf "$keys" | fix quit.txt || fail "quit: exit status $?"
  expect_file quit.txt 'The speling and secnd.\n'
  [ ! -e quit.txt.bak ] || fail "quit left a .bak"
  rm -f quit.txt.bak
done

# q saves what was done so far; --no-backup keeps no .bak.
printf 'The speling and secnd.\n' >q.txt
printf '1\nq\n' | fix --no-backup q.txt || fail "q: exit status $?"
expect_file q.txt 'The spelling and secnd.\n'
[ ! -e q.txt.bak ] || fail "--no-backup left a .bak"

# A Latin-1 file stays Latin-1; a file without findings is not rewritten.
printf 'caf\xe9 speling\n' >latin1.txt
printf '1\n' | fix latin1.txt || fail "latin1: exit status $?"
grep -q 'not UTF-8' output.txt || fail "latin1: no notice: $(cat output.txt)"
expect_file latin1.txt 'caf\xe9 spelling\n'
printf 'All fine here.\n' >fine.txt
fix fine.txt </dev/null || fail "fine: exit status $?"
[ ! -e fine.txt.bak ] || fail "fine: a .bak for a file without changes"

# a adds to the personal list, saved with the file.
printf 'Qzxword is new.\n' >personal.txt
printf 'a\n' | fix -p words.lex personal.txt || fail "personal: exit status $?"
grep -qx 'qzxword' words.lex || fail "personal: words.lex holds '$(cat words.lex)'"
fix -p words.lex personal.txt </dev/null || fail "personal: second run"
grep -q 'no changes' output.txt || fail "personal: the word was reported again"

# Bad usage and missing files fail cleanly.
fix missing.txt </dev/null; [ $? -eq 1 ] || fail "missing file: not status 1"
fix </dev/null; [ $? -eq 2 ] || fail "no file: not status 2"
"$orthspell" fix -d "$work/none.olx" fine.txt </dev/null >/dev/null 2>&1
[ $? -ne 0 ] || fail "missing dictionary: status 0"
fix --part-size 3 fine.txt </dev/null; [ $? -eq 2 ] || fail "tiny part size: not status 2"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
