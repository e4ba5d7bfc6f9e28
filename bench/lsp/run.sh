#!/bin/bash
# The language server benchmark: first diagnostics after didOpen of a
# 10,000-line Markdown document, the server CPU of a one-character edit, and
# the RSS of 20 open documents of 1 MB. Writes the lsp region of
# bench/RESULTS.md.
#
#   bench/lsp/run.sh
#
# Environment:
#   ORTHSPELL=PATH  the orthspell to measure (default: build/cli/orthspell)
#   DICTIONARY=PATH the dictionary (default: build/dicts/en_US.olx)
#   RUNS=7          fresh servers for the open times
#   EDITS=300       one-character edits
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
ORTHSPELL=${ORTHSPELL:-$ROOT/build/cli/orthspell}
DICTIONARY=${DICTIONARY:-$ROOT/build/dicts/en_US.olx}
exec python3 "$HERE/lsp_bench.py" "$ORTHSPELL" "$DICTIONARY" --runs "${RUNS:-7}" \
  --edits "${EDITS:-300}" --write "$ROOT/bench/RESULTS.md"
