#!/usr/bin/env python3
"""Whole-process figures of enchant-2 with the orth, hunspell and null providers.

  measure.py WORK MODULE_DIR WORDLIST RESULTS_MD

WORK holds modules/PROVIDER/ (one provider each), build/ (the Release build)
and inputs/debian-reference.en.txt (see run.sh). Writes WORK/inputs/prose.txt
(that text PROSE_COPIES times), WORK/inputs/misspellings.txt (MISSPELLINGS
words from codespell's list whose correction WORDLIST holds and which it does
not, one a line), WORK/results/enchant.json, and the enchant region of
RESULTS_MD.

Every command is `enchant-2 -d en_US ...` under /usr/bin/time -v, in a private
mount namespace where modules/PROVIDER is mounted over MODULE_DIR: once
untimed, then RUNS times (5 by default) in turn with the other commands of its
table. The figures are medians. Enchant's personal and exclude lists are
either files in a fresh configuration folder, as hosts have them (Enchant
looks at both files before it asks the provider about a word), or kept in
memory only (ENCHANT_CONFIG_DIR names a plain file, so Enchant cannot create
them), which leaves the provider's share of the time plainer.
"""
import json
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import time

PROSE_COPIES = 4
MISSPELLINGS = 300
CODESPELL = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"
PROVIDERS = ("orth", "hunspell", "null")
WORD = re.compile(r"[A-Za-z\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u00ff][A-Za-z0-9'\u2019"
                  r"\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u00ff]*")


def sh(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True).stdout.strip()
    except OSError:
        return ""


def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])


def make_inputs(work, wordlist):
    inputs = os.path.join(work, "inputs")
    text = open(os.path.join(inputs, "debian-reference.en.txt"), encoding="utf-8").read()
    prose = os.path.join(inputs, "prose.txt")
    with open(prose, "w", encoding="utf-8") as f:
        f.write(text * PROSE_COPIES)
    known = set(open(wordlist, encoding="latin-1").read().split())
    pairs = []
    for line in open(CODESPELL, encoding="utf-8"):
        if "->" not in line:
            continue
        wrong, right = line.strip().split("->", 1)
        if "," in right or not re.fullmatch(r"[a-z]{3,}", wrong) or not re.fullmatch(r"[a-z]+", right):
            continue
        if wrong not in known and right in known:
            pairs.append((wrong, right))
    pairs.sort()
    pairs = pairs[::max(1, len(pairs) // MISSPELLINGS)][:MISSPELLINGS]
    misspellings = os.path.join(inputs, "misspellings.txt")
    with open(misspellings, "w") as f:
        f.write("".join(wrong + "\n" for wrong, _ in pairs))
    return prose, len(WORD.findall(text)) * PROSE_COPIES, misspellings, pairs


def timed(work, module_dir, provider, config, args, stdin_path, stdout_path):
    """Runs enchant-2 ARGS with PROVIDER; returns wall, cpu seconds and peak RSS KB."""
    command = ["unshare", "-rm", "bash", "-c",
               'mount --bind "$1" "$2" || exit 99; shift 2; exec "$@"', "bench",
               os.path.join(work, "modules", provider), module_dir,
               "env", f"ENCHANT_CONFIG_DIR={config}", "LC_ALL=C.UTF-8",
               "/usr/bin/time", "-v", "enchant-2", "-d", "en_US"] + args
    with open(stdin_path or os.devnull, "rb") as stdin, open(stdout_path, "wb") as stdout:
        got = subprocess.run(command, stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                             text=True)
    values = {}
    for line in got.stderr.splitlines():
        key, _, value = line.strip().rpartition(": ")
        values[key] = value
    if got.returncode != 0 or "Maximum resident set size (kbytes)" not in values:
        sys.exit(f"{' '.join(command)}: exit {got.returncode}: {got.stderr[-500:]}")
    wall = values["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":")
    return {"wall": sum(float(x) * 60 ** k for k, x in enumerate(reversed(wall))),
            "cpu": float(values["User time (seconds)"]) + float(values["System time (seconds)"]),
            "rss_kb": int(values["Maximum resident set size (kbytes)"])}


def side_by_side(work, module_dir, jobs, runs):
    """JOBS: label -> (provider, config, args, stdin). Medians and the first output per label."""
    outputs = {label: os.path.join(work, "results", f"{label}.out") for label in jobs}
    for label, (provider, config, args, stdin) in jobs.items():
        timed(work, module_dir, provider, config, args, stdin, outputs[label])
    results = {label: [] for label in jobs}
    for _ in range(runs):
        for label, (provider, config, args, stdin) in jobs.items():
            results[label].append(timed(work, module_dir, provider, config, args, stdin,
                                        outputs[label]))
    return {label: {"median": {k: statistics.median(r[k] for r in rs) for k in rs[0]},
                    "runs": rs, "output": open(outputs[label], encoding="utf-8").read()}
            for label, rs in results.items()}


def suggestion_quality(output, pairs):
    """Top-1 and top-5 hits and suggestions per word from enchant-2 -a's answers."""
    answers = [line for line in output.splitlines()[1:] if line]
    top1 = top5 = listed = 0
    for line, (wrong, right) in zip(answers, pairs):
        suggestions = line.split(": ", 1)[1].split(", ") if line.startswith("& ") else []
        listed += len(suggestions)
        top1 += suggestions[:1] == [right]
        top5 += right in suggestions[:5]
    return {"answers": len(answers), "top1": 100.0 * top1 / len(pairs),
            "top5": 100.0 * top5 / len(pairs), "per_word": listed / len(pairs)}


def ratio(a, b):
    return a / b if b > 0 else float("inf")


def report(doc):
    m = doc["machine"]
    lines = ["# Through Enchant: the orth provider and Enchant's hunspell provider", "",
             f"Written by `bench/enchant/run.sh`; rerun it to refresh. Every figure is the median "
             f"of {doc['runs']} runs of the whole `enchant-2` process (`/usr/bin/time`), each "
             "command in turn with the others of its table.", "",
             "- " + m["cpu"], "- " + m["versions"],
             f"- prose: debian-reference's text edition ({doc['prose_source']}) "
             f"{PROSE_COPIES} times: {doc['prose_bytes']:,} bytes, {doc['prose_words']:,} words",
             f"- misspellings: {doc['misspelling_count']} from codespell's dictionary.txt whose "
             "correction `en_US.words` holds and which it does not, one a line",
             "- null: a provider that knows every word at once, with the engine's word characters "
             "(`bench/enchant/null_provider.c`): what Enchant itself costs",
             "- Enchant's lists: *files* = the personal and exclude lists in a fresh configuration "
             "folder, as hosts have them (Enchant reads both before it asks the provider); "
             "*memory* = kept in memory only (ENCHANT_CONFIG_DIR names a plain file)",
             "- words flagged: the words `enchant-2 -l` prints (not the empty lines it prints "
             "for some lines without a word, such as a line of dashes)",
             f"- load average before and after: {doc['load_before']}; {doc['load_after']}", "",
             "## Checking: `enchant-2 -d en_US -l prose.txt`", "",
             "| Enchant's lists | provider | wall s | CPU s | words/s (wall) | peak RSS KB "
             "| words flagged |", "|---|---|---|---|---|---|---|"]
    for lists in ("files", "memory"):
        for provider in PROVIDERS:
            r = doc["check"][f"{provider}-{lists}"]
            med = r["median"]
            lines.append(f"| {lists} | {provider} | {med['wall']:.2f} | {med['cpu']:.2f} | "
                         f"{doc['prose_words'] / med['wall'] / 1e6:.2f} M | {med['rss_kb']:,} | "
                         f"{r['flagged']:,} |")
    lines += ["", "| Enchant's lists | throughput orth/hunspell (wall) | the most any provider "
              "could reach (hunspell/null, wall) | the providers' own CPU time, hunspell/orth "
              "(above null's) |", "|---|---|---|---|"]
    for lists in ("files", "memory"):
        c = {p: doc["check"][f"{p}-{lists}"]["median"] for p in PROVIDERS}
        lines.append(f"| {lists} | {ratio(c['hunspell']['wall'], c['orth']['wall']):.2f} | "
                     f"{ratio(c['hunspell']['wall'], c['null']['wall']):.2f} | "
                     f"{ratio(c['hunspell']['cpu'] - c['null']['cpu'], c['orth']['cpu'] - c['null']['cpu']):.1f} |")
    s = doc["suggest"]
    lines += ["", "## Suggestions: `enchant-2 -d en_US -a < misspellings.txt`", "",
              f"Enchant's lists in memory. Start-up: the same command on empty input. A "
              f"misspelling's time: (wall − start-up) / {doc['misspelling_count']}. Top-k: the "
              "correction among the first k suggestions.", "",
              "| provider | wall s | start-up s | ms a misspelling | suggestions a misspelling "
              "| top-1 % | top-5 % |", "|---|---|---|---|---|---|---|"]
    for provider in ("orth", "hunspell"):
        r = s[provider]
        lines.append(f"| {provider} | {r['median']['wall']:.2f} | {r['startup']:.3f} | "
                     f"{r['per_misspelling_ms']:.3f} | {r['quality']['per_word']:.1f} | "
                     f"{r['quality']['top1']:.1f} | {r['quality']['top5']:.1f} |")
    whole = ratio(s["hunspell"]["median"]["wall"], s["orth"]["median"]["wall"])
    each = ratio(s["hunspell"]["per_misspelling_ms"], s["orth"]["per_misspelling_ms"])
    check_files = doc["check"]
    files = ratio(check_files["hunspell-files"]["median"]["wall"],
                  check_files["orth-files"]["median"]["wall"])
    memory = ratio(check_files["hunspell-memory"]["median"]["wall"],
                   check_files["orth-memory"]["median"]["wall"])
    ceiling = ratio(check_files["hunspell-memory"]["median"]["wall"],
                    check_files["null-memory"]["median"]["wall"])
    lines += ["", "## Against the targets", "",
              f"- Check throughput at least 3× the hunspell provider's: "
              f"{'met' if min(files, memory) >= 3 else 'not met'} ({files:.2f}× with the lists "
              f"in files, {memory:.2f}× in memory). Enchant's own work for each word (its "
              f"tokenizer, its lists, which it reads before any provider) bounds the ratio: a "
              f"provider that answers at once reaches {ceiling:.2f}×.",
              f"- The first five suggestions at least 50× faster: "
              f"{'met' if whole >= 50 else 'not met'} ({whole:.0f}× for the whole process, "
              f"{each:.0f}× a misspelling).", ""]
    return "\n".join(lines)


def write_region(path, name, body):
    begin, end = f"<!-- {name}:begin -->", f"<!-- {name}:end -->"
    block = f"{begin}\n{body.rstrip()}\n{end}"
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    if begin in text and end in text:
        text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
    else:
        text = (text.rstrip() + "\n\n" if text.strip() else "") + block + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    work, module_dir, wordlist, results_md = sys.argv[1:5]
    runs = int(os.environ.get("RUNS", "5"))
    os.makedirs(os.path.join(work, "results"), exist_ok=True)
    prose, words, misspellings, pairs = make_inputs(work, wordlist)
    doc = {"runs": runs, "load_before": load(), "prose_bytes": os.path.getsize(prose),
           "prose_words": words, "misspelling_count": len(pairs),
           "prose_source": "debian-reference-en " +
           open(os.path.join(work, "inputs", "prose-version.txt")).read().strip()}
    configs = {"files": os.path.join(work, "config-files"),
               "memory": os.path.join(work, "config-memory")}
    shutil.rmtree(configs["files"], ignore_errors=True)
    os.makedirs(configs["files"])
    with open(configs["memory"], "w") as f:
        f.write("A plain file: Enchant cannot keep its lists here.\n")

    print("  checking", flush=True)
    jobs = {f"{p}-{lists}": (p, configs[lists], ["-l", prose], None)
            for lists in configs for p in PROVIDERS}
    doc["check"] = side_by_side(work, module_dir, jobs, runs)
    for r in doc["check"].values():
        # enchant-2 -l also prints an empty line for some lines without a
        # word (a line of dashes, for one), whatever the provider.
        r["flagged"] = sum(1 for line in r.pop("output").splitlines() if line)

    print("  suggesting", flush=True)
    jobs = {p: (p, configs["memory"], ["-a"], misspellings) for p in ("orth", "hunspell")}
    jobs.update({f"{p}-startup": (p, configs["memory"], ["-a"], None) for p in ("orth", "hunspell")})
    got = side_by_side(work, module_dir, jobs, runs)
    doc["suggest"] = {}
    for p in ("orth", "hunspell"):
        r = got[p]
        startup = got[f"{p}-startup"]["median"]["wall"]
        r["startup"] = startup
        r["per_misspelling_ms"] = 1000.0 * max(r["median"]["wall"] - startup, 0.0) / len(pairs)
        r["quality"] = suggestion_quality(r.pop("output"), pairs)
        doc["suggest"][p] = r

    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                if line.startswith("model name")), platform.processor())
    doc["machine"] = {
        "cpu": f"CPU: {cpu}, {os.cpu_count()} cores; kernel {platform.release()}",
        "versions": "Enchant " + sh("dpkg-query", "-W", "-f=${Version}", "libenchant-2-2") +
                    ", hunspell-en-us " + sh("dpkg-query", "-W", "-f=${Version}", "hunspell-en-us") +
                    ", libhunspell " + sh("dpkg-query", "-W", "-f=${Version}", "libhunspell-1.7-0") +
                    "; orth: the Release build of this tree, bundled `en_US` (10 suggestions)"}
    doc["load_after"] = load()
    doc["when"] = time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())
    with open(os.path.join(work, "results", "enchant.json"), "w") as f:
        json.dump(doc, f, indent=1)
    write_region(results_md, "enchant", report(doc))


if __name__ == "__main__":
    main()
