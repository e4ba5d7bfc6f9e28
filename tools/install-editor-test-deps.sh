#!/usr/bin/env bash
# Installs the editors the editor tests drive (ctest -L editor), when they are
# missing: Emacs without X (emacs --batch runs ispell and flyspell against
# orthspell -a, and eglot against orthspell lsp), eglot itself (Debian's
# elpa-eglot), Neovim (its built-in LSP client against orthspell lsp) and
# tmux (a terminal for orthspell fix). Without them those tests are skipped.
# Safe to run again: it installs nothing already there.
set -euo pipefail

packages=()
command -v emacs >/dev/null 2>&1 || packages+=(emacs-nox)
command -v tmux >/dev/null 2>&1 || packages+=(tmux)
command -v nvim >/dev/null 2>&1 || packages+=(neovim)
dpkg -s elpa-eglot >/dev/null 2>&1 || packages+=(elpa-eglot)
if ((${#packages[@]} > 0)); then
  echo "installing: ${packages[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${packages[@]}"
fi
