"""Turns the raw figures into bench/results.md: one table of medians, ranges, ratios and targets,
then the details a reader needs to trust them."""

import statistics

from harness import summary
from report_monitors import monitor_section
from report_session import session_rows

MIB = 1024


def fmt(value, digits=1):
    return "–" if value is None else f"{value:.{digits}f}"


def growth_figures(samples, key, plays_target=200):
    """Growth from the settled start (median of plays 6–10) to the end (median of the last five),
    and a least-squares slope over plays 6.. scaled to `plays_target` plays. KiB."""
    values = [s[key] for s in samples if s.get(key) is not None]
    if len(values) < 15:
        return None
    base, end = statistics.median(values[5:10]), statistics.median(values[-5:])
    xs = list(range(5, len(values)))
    ys = values[5:]
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    slope = sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)
    return {"first": values[0], "base": base, "end": end, "growth": end - base,
            "slope_per_target": slope * plays_target, "plays": len(values)}


class Table:
    def __init__(self, ratio_head="flickerdeck / mpv"):
        self.rows = []
        self.ratio_head = ratio_head

    def add(self, figure, tool, stats, unit, ratio="", target="", verdict=""):
        cells = [figure, tool] + ([fmt(stats["median"]), fmt(stats["min"]), fmt(stats["max"]),
                                   str(stats["n"])] if stats else ["–"] * 4)
        self.rows.append(cells + [unit, ratio, target, verdict])

    def markdown(self):
        head = ["figure", "program", "median", "min", "max", "n", "unit", self.ratio_head,
                "target", "pass/fail"]
        lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
        return "\n".join(lines + ["| " + " | ".join(r) + " |" for r in self.rows])


def verdict(ok):
    return "–" if ok is None else ("**pass**" if ok else "**FAIL**")


def pair_ratios(runs, clip, key):
    by_pair = {}
    for r in runs:
        if r["clip"] == clip and r.get(key) is not None:
            by_pair.setdefault(r["run"], {})[r["tool"]] = r[key]
    return [p["flickerdeck"] / p["mpv"] for p in by_pair.values() if len(p) == 2 and p["mpv"]]


def playback_rows(table, runs, notes):
    clips = sorted({r["clip"] for r in runs}, key=lambda c: "1920" in c)
    for key, name, unit, limit in (("first_picture_ms", "first picture", "ms", 1.0),
                                   ("cpu_s_per_min", "CPU per minute", "s/min", 1.05),
                                   ("peak_rss_mib", "peak memory (VmHWM)", "MiB", None)):
        for clip in clips:
            stats = {t: summary([r.get(key) for r in runs if r["clip"] == clip and r["tool"] == t])
                     for t in ("flickerdeck", "mpv")}
            ratios = pair_ratios(runs, clip, key)
            ratio_text = (f"median {statistics.median(ratios):.2f} (pairs: "
                          + ", ".join(f"{x:.2f}" for x in ratios) + ")") if ratios else ""
            if limit and ratios:
                ok, target = statistics.median(ratios) <= limit, f"≤ {limit:.2f}× mpv"
            elif stats["flickerdeck"] and stats["mpv"]:
                ok = stats["flickerdeck"]["median"] <= stats["mpv"]["median"] + 40
                target = "≤ mpv + 40 MiB"
                ratio_text = f"+{stats['flickerdeck']['median'] - stats['mpv']['median']:.1f} MiB"
            else:
                ok, target = None, ""
            missing = sum(1 for r in runs if r["clip"] == clip and r["tool"] == "flickerdeck"
                          and r.get(key) is None)
            if missing:
                ratio_text += f"; {missing} flickerdeck run(s) without a figure (see below)"
            label = f"{name}, {clip.split('-')[1]}"
            table.add(label, "flickerdeck", stats["flickerdeck"], unit, ratio_text, target,
                      verdict(ok))
            table.add(label, "mpv", stats["mpv"], unit)
    for tool, key in (("flickerdeck", "xvfb_cpu_s_per_min"), ("mpv", "xvfb_cpu_s_per_min")):
        table.add("X server CPU while playing (all clips)", tool,
                  summary([r.get(key) for r in runs if r["tool"] == tool]), "s/min")
    for clip in clips + [None]:
        keys = {t: summary([r.get("key_to_exit_ms") for r in runs
                            if r["tool"] == t and clip in (None, r["clip"])])
                for t in ("flickerdeck", "mpv")}
        ok = keys["flickerdeck"]["median"] <= 100 if keys["flickerdeck"] else None
        label = "key to exit (a / q), " + (clip.split("-")[1] if clip else "all runs")
        table.add(label, "flickerdeck", keys["flickerdeck"], "ms", "", "median ≤ 100 ms",
                  verdict(ok))
        table.add(label, "mpv", keys["mpv"], "ms")
    late = [r for r in runs if (r.get("first_picture_ms") or 0) > 5000]
    if late:
        notes.append(f"{len(late)} playback run(s) showed no picture during the first play "
                     "(first picture only after the clip's end): "
                     + ", ".join(f"{r['tool']} {r['clip']} run {r['run'] + 1} "
                                 f"({r['first_picture_ms']:.0f} ms)" for r in late))
    errors = [r for r in runs if "error" in r or r.get("exit_code") != 0]
    if errors:
        notes.append(f"{len(errors)} playback run(s) failed or exited non-zero: "
                     + "; ".join(f"{r['tool']} {r['clip']} run {r['run'] + 1}: "
                                 f"{r.get('error', 'exit ' + str(r.get('exit_code')))}"
                                 for r in errors))


BLACK_TARGET = ("median 0, max ≤ 100 ms", lambda s: s["median"] == 0 and s["max"] <= 100)
GAP_KINDS = {
    "spread": ("black between movies, 10 lengths 1.00–1.92 s", *BLACK_TARGET),
    "locked": ("black between movies, two 1.00 s clips", *BLACK_TARGET),
    "single": ("black between plays, one-entry list of a 1.00 s clip", *BLACK_TARGET),
    "unplayable": ("black over an unplayable entry (missing; not a movie) between two good ones",
                   "max ≤ 200 ms", lambda s: s["max"] <= 200),
}


def gap_rows(table, gaps, notes):
    for kind, by_tool in gaps.items():
        if kind not in GAP_KINDS or "black_ms" not in next(iter(by_tool.values()), {}):
            continue
        label, target, meets = GAP_KINDS[kind]
        for tool, data in by_tool.items():
            unseen = len(data["unseen_after_black_ms"])
            stats = summary(data["black_ms"])
            mine = tool == "flickerdeck"
            table.add(label, tool, stats, "ms", "", target if mine else "",
                      verdict(meets(stats) if stats else None) if mine else "")
            if mine or unseen:
                one = {"median": unseen, "min": unseen, "max": unseen, "n": 1}
                table.add(f"movies played without any picture ({kind} list)", tool, one,
                          "movies", "", "0" if mine else "", verdict(unseen == 0) if mine else "")
            blacks = [b for b in data["black_ms"] if b > 0]
            notes.append(f"black, {kind} list, {tool}: {len(data['black_ms']) - len(blacks)} of "
                         f"{len(data['black_ms'])} changes without any"
                         + (", the others " + ", ".join(f"{b:.0f}" for b in blacks) + " ms"
                            if blacks else ""))


def size_rows(table, sizes, notes):
    for tool, data in sizes.items():
        changes = data["changes"]
        mine = tool == "flickerdeck"
        black = summary([c["black_ms"] for c in changes])
        table.add("black between movies of two sizes (640x360, 1280x720)", tool, black, "ms", "",
                  BLACK_TARGET[0] if mine else "",
                  verdict(BLACK_TARGET[1](black) if black else None) if mine else "")
        sized = summary([c["to_size_ms"] for c in changes if "to_size_ms" in c])
        table.add("first picture after a change of size, until it shows at its own size", tool,
                  sized, "ms", "", "", "")
        n = data["last_picture_resized"]
        table.add("a picture's width changed while it showed (of the changes above)", tool,
                  {"median": n, "min": n, "max": n, "n": 1}, "times", "", "", "")
        notes.append(f"sizes, {tool}: until the new picture's own size "
                     + ", ".join(f"{c['to_size_ms']:.0f}" for c in changes if "to_size_ms" in c)
                     + " ms; black " + ", ".join(f"{c['black_ms']:.0f}" for c in changes) + " ms")


def growth_rows(table, growth, plays, notes):
    for key, who in (("rss_kib", "flickerdeck"), ("xvfb_rss_kib", "X server")):
        g = growth_figures(growth["samples"], key)
        if not g:
            table.add("memory growth over plays", who, None, "MiB")
            continue
        measured = g["plays"] >= 200
        figure = g["growth"] if measured else g["slope_per_target"]
        stats = {"median": figure / MIB, "min": g["base"] / MIB, "max": g["end"] / MIB, "n": 1}
        how = ("measured" if measured else f"extrapolated from {g['plays']} plays") + (
            f"; trend ×200 plays {g['slope_per_target'] / MIB:+.2f} MiB")
        table.add(f"RSS growth over 200 plays ({who}; min/max = start/end RSS)", "flickerdeck",
                  stats, "MiB", how, "≤ 2 MiB", verdict(figure <= 2 * MIB))
        notes.append(f"RSS of {who}: start of play 1 {g['first'] / MIB:.1f} MiB, plays 6–10 "
                     f"{g['base'] / MIB:.1f} MiB, last five {g['end'] / MIB:.1f} MiB "
                     f"over {g['plays']} plays")


def unseen_plays(growth):
    """Plays that showed no picture: black stretches long enough to hold a whole play. Also the
    transitions the probe polled past (a picture stretch as long as two plays or more), which are
    not plays without a picture."""
    pictures = growth.get("pictures_ms", [])
    if len(pictures) < 5:
        return 0, 0, None
    usual = statistics.median(pictures)
    blacks = [s["black_ms"] for s in growth["samples"] if s.get("black_ms")]
    unseen = sum(max(1, round(black / usual)) for black in blacks if black > usual / 2)
    missed = sum(round(p / usual) - 1 for p in pictures if p > 1.5 * usual)
    return unseen, missed, usual


def write_report(results, o, path):
    table, notes = Table(), []
    if results.get("playback"):
        playback_rows(table, results["playback"], notes)
    if results.get("gaps"):
        gap_rows(table, results["gaps"], notes)
    if results.get("sizes"):
        size_rows(table, results["sizes"], notes)
    if results.get("growth"):
        growth_rows(table, results["growth"], o.plays, notes)
        unseen, missed, usual = unseen_plays(results["growth"])
        one = {"median": unseen, "min": unseen, "max": unseen, "n": 1}
        table.add("plays without any picture (growth test)", "flickerdeck", one, "plays",
                  f"pictures of {usual / 1000:.2f} s" if usual else "", "0",
                  verdict(unseen == 0 and usual is not None))
        if missed:
            notes.append(f"growth test: {missed} changes of play with a black shorter than the "
                         f"probe's {o.growth_poll_ms} ms poll (pictures ran on unbroken)")
    if results.get("idle"):
        idle = results["idle"]
        if "error" in idle:
            table.add("CPU, all-missing list", "flickerdeck", None, "% core", idle["error"],
                      "≤ 1 %", verdict(False))
        else:
            one = {"median": idle["cpu_pct"], "min": idle["cpu_pct"], "max": idle["cpu_pct"],
                   "n": 1}
            table.add(f"CPU, all-missing list ({idle['seconds']:.0f} s)", "flickerdeck", one,
                      "% core", f"X server {idle['xvfb_cpu_pct']:.2f} %", "≤ 1 %",
                      verdict(idle["cpu_pct"] <= 1))
    if results.get("config"):
        config_rows(table, results["config"], o, notes)
    session_rows(table, results, notes)
    write_markdown(path, results, o, table, notes)


def config_rows(table, runs, o, notes):
    ok_runs = [r for r in runs if "error" not in r]
    opened = summary([r["open_ms"] for r in ok_runs])
    table.add(f"config window open, {o.entries} entries", "flickerdeck", opened, "ms", "",
              "≤ 1000 ms", verdict(opened["median"] <= 1000 if opened else None))
    for method, label in (("wm_delete", "WM_DELETE_WINDOW"), ("sigterm", "SIGTERM")):
        closes = [r for r in ok_runs if r["method"] == method]
        stats = summary([r["close_ms"] for r in closes])
        saved = all(r["saved_ok"] and r["exit_code"] == 0 for r in closes) and bool(closes)
        table.add(f"config window close-and-save ({label})", "flickerdeck", stats, "ms",
                  "list saved intact" if saved else "SAVE WRONG", "≤ 1000 ms",
                  verdict(bool(stats) and saved and stats["median"] <= 1000))
    if len(ok_runs) != len(runs):
        notes.append(f"{len(runs) - len(ok_runs)} configuration run(s) failed: "
                     + "; ".join(r["error"] for r in runs if "error" in r))


def write_markdown(path, results, o, table, notes):
    m = results["machine"]
    loads = [r["load"] for r in results.get("playback", []) if "load" in r]
    lines = [
        "# Benchmark results", "",
        f"Made with `bash bench/run.sh` (RUNS={o.runs}, PLAYS={o.plays}, GAPS={o.gaps}, "
        f"IDLE_SECS={o.idle_secs:.0f}, CONFIG_RUNS={o.config_runs}, POLL_MS={o.poll_ms}).", "",
        *[f"- sections {', '.join(r['sections'])}: {r['started']} – {r['finished']}, "
          f"1-minute load average {r['load_start']:.2f} → {r['load_end']:.2f}"
          for r in results.get("runs", [])],
        f"- machine: {m['cores']} cores ({m['cpu']}), kernel {m['kernel']}; shared with other "
        "developers' builds while this ran"
        + (f" (load {min(loads):.2f}–{max(loads):.2f} over the playback runs)" if loads else "")
        + ", so A/B runs alternate and both programs meet the same load",
        f"- versions: {m['mpv']}; packages: " + "; ".join(m["packages"].splitlines()),
        f"- flickerdeck: `{m['bin']}` {m['bin_info']} (work tree at {m['git']} when run)",
        f"- mpv reference: `mpv {m['mpv_args']} FILE` (same video output as flickerdeck, x11; "
        "same audio setup: none chosen, the clips have no sound)", "",
        table.markdown(), "",
        "Ratios are flickerdeck / mpv for each A/B pair (run i of flickerdeck against run i of "
        "mpv on the same clip); the verdict uses their median.", "",
        "## Details", "",
    ]
    lines += [f"- {n}" for n in notes]
    if results.get("monitors"):
        lines += ["", *monitor_section(results, Table)]
    path.write_text("\n".join(lines) + "\n")


def main():
    """Rewrites results.md from bench/out/raw.json, e.g. after a change to this file."""
    import json
    import sys
    from pathlib import Path
    from types import SimpleNamespace

    here = Path(__file__).resolve().parent
    raw = Path(sys.argv[1]) if len(sys.argv) > 1 else here / "out" / "raw.json"
    results = json.loads(raw.read_text())
    saved = results["options"]
    o = SimpleNamespace(**{k: int(saved[k]) for k in ("runs", "plays", "gaps", "config_runs",
                                                      "poll_ms", "entries")},
                        idle_secs=float(saved["idle_secs"]))
    write_report(results, o, Path(sys.argv[2]) if len(sys.argv) > 2 else here / "results.md")


if __name__ == "__main__":
    main()
