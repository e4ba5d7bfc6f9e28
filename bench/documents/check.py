#!/usr/bin/env python3
"""Runs every checker on the injected corpus and scores it.

  check.py WORK ORTHSPELL [FORMAT...]

Checkers per format: orthspell in the format's mode and in text mode, aspell
in its matching mode, hunspell with its matching option (-H, -t, -n) or plain.
orthspell reports positions itself (check --format json). aspell and hunspell
run as `-a` pipes, each line of the file sent with a leading '^' (so that no
line is read as a pipe command); the filters keep their state from line to
line there, each input line ends its results with an empty line, and the
offset they give counts characters from the '^', which is the column of the
original line counted from 1. hunspell runs with a copy of en_US.aff that
only turns its n-gram suggestions off (see quiet_hunspell).

Writes WORK/results/documents.json (the scores), WORK/findings/CHECKER/FORMAT.tsv
(every finding) and WORK/other-flags/FORMAT.txt (the 30 most frequent other
flags per checker, to guide tuning).

A finding counts for an injected misspelling only at its exact line and
column. A leak is a finding on a probe's line that overlaps the probe. Other
flags are the remaining findings outside the probe blocks. Words are counted
the same way for every checker: runs of ASCII letters (with inner
apostrophes) on the lines outside the probe blocks; in HTML only outside tags,
comments, scripts and styles.
"""
import collections
import csv
import json
import os
import re
import subprocess
import sys

TOKEN = re.compile(r"[A-Za-z]+(?:'[A-Za-z]+)*")
MARKUP = re.compile(r"(?is)<script\b.*?</script>|<style\b.*?</style>|<!--.*?-->|<[^>]*>")
FORMATS = ["markdown", "html", "tex", "c", "python", "nroff", "email"]
ORTH_MODE = {"markdown": "markdown", "html": "html", "tex": "tex", "c": "code", "python": "code",
             "nroff": "nroff", "email": "email"}
# aspell has no Python mode: its perl mode checks only "..." strings, and its
# comment mode checks nothing (aspell issue 505), so plain text is its best.
ASPELL_MODE = {"markdown": "markdown", "html": "html", "tex": "tex", "c": "ccpp", "python": "none",
               "nroff": "nroff", "email": "email"}
HUNSPELL_OPTION = {"html": "-H", "tex": "-t", "nroff": "-n"}


def orth_supports_modes(orthspell):
    got = subprocess.run([orthspell, "check", "--mode", "text", "--format", "json", "-"],
                         input="", capture_output=True, text=True)
    return got.returncode in (0, 1)


def run_orth(orthspell, mode, paths):
    command = [orthspell, "check", "--format", "json", "--max", "0", "--no-exit-code"]
    if mode:
        command += ["--mode", mode]
    got = subprocess.run(command + paths, capture_output=True, text=True)
    if got.returncode != 0:
        sys.exit(f"{' '.join(command)} ...: exit {got.returncode}: {got.stderr.strip()[:500]}")
    findings = []
    for line in got.stdout.splitlines():
        if not line.strip():
            continue
        f = json.loads(line)
        # A word known only in another case («wong» beside the name «Wong»)
        # is reported too, with the right form first.
        if f.get("kind") in ("misspelled", "replacement", "case"):
            findings.append((os.path.basename(f["file"]), f["line"], f["column"], f["word"]))
    return findings


def run_pipe(command, path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    feed = "!\n" + "".join("^" + line + "\n" for line in lines)
    got = subprocess.run(command, input=feed, capture_output=True, text=True)
    if got.returncode != 0:
        sys.exit(f"{' '.join(command)} < {path}: exit {got.returncode}: {got.stderr.strip()[:500]}")
    out = got.stdout.split("\n")
    if out and out[0].startswith("@(#)"):
        out = out[1:]
    findings, row = [], 1
    name = os.path.basename(path)
    for line in out:
        if line == "":
            row += 1
            continue
        if line[0] in "&?":
            head = line.split(":", 1)[0].split()
            findings.append((name, row, int(head[3]), head[1]))
        elif line[0] == "#":
            head = line.split()
            findings.append((name, row, int(head[2]), head[1]))
    if row - 1 < len(lines):
        sys.exit(f"{' '.join(command)} < {path}: results for {row - 1} of {len(lines)} lines")
    return findings


def quiet_hunspell(work):
    """en_US for hunspell with MAXNGRAMSUGS 0: the same words accepted and
    rejected, without the n-gram suggestions that make up most of the time
    `-a` takes (this script does not use suggestions)."""
    folder = os.path.join(work, "hunspell")
    os.makedirs(folder, exist_ok=True)
    with open("/usr/share/hunspell/en_US.aff", encoding="utf-8") as f:
        aff = f.read()
    with open(os.path.join(folder, "en_US.aff"), "w", encoding="utf-8") as f:
        f.write(aff.rstrip("\n") + "\n\nMAXNGRAMSUGS 0\n")
    dic = os.path.join(folder, "en_US.dic")
    if not os.path.exists(dic):
        os.symlink(os.path.realpath("/usr/share/hunspell/en_US.dic"), dic)
    return os.path.join(folder, "en_US")


def checkers(fmt, orthspell, modes, work):
    aspell = ["aspell", "-a", "--lang=en_US", "--encoding=utf-8", "--sug-mode=ultra",
              f"--mode={ASPELL_MODE[fmt]}"]
    hunspell = ["hunspell", "-a", "-d", quiet_hunspell(work), "-i", "utf-8"]
    if fmt in HUNSPELL_OPTION:
        hunspell.append(HUNSPELL_OPTION[fmt])
    out = []
    if modes:
        out.append((f"orthspell --mode {ORTH_MODE[fmt]}", "orth-mode",
                    lambda paths: run_orth(orthspell, ORTH_MODE[fmt], paths)))
    out.append(("orthspell --mode text" if modes else "orthspell (text only)", "orth-text",
                lambda paths: run_orth(orthspell, "text" if modes else None, paths)))
    out.append((f"aspell --mode={ASPELL_MODE[fmt]}", "aspell",
                lambda paths: [f for p in paths for f in run_pipe(aspell, p)]))
    out.append(("hunspell " + HUNSPELL_OPTION.get(fmt, "(plain)"), "hunspell",
                lambda paths: [f for p in paths for f in run_pipe(hunspell, p)]))
    return out


def read_tsv(path):
    with open(path, encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def score(fmt, work, findings, injections, blocks):
    prose = {(r["name"], int(r["line"]), int(r["column"])) for r in injections
             if r["format"] == fmt and r["kind"] == "prose"}
    probes = collections.defaultdict(list)
    for r in injections:
        if r["format"] == fmt and r["kind"] == "leak":
            probes[(r["name"], int(r["line"]))].append((int(r["column"]), r["typo"], r["construct"]))
    in_block = set()
    for b in blocks:
        if b["format"] == fmt:
            for line in range(int(b["first"]), int(b["last"]) + 1):
                in_block.add((b["name"], line))
    found = {(n, l, c) for n, l, c, _ in findings} & prose
    leaked = set()
    other = collections.Counter()
    for name, line, col, word in findings:
        if (name, line, col) in prose:
            continue
        if (name, line) in in_block:
            for pcol, typo, construct in probes.get((name, line), []):
                if col < pcol + len(typo) and pcol < col + len(word):
                    leaked.add((name, line, pcol, construct))
            continue
        other[word] += 1
    words = 0
    folder = os.path.join(work, "injected", fmt)
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            text = f.read()
        if fmt == "html":
            text = MARKUP.sub(lambda m: " " + "\n" * m.group().count("\n"), text)
        for number, line in enumerate(text.split("\n"), 1):
            if (name, number) not in in_block:
                words += len(TOKEN.findall(line))
    missed = sorted(prose - found)
    return {"injected": len(prose), "found": len(found),
            "missed": [f"{n}:{l}:{c}" for n, l, c in missed],
            "probes": sum(len(v) for v in probes.values()), "leaks": len(leaked),
            "leaks_by_construct": dict(collections.Counter(c for *_, c in leaked)),
            "other": sum(other.values()), "words": words,
            "other_per_1000": 1000.0 * sum(other.values()) / words if words else 0.0,
            "top_other": other.most_common(30)}


def main():
    work, orthspell = sys.argv[1], sys.argv[2]
    formats = sys.argv[3:] or FORMATS
    modes = orth_supports_modes(orthspell)
    injections = read_tsv(os.path.join(work, "injections.tsv"))
    blocks = read_tsv(os.path.join(work, "blocks.tsv"))
    results_path = os.path.join(work, "results", "documents.json")
    results = {}
    if os.path.exists(results_path):
        results = json.load(open(results_path))
    results["orthspell_modes"] = modes
    results.setdefault("formats", {})
    for fmt in formats:
        folder = os.path.join(work, "injected", fmt)
        paths = [os.path.join(folder, n) for n in sorted(os.listdir(folder))]
        entry = {"files": len(paths), "checkers": []}
        lines = []
        for label, key, run in checkers(fmt, orthspell, modes, work):
            print(f"  {fmt}: {label}", flush=True)
            findings = run(paths)
            os.makedirs(os.path.join(work, "findings", key), exist_ok=True)
            with open(os.path.join(work, "findings", key, fmt + ".tsv"), "w") as f:
                for n, l, c, w in findings:
                    f.write(f"{n}\t{l}\t{c}\t{w}\n")
            s = score(fmt, work, findings, injections, blocks)
            s.update({"label": label, "key": key})
            entry["checkers"].append(s)
            lines.append(f"== {label}: {s['other']} other flags, the 30 most frequent")
            lines += [f"{count:6} {word}" for word, count in s["top_other"]]
            lines.append("")
        results["formats"][fmt] = entry
        os.makedirs(os.path.join(work, "other-flags"), exist_ok=True)
        with open(os.path.join(work, "other-flags", fmt + ".txt"), "w") as f:
            f.write("\n".join(lines))
    os.makedirs(os.path.dirname(results_path), exist_ok=True)
    with open(results_path, "w") as f:
        json.dump(results, f, indent=1)


if __name__ == "__main__":
    main()
