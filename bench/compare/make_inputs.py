#!/usr/bin/env python3
"""Assembles the comparison inputs from Debian-packaged documentation.

  make_inputs.py WORDLIST OUTDIR

Writes OUTDIR/corpus.txt (Latin-1 prose), OUTDIR/words.txt (one token a
line), OUTDIR/misspellings.txt (wrong<TAB>right, Latin-1), its two halves
OUTDIR/misspellings-tune.txt (lines 0, 2, 4, ...: what the ranked
suggester's weights may be tuned on) and OUTDIR/misspellings-report.txt
(lines 1, 3, 5, ...: what the comparison reports), and OUTDIR/inputs.txt
(what went in).
"""
import glob
import gzip
import html
import os
import re
import sys
import unicodedata

MIN_WORDS = 1_200_000
MAX_PAIRS = 2000
CODESPELL = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"

# Documentation sets, in the order they are taken; the last one only until
# the corpus is large enough.
SOURCES = [
    ("debian-handbook", sorted(glob.glob("/usr/share/doc/debian-handbook/html/en-US/*.html"))),
    ("debian-reference-en", ["/usr/share/debian-reference/debian-reference.en.txt.gz"]),
    ("python3.11-doc", sorted(
        f for part in ("tutorial", "howto", "faq", "reference", "whatsnew", "library",
                       "using", "extending", "c-api")
        for f in glob.glob(f"/usr/share/doc/python3.11/html/{part}/*.html"))),
]

PUNCT = {"\u2018": "'", "\u2019": "'", "\u201c": '"', "\u201d": '"', "\u2013": "-",
         "\u2014": "-", "\u2026": "...", "\u00a0": " ", "\u2022": "*", "\u2192": "->"}
TOKEN = re.compile(r"[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+(?:'[A-Za-z\xc0-\xd6\xd8-\xf6\xf8-\xff]+)*")


def to_latin1(text):
    out = []
    for ch in text:
        ch = PUNCT.get(ch, ch)
        try:
            ch.encode("latin-1")
            out.append(ch)
        except UnicodeEncodeError:
            base = "".join(c for c in unicodedata.normalize("NFKD", ch)
                           if not unicodedata.combining(c))
            out.append(base if base.isascii() else " ")
    return "".join(out)


def html_text(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    text = re.sub(r"(?is)<(script|style|pre)\b[^>]*>.*?</\1>", " ", text)
    text = re.sub(r'(?is)<div class="highlight[^"]*">.*?</div>', " ", text)
    text = re.sub(r"(?s)<[^>]+>", " ", text)
    return html.unescape(text)


def read_source(path):
    if path.endswith(".gz"):
        return gzip.open(path, "rt", encoding="utf-8", errors="replace").read()
    return html_text(path)


def main():
    wordlist, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    known = set(open(wordlist, encoding="latin-1").read().split())

    chunks, total, used = [], 0, []
    for package, files in SOURCES:
        taken = 0
        for path in files:
            if total >= MIN_WORDS and package == SOURCES[-1][0]:
                break
            text = re.sub(r"[ \t]+", " ", to_latin1(read_source(path)))
            total += len(TOKEN.findall(text))
            chunks.append(text)
            taken += 1
        used.append(f"{package}: {taken} files")
    corpus = "\n".join(chunks)
    with open(os.path.join(outdir, "corpus.txt"), "w", encoding="latin-1") as f:
        f.write(corpus)
    tokens = TOKEN.findall(corpus)
    with open(os.path.join(outdir, "words.txt"), "w", encoding="latin-1") as f:
        f.write("\n".join(tokens) + "\n")

    pairs = []
    for line in open(CODESPELL, encoding="utf-8"):
        if "->" not in line:
            continue
        wrong, right = line.strip().split("->", 1)
        if "," in right or not re.fullmatch(r"[a-z]{3,}", wrong) or not re.fullmatch(r"[a-z]+", right):
            continue
        if wrong in known or right not in known:
            continue
        pairs.append((wrong, right))
    pairs.sort()
    step = max(1, len(pairs) // MAX_PAIRS)
    pairs = pairs[::step][:MAX_PAIRS]
    with open(os.path.join(outdir, "misspellings.txt"), "w", encoding="latin-1") as f:
        for wrong, right in pairs:
            f.write(f"{wrong}\t{right}\n")
    for name, half in (("misspellings-tune.txt", pairs[0::2]),
                       ("misspellings-report.txt", pairs[1::2])):
        with open(os.path.join(outdir, name), "w", encoding="latin-1") as f:
            for wrong, right in half:
                f.write(f"{wrong}\t{right}\n")
    with open(os.path.join(outdir, "inputs.txt"), "w") as f:
        f.write(f"corpus tokens: {len(tokens)}\n")
        f.write("corpus sources: " + "; ".join(used) + "\n")
        f.write(f"misspellings: {len(pairs)} pairs from codespell's dictionary.txt; "
                f"the figures are on the {len(pairs[1::2])} pairs of the report half "
                "(odd lines), never used to tune the ranked suggester\n")


if __name__ == "__main__":
    main()
