"""The section of results.md for two monitors against one."""

import statistics

from harness import summary


def verdict(ok):
    return "–" if ok is None else ("**pass**" if ok else "**FAIL**")


def label(run):
    hosted = run["hosted"]
    return {"Primary": "one monitor plays (Primary)", "Each": "two monitors, each its own (Each)",
            "Same": "two monitors, the same movie (Same, "
                    + ("two savers in hosts' windows)" if hosted else "one saver)")}[run["setting"]]


def monitor_section(results, table_type):
    data = results["monitors"]
    if "error" in data:
        return ["## Two monitors", "", f"Not measured: {data['error']}", ""]
    runs = [r for r in data["layouts"] if "error" not in r]
    groups = {key: [] for key in (("Primary", False), ("Each", False), ("Same", False),
                                  ("Same", True))}
    for r in runs:
        groups[(r["setting"], r["hosted"])].append(r)
    one = groups.get(("Primary", False), [])
    table = table_type("against one monitor")
    for key, group in groups.items():
        if not group:
            continue
        name = label(group[0])
        firsts = [r["first_ms"] for r in group]
        table.add(f"first picture, left monitor, {name}", "flickerdeck",
                  summary([f[0] for f in firsts]), "ms")
        if key[0] != "Primary":
            table.add(f"first picture, right monitor, {name}", "flickerdeck",
                      summary([f[1] for f in firsts]), "ms")
            table.add(f"right monitor's first picture less the left's, {name}", "flickerdeck",
                      summary([f[1] - f[0] for f in firsts]), "ms")
        for field, figure, unit in (("cpu_s_per_min", "CPU per minute", "s/min"),
                                    ("peak_rss_mib", "peak memory (VmHWM, all savers)", "MiB")):
            stats = summary([r[field] for r in group])
            base = summary([r[field] for r in one])
            ratio = (f"{stats['median'] / base['median']:.2f}×" if stats and base and key[0] !=
                     "Primary" else "")
            target, ok = "", None
            if field == "cpu_s_per_min" and key[0] != "Primary" and stats and base:
                target, ok = "≤ 2.2× one monitor", stats["median"] <= 2.2 * base["median"]
            table.add(f"{figure}, {name}", "flickerdeck", stats, unit, ratio, target,
                      verdict(ok))
    for step in data["in_step"]:
        apart = summary(step["apart_ms"])
        where = "two savers in hosts' windows" if step["hosted"] else "one saver"
        ok = bool(apart) and apart["max"] <= 300 and step["same_movie"]
        table.add(f"Same: the monitors' new pictures apart at a change of movie ({where})",
                  "flickerdeck", apart, "ms", "same movie on both" if step["same_movie"]
                  else "DIFFERENT MOVIES", "max ≤ 300 ms", verdict(ok))
    failed = [r for r in data["layouts"] if "error" in r]
    notes = [f"- {len(failed)} run(s) without figures: "
             + "; ".join(f"{label(r)}: {r['error']}" for r in failed)] if failed else []
    notes += [f"- {'hosted' if s['hosted'] else 'one saver'}, apart at each change: "
              + ", ".join(f"{a:.0f}" for a in s["apart_ms"]) + " ms" for s in data["in_step"]]
    codes = {c for r in data["layouts"] for c in r["exit_codes"]} | {
        c for s in data["in_step"] for c in s["exit_codes"]}
    notes.append(f"- exit statuses seen: {', '.join(str(c) for c in sorted(codes, key=str))}")
    loads = [r["load"] for r in runs]
    run = next((r for r in reversed(results.get("runs", [])) if "monitors" in r["sections"]), {})
    return ["## Two monitors", "",
            f"Made with `SECTIONS={','.join(run.get('sections', ['monitors']))} "
            f"MONITOR_RUNS={results['options'].get('monitor_runs', '?')} bash bench/run.sh` "
            f"({run.get('started', '?')} – {run.get('finished', '?')}, work tree at "
            f"{results['machine'].get('git', '?')}).", "",
            f"On Xorg's dummy driver with two monitors (1280x960 and 1024x768), the 1280x720 clip "
            f"on each, {results['options'].get('monitor_runs', '?')} runs of each layout"
            + (f" (load {min(loads):.2f}–{max(loads):.2f})" if loads else "")
            + "; first pictures from the start of the process; CPU and memory of every saver "
            "process together, 1–8 s after both pictures; the in-step figures from lists of two "
            "1 s clips.", "",
            table.markdown(), "", *notes, ""]
