#!/usr/bin/env python3
"""Writes the rare-word list of a dictionary: the words a larger word list
holds that the dictionary's own list lacks, less the ones likely to hide a
typo or to loosen the dictionary's capitalisation.

    tools/make-rare-words.py BASE LARGE CODESPELL_DATA OUT

BASE and LARGE are UTF-8 word lists, one word a line (for en_US: Debian's
wamerican and wamerican-large); CODESPELL_DATA is codespell's data folder
(Debian's codespell: /usr/lib/python3/dist-packages/codespell_lib/data). A
word of LARGE is kept when
  - BASE does not hold it, spelled exactly so;
  - codespell does not list it as a misspelling (dictionary.txt, and
    dictionary_rare.txt: real words that are far more often typos, such as
    «calender»), in any case;
  - it is not the lower-case spelling of a word BASE gives only in capitals
    («english», «boolean»): the rare list must not overrule BASE's case;
  - it has three letters or more, not counting a final 's (two-letter
    abbreviations such as «bl», «cp» and «tr» are mostly typos in text).
Each test is on the word as the engine looks it up: a final 's or ' and
letter dropped, at most 30 characters («Skelton's» is tested as «skelton»).
The kept words are written in LARGE's order.
"""
import os
import sys


def misspellings(folder, names):
    keys = set()
    for name in names:
        with open(os.path.join(folder, name), encoding="utf-8") as source:
            for line in source:
                if "->" in line:
                    keys.add(line.split("->", 1)[0].strip().lower())
    return keys


def read_words(path):
    with open(path, encoding="utf-8") as source:
        return [line.rstrip("\n") for line in source if line.strip()]


def lookup_form(word):
    """The word as the engine looks it up: lower case, without a final
    apostrophe or apostrophe and letter, cut to 30 characters."""
    word = word.lower()
    if word.endswith("'"):
        word = word[:-1]
    elif len(word) >= 2 and word[-2] == "'":
        word = word[:-2]
    return word[:30]


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    base_path, large_path, codespell, out = sys.argv[1:]
    base = read_words(base_path)
    held = set(base)
    lower_case = {lookup_form(w) for w in base if w == w.lower()}
    capitals_only = {lookup_form(w) for w in base if w != w.lower()} - lower_case
    typos = misspellings(codespell, ["dictionary.txt", "dictionary_rare.txt"])
    counts = {"held": 0, "typo": 0, "case": 0, "short": 0}
    kept = []
    for word in read_words(large_path):
        if word in held:
            counts["held"] += 1
        elif lookup_form(word) in typos:
            counts["typo"] += 1
        elif word == word.lower() and lookup_form(word) in capitals_only:
            counts["case"] += 1
        elif len(lookup_form(word)) <= 2:
            counts["short"] += 1
        else:
            kept.append(word)
    with open(out, "w", encoding="utf-8") as sink:
        sink.writelines(word + "\n" for word in kept)
    print(f"{out}: {len(kept)} words; left out: {counts['held']} in the base list, "
          f"{counts['typo']} codespell misspellings, {counts['case']} lower-case spellings of "
          f"names, {counts['short']} of two letters or fewer")


if __name__ == "__main__":
    main()
