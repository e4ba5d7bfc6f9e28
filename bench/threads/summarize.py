#!/usr/bin/env python3
"""Writes the threads region of bench/RESULTS.md from bench/threads/run.sh's results.

  summarize.py RESULTS_DIR BASE_COMMIT WORD_COUNT PASSES REPS RESULTS_MD [PRIORITY]
"""
import os
import platform
import statistics
import subprocess
import sys

BEGIN, END = "<!-- threads:begin -->", "<!-- threads:end -->"


def read(path):
    rows = {}
    with open(path) as f:
        for line in f:
            key, value = line.split()
            rows.setdefault(key, []).append(float(value))
    return rows


def median(values):
    return statistics.median(values)


def spread(values):
    m = median(values)
    return 100 * (max(values) - min(values)) / 2 / m if m else 0


def per_run(numerators, denominators):
    """The median over the runs of each run's ratio: the cores' speeds may
    drift between runs, the runs of one repetition follow each other."""
    return median([n / d for n, d in zip(numerators, denominators) if d])


def cpu():
    try:
        for line in open("/proc/cpuinfo"):
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor()


def main():
    results, base, words, passes, reps, out = sys.argv[1:7]
    priority = sys.argv[7] if len(sys.argv) > 7 else "normal"
    check = read(os.path.join(results, "check.tsv"))
    cpu_check = read(os.path.join(results, "cpu.tsv"))
    threads = read(os.path.join(results, "thread.tsv"))
    c = {k: median(v) for k, v in cpu_check.items()}
    # Each thread of the pair against one thread alone on the same core, and
    # the pair against the two cores' single-thread rates, run by run.
    first_core = per_run(threads["current2_t0"], cpu_check["current1"])
    second_core = per_run(threads["current2_t1"], cpu_check["current1second"])
    both_cores = per_run(cpu_check["current2"],
                         [a + b for a, b in zip(cpu_check["current1"],
                                                cpu_check["current1second"])])
    against_processes = per_run(cpu_check["current2"], cpu_check["processes2"])
    scheduling = ("at a real-time priority (`PRIORITY=realtime`), so that other work on the "
                  "machine waited while they ran" if priority == "realtime" else
                  "at normal priority")
    rss = read(os.path.join(results, "rss.tsv"))
    instructions = read(os.path.join(results, "instructions.tsv"))
    head = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                          text=True, cwd=os.path.dirname(out)).stdout.strip()
    m = {k: median(v) for k, v in check.items()}
    r = {k: median(v) for k, v in rss.items()}
    # The untimed pass and the timed one both run under callgrind.
    per = {k: v[0] / (2 * min(int(words), 100000)) for k, v in instructions.items()}
    load = open("/proc/loadavg").read().split()[:3]
    lines = [
        BEGIN,
        "# The engine in a multi-threaded host",
        "",
        "Written by `bench/threads/run.sh`; rerun it to refresh. Every timed figure is the "
        f"median of {reps} runs; ±x% is half the spread (max − min) relative to the median.",
        "",
        f"- CPU: {cpu()}, {os.cpu_count()} cores (shared with other work: load average "
        f"{' '.join(load)} at the end)",
        f"- builds: this tree (`{head}`) and `{base[:7]}`, the engine before it became "
        "thread-safe; both Release, the same driver loading each library by path",
        f"- words: {int(words)} tokens of Debian's reference manual, checked {passes} times per "
        "run after one untimed pass; every thread has its own session on `en_US.olx` (no cache "
        "budget) and is pinned to a core of its own: one thread to the first core (or, in one "
        "row, the second), two threads one to each; the two processes, one thread each, are "
        "pinned one to each core and begin their timed passes at the same moment",
        f"- the timed runs ran {scheduling}",
        "",
        "| figure | before | now | ratio |",
        "|---|---|---|---|",
        f"| check words/s, 1 thread (whole process, wall) | {m['base1'] / 1e6:.2f} M "
        f"±{spread(check['base1']):.0f}% | {m['current1'] / 1e6:.2f} M "
        f"±{spread(check['current1']):.0f}% | {m['current1'] / m['base1']:.3f} |",
        f"| check words/s, 1 thread (CPU time) | {c['base1'] / 1e6:.2f} M "
        f"±{spread(cpu_check['base1']):.0f}% | {c['current1'] / 1e6:.2f} M "
        f"±{spread(cpu_check['current1']):.0f}% | {c['current1'] / c['base1']:.3f} |",
        f"| check words/s, 1 thread on the second core (CPU time) | - | "
        f"{c['current1second'] / 1e6:.2f} M ±{spread(cpu_check['current1second']):.0f}% | "
        f"{c['current1second'] / c['current1']:.2f} × the first core |",
        f"| check words/s, 2 threads with a session each (whole process, wall) | - | "
        f"{m['current2'] / 1e6:.2f} M ±{spread(check['current2']):.0f}% | "
        f"{m['current2'] / m['current1']:.2f} × 1 thread |",
        f"| check words/s, 2 threads with a session each (sum of the threads' CPU-time rates) | - | "
        f"{c['current2'] / 1e6:.2f} M ±{spread(cpu_check['current2']):.0f}% | "
        f"{c['current2'] / c['current1']:.2f} × 1 thread; {both_cores:.2f} × the two cores' "
        "1-thread rates |",
        f"| each of the 2 threads against 1 thread alone on its core (CPU time) | - | "
        f"first core {first_core:.2f}, second core {second_core:.2f} | |",
        f"| check words/s, 2 processes with one thread each (both together, wall) | - | "
        f"{m['processes2'] / 1e6:.2f} M ±{spread(check['processes2']):.0f}% | "
        f"{m['processes2'] / m['current1']:.2f} × 1 thread |",
        f"| check words/s, 2 processes with one thread each (sum of CPU-time rates) | - | "
        f"{c['processes2'] / 1e6:.2f} M ±{spread(cpu_check['processes2']):.0f}% | "
        f"{c['processes2'] / c['current1']:.2f} × 1 thread; 2 threads = "
        f"{against_processes:.2f} × 2 processes |",
        f"| instructions per ORTH_CheckWord (callgrind, 100,000 words) | {per['base']:.1f} | "
        f"{per['current']:.1f} | {per['current'] / per['base']:.3f} |",
        f"| RSS KB, 1 session | {r['base1']:.0f} | {r['current1']:.0f} | "
        f"{r['current1'] / r['base1']:.2f} |",
        f"| RSS KB, 8 sessions | {r['base8']:.0f} | {r['current8']:.0f} | "
        f"{r['current8'] / r['base8']:.2f} |",
        f"| RSS 8 sessions / 1 session | {r['base8'] / r['base1']:.2f} | "
        f"{r['current8'] / r['current1']:.2f} | |",
        f"| RSS KB per extra session | {(r['base8'] - r['base1']) / 7:.0f} | "
        f"{(r['current8'] - r['current1']) / 7:.0f} | |",
        "",
        "Targets: 2 threads at least 1.8 × one thread; one thread within 3% of before; "
        "8 sessions at most 1.5 × one session's RSS. The RSS sessions each open `en_US.olx` "
        "without a budget, ask 8 ranked and 8 classic suggestions and check 1 MB of prose. "
        "The wall-clock figures count the waits for a core when other work shares the "
        "machine; the CPU-time figures do not. Two threads that slowed each other down "
        "(through memory both write, or locks) would show it as a thread slower than one "
        "thread alone on the same core, and as 2 threads below 2 processes; a core slower "
        "than the other (a virtual machine's cores need not be equal) shows in the second-core "
        "row, and bounds what two threads can reach against one thread on the first core. The "
        "2-thread wall-clock rate ends with the slower thread, so it is about twice the slower "
        "core's rate.",
        END,
    ]
    region = "\n".join(lines) + "\n"
    text = open(out, encoding="utf-8").read() if os.path.exists(out) else ""
    if BEGIN in text and END in text:
        start = text.index(BEGIN)
        stop = text.index(END) + len(END) + 1
        text = text[:start] + region + text[stop:]
    else:
        text = text.rstrip("\n") + "\n\n" + region
    open(out, "w", encoding="utf-8").write(text)
    print(region)


main()
