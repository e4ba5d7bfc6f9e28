#!/usr/bin/env python3
"""Writes bench/RESULTS.md from the drivers' outputs: the part between
<!-- compare:begin --> and <!-- compare:end -->; the rest of the file is kept.

  summarize.py WORKDIR ENGINE_OLX RESULTS_MD [DICTIONARY_WORD_COUNT]
"""
import glob
import os
import platform
import re
import statistics
import subprocess
import sys

CHECKERS = ["orth", "orth-ranked", "hunspell", "nuspell", "aspell"]
PACKAGES = {"hunspell": ["libhunspell-dev", "hunspell-en-us"],
            "nuspell": ["libnuspell-dev", "hunspell-en-us"],
            "aspell": ["libaspell-dev", "aspell-en"]}


def sh(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True).stdout.strip()
    except OSError:
        return ""


def read_runs(work, checker):
    runs = []
    for path in sorted(glob.glob(f"{work}/results/{checker}.*.txt")):
        values = {}
        for line in open(path):
            key, _, value = line.partition(" ")
            if value.strip():
                values[key] = float(value)
        if values:
            runs.append(values)
    return runs


def aspell_files(multi):
    files = []
    for line in open(multi):
        if line.startswith("add "):
            name = line.split()[1]
            path = os.path.join(os.path.dirname(multi), name)
            files += aspell_files(path) if name.endswith(".multi") else [os.path.realpath(path)]
    return files


def dictionary_bytes(checker, olx):
    if checker == "orth":
        return os.path.getsize(olx)
    if checker == "orth-ranked":
        olc = os.path.splitext(olx)[0] + ".olc"
        return os.path.getsize(olx) + (os.path.getsize(olc) if os.path.exists(olc) else 0)
    if checker in ("hunspell", "nuspell"):
        return sum(os.path.getsize(f"/usr/share/hunspell/en_US.{e}") for e in ("aff", "dic"))
    return sum(os.path.getsize(f) for f in aspell_files("/usr/lib/aspell/en_US.multi"))


def engine_version(root):
    header = open(os.path.join(root, "include", "orth.h")).read()
    parts = [re.search(rf"#define ORTH_VERSION_{p} (\d+)", header).group(1)
             for p in ("MAJOR", "MINOR", "PATCH")]
    return ".".join(parts)


def cell(runs, key, fmt):
    values = [r[key] for r in runs if key in r]
    if not values:
        return "-", None
    med = statistics.median(values)
    if len(values) > 1 and max(values) != min(values):
        spread = 100.0 * (max(values) - min(values)) / med if med else 0.0
        return f"{fmt(med)} ±{spread / 2:.0f}%", med
    return fmt(med), med


def main():
    work, olx, out = sys.argv[1], sys.argv[2], sys.argv[3]
    root = os.path.dirname(os.path.dirname(out))
    results = {c: read_runs(work, c) for c in CHECKERS}
    inputs = open(os.path.join(work, "inputs", "inputs.txt")).read().strip().splitlines()

    cpu = next((l.split(":", 1)[1].strip() for l in sh("lscpu").splitlines()
                if l.startswith("Model name")), platform.processor())
    mem = next((l.split()[1] for l in open("/proc/meminfo") if l.startswith("MemTotal")), "?")
    lines = ["# Comparison with hunspell, nuspell and aspell", "",
             "Written by `bench/compare/run.sh`; rerun it to refresh. Every figure is the median of "
             f"{max(len(r) for r in results.values())} runs; ±x% is half the spread "
             "(max − min) relative to the median.", "",
             "## Machine and inputs", "",
             f"- CPU: {cpu}, {os.cpu_count()} cores; memory {int(mem) // 1024} MB; "
             f"kernel {platform.release()}; compiler {sh('g++', '-dumpfullversion')}",
             f"- ORTH {engine_version(root)} (Release build, `en_US.olx`, 10 suggestions, no cache "
             "budget): `orth` is the classic search (`ORTH_Suggest`, automatic level), "
             "`orth-ranked` the ranked suggester (`ORTH_SuggestRanked`, with `en_US.olc`; its "
             "index is built by one call before the timed suggestions and reported apart)"]
    for checker, packages in PACKAGES.items():
        versions = ", ".join(f"{p} {sh('dpkg-query', '-W', '-f=${Version}', p)}" for p in packages)
        lines.append(f"- {checker}: {versions}")
    lines += [f"- {l}" for l in inputs]
    load_path = os.path.join(work, "results", "loadavg.txt")
    if os.path.exists(load_path):
        lines.append("- load average before each run (1, 5, 15 min): " +
                     "; ".join(l.strip() for l in open(load_path) if l.strip()) +
                     ". On a busy machine the wall-clock figures include waits for a core; "
                     "the CPU-time figures (this thread's CPU clock) do not")
    lines += ["- check: one pass over every corpus token, timed around the loop only; suggest: "
              "every misspelling once, top-k counts the exact correction among the first k", ""]

    rows = [("check words/s (CPU time)", "check_cpu_words_per_s", lambda v: f"{v / 1e6:.2f} M"),
            ("check words/s (wall)", "check_words_per_s", lambda v: f"{v / 1e6:.2f} M"),
            ("suggest p50 ms (CPU time)", "suggest_cpu_p50_ms", lambda v: f"{v:.3f}"),
            ("suggest p99 ms (CPU time)", "suggest_cpu_p99_ms", lambda v: f"{v:.3f}"),
            ("suggest mean ms (wall)", "suggest_mean_ms", lambda v: f"{v:.3f}"),
            ("suggest p50 ms (wall)", "suggest_p50_ms", lambda v: f"{v:.3f}"),
            ("suggest p99 ms (wall)", "suggest_p99_ms", lambda v: f"{v:.3f}"),
            ("load ms (wall)", "load_ms", lambda v: f"{v:.3f}"),
            ("load ms (CPU time)", "load_cpu_ms", lambda v: f"{v:.3f}"),
            ("RSS growth at load KB", "rss_load_growth_kb", lambda v: f"{v:.0f}"),
            ("RSS after load KB", "rss_after_load_kb", lambda v: f"{v:.0f}"),
            ("RSS after runs KB", "rss_after_run_kb", lambda v: f"{v:.0f}"),
            ("top-1 %", "top1_pct", lambda v: f"{v:.1f}"),
            ("top-5 %", "top5_pct", lambda v: f"{v:.1f}"),
            ("top-10 %", "top10_pct", lambda v: f"{v:.1f}"),
            ("words flagged", "misspelled", lambda v: f"{v:.0f}"),
            ("ranked index build ms (wall)", "index_build_ms", lambda v: f"{v:.1f}"),
            ("ranked index RSS KB", "index_rss_kb", lambda v: f"{v:.0f}")]
    present = [c for c in CHECKERS if results[c]]
    lines += ["## Results", "", "| figure | " + " | ".join(present) + " |",
              "|---|" + "---|" * len(present)]
    medians = {c: {} for c in present}
    for title, key, fmt in rows:
        cells = []
        for c in present:
            text, med = cell(results[c], key, fmt)
            medians[c][key] = med
            cells.append(text)
        lines.append(f"| {title} | " + " | ".join(cells) + " |")
    sizes = {c: dictionary_bytes(c, olx) for c in present}
    lines.append("| dictionary bytes on disk | " + " | ".join(f"{sizes[c]:,}" for c in present) + " |")
    lines.append("")

    def ratio(a, b):
        return f"{a / b:.2f}" if a and b else "-"

    for mine in ("orth", "orth-ranked"):
        if mine not in present:
            continue
        me = medians[mine]
        lines += [f"## Ratios (`{mine}` against each peer)", "",
                  "Above 1 means ORTH is better: throughput and top-k ORTH/peer; times and memory "
                  "peer/ORTH.", "",
                  "| peer | check throughput (CPU) | suggest p50 (CPU) | suggest p99 (CPU) | "
                  "suggest p50 (wall) | suggest p99 (wall) | top-1 | top-5 | top-10 | load (wall) |",
                  "|---|---|---|---|---|---|---|---|---|---|"]
        for c in present:
            if c.startswith("orth"):
                continue
            p = medians[c]
            lines.append(f"| {c} | {ratio(me['check_cpu_words_per_s'], p['check_cpu_words_per_s'])} | "
                         f"{ratio(p['suggest_cpu_p50_ms'], me['suggest_cpu_p50_ms'])} | "
                         f"{ratio(p['suggest_cpu_p99_ms'], me['suggest_cpu_p99_ms'])} | "
                         f"{ratio(p['suggest_p50_ms'], me['suggest_p50_ms'])} | "
                         f"{ratio(p['suggest_p99_ms'], me['suggest_p99_ms'])} | "
                         f"{ratio(me['top1_pct'], p['top1_pct'])} | "
                         f"{ratio(me['top5_pct'], p['top5_pct'])} | "
                         f"{ratio(me['top10_pct'], p['top10_pct'])} | "
                         f"{ratio(p['load_ms'], me['load_ms'])} |")
        lines.append("")
    if "orth" in present:
        words = int(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[4].isdigit() else 0
        if words:
            lines += [f"`en_US.olx`: {sizes['orth']:,} bytes for {words:,} distinct words "
                      f"(as the compiler counts them) = {sizes['orth'] / words:.3f} bytes per word."]
    write_region(out, "\n".join(lines))


def write_region(path, body):
    """Writes BODY between this script's markers in PATH and leaves the rest
    (bench/documents' region) as it is."""
    begin, end = "<!-- compare:begin -->", "<!-- compare:end -->"
    block = f"{begin}\n{body.rstrip()}\n{end}"
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    if begin in text and end in text:
        text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
    elif "<!-- " in text:  # only other regions: this one goes first
        text = block + "\n\n" + text.lstrip()
    else:  # no regions: the whole file is an older output of this script
        text = block + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
