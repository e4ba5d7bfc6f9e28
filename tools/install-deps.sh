#!/usr/bin/env bash
# Installs what building and testing the project needs, when it is missing.
# Safe to run again: it installs nothing that is already there.
set -euo pipefail

# libenchant-2-dev builds the Enchant provider; enchant-2 and python3-enchant
# are the hosts its tests drive. The German, French and Brazilian Portuguese
# word lists are for the language tests (tools/install-dictionary.sh compiles
# them; French needs volumes).
packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  libmd4c-dev libgumbo-dev libcli11-dev nlohmann-json3-dev
  libenchant-2-dev enchant-2 python3-enchant
  python3 wngerman wfrench wbrazilian)
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
