#!/usr/bin/env bash
# A real LSP client drives orthspell lsp: Neovim 0.7+ (its built-in client)
# or Emacs with eglot, headless.
# usage: lsp_editor_test.sh ORTHSPELL DICTIONARY WORKDIR nvim|eglot
# Exits 77 (a skipped test for CTest) when the editor is not installed.
set -uo pipefail

orthspell=$1 dict=$2 work=$3 client=$4
here=$(cd "$(dirname "$0")" && pwd)

case $client in
  nvim)
    if ! command -v nvim >/dev/null 2>&1; then
      echo "SKIP: nvim is not installed (Debian: apt-get install neovim)"
      exit 77
    fi ;;
  eglot)
    if ! command -v emacs >/dev/null 2>&1 ||
      ! emacs --batch --eval "(require 'eglot)" >/dev/null 2>&1; then
      echo "SKIP: emacs with eglot is not installed (Debian: apt-get install emacs-nox elpa-eglot)"
      exit 77
    fi ;;
  *)
    echo "unknown client: $client" >&2
    exit 2 ;;
esac

rm -rf "$work" && mkdir -p "$work" || exit 1
orthspell=$(realpath "$orthspell") dict=$(realpath "$dict") work=$(realpath "$work")
# The editors write their state under HOME and XDG folders: keep it in WORKDIR.
export ORTHSPELL=$orthspell ORTH_DICT=$dict ORTH_WORK=$work HOME=$work
export XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config
export XDG_STATE_HOME=$work/xdg-state XDG_CACHE_HOME=$work/xdg-cache

if [ "$client" = nvim ]; then
  timeout 120 nvim --headless -u NONE -i NONE -n -c "luafile $here/lsp_nvim_test.lua" 2>&1
else
  timeout 120 emacs --batch -l "$here/lsp_eglot_test.el" 2>&1
fi
