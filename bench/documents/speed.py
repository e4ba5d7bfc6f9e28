#!/usr/bin/env python3
"""Whole-process speed and memory of orthspell, aspell and hunspell.

  speed.py WORK ORTHSPELL

Inputs, built under WORK/speed/ (not kept in git):
  prose.txt     10,000,000 bytes of plain prose: debian-reference's text
                edition, then python3.11-doc's reST sources (_sources/*.txt),
                cut at a line end
  markdown.md   10,000,000 bytes of Markdown: the corpus READMEs (the copies
                before injection), repeated in turn, cut at a line end
  big.txt       1,000,000,000 bytes: prose.txt repeated
  oneline.txt   1,000,000,000 bytes without a line break: prose.txt with its
                line breaks turned into spaces, repeated
The two 1 GB files are written just before their runs and removed right after,
and skipped (with a note) when the disk has less than 4 GB free.

Every command runs under /usr/bin/time with its output sent to /dev/null,
once untimed (to fill the page cache), then RUNS times (5 by default) in
turn with the other tools of the same input, so that a busy spell of the
machine does not fall on one tool only. The figures are the medians of wall
time, user and system CPU time and peak resident set size (RSS); the 1 GB
runs are of orthspell alone, BIG_RUNS times (1 by default; 0 skips them),
under an address-space limit of BIG_LIMIT_GB (4 by default) so that a tool
that holds its whole input cannot take the shared machine's memory: a run
that fails under it is reported as such.
"""
import glob
import gzip
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus  # noqa: E402

SIZE = 10_000_000
BIG = 1_000_000_000


def build_prose(work, path):
    root, version = corpus.unpack("debian-reference-en", "", work)
    doc_root, doc_version = corpus.unpack("python3.11-doc", "", work)
    parts = [gzip.open(os.path.join(root, "usr/share/debian-reference/debian-reference.en.txt.gz"),
                       "rt", encoding="utf-8").read()]
    sources = sorted(glob.glob(os.path.join(doc_root, "usr/share/doc/python3.11/html/_sources",
                                            "**", "*.txt"), recursive=True))
    for source in sources:
        parts.append(open(source, encoding="utf-8", errors="replace").read())
        if sum(len(p.encode()) for p in parts) > SIZE:
            break
    write_cut("\n".join(parts).encode("utf-8"), path)
    return f"debian-reference-en {version}, python3.11-doc {doc_version}"


def build_markdown(work, path):
    folder = os.path.join(work, "corpus", "markdown")
    texts = [open(os.path.join(folder, n), "rb").read() for n in sorted(os.listdir(folder))]
    data, k = bytearray(), 0
    while len(data) <= SIZE:
        data += texts[k % len(texts)].rstrip(b"\n") + b"\n\n"
        k += 1
    write_cut(bytes(data), path)
    return f"the {len(texts)} corpus READMEs, repeated"


def write_cut(data, path):
    cut = data.rfind(b"\n", 0, SIZE) + 1
    with open(path, "wb") as f:
        f.write(data[:cut])


def write_big(source, path, one_line):
    data = open(source, "rb").read()
    if one_line:
        data = data.replace(b"\n", b" ")
    with open(path, "wb") as f:
        written = 0
        while written + len(data) <= BIG:
            f.write(data)
            written += len(data)
        f.write(data[:BIG - written])


def timed(command, stdin_path=None, limit=None):
    """Runs COMMAND under /usr/bin/time -v; returns wall, user, sys seconds and
    peak RSS KB. With LIMIT (bytes of address space) a failure is recorded
    ("exit") instead of ending the script."""
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL

    def cap():
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    got = subprocess.run(["/usr/bin/time", "-v"] + command, stdin=stdin,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                         preexec_fn=cap if limit else None)
    if stdin_path:
        stdin.close()
    values = {}
    for line in got.stderr.splitlines():
        key, _, value = line.strip().rpartition(": ")
        values[key] = value
    if "Maximum resident set size (kbytes)" not in values or (got.returncode != 0 and not limit):
        sys.exit(f"{' '.join(command)}: exit {got.returncode}: {got.stderr[-500:]}")
    wall = values["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":")
    seconds = sum(float(x) * 60 ** k for k, x in enumerate(reversed(wall)))
    out = {"wall": seconds, "user": float(values["User time (seconds)"]),
           "sys": float(values["System time (seconds)"]),
           "rss_kb": int(values["Maximum resident set size (kbytes)"])}
    if got.returncode != 0:
        out["exit"] = got.returncode
        out["error"] = got.stderr.split("\tCommand being timed")[0].strip()[-300:]
    return out


def medians(runs):
    return {k: statistics.median(r[k] for r in runs) for k in runs[0]}


def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])


def side_by_side(tools, runs):
    """TOOLS: (label, command, stdin path or None). Returns per label the medians and runs."""
    for _, command, stdin in tools:
        timed(command, stdin)
    results = {label: [] for label, _, _ in tools}
    for _ in range(runs):
        for label, command, stdin in tools:
            results[label].append(timed(command, stdin))
    def shown(command, stdin):
        words = [os.path.basename(w) if w == command[0] else "FILE" if os.path.isfile(w) else w
                 for w in command]
        return " ".join(words) + (" < FILE" if stdin else "")

    return {label: {"median": medians(r), "runs": r, "command": shown(command, stdin)}
            for (label, command, stdin), r in zip(tools, results.values())}


def main():
    work, orthspell = sys.argv[1], sys.argv[2]
    runs = int(os.environ.get("RUNS", "5"))
    big_runs = int(os.environ.get("BIG_RUNS", "1"))
    limit = int(float(os.environ.get("BIG_LIMIT_GB", "4")) * 2 ** 30)
    folder = os.path.join(work, "speed")
    os.makedirs(folder, exist_ok=True)
    prose, markdown = os.path.join(folder, "prose.txt"), os.path.join(folder, "markdown.md")
    out = {"runs": runs, "load_before": load(), "inputs": {}}
    out["inputs"]["prose"] = {"source": build_prose(work, prose), "bytes": os.path.getsize(prose)}
    out["inputs"]["markdown"] = {"source": build_markdown(work, markdown),
                                 "bytes": os.path.getsize(markdown)}
    modes = subprocess.run([orthspell, "list", "--mode", "text", "-"], input="",
                           capture_output=True, text=True).returncode == 0
    out["orthspell_modes"] = modes

    print("  10 MB of prose", flush=True)
    out["prose"] = side_by_side([
        ("orthspell", [orthspell, "list", prose], None),
        ("aspell", ["aspell", "--lang=en_US", "--encoding=utf-8", "list"], prose),
        ("hunspell", ["hunspell", "-d", "en_US", "-i", "utf-8", "-l", prose], None),
    ], runs)
    print("  10 MB of Markdown", flush=True)
    orth_md = [orthspell, "list"] + (["--mode", "markdown"] if modes else []) + [markdown]
    out["markdown"] = side_by_side([
        ("orthspell", orth_md, None),
        ("aspell", ["aspell", "--lang=en_US", "--encoding=utf-8", "--mode=markdown", "list"],
         markdown),
        ("hunspell", ["hunspell", "-d", "en_US", "-i", "utf-8", "-l", markdown], None),
    ], runs)

    free = shutil.disk_usage(folder).free
    out["big"] = {}
    if big_runs == 0:
        out["big_skipped"] = "BIG_RUNS=0"
    elif free < 4 * 10 ** 9:
        out["big_skipped"] = f"{free / 1e9:.1f} GB free on the disk of {folder}, 4 GB needed"
    else:
        for key, one_line in (("big.txt", False), ("oneline.txt", True)):
            path = os.path.join(folder, key)
            print(f"  1 GB: {key}", flush=True)
            write_big(prose, path, one_line)
            try:
                r = [timed([orthspell, "list", path], limit=limit) for _ in range(big_runs)]
            finally:
                os.remove(path)
            out["big"][key] = {"median": medians([{k: x[k] for k in ("wall", "user", "sys", "rss_kb")}
                                                  for x in r]),
                               "runs": r, "bytes": BIG, "limit": limit}
    out["load_after"] = load()
    out["when"] = time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())
    os.makedirs(os.path.join(work, "results"), exist_ok=True)
    with open(os.path.join(work, "results", "speed.json"), "w") as f:
        json.dump(out, f, indent=1)


if __name__ == "__main__":
    main()
