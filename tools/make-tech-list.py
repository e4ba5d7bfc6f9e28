#!/usr/bin/env python3
"""Builds dicts/en_tech/en_tech.words, the technical word list.

  tools/make-tech-list.py PACKAGE_DIR ADDITIONS OUT [CODESPELL]

PACKAGE_DIR is the unpacked npm package @cspell/dict-software-terms (the
"package" folder of its tarball); ADDITIONS is dicts/en_tech/en_tech.additions
(words taken from Debian's wamerican-large, one a line). Writes OUT: one word a
line, sorted, each once. Prints what it dropped and why on stderr.

Only the word lists the package turns on by default are read. Their entries
use the package's own notation, which the compiler cannot store; those
entries are dropped, not rewritten:
  - comment lines (#) and blank lines;
  - entries marked for compounding (* or + at either end): they are word
    parts ("Re+", "*Buffer*") meant to be joined, not words of their own;
  - forbidden words (leading !) and suggestions (holding :);
  - entries holding a hyphen, underscore, period or space: text checking
    never hands a lookup such a string whole, so they could never be found.
With CODESPELL (codespell's dictionary.txt, lines "wrong->right"), entries
that it lists as misspellings ("halp", "sematic", "unexpect") are dropped
too: a word list must not accept a known typo.
"""
import gzip
import os
import re
import sys

# The package's default dictionaries (cspell-ext.json, "dictionaries").
DEFAULT_LISTS = ["softwareTerms.txt.gz", "coding-compound-terms.txt", "computing-acronyms.txt",
                 "software-tools.txt", "webServices.txt"]
WORD = re.compile(r"[A-Za-z0-9]+(?:'[A-Za-z0-9]+)*")


def read_lines(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt", encoding="utf-8") as f:
        return [line.strip() for line in f]


def why_dropped(entry):
    if not entry or entry.startswith("#"):
        return "comment or blank"
    if entry.startswith("!"):
        return "forbidden word (!)"
    if ":" in entry:
        return "suggestion (:)"
    if entry[0] in "*+" or entry[-1] in "*+" or "*" in entry or "+" in entry:
        return "compound part (* or +)"
    if any(c in entry for c in "-_. "):
        return "hyphen, underscore, period or space"
    if not WORD.fullmatch(entry):
        return "other characters"
    return None


def misspellings(path):
    with open(path, encoding="utf-8") as f:
        return {line.split("->", 1)[0].lower() for line in f if "->" in line}


def main():
    package, additions, out = sys.argv[1:4]
    typos = misspellings(sys.argv[4]) if len(sys.argv) > 4 else set()
    words, dropped = set(), {}
    for name in DEFAULT_LISTS:
        for entry in read_lines(os.path.join(package, "dict", name)):
            reason = why_dropped(entry)
            if reason is None and entry.lower() in typos:
                reason = "a misspelling in codespell's dictionary"
            if reason is None:
                words.add(entry)
            elif reason != "comment or blank":
                dropped.setdefault(reason, []).append(entry)
    from_package = len(words)
    added = [w for w in read_lines(additions) if w]
    wrong = [w for w in added if w.lower() in typos]
    if wrong:
        sys.exit("additions that codespell lists as misspellings: " + " ".join(wrong))
    words.update(added)
    with open(out, "w", encoding="utf-8") as f:
        f.write("".join(w + "\n" for w in sorted(words)))
    print(f"{from_package} entries from the package, {len(added)} additions, "
          f"{len(words)} lines written", file=sys.stderr)
    for reason, entries in sorted(dropped.items()):
        print(f"dropped {len(entries)}: {reason}: {' '.join(entries[:8])}"
              f"{' ...' if len(entries) > 8 else ''}", file=sys.stderr)


if __name__ == "__main__":
    main()
