#!/usr/bin/env bash
# Installs what the hardening checks need, when it is missing: clang with its
# sanitizer and fuzzer runtimes for the libFuzzer builds, and valgrind for the
# test labelled valgrind. Safe to run again.
set -euo pipefail

packages=(clang libclang-rt-14-dev valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
