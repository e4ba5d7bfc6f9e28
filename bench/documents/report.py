#!/usr/bin/env python3
"""Writes the document benchmark's region of bench/RESULTS.md.

  report.py WORK RESULTS_MD

The region lies between <!-- documents:begin --> and <!-- documents:end -->;
the rest of the file (bench/compare's region) is left as it is. A file with
no markers at all is bench/compare's older output: it becomes that region.
"""
import json
import os
import platform
import subprocess
import sys

FORMAT_TITLES = {"markdown": "Markdown", "html": "HTML", "tex": "LaTeX", "c": "C headers",
                 "python": "Python", "nroff": "man pages", "email": "mail"}


def sh(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True).stdout.strip()
    except OSError:
        return ""


def write_region(path, name, body):
    begin, end = f"<!-- {name}:begin -->", f"<!-- {name}:end -->"
    block = f"{begin}\n{body.rstrip()}\n{end}"
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    if text.strip() and "<!-- " not in text:
        text = f"<!-- compare:begin -->\n{text.rstrip()}\n<!-- compare:end -->\n"
    if begin in text and end in text:
        text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
    else:
        text = (text.rstrip() + "\n\n" if text.strip() else "") + block + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def ordered(doc):
    return [f for f in FORMAT_TITLES if f in doc["formats"]]


def pct(a, b):
    return f"{100.0 * a / b:.1f}%" if b else "-"


def accuracy(doc, lines):
    modes = doc.get("orthspell_modes")
    lines += ["### Recall, other flags and leaks", "",
              "Recall: injected misspellings reported at their exact line and column. Other flags: "
              "every other finding outside the probe blocks, per 1,000 words. Leaks: probes "
              "reported (a probe is a misspelling inside a construct that is not prose).", "",
              "| format | checker | recall | missed | other flags | per 1,000 words | leaks |",
              "|---|---|---|---|---|---|---|"]
    for fmt in ordered(doc):
        for c in doc["formats"][fmt]["checkers"]:
            lines.append(f"| {FORMAT_TITLES.get(fmt, fmt)} | {c['label']} | "
                         f"{c['found']}/{c['injected']} = {pct(c['found'], c['injected'])} | "
                         f"{c['injected'] - c['found']} | {c['other']:,} | "
                         f"{c['other_per_1000']:.1f} | {c['leaks']}/{c['probes']} |")
    lines.append("")
    lines += ["### Against the targets", "",
              "Targets for orthspell in each format's mode: recall ≥ 99%, no injected misspelling "
              "missed in prose, other flags per 1,000 words at most half of aspell's matching mode, "
              "no leak.", ""]
    if not modes:
        lines += ["This orthspell has no `--mode` option yet: the figures are of its text mode "
                  "(`orthspell check` with no mode), so the targets are shown against that.", ""]
    lines += ["| format | words | orthspell | recall ≥ 99% | none missed | other/1k ≤ ½ aspell's "
              "| no leak | orthspell text: other/1k, leaks |", "|---|---|---|---|---|---|---|---|"]
    for fmt in ordered(doc):
        by = {c["key"]: c for c in doc["formats"][fmt]["checkers"]}
        mine = by.get("orth-mode") or by.get("orth-text")
        text = by.get("orth-text")
        aspell = by.get("aspell")
        if not mine or not aspell:
            continue
        limit = aspell["other_per_1000"] / 2
        recall = mine["found"] / mine["injected"] if mine["injected"] else 0
        ok = lambda cond: "yes" if cond else "**no**"  # noqa: E731
        lines.append(
            f"| {FORMAT_TITLES.get(fmt, fmt)} | {mine['words']:,} | {mine['label']} | "
            f"{ok(recall >= 0.99)} ({pct(mine['found'], mine['injected'])}) | "
            f"{ok(mine['found'] == mine['injected'])} ({mine['injected'] - mine['found']}) | "
            f"{ok(mine['other_per_1000'] <= limit)} ({mine['other_per_1000']:.1f} vs {limit:.1f}) | "
            f"{ok(mine['leaks'] == 0)} ({mine['leaks']}/{mine['probes']}) | "
            f"{text['other_per_1000']:.1f}, {text['leaks']}/{text['probes']} |")
    lines.append("")
    constructs = []
    for fmt in ordered(doc):
        for c in doc["formats"][fmt]["checkers"]:
            if c["leaks_by_construct"]:
                parts = ", ".join(f"{k} {v}" for k, v in sorted(c["leaks_by_construct"].items()))
                constructs.append(f"{FORMAT_TITLES.get(fmt, fmt)}, {c['label']}: {parts}")
    if constructs:
        lines += ["Leaks by construct: " + "; ".join(constructs) + ".", ""]


def ratio(peer, mine):
    return f"{peer / mine:.2f}" if mine else "-"


def speed(sp, lines):
    lines += ["### Speed and memory (whole process)", "",
              f"Medians of {sp['runs']} runs per tool, in turn, on the same input, after one untimed "
              "run each; output to /dev/null. CPU = user + system time. Ratios are the peer's figure "
              "over orthspell's: above 1, orthspell is faster or smaller. Load average "
              f"(1, 5, 15 min) before: {sp['load_before']}; after: {sp['load_after']}. On a busy "
              "machine wall time includes waits for a core; CPU time does not.", ""]
    if not sp.get("orthspell_modes"):
        lines += ["This orthspell has no `--mode` option yet: on Markdown it ran as `orthspell list` "
                  "(text).", ""]
    lines += ["| input | tool | wall s | CPU s | MB/s (wall) | peak RSS MB | wall ratio | CPU ratio "
              "| RSS ratio |", "|---|---|---|---|---|---|---|---|---|"]
    for key, title in (("prose", "10 MB prose"), ("markdown", "10 MB Markdown")):
        tools = sp[key]
        mine = tools["orthspell"]["median"]
        size = sp["inputs"][key]["bytes"]
        for tool, v in tools.items():
            m = v["median"]
            cpu, my_cpu = m["user"] + m["sys"], mine["user"] + mine["sys"]
            lines.append(
                f"| {title} | `{v['command']}` | "
                f"{m['wall']:.2f} | {cpu:.2f} | {size / 1e6 / m['wall']:.1f} | {m['rss_kb'] / 1024:.1f} | "
                + ("-" if tool == "orthspell" else ratio(m["wall"], mine["wall"])) + " | "
                + ("-" if tool == "orthspell" else ratio(cpu, my_cpu)) + " | "
                + ("-" if tool == "orthspell" else ratio(m["rss_kb"], mine["rss_kb"])) + " |")
    lines.append("")
    lines += [f"- prose: {sp['inputs']['prose']['bytes']:,} bytes from {sp['inputs']['prose']['source']}",
              f"- Markdown: {sp['inputs']['markdown']['bytes']:,} bytes, "
              f"{sp['inputs']['markdown']['source']}"]
    if sp.get("big"):
        for key, title in (("big.txt", "1 GB of text (prose repeated)"),
                           ("oneline.txt", "1 GB with no line break")):
            if key in sp["big"]:
                big = sp["big"][key]
                m = big["median"]
                failed = [x for x in big["runs"] if "exit" in x]
                note = ""
                if failed:
                    error = failed[0]["error"].splitlines()[0] if failed[0]["error"] else ""
                    note = (f"; **failed** under the {big['limit'] / 2 ** 30:.0f} GB address-space "
                            f"limit (exit {failed[0]['exit']}: `{error[:120]}`)")
                lines.append(f"- `orthspell list` on {title}: peak RSS {m['rss_kb'] / 1024:.1f} MB, "
                             f"wall {m['wall']:.1f} s, CPU {m['user'] + m['sys']:.1f} s "
                             f"({len(big['runs'])} run){note}")
    else:
        lines.append(f"- 1 GB runs skipped: {sp.get('big_skipped', 'not run')}")
    lines.append("")


def main():
    work, out = sys.argv[1], sys.argv[2]
    results = os.path.join(work, "results")
    doc_path, speed_path = os.path.join(results, "documents.json"), os.path.join(results, "speed.json")
    cpu = next((l.split(":", 1)[1].strip() for l in sh("lscpu").splitlines()
                if l.startswith("Model name")), platform.processor())
    lines = ["# Checking documents: orthspell, aspell and hunspell", "",
             "Written by `bench/documents/run.sh`; rerun it to refresh (see "
             "`bench/documents/README.md`).", "",
             f"- machine: {cpu}, {os.cpu_count()} cores; kernel {platform.release()}",
             f"- aspell {sh('dpkg-query', '-W', '-f=${Version}', 'aspell')} with aspell-en "
             f"{sh('dpkg-query', '-W', '-f=${Version}', 'aspell-en')}; hunspell "
             f"{sh('dpkg-query', '-W', '-f=${Version}', 'hunspell')} with hunspell-en-us "
             f"{sh('dpkg-query', '-W', '-f=${Version}', 'hunspell-en-us')}"]
    info = os.path.join(work, "run-info.txt")
    if os.path.exists(info):
        lines += [f"- {l.strip()}" for l in open(info) if l.strip()]
    lines.append("")
    if os.path.exists(doc_path):
        doc = json.load(open(doc_path))
        changed_path = os.path.join(work, "corpus-changed.txt")
        changed = len(open(changed_path).read().splitlines()) if os.path.exists(changed_path) else 0
        lines += ["- corpus: `bench/documents/corpus.tsv`, " + ", ".join(
            f"{FORMAT_TITLES[f]} {doc['formats'][f]['files']} files" for f in ordered(doc))
            + f"; {changed} of its files differ from the list (`work/corpus-changed.txt`)"]
        lines += ["- checkers: " + "; ".join(sorted({c["label"] for e in doc["formats"].values()
                                                     for c in e["checkers"]})),
                  "- positions: orthspell's `check --format json`; aspell and hunspell as `-a` "
                  "pipes, each line sent after a `^`; hunspell with its n-gram suggestions off "
                  "(`MAXNGRAMSUGS 0` in a copy of en_US.aff: the same verdicts, faster)",
                  "- injections: `work/injections.tsv` (regenerated from the corpus with a fixed "
                  "seed); the 30 most frequent other flags per format and checker: "
                  "`work/other-flags/`", ""]
        accuracy(doc, lines)
    if os.path.exists(speed_path):
        speed(json.load(open(speed_path)), lines)
    write_region(out, "documents", "\n".join(lines))


if __name__ == "__main__":
    main()
