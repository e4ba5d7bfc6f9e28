#!/usr/bin/env bash
# Installs what the Windows cross build and its runs under Wine need, when it
# is missing: the mingw-w64 compilers (posix thread model) and wine64. With
# ORTH_WINE32=1 it also installs wine32 (the i386 architecture), but only
# when the kernel runs 32-bit programs: where it cannot, an installed wine32
# would only break the `wine` command. Safe to run again; quiet when all is
# there.
set -euo pipefail

packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 python3)
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]} > 0)); then
  echo "installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Whether this kernel runs a 32-bit x86 program: a minimal static one that
# only exits with status 0.
kernel_runs_32bit() {
  local probe
  probe=$(mktemp)
  python3 - "$probe" <<'PY'
import struct, sys
code = bytes([0xb8, 1, 0, 0, 0, 0x31, 0xdb, 0xcd, 0x80])  # exit(0)
base, size = 0x08048000, 52 + 32 + len(code)
header = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
program = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], "wb").write(header + program + code)
PY
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return "$status"
}

if [ "${ORTH_WINE32:-0}" = 1 ] && ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  if kernel_runs_32bit; then
    echo "installing: wine32:i386"
    dpkg --print-foreign-architectures | grep -qx i386 ||
      "${sudo_cmd[@]}" dpkg --add-architecture i386
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq wine32:i386 >/dev/null
  else
    echo "wine32 not installed: this kernel does not run 32-bit programs"
  fi
fi
