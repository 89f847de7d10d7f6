#!/usr/bin/env python3
"""Runs every benchmark executable of a build and prints one table.

Conventions, so that each figure is judged against something measured in the same run:
  * A benchmark is named Group/Variant[/args].  The variant whose name starts with
    "Baseline" is the baseline of its group; every other benchmark of that group in the
    same executable gets the ratio of its time to the baseline's.
  * A benchmark may state its goal in its label: "goal: ratio<=3" or "goal: ms<5", or a
    goal on one of its counters by the counter's name: "goal: peak_rss_mb<300".
    The table then says whether the goal is met.
"""
import argparse
import glob
import json
import os
import re
import subprocess
import sys


def run(binary, extra):
    out = subprocess.run([binary, "--benchmark_format=json", *extra],
                         capture_output=True, text=True, check=False)
    if out.returncode != 0:
        sys.stderr.write(f"{os.path.basename(binary)} failed:\n{out.stderr}\n")
        return []
    if not out.stdout.strip():
        return []  # a filter that matches nothing in this executable
    return json.loads(out.stdout).get("benchmarks", [])


def to_ms(bench):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[bench.get("time_unit", "ns")]
    return bench["real_time"] * scale


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build", "default"))
    parser.add_argument("--filter", default="")
    args = parser.parse_args()

    binaries = sorted(glob.glob(os.path.join(args.build, "bin", "bench_*")))
    if not binaries:
        sys.exit(f"no benchmark executables under {args.build}/bin; build the default preset first")

    rows, failed = [], False
    extra = [f"--benchmark_filter={args.filter}"] if args.filter else []
    for binary in binaries:
        results = [b for b in run(binary, extra) if b.get("run_type", "iteration") == "iteration"]
        baselines = {}
        for b in results:
            parts = b["name"].split("/")
            if len(parts) > 1 and parts[1].startswith("Baseline"):
                baselines[parts[0]] = to_ms(b)
        for b in results:
            parts = b["name"].split("/")
            ms = to_ms(b)
            base = baselines.get(parts[0])
            is_base = len(parts) > 1 and parts[1].startswith("Baseline")
            ratio = None if base is None or is_base or base == 0 else ms / base
            label = b.get("label", "")
            verdict = ""
            m = re.search(r"goal:\s*([A-Za-z_]+)\s*(<=|<)\s*([0-9.]+)", label)
            if m:
                what = m.group(1)
                value = ratio if what == "ratio" else ms if what == "ms" else b.get(what)
                limit = float(m.group(3))
                ok = value is not None and (value <= limit if m.group(2) == "<=" else value < limit)
                verdict = ("met " if ok else "MISSED ") + m.group(1) + m.group(2) + m.group(3)
                failed |= not ok
            extra_counters = ", ".join(
                f"{k}={v:.4g}" for k, v in b.items()
                if k not in ("name", "family_index", "per_family_instance_index", "run_name",
                             "run_type", "repetitions", "repetition_index", "threads",
                             "iterations", "real_time", "cpu_time", "time_unit", "label")
                and isinstance(v, (int, float)))
            rows.append((os.path.basename(binary), b["name"], ms,
                         "baseline" if is_base else ("-" if ratio is None else f"{ratio:.2f}x"),
                         verdict, extra_counters))

    w = max(len(r[1]) for r in rows) if rows else 10
    print(f"{'executable':<22} {'benchmark':<{w}} {'time ms':>12} {'ratio':>9}  goal / counters")
    for exe, name, ms, ratio, verdict, counters in rows:
        tail = "  ".join(x for x in (verdict, counters) if x)
        print(f"{exe:<22} {name:<{w}} {ms:>12.4f} {ratio:>9}  {tail}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
