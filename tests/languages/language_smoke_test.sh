#!/usr/bin/env bash
# Each language whose Debian word list is on the machine: installed with
# tools/install-dictionary.sh into a scratch folder, then, through orthspell,
# common words are accepted, typical slips reported (exactly those) and a slip
# gets the intended word first. Languages without their list are skipped; with
# none at all the test is skipped (77).
#
#   [ORTH_TEST_LANGUAGES="de fr pt_BR" | all] language_smoke_test.sh ORTHSPELL REPOSITORY
#
# By default the three that tools/install-deps.sh installs (French needs
# volumes); compiling all twelve takes minutes in a sanitizer build.
set -uo pipefail
orthspell="$1"
repo="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# name | text (common words and slips) | the slips, in order | slip=first suggestion
ROWS=(
  "de|Das Mädchen geht über die Straße ins Haus, Fenstr und Mädhcen.|Fenstr Mädhcen|Mädhcen=Mädchen"
  "de_CH|Das Mädchen geht über die Strasse ins Haus, Fenstr.|Fenstr|Fenstr=Fenster"
  "fr|Aujourd'hui, qu'il vienne jusqu'à la maison, l'homme est à la maison et le cœur de la ville, maisson apartement.|maisson apartement|apartement=appartement"
  "it|Perché la città è bella, dell'anno e nell'ambito, l'uomo mangia a casa, mangaire perche.|mangaire perche|mangaire=mangiare"
  "pt_PT|O coração da cidade não é grande, voçe coracao.|voçe coracao|coracao=coração"
  "pt_BR|Você não sabe que o coração da cidade é grande, coracao voçe.|coracao voçe|voçe=você"
  "nl|Het huis en de fiets zijn gezellig, fietz huiss.|fietz huiss|fietz=fiets"
  "sv|Huset är också mitt eget, ocksa.|ocksa|ocksa=också"
  "da|Huset er også mit eget, ogsa.|ogsa|ogsa=også"
  "nb|Huset er også mitt eget, ogsa.|ogsa|ogsa=også"
  "nn|Huset er òg mitt eige, ogsa.|ogsa|ogsa=også"
  "ca|La casa és gran, però això no, aixo.|aixo|aixo=això"
)

list_of() { awk -v n="$1" '$1 == n { print $3 }' <<<"$("$repo/tools/install-dictionary.sh" --table)"; }

wanted="${ORTH_TEST_LANGUAGES:-de fr pt_BR}"
failures=0
tested=0
for row in "${ROWS[@]}"; do
  IFS='|' read -r name text slips correction <<<"$row"
  [ "$wanted" = all ] || [[ " $wanted " == *" $name "* ]] || continue
  list="$(list_of "$name")"
  if [ -z "$list" ] || [ ! -r "/usr/share/dict/$list" ]; then
    echo "-- $name: no /usr/share/dict/${list:-?}, skipped"
    continue
  fi
  if ! "$repo/tools/install-dictionary.sh" --dest "$scratch" --orthspell "$orthspell" "$name" \
    >"$scratch/$name.log" 2>&1; then
    echo "FAIL $name: install-dictionary failed"; cat "$scratch/$name.log"
    failures=$((failures + 1)); continue
  fi
  tested=$((tested + 1))
  dict="$scratch/$name.olx"
  found="$(printf '%s\n' "$text" | "$orthspell" list -d "$dict" | tr '\n' ' ' | sed 's/ $//')"
  before=$failures
  if [ "$found" != "$slips" ]; then
    echo "FAIL $name: reported '$found', expected '$slips'"; failures=$((failures + 1))
  fi
  slip="${correction%%=*}"
  want="${correction#*=}"
  first="$("$orthspell" suggest -d "$dict" "$slip" | sed -n 's/^[^:]*: \([^ (]*\).*/\1/p')"
  if [ "$first" != "$want" ]; then
    echo "FAIL $name: first suggestion for '$slip' is '$first', expected '$want'"
    failures=$((failures + 1))
  fi
  ((failures > before)) || echo "ok $name"
done
if ((tested == 0)); then
  echo "no word list of another language is installed"
  exit 77
fi
exit $((failures > 0))
