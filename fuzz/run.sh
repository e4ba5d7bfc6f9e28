#!/usr/bin/env bash
# Runs one fuzz target with libFuzzer for a number of seconds.
# Usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]
#   TARGET: fuzz_text_lex, fuzz_compressed_lex, fuzz_section_decoder, fuzz_block,
#           fuzz_pipe_protocol, fuzz_directives, fuzz_enchant_token,
#           fuzz_lsp_server, fuzz_case_forms or fuzz_document_FORMAT
# Builds the clang fuzz build in $ORTH_FUZZ_BUILD_DIR (default build-fuzz),
# starts from fuzz/corpus/TARGET, keeps what it learns in a scratch corpus
# (build-fuzz/corpus/TARGET) and writes crashes to build-fuzz/findings/TARGET/.
# Exits non-zero when the target fails.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
  echo "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
seeds=fuzz/corpus/$target
if [ ! -d "$seeds" ]; then
  echo "unknown target: $target" >&2
  exit 2
fi

build=${ORTH_FUZZ_BUILD_DIR:-build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DORTH_FUZZ=ON -DORTH_BUILD_TESTS=OFF \
    -DORTH_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target "$target" >/dev/null

work=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$work" "$findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
  -rss_limit_mb=2048 -artifact_prefix="$findings/" "$@" "$work" "$seeds"
