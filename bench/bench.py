#!/usr/bin/env python3
"""Runs the measurements under a private Xvfb and writes bench/results.md. Started by
bench/run.sh, which prepares the clips, the helper and the binary and passes them on in the
environment (see bench/README.md for every knob)."""

import json
import os
import platform
import shlex
import subprocess
import sys
import time
from pathlib import Path
from types import SimpleNamespace

import measure_monitors
from harness import Stores, TwoScreenXorg, Xvfb, load_average
from measure import Bench
from measure_session import Session
from report import write_report

HERE = Path(__file__).resolve().parent


def options():
    env = os.environ
    out = Path(env.get("OUT", HERE / "out"))
    clips = out / "clips"
    return SimpleNamespace(
        out=out, bin=env["BIN"], xprobe=out / "bin" / "xprobe",
        clip720=clips / "pattern-1280x720-10s.mp4", clip1080=clips / "pattern-1920x1080-10s.mp4",
        loop=clips / "pattern-640x360-1s.mp4", red=clips / "red-640x360-1s.mp4",
        blue=clips / "blue-640x360-1s.mp4", clip4k=clips / "pattern-3840x2160-10s.mp4",
        blue_large=clips / "blue-1280x720-1s.mp4", turning=clips / "turn-640x360-1s.mp4",
        growing=clips / "growth-640x360-1s.mp4",
        not_a_movie=clips / "notes.mp4",
        sounding=[clips / "sound-red-640x360-3s.mp4", clips / "sound-blue-640x360-3s.mp4"],
        starts=int(env.get("STARTS", 1000)), load_procs=int(env.get("LOAD_PROCS", 2)),
        desktop_runs=int(env.get("DESKTOP_RUNS", 5)),
        frames_runs=int(env.get("FRAMES_RUNS", 3)), frames_secs=float(env.get("FRAMES_SECS", 7)),
        runs=int(env.get("RUNS", 5)), monitor_runs=int(env.get("MONITOR_RUNS", 3)), plays=int(env.get("PLAYS", 200)),
        gaps=int(env.get("GAPS", 20)), gaps_locked=int(env.get("GAPS_LOCKED", 12)),
        idle_secs=float(env.get("IDLE_SECS", 60)),
        config_runs=int(env.get("CONFIG_RUNS", 5)), entries=int(env.get("ENTRIES", 32766)),
        poll_ms=int(env.get("POLL_MS", 5)), growth_poll_ms=int(env.get("GROWTH_POLL_MS", 20)),
        steady_from=1.0, steady_to=8.0, config_settle=1.0,
        mpv_args=shlex.split(env.get("MPV_ARGS", "--no-config --fs --vo=x11 --hwdec=no "
                                                 "--video-unscaled=yes")),
        sections=env.get("SECTIONS", "playback,gaps,growth,idle,config,starts,desktop,"
                                     "frames,monitors").split(","))


def command_output(argv):
    try:
        return subprocess.run(argv, capture_output=True, text=True, timeout=30).stdout.strip()
    except (OSError, subprocess.TimeoutExpired):
        return "?"


def machine_facts(o):
    packages = command_output(["dpkg-query", "-W", "-f", "${Package} ${Version}\\n", "libmpv2",
                               "mpv", "libqt6core6", "xvfb", "ffmpeg"])
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                if line.startswith("model name")), "?")
    return {"cores": os.cpu_count(), "cpu": cpu, "kernel": platform.release(),
            "mpv": command_output(["mpv", "--version"]).splitlines()[0], "packages": packages,
            "bin": os.environ.get("BIN_SOURCE", o.bin), "bin_info": os.environ.get("BIN_INFO", ""),
            "mpv_args": " ".join(o.mpv_args), "git": os.environ.get("GIT_REV", "")}


def playback(bench, o):
    runs = []
    for i in range(o.runs):
        for clip in (o.clip720, o.clip1080):
            for tool in ("flickerdeck", "mpv"):
                result = bench.playback(tool, str(clip))
                result.update(run=i, clip=clip.name, tool=tool)
                runs.append(result)
                print(f"  playback {i + 1}/{o.runs} {clip.name} {tool}: "
                      + ", ".join(f"{k}={v:.1f}" if isinstance(v, float) else f"{k}={v}"
                                  for k, v in result.items() if k not in ("run", "clip", "tool")),
                      flush=True)
    return runs


def config_text(entries):
    lines = ["[Movies]", f"Count={len(entries) - 1}", "", "[Movie]"]
    lines += [f"{i}={e}" for i, e in enumerate(entries)]
    return "\n".join(lines + ["", "[Settings]", "Active=0", ""])


def config_runs(bench, o):
    entries = [f"/home/user/Videos/holiday {i:05d}.mp4 ({'Double' if i % 3 == 0 else 'Origin'})"
               for i in range(o.entries)]
    text, runs = config_text(entries), []
    for i in range(o.config_runs):
        for method in ("wm_delete", "sigterm"):
            result = bench.config_window(text, entries, method)
            result.update(run=i, method=method)
            runs.append(result)
            print(f"  config {i + 1}/{o.config_runs} {method}: {result}", flush=True)
    return runs


def session_sections(session, o, results):
    if "starts" in o.sections:
        print(f"{o.starts} starts with {o.load_procs} busy loops", flush=True)
        results["starts"] = session.starts(str(o.loop), o.starts, o.load_procs)
    if "desktop" in o.sections:
        print("desktop-like session (openbox, clips with sound)", flush=True)
        results["desktop"] = [session.desktop([str(c) for c in o.sounding], o.desktop_runs,
                                              bus, sound)
                              for bus in (False, True) for sound in (False, True)]
        print(f"  {results['desktop']}", flush=True)
    if "frames" in o.sections:
        print("dropped frames at 1080p and 4K (A = flickerdeck, B = mpv)", flush=True)
        runs = []
        for i in range(o.frames_runs):
            for clip in (o.clip1080, o.clip4k):
                for tool in ("flickerdeck", "mpv"):
                    result = session.dropped(tool, str(clip), o.frames_secs, 4, 25)
                    result.update(run=i, clip=clip.name, tool=tool)
                    print(f"  {result}", flush=True)
                    runs.append(result)
        results["frames"] = runs


def two_monitors(o, logs):
    if os.geteuid() != 0:
        return {"error": "Xorg with its own configuration needs root"}
    try:
        xorg = TwoScreenXorg(logs)
    except (OSError, RuntimeError, subprocess.CalledProcessError) as error:
        return {"error": f"no two-monitor Xorg: {error}"}
    try:
        return measure_monitors.run(o, xorg, Stores(o.out / "stores-monitors"), logs)
    finally:
        xorg.stop()


def main():
    o = options()
    logs = o.out / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    for old in logs.glob("*.log"):
        old.unlink()
    raw = o.out / "raw.json"
    # MERGE=1 keeps the sections of the previous run that SECTIONS leaves out.
    results = json.loads(raw.read_text()) if os.environ.get("MERGE") == "1" and raw.exists() else {}
    results.update(machine=machine_facts(o), options={k: str(v) for k, v in vars(o).items()},
                   load_start=load_average(), started=time.strftime("%Y-%m-%d %H:%M:%S"))
    xvfb = Xvfb(logs)
    try:
        bench = Bench(o, xvfb, Stores(o.out / "stores"), logs)
        if "playback" in o.sections:
            print("playback runs (A = flickerdeck, B = mpv)", flush=True)
            results["playback"] = playback(bench, o)
        if "gaps" in o.sections:
            print("gaps between movies", flush=True)
            spread = [str(c) for c in sorted((o.out / "clips").glob("gap-*.mp4"))]
            lists = {"spread": (spread, o.gaps, 1.92, ("red", "blue")),
                     "locked": ([str(o.red), str(o.blue)], o.gaps_locked, 1.0, ("red", "blue")),
                     # red, then blue: each change back to red is a new play
                     "single": ([str(o.turning)], o.gaps_locked, 0.5, ("red",)),
                     "unplayable": ([str(o.red), "/nonexistent/bench/missing.mp4", str(o.blue),
                                     str(o.not_a_movie)], o.gaps_locked, 1.0, ("red", "blue"))}
            results["gaps"] = {kind: {t: bench.gaps(t, movies, wanted, longest, starts)
                                      for t in ("flickerdeck", "mpv")}
                               for kind, (movies, wanted, longest, starts) in lists.items()}
            results["sizes"] = {t: bench.sizes(t, [str(o.red), str(o.blue_large)],
                                               {"red": 640, "blue": 1280}, o.gaps_locked)
                                for t in ("flickerdeck", "mpv")}
            print(f"  {results['gaps']}\n  {results['sizes']}", flush=True)
        if "growth" in o.sections:
            print(f"memory over {o.plays} plays", flush=True)
            results["growth"] = bench.growth(str(o.growing))
        if "idle" in o.sections:
            print(f"all-missing list for {o.idle_secs:.0f} s", flush=True)
            results["idle"] = bench.idle([f"/nonexistent/bench/missing-{i}.mp4" for i in range(3)])
            print(f"  {results['idle']}", flush=True)
        if "config" in o.sections:
            print(f"configuration window with {o.entries} entries", flush=True)
            results["config"] = config_runs(bench, o)
        session_sections(Session(bench), o, results)
    finally:
        xvfb.stop()
    if "monitors" in o.sections:
        print("two monitors against one (Xorg, dummy driver)", flush=True)
        results["monitors"] = two_monitors(o, logs)
    results["load_end"] = load_average()
    results["finished"] = time.strftime("%Y-%m-%d %H:%M:%S")
    results.setdefault("runs", []).append(
        {"sections": o.sections, "started": results["started"], "finished": results["finished"],
         "load_start": results["load_start"], "load_end": results["load_end"]})
    raw.write_text(json.dumps(results, indent=1))
    report = Path(os.environ.get("RESULTS", HERE / "results.md"))
    write_report(results, o, report)
    print(f"wrote {report} (raw data: {raw})")


if __name__ == "__main__":
    sys.exit(main())
