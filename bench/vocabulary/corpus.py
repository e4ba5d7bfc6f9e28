#!/usr/bin/env python3
"""Writes the vocabulary benchmark's inputs, one token a line, UTF-8.

  corpus.py COMPARE_INPUTS OUTDIR

COMPARE_INPUTS is what bench/compare/make_inputs.py wrote (words.txt, the
Debian documentation, and misspellings.txt, Latin-1). Writes OUTDIR/tech.txt
(the documentation's tokens), OUTDIR/prose.txt (the tokens of fortunes-min's
fortunes, literature and riddles), OUTDIR/typos.txt (the 2000 misspellings'
wrong words) and OUTDIR/codespell.txt (every misspelling of codespell's
dictionary that is one lower-case word of three letters or more).
"""
import os
import re
import sys

FORTUNES = ["/usr/share/games/fortunes/fortunes", "/usr/share/games/fortunes/literature",
            "/usr/share/games/fortunes/riddles"]
CODESPELL = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"
# The tokens of make_inputs.py: letters of Latin-1, inner apostrophes.
TOKEN = re.compile(r"[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+(?:'[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+)*")


def write(path, tokens):
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(t + "\n" for t in tokens))


def main():
    inputs, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    tech = open(os.path.join(inputs, "words.txt"), encoding="latin-1").read().split()
    write(os.path.join(outdir, "tech.txt"), tech)
    prose = []
    for path in FORTUNES:
        text = open(path, encoding="utf-8", errors="replace").read()
        prose += TOKEN.findall(text.replace("\u2019", "'"))
    write(os.path.join(outdir, "prose.txt"), prose)
    typos = [line.split("\t")[0] for line in
             open(os.path.join(inputs, "misspellings.txt"), encoding="latin-1") if "\t" in line]
    write(os.path.join(outdir, "typos.txt"), typos)
    every = set()
    for line in open(CODESPELL, encoding="utf-8"):
        wrong = line.split("->", 1)[0]
        if "->" in line and re.fullmatch(r"[a-z]{3,}", wrong):
            every.add(wrong)
    write(os.path.join(outdir, "codespell.txt"), sorted(every))


if __name__ == "__main__":
    main()
