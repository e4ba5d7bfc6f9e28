#!/usr/bin/env bash
# Enchant's own programs and python3-enchant drive the provider for real.
#
# usage: enchant_host_test.sh PHASE PROVIDER MODULE_DIR ORTHSPELL BUILD DATA WORK
#   PHASE       lsmod, list, pipe, python, errors or installed (see below)
#   PROVIDER    the built enchant_orth.so; MODULE_DIR: Enchant's module directory
#   ORTHSPELL   the built orthspell, whose answers the provider's must equal
#   BUILD       the build tree (dicts/ holds the bundled dictionaries)
#   DATA        tests/enchant/data; WORK: a scratch folder
# Environment: ORTH_CMAKE (cmake, for the installed phase) and
# ORTH_SANITIZER_RUNTIME (a sanitizer build's runtime, loaded first into
# Enchant's programs so that they can load a sanitized provider).
#
# Enchant 2.3 loads providers from its module directory only, and nothing
# selects another one. So every Enchant program here runs in a private mount
# namespace (unshare -rm) where WORK/modules (the system's providers and this
# one) is mounted over MODULE_DIR; nothing outside the namespace changes.
# ENCHANT_CONFIG_DIR is WORK/config: the ordering file that puts orth first,
# the personal word lists, and the user's dictionaries (config/orth).
# Exits 77 (skipped) when enchant-2 is missing or unshare -rm is not allowed.
set -uo pipefail

phase=$1 provider=$2 moddir=$3 orthspell=$4 build=$5 data=$6 work=$7
here=$(cd "$(dirname "$0")" && pwd)
status=0

skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*"
  status=1
}

if ! command -v enchant-2 >/dev/null 2>&1 || ! command -v enchant-lsmod-2 >/dev/null 2>&1; then
  skip "enchant-2 is not installed (Debian: apt-get install enchant-2)"
fi
[ -d "$moddir" ] || skip "Enchant's module directory $moddir does not exist"
command -v unshare >/dev/null 2>&1 || skip "unshare is not installed"
unshare -rm true 2>/dev/null || skip "unshare -rm is not allowed here (user namespaces are off)"

rm -rf "$work" && mkdir -p "$work/modules" "$work/config/orth" || exit 1
provider=$(realpath "$provider") orthspell=$(realpath "$orthspell") work=$(realpath "$work")
cp "$moddir"/*.so "$work/modules/" 2>/dev/null
cp "$provider" "$work/modules/enchant_orth.so" || exit 1
# Later lines override the system's per language, so every language the
# system file names is named here too.
cat >"$work/config/enchant.ordering" <<EOF
*:orth,hunspell,nuspell,aspell
en:orth,hunspell
en_US:orth,hunspell
en_GB:orth,hunspell
es:orth,hunspell
EOF
export ENCHANT_CONFIG_DIR=$work/config HOME=$work LC_ALL=C.UTF-8

# Runs a command in the namespace; its standard output is the caller's.
enchant_run() {
  local preload=()
  if [ -n "${ORTH_SANITIZER_RUNTIME:-}" ]; then
    preload=(env "LD_PRELOAD=$ORTH_SANITIZER_RUNTIME" "ASAN_OPTIONS=detect_leaks=0")
  fi
  "${preload[@]}" unshare -rm bash -c 'mount --bind "$1" "$2" || exit 99; shift 2; exec "$@"' \
    enchant_run "$work/modules" "$moddir" "$@"
  local code=$?
  [ "$code" -ge 99 ] && fail "$* ended with $code (a crash or a failed mount)"
  return "$code"
}

# same WHAT EXPECTED ACTUAL
same() {
  if [ "$2" != "$3" ]; then
    fail "$1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/  /'
  fi
}

# has WHAT TEXT LINE: TEXT holds LINE as a whole line.
has() {
  grep -qxF -- "$3" <<<"$2" || fail "$1: no line '$3' in: $2"
}

# orthspell's corrections of a word, as the pipe protocol lists them.
orth_suggestions() {
  "$orthspell" suggest -d en_US "$1" | sed -e 's/^[^:]*: //' -e 's/ ([0-9]*)//g' \
    -e 's/^(no suggestions)$//'
}

# A Python that has python3-enchant (Debian's, whatever python3 is first on PATH).
enchant_python() {
  local candidate
  for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c 'import enchant' >/dev/null 2>&1; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

# la: the committed Latin words and every two-letter word, more short words
# than one file holds, so written as two volumes (la.olx, la.2.olx).
compile_la() {
  local words="$work/la-volumes.words"
  { cat "$data/la.words"; printf '%s\n' {a..z}{a..z}; } >"$words"
  "$orthspell" compile "$words" -o "$work/config/orth/la.olx" --volumes >/dev/null ||
    fail "orthspell compile"
  [ -f "$work/config/orth/la.2.olx" ] || fail "orthspell compile wrote no second volume"
}

case "$phase" in
  lsmod)
    # The provider, every bundled dictionary and a user's compiled one, whose
    # second volume is no dictionary of its own; nor is a rare-word list.
    compile_la
    out=$(enchant_run enchant-lsmod-2)
    has "enchant-lsmod-2" "$out" "orth (ORTH spelling-checker engine)"
    out=$(enchant_run enchant-lsmod-2 -list-dicts)
    for dictionary in "$build"/dicts/*.olx; do
      name=$(basename "$dictionary" .olx)
      [[ "$name" == *.rare ]] && continue
      has "enchant-lsmod-2 -list-dicts" "$out" "$name (orth)"
    done
    ! grep -q "\.rare" <<<"$out" || fail "enchant-lsmod-2 -list-dicts lists a rare-word list"
    has "enchant-lsmod-2 -list-dicts" "$out" "la (orth)"
    ! grep -q "la.2" <<<"$out" || fail "enchant-lsmod-2 -list-dicts lists a later volume"
    for dictionary in en_GB en_US es; do
      has "enchant-lsmod-2 -list-dicts" "$out" "$dictionary (orth)"
    done
    for tag in en en_US en-US en_GB es la; do
      normal=${tag/-/_}
      same "enchant-lsmod-2 -lang $tag" "$normal (orth)" "$(enchant_run enchant-lsmod-2 -lang "$tag")"
    done
    same "enchant-lsmod-2 -word-chars en_US" "0123456789'’‘ʼ" \
      "$(enchant_run enchant-lsmod-2 -word-chars en_US)"
    ;;

  list)
    # Exactly the sample's misspellings: the committed list, and orthspell's.
    got=$(enchant_run enchant-2 -d en_US -l "$data/sample.txt")
    same "enchant-2 -l against the committed list" "$(cat "$data/sample.misspelled")" "$got"
    same "enchant-2 -l against orthspell list" "$("$orthspell" list "$data/sample.txt")" "$got"
    # A word of the en_GB dictionary is wrong in en_US and right in en_GB.
    same "enchant-2 -d en_GB -l" "langauge" \
      "$(printf 'colour langauge\n' | enchant_run enchant-2 -d en_GB -l)"
    # A user's compiled dictionary answers for its tag, from both volumes.
    compile_la
    same "enchant-2 -d la -l" "dolorr" \
      "$(printf 'lorem ipsum dolorr sit amet aa zz\n' | enchant_run enchant-2 -d la -l)"
    ;;

  pipe)
    # The ranked suggestions, orthspell's, in ispell's pipe answers; a
    # word added with * is known afterwards and lands in the personal list.
    got=$(printf 'recieve the na\xc3\xafve wrld\n*Zorblax\nZorblax qqqxxzzqqq\n' |
      enchant_run enchant-2 -d en_US -a)
    expected="@(#) International Ispell Version 3.1.20 (but really Enchant $(sed -n \
      's/.*(but really Enchant \(.*\))$/\1/p' <<<"$got"))"
    for entry in "recieve 0" "naïve 12" "wrld 18"; do
      word=${entry% *} offset=${entry#* }
      list=$(orth_suggestions "$word")
      count=$(awk -F', ' '{print NF}' <<<"$list")
      [ "$count" -gt 0 ] || fail "orthspell has no suggestion for $word"
      expected+=$'\n'"& $word $count $offset: $list"
      [ "$word" = recieve ] && expected+=$'\n*'
    done
    [ -z "$(orth_suggestions qqqxxzzqqq)" ] || fail "qqqxxzzqqq has suggestions now"
    expected+=$'\n\n*\n# qqqxxzzqqq 8'
    same "enchant-2 -a" "$expected" "$got"
    has "the personal list" "$(cat "$work/config/en_US.dic" 2>/dev/null)" "Zorblax"
    ;;

  python)
    python=$(enchant_python) || skip "python3-enchant is not installed (Debian: apt-get install python3-enchant)"
    enchant_run "$python" "$here/enchant_python_test.py" "$orthspell" "$work/config" ||
      fail "the Python checks"
    ;;

  errors)
    # An unknown tag, an invalid one, and damaged dictionaries: Enchant's
    # error paths, never a crash. The provider alone, so that the broker's
    # message is its (a provider asked after it would replace the message).
    find "$work/modules" -name '*.so' ! -name enchant_orth.so -delete
    head -c 4096 /dev/zero | tr '\0' 'Z' >"$work/config/orth/zz.olx"
    : >"$work/config/orth/ww.olx"
    head -c 200000 "$build/dicts/en_US.olx" >"$work/config/orth/yy.olx"
    enchant_run enchant-lsmod-2 -list-dicts >/dev/null || fail "enchant-lsmod-2 -list-dicts"
    for tag in xx_XX zz ww 'en US!'; do
      err=$(enchant_run enchant-2 -d "$tag" -l "$data/sample.txt" 2>&1 >/dev/null)
      code=$?
      [ "$code" -eq 1 ] || fail "enchant-2 -d '$tag': exit $code, expected 1"
      has "enchant-2 -d '$tag'" "$err" "Couldn't create a dictionary for $tag"
    done
    # A dictionary cut short opens (its sections load on demand): its answers
    # may be wrong, but they come.
    enchant_run enchant-2 -d yy -a "$data/sample.txt" >"$work/yy.out" ||
      fail "enchant-2 -d yy -a"
    grep -q '^& recieve ' "$work/yy.out" || fail "no answer for recieve from the cut dictionary"
    if python=$(enchant_python); then
      enchant_run "$python" - <<'EOF' || fail "the Python error checks"
import enchant
import enchant.errors
for tag, message in (("zz", "orth: dictionary zz ("), ("ww", "orth: dictionary ww ("),
                     ("xx_XX", "")):
    try:
        enchant.Broker().request_dict(tag)
    except enchant.errors.DictNotFoundError as error:
        assert message in str(error), (tag, str(error))
        if message:
            assert "not a dictionary, or damaged" in str(error), str(error)
    else:
        raise AssertionError(tag + " gave a dictionary")
EOF
    fi
    ;;

  installed)
    # cmake --install into a staging root (DESTDIR): the provider lands in
    # Enchant's module directory and runs from there with the installed
    # engine and the installed data folder. Nothing here writes outside WORK.
    stage=$work/stage
    DESTDIR=$stage "${ORTH_CMAKE:-cmake}" --install "$build" >"$work/install.log" 2>&1 ||
      fail "cmake --install: $(tail -n 5 "$work/install.log")"
    installed=$stage$moddir/enchant_orth.so
    [ -f "$installed" ] || fail "not installed: $moddir/enchant_orth.so"
    library=$(find "$stage" -name libORTHMV32.so.3 | head -n 1)
    dicts=$(find "$stage" -type d -path '*/share/orth/dicts' | head -n 1)
    [ -n "$library" ] && [ -n "$dicts" ] || fail "the engine or its dictionaries were not installed"
    libdir=$(dirname "$library")
    readelf -d "$installed" | grep -q "path: \[${libdir#"$stage"}\]" ||
      fail "the provider does not look for the engine in ${libdir#"$stage"}"
    cp "$installed" "$work/modules/enchant_orth.so"
    # A dictionary only the installed data folder holds.
    cp "$build/dicts/en_GB.olx" "$dicts/xx.olx"
    out=$(enchant_run env "LD_LIBRARY_PATH=$libdir" enchant-lsmod-2 -list-dicts)
    has "installed: enchant-lsmod-2 -list-dicts" "$out" "xx (orth)"
    has "installed: enchant-lsmod-2 -list-dicts" "$out" "en_US (orth)"
    same "installed: enchant-2 -l" "$(cat "$data/sample.misspelled")" \
      "$(enchant_run env "LD_LIBRARY_PATH=$libdir" enchant-2 -d en_US -l "$data/sample.txt")"
    # An install into another prefix leaves the provider out (it would not
    # find the engine there) and says so.
    other=$work/other
    out=$(DESTDIR=$other "${ORTH_CMAKE:-cmake}" --install "$build" --prefix "$work/prefix" \
      --component enchant 2>&1) || fail "cmake --install --prefix: $out"
    [ ! -e "$other$moddir/enchant_orth.so" ] || fail "installed with another prefix"
    grep -qF "Not installed: the Enchant provider enchant_orth.so" <<<"$out" ||
      fail "no word on the provider left out: $out"
    ;;

  *)
    echo "unknown phase: $phase"
    exit 2
    ;;
esac
exit "$status"
