#!/usr/bin/env bash
# orthspell -a as a client starts it: the banner, exit statuses, a short
# conversation, and the personal list kept across runs.
# usage: pipe_binary_test.sh ORTHSPELL DICTIONARY WORKDIR
set -uo pipefail
orthspell=$(realpath "$1") dict=$(realpath "$2") work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
banner='@(#) International Ispell Version 3.1.20 (but really orthspell '

for flag in -v -vv; do
  out=$("$orthspell" "$flag") || fail "$flag: exit status $?"
  [[ "$out" == "$banner"*")" && "$out" != *$'\n'* ]] || fail "$flag printed '$out'"
done

# Options Emacs passes are accepted; the banner comes first, then answers.
printf 'hello wrold\n' | "$orthspell" -a -m -B -C -T latin1 -d "$dict" >answer.txt
out=$(cat answer.txt)
[[ "$out" == "$banner"* ]] || fail "no banner first: $out"
[ "$(printf '%s\n' "$out" | sed -n 2p)" = "*" ] || fail "hello: $out"
printf '%s\n' "$out" | sed -n 3p | grep -q '^& wrold [0-9]* 6: world, ' || fail "wrold: $out"
[ "$(wc -l <answer.txt)" -eq 4 ] && [ -z "$(tail -n 1 answer.txt)" ] ||
  fail "not one empty line at the end: $out"

# A dictionary that cannot be opened: one line on stderr, status 1, no banner.
"$orthspell" -a -d "$work/missing.olx" </dev/null >out.txt 2>err.txt
[ $? -eq 1 ] || fail "missing dictionary: not status 1"
[ ! -s out.txt ] || fail "missing dictionary: printed '$(cat out.txt)'"
[ "$(wc -l <err.txt)" -eq 1 ] || fail "missing dictionary: stderr '$(cat err.txt)'"
"$orthspell" -a -d "$dict" -i koi8-r </dev/null >/dev/null 2>&1
[ $? -eq 2 ] || fail "unknown encoding: not status 2"

# The personal list grows across runs and keeps its old words.
printf '*qzxone\n#\n' | "$orthspell" -a -d "$dict" -p words.lex >/dev/null
printf '&QZXTWO\n' | "$orthspell" pipe -d "$dict" -p words.lex >/dev/null
out=$(printf '!\nqzxone qzxtwo qzxthree\n' | "$orthspell" -a -d "$dict" -p words.lex | tail -n +2)
[[ "$out" == "# qzxthree 14"* || "$out" == "& qzxthree "*" 14: "* ]] ||
  fail "personal list: $out / $(cat words.lex)"
grep -qx qzxone words.lex && grep -qx qzxtwo words.lex || fail "words.lex: $(cat words.lex)"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
