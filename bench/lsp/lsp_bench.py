"""The language server's speed and memory, measured from the outside on
generated Markdown (whole-process figures, medians of several runs):

- first diagnostics after didOpen of a 10,000-line document (wall time from
  the end of the didOpen write to the publishDiagnostics read);
- a one-character edit in that document: the server's CPU time (from
  /proc/PID/schedstat, nanoseconds) from the edit until its diagnostics are
  out, and the wall time, with no debounce;
- 20 documents of 1 MB open at once: the server's RSS and peak RSS;
- for scale, `orthspell list --mode markdown` on the 10,000-line file.

usage: lsp_bench.py ORTHSPELL DICTIONARY [--runs N] [--write RESULTS.md]
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "lsp"))
from lsp_client import Client  # noqa: E402

BEGIN, END = "<!-- lsp:begin -->", "<!-- lsp:end -->"


def vocabulary():
    with open(os.path.join(ROOT, "dicts", "en_US", "en_US.common"), encoding="latin-1") as f:
        words = [w.strip() for w in f if w.strip().isalpha() and w.strip().islower()]
    return words[:20000]


def misspell(rng, word):
    if len(word) < 4:
        return word + "x"
    i = rng.randrange(1, len(word) - 2)
    return word[:i] + word[i + 1] + word[i] + word[i + 2:]


def markdown(rng, words, lines):
    """Prose in paragraphs, headings, lists, code blocks and inline code; about
    one word in 400 misspelled."""
    out = []
    while len(out) < lines:
        kind = rng.random()
        if kind < 0.05:
            out.append("## " + " ".join(rng.choice(words) for _ in range(4)).capitalize())
        elif kind < 0.10:
            out.append("```")
            out.extend("    value = compute(%s, %d)" % (rng.choice(words), i)
                       for i in range(rng.randrange(2, 6)))
            out.append("```")
        elif kind < 0.20:
            out.extend("- " + " ".join(rng.choice(words) for _ in range(6))
                       for _ in range(rng.randrange(2, 5)))
        else:
            for _ in range(rng.randrange(3, 7)):
                line = []
                for _ in range(rng.randrange(8, 14)):
                    word = rng.choice(words)
                    roll = rng.random()
                    if roll < 0.0025:
                        word = misspell(rng, word)
                    elif roll < 0.01:
                        word = "`" + word + "_id`"
                    line.append(word)
                out.append(" ".join(line).capitalize() + ".")
        out.append("")
    return "\n".join(out[:lines]) + "\n"


def cpu_ns(pid):
    with open("/proc/%d/schedstat" % pid) as f:
        return int(f.read().split()[0])


def rss_kib(pid):
    figures = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                figures[key] = int(value.split()[0])
    return figures


def start(orthspell, dictionary, work):
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "xdg"))
    client = Client([orthspell, "lsp", "-d", dictionary, "--debounce", "0"], env)
    client.initialize()
    client.drain(0.1)
    return client


def stop(client):
    client.call("shutdown")
    client.notify("exit")
    client.close()


def measure_open(orthspell, dictionary, work, texts, runs):
    """Per run, a fresh server: the first document (the engine's caches cold),
    then another one of the same size (warm)."""
    cold, warm, counts = [], [], []
    for run in range(runs):
        client = start(orthspell, dictionary, work)
        for index, text in enumerate(texts):
            uri = "file:///bench/open%d_%d.md" % (run, index)
            began = time.monotonic()
            client.open(uri, text, "markdown")
            published = client.diagnostics(uri, 1, timeout=60)
            (cold if index == 0 else warm).append((client.last_stamp - began) * 1000)
            counts.append(len(published["diagnostics"]))
        stop(client)
    return cold, warm, counts[0]


def position(text, offset):
    before = text[:offset]
    return {"line": before.count("\n"), "character": offset - (before.rfind("\n") + 1)}


def measure_edits(orthspell, dictionary, work, text, edits):
    client = start(orthspell, dictionary, work)
    uri = "file:///bench/edit.md"
    client.open(uri, text, "markdown")
    client.diagnostics(uri, 1, timeout=60)
    rng = random.Random(5)
    cpu, wall = [], []
    pid = client.proc.pid
    for version in range(2, edits + 2):
        # A letter typed into a word of prose, somewhere in the document.
        while True:
            at = rng.randrange(len(text))
            if text[at].isalpha() and text[at - 1].isalpha():
                break
        change = {"range": {"start": position(text, at), "end": position(text, at)},
                  "text": "e"}
        text = text[:at] + "e" + text[at:]
        before = cpu_ns(pid)
        began = time.monotonic()
        client.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                                 "contentChanges": [change]})
        client.diagnostics(uri, version, timeout=60)
        wall.append((client.last_stamp - began) * 1000)
        # The server is idle again once its diagnostics are read.
        cpu.append((cpu_ns(pid) - before) / 1e6)
    stop(client)
    return cpu, wall


def measure_memory(orthspell, dictionary, work, words):
    client = start(orthspell, dictionary, work)
    pid = client.proc.pid
    idle = rss_kib(pid)["VmRSS"]
    size = 0
    for i in range(20):
        rng = random.Random(100 + i)
        text = markdown(rng, words, 20000)
        while len(text.encode()) < 1 << 20:
            text += markdown(rng, words, 500)
        text = text.encode()[: 1 << 20].decode("utf-8", "ignore")
        size += len(text.encode())
        uri = "file:///bench/mem%d.md" % i
        client.open(uri, text, "markdown")
        client.diagnostics(uri, 1, timeout=120)
    figures = rss_kib(pid)
    stop(client)
    return idle, figures, size


def list_time(orthspell, dictionary, path, runs):
    times = []
    for _ in range(runs):
        began = time.monotonic()
        subprocess.run([orthspell, "list", "-d", dictionary, "--mode", "markdown", path],
                       stdout=subprocess.DEVNULL, check=False)
        times.append((time.monotonic() - began) * 1000)
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("orthspell")
    parser.add_argument("dictionary")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--edits", type=int, default=200)
    parser.add_argument("--write")
    args = parser.parse_args()
    orthspell, dictionary = os.path.abspath(args.orthspell), os.path.abspath(args.dictionary)
    work = os.path.join(HERE, "work")
    os.makedirs(work, exist_ok=True)
    words = vocabulary()
    text = markdown(random.Random(1), words, 10000)
    path = os.path.join(work, "ten_thousand.md")
    with open(path, "w") as f:
        f.write(text)

    other = markdown(random.Random(2), words, 10000)
    load = os.getloadavg()[0]
    cold, warm, findings = measure_open(orthspell, dictionary, work, [text, other], args.runs)
    cpu, wall = measure_edits(orthspell, dictionary, work, text, args.edits)
    idle, memory, size = measure_memory(orthspell, dictionary, work, words)
    listed = list_time(orthspell, dictionary, path, args.runs)

    median = statistics.median
    q = statistics.quantiles
    lines = [
        "# The language server: orthspell lsp",
        "",
        "Written by `bench/lsp/run.sh` (`bench/lsp/lsp_bench.py`); rerun it to refresh.",
        "",
        "- machine: %s, %d cores; orthspell built from %s (%s)" % (
            cpu_model(), os.cpu_count(), git_head(), build_type(orthspell)),
        "- run %s; load average %.1f at the start (the machine is shared: figures "
        "vary from run to run)" % (time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()), load),
        "- document: generated Markdown, 10,000 lines, %s bytes, %d diagnostics "
        "(prose, headings, lists, code blocks, inline code)" % (
            format(len(text.encode()), ","), findings),
        "",
        "| measure | median | range | target |",
        "|---|---|---|---|",
        "| first diagnostics after didOpen, 10,000 lines, the first document of a fresh server "
        "(wall, %d runs) | %.1f ms | %.1f-%.1f ms | <= 100 ms |" % (
            args.runs, median(cold), min(cold), max(cold)),
        "| the same for a second 10,000-line document | %.1f ms | %.1f-%.1f ms | <= 100 ms |" % (
            median(warm), min(warm), max(warm)),
        "| one-character edit until its diagnostics are out: server CPU (%d edits) | %.2f ms "
        "| p90 %.2f ms, max %.2f ms | <= 5 ms |" % (
            len(cpu), median(cpu), q(cpu, n=10)[-1], max(cpu)),
        "| the same edits: wall time from the edit to its diagnostics, no debounce | %.2f ms "
        "| p90 %.2f ms | - |" % (median(wall), q(wall, n=10)[-1]),
        "| 20 documents of 1 MB open (%s bytes): RSS / peak RSS | %.1f MiB / %.1f MiB "
        "| idle server %.1f MiB | < 60 MiB |" % (
            format(size, ","), memory["VmRSS"] / 1024, memory["VmHWM"] / 1024, idle / 1024),
        "| for scale: `orthspell list --mode markdown` on the 10,000-line file "
        "(whole process, %d runs) | %.1f ms | %.1f-%.1f ms | - |" % (
            args.runs, median(listed), min(listed), max(listed)),
        "",
        "The edit CPU counts everything the server does for the edit: reading the",
        "message, re-checking the paragraphs it touched, converting every diagnostic",
        "of the document to positions and writing them. No peer language server is",
        "packaged in Debian 12, so there is no ratio against one here.",
    ]
    report = "\n".join(lines)
    print(report)
    if args.write:
        write_region(args.write, report)
    return 0


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def git_head():
    try:
        return subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"],
                              capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def build_type(orthspell):
    cache = os.path.join(os.path.dirname(os.path.dirname(orthspell)), "CMakeCache.txt")
    try:
        with open(cache) as f:
            for line in f:
                if line.startswith("CMAKE_BUILD_TYPE:"):
                    return line.split("=", 1)[1].strip() + " build"
    except OSError:
        pass
    return "build type unknown"


def write_region(path, report):
    with open(path) as f:
        content = f.read()
    region = BEGIN + "\n" + report + "\n" + END
    if BEGIN in content and END in content:
        head, rest = content.split(BEGIN, 1)
        content = head + region + rest.split(END, 1)[1]
    else:
        # After the documents region, before the sections that follow it.
        marker = "<!-- documents:end -->"
        if marker in content:
            head, rest = content.split(marker, 1)
            content = head + marker + "\n\n" + region + rest
        else:
            content = content.rstrip("\n") + "\n\n" + region + "\n"
    with open(path, "w") as f:
        f.write(content)


if __name__ == "__main__":
    sys.exit(main())
