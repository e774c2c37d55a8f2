#!/usr/bin/env python3
"""Tables for the benchmark suite, with the budgets.

  report.py startup OUT          reads the start-up probe's JSON lines on stdin,
                                 writes their summary to OUT and prints it
  report.py table STARTUP BENCH...
                                 prints the whole suite from the JSON files;
                                 exits 1 when a median misses its budget
"""
import json
import statistics
import sys

# (name prefix, budget, unit of the budget)
BUDGETS = [
    ("InteractionFrame/1000x600/", 2.0, "ms"),
    ("Paint/3840x2160@2/", 8.0, "ms"),
    ("PointsStep/", 50.0, "us"),
    ("Splines", 1.0, "ms"),
]
START_BUDGETS = {"first_frame_ms": 250.0, "peak_rss_mib": 80.0}
TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def spread(values):
    return statistics.stdev(values) if len(values) > 1 else 0.0


def startup(out):
    runs = [json.loads(line) for line in sys.stdin if line.strip()]
    if not runs:
        sys.exit("report.py: the start-up probe printed nothing")

    def summary(key, scale):
        values = [r[key] * scale for r in runs]
        return {"median": statistics.median(values), "min": min(values), "max": max(values),
                "stddev": spread(values), "runs": values}

    result = {"runs": len(runs), "first_frame_ms": summary("first_frame_ms", 1.0),
              "peak_rss_mib": summary("vm_hwm_kib", 1.0 / 1024.0)}
    with open(out, "w") as f:
        json.dump(result, f, indent=2)
    print_startup(result)


def print_startup(result):
    print(f"{'Start-up (' + str(result['runs']) + ' runs)':<40}{'median':>10}{'min':>10}"
          f"{'max':>10}{'budget':>10}")
    ok = True
    for key, label in (("first_frame_ms", "first frame after process start, ms"),
                       ("peak_rss_mib", "peak resident memory, MiB")):
        s = result[key]
        budget = START_BUDGETS[key]
        mark = "" if s["median"] <= budget else "  MISSED"
        ok = ok and not mark
        print(f"{label:<40}{s['median']:>10.1f}{s['min']:>10.1f}{s['max']:>10.1f}"
              f"{budget:>10.0f}{mark}")
    return ok


def fmt(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.3f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} us"
    return f"{ns:.0f} ns"


def table(startup_json, bench_jsons):
    benchmarks = []
    for path in bench_jsons:
        with open(path) as f:
            benchmarks += json.load(f)["benchmarks"]
    rows = {}
    order = []
    for b in benchmarks:
        if b.get("run_type") != "aggregate":
            continue
        name = b["run_name"]
        if name not in rows:
            rows[name] = {}
            order.append(name)
        scale = TO_NS[b.get("time_unit", "ns")]
        agg = b["aggregate_name"]
        if agg == "cv":
            rows[name]["cv"] = b["real_time"] * 100.0
        else:
            rows[name][agg] = (b["real_time"] * scale, b["cpu_time"] * scale)

    ok = True
    print(f"{'Benchmark':<36}{'median':>12}{'median CPU':>12}{'spread':>9}{'budget':>10}")
    for name in order:
        r = rows[name]
        real, cpu = r.get("median", (float("nan"), float("nan")))
        cv = r.get("cv", float("nan"))
        budget = next(((b, u) for prefix, b, u in BUDGETS if name.startswith(prefix)), None)
        budget_text, mark = "", ""
        if budget:
            budget_text = f"{budget[0]:g} {budget[1]}"
            if real > budget[0] * TO_NS[budget[1]]:
                mark = "  MISSED"
                ok = False
        print(f"{name:<36}{fmt(real):>12}{fmt(cpu):>12}{cv:>8.1f}%{budget_text:>10}{mark}")
    print("spread: coefficient of variation of the repetitions' wall time")
    print()
    with open(startup_json) as f:
        ok = print_startup(json.load(f)) and ok
    return ok


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "startup":
        startup(sys.argv[2])
    elif len(sys.argv) >= 4 and sys.argv[1] == "table":
        sys.exit(0 if table(sys.argv[2], sys.argv[3:]) else 1)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
