"""Rows of results.md for the session-like figures: starts under load, the desktop-like run and
dropped frames."""

from harness import summary


def verdict(ok):
    return "–" if ok is None else ("**pass**" if ok else "**FAIL**")


def one(value):
    return {"median": value, "min": value, "max": value, "n": 1}


def starts_rows(table, starts, notes):
    dark = len(starts["dark"])
    table.add(f"starts with no picture at all ({starts['starts']} starts, "
              f"{starts['busy_loops']} busy loops, load {starts['load']:.1f})", "flickerdeck",
              one(dark), "starts", "", "0", verdict(dark == 0))
    table.add("first picture in those starts", "flickerdeck",
              summary(starts["first_picture_ms"]), "ms")
    if dark:
        notes.append("starts without a picture: " + "; ".join(
            f"start {i + 1}: engine window {states}"
            for i, states in zip(starts["dark"], starts["engine_window_states"])))


def desktop_rows(table, variants, notes):
    for v in variants:
        runs = v["runs"]
        setting = (f"openbox, {'session bus' if v['bus'] else 'no session bus'}, "
                   f"{'sound server' if v['sound'] else 'no sound server'}")
        gone = summary([r["gone_ms"] for r in runs])
        ended = summary([r["exit_ms"] for r in runs])
        table.add(f"key to picture gone ({setting})", "flickerdeck", gone, "ms", "",
                  "≤ 50 ms", verdict(gone["max"] <= 50 if gone else None))
        late = sum(1 for r in runs if r["exit_ms"] is None or r["gone_ms"] is None
                   or r["exit_ms"] - r["gone_ms"] > 1000)
        table.add(f"key to process exit ({setting})", "flickerdeck", ended, "ms",
                  f"{late} run(s) outliving the picture by > 1 s", "median ≤ 300 ms",
                  verdict(ended["median"] <= 300 and late == 0 if ended else None))
        left = sorted({c for r in runs for c in r["left_running"]})
        bad = [r for r in runs if not r["picture"] or r["exit_code"] != 0]
        notes.append(f"desktop run, {setting}: key to exit "
                     + ", ".join("–" if r["exit_ms"] is None else f"{r['exit_ms']:.0f}"
                                 for r in runs) + " ms; left running after the saver: "
                     + (", ".join(left) if left else "nothing")
                     + (f"; {len(bad)} run(s) without a picture or with a non-zero exit"
                        if bad else ""))


def frames_rows(table, runs, notes):
    for clip in sorted({r["clip"] for r in runs}, key=lambda c: "3840" in c):
        stats = {t: summary([r.get("dropped_per_min") for r in runs
                             if r["clip"] == clip and r["tool"] == t])
                 for t in ("flickerdeck", "mpv")}
        mine, theirs = stats["flickerdeck"], stats["mpv"]
        ok = mine["median"] <= theirs["median"] if mine and theirs else None
        label = f"dropped frames per minute, {clip.split('-')[1]}"
        table.add(label, "flickerdeck", mine, "frames/min", "", "≤ mpv", verdict(ok))
        table.add(label, "mpv", theirs, "frames/min")
        notes.append(f"frames shown, {clip}: " + "; ".join(
            f"{r['tool']} {r.get('shown', r.get('error'))} in {r.get('seconds', 0):.0f} s "
            f"(load {r.get('load', 0):.1f})" for r in runs if r["clip"] == clip))


def session_rows(table, results, notes):
    if results.get("starts"):
        starts_rows(table, results["starts"], notes)
    if results.get("desktop"):
        desktop_rows(table, results["desktop"], notes)
    if results.get("frames"):
        frames_rows(table, results["frames"], notes)
