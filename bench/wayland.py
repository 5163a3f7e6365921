#!/usr/bin/env python3
"""The saver in a headless sway against mpv's own Wayland outputs on the same clip: first picture
and CPU per minute (of the program and of the compositor); then the saver on two outputs against
one (first picture on each output). Needs root: sway refuses to run as root, so it runs as a
throwaway user, in namespaces of its own (XWayland's display is private).
`python3 bench/wayland.py` (makes the 720p clip of bench/run.sh if it is not there yet); BIN
(default build/flickerdeck), RUNS (default 5) A/B rounds; writes bench/out/wayland.json and
prints Markdown tables."""

import json
import os
import pwd
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

from harness import cpu_seconds, end_process, load_average, sleep_until, summary

HERE = Path(__file__).resolve().parent
SECOND = 1_000_000_000
OUTPUT = (1920, 1080)
PROGRAMS = {
    "flickerdeck, native (render API, CPU)": ["@BIN", "/S"],
    "flickerdeck, XWayland (x11 output)": ["env", "QT_QPA_PLATFORM=xcb", "@BIN", "/S"],
    "mpv --vo=wlshm": ["mpv", "--no-config", "--fs", "--vo=wlshm", "--hwdec=no",
                       "--video-unscaled=yes", "@CLIP"],
    "mpv --vo=gpu (llvmpipe)": ["mpv", "--no-config", "--fs", "--vo=gpu", "--gpu-context=wayland",
                                "--gpu-sw=yes", "--hwdec=no", "--video-unscaled=yes", "@CLIP"],
}
# The same savers with the second output switched on: Monitors=Each, one entry on both.
TWO_OUTPUTS = {"flickerdeck, native, two outputs": "flickerdeck, native (render API, CPU)",
               "flickerdeck, XWayland, two outputs": "flickerdeck, XWayland (x11 output)"}


class Sway:
    def __init__(self, home, outputs=1):
        self.home, self.user = Path(home), f"fdkbench{os.getpid()}o{outputs}"
        (self.home / "runtime").mkdir(mode=0o700)
        (self.home / "sway.conf").write_text(
            "xwayland enable\noutput * bg #ffffff solid_color\ndefault_border none\n"
            f"output * mode {OUTPUT[0]}x{OUTPUT[1]}\n")
        subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir", str(home),
                        "--shell", "/usr/sbin/nologin", self.user], check=True)
        os.chmod(home, 0o755)
        shutil.chown(home, self.user)
        for path in self.home.rglob("*"):
            shutil.chown(path, self.user)
        env = ["env", "-i", "PATH=/usr/bin:/bin", f"HOME={home}",
               f"XDG_RUNTIME_DIR={home}/runtime", "WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
               "WLR_LIBINPUT_NO_DEVICES=1"]
        self.log = open(self.home / "sway.log", "w")
        self.proc = subprocess.Popen(
            ["unshare", "--mount", "--net", "--propagation", "private", "sh", "-c",
             'mount -t tmpfs -o mode=1777 none /tmp/.X11-unix && exec "$@"', "sh",
             *self.as_user(env + ["sway", "-c", str(self.home / "sway.conf")])],
            stdout=self.log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and not self.sockets():
            time.sleep(0.1)
        if not self.sockets():
            raise RuntimeError(f"sway did not come up, see {self.home}/sway.log")
        # Each further output right of the one before. A session of its own: sway 1.7 reports a
        # headless output it was told to disable as disabled, but keeps it active.
        for _ in range(outputs - 1):
            subprocess.run(self.inside(["swaymsg", "create_output"]), stdout=subprocess.DEVNULL,
                           check=True)

    def as_user(self, command):
        return ["setpriv", f"--reuid={self.user}", f"--regid={self.user}", "--init-groups",
                *command]

    def sockets(self):
        runtime = self.home / "runtime"
        wayland = [p.name for p in runtime.glob("wayland-*") if not p.name.endswith(".lock")]
        x = subprocess.run(["nsenter", "-t", str(self.proc.pid), "-m", "-r", "-w", "ls",
                            "/tmp/.X11-unix"],
                           capture_output=True, text=True).stdout.split()
        return (wayland[0], ":" + x[0][1:]) if wayland and x else None

    def inside(self, command):
        wayland, x = self.sockets()
        ipc = next((self.home / "runtime").glob("sway-ipc.*"))
        return ["nsenter", "-t", str(self.proc.pid), "-m", "-r", "-w", "-n", *self.as_user(
            ["env", "-i", "PATH=/usr/bin:/bin", f"HOME={self.home}",
             f"XDG_RUNTIME_DIR={self.home}/runtime", f"WAYLAND_DISPLAY={wayland}", f"DISPLAY={x}",
             f"SWAYSOCK={ipc}", f"XDG_CONFIG_HOME={self.home}/config", *command])]

    def centre_shows_picture(self, output=0):
        """More than 2 % of the output's centre pixels coloured: neither black nor the white
        background."""
        w, h = 160, 90
        region = f"{output * OUTPUT[0] + (OUTPUT[0] - w) // 2},{(OUTPUT[1] - h) // 2} {w}x{h}"
        ppm = subprocess.run(self.inside(["grim", "-t", "ppm", "-g", region, "-"]),
                             capture_output=True).stdout
        pixels = ppm[-w * h * 3:] if len(ppm) > w * h * 3 else b""
        coloured = sum(1 for i in range(0, len(pixels), 3)
                       if max(pixels[i:i + 3]) > 64 and min(pixels[i:i + 3]) < 200)
        return coloured > 0.02 * w * h

    def stop(self):
        end_process(self.proc)
        self.log.close()
        subprocess.run(["pkill", "-KILL", "-u", self.user])
        subprocess.run(["userdel", self.user])


def measure(sway, argv, outputs=1):
    load = load_average()
    started = time.monotonic_ns()
    proc = subprocess.Popen(sway.inside(argv), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    shown = [None] * outputs
    while proc.poll() is None and time.monotonic_ns() - started < 30 * SECOND and None in shown:
        for output in range(outputs):
            if shown[output] is None and sway.centre_shows_picture(output):
                shown[output] = time.monotonic_ns()
    if None in shown:
        end_process(proc)
        return {"error": "no picture", "load": load}
    firsts = {f"first_picture_ms_{i + 1}": (t - started) / 1e6 for i, t in enumerate(shown)}
    shown = max(shown)
    sleep_until(shown + 1 * SECOND)
    t1, c1, s1 = time.monotonic_ns(), cpu_seconds(proc.pid), cpu_seconds(sway.proc.pid)
    sleep_until(shown + 8 * SECOND)
    t2, c2, s2 = time.monotonic_ns(), cpu_seconds(proc.pid), cpu_seconds(sway.proc.pid)
    end_process(proc)
    minutes = (t2 - t1) / SECOND / 60
    return {"first_picture_ms": (shown - started) / 1e6, "cpu_s_per_min": (c2 - c1) / minutes,
            "sway_cpu_s_per_min": (s2 - s1) / minutes, "load": load, **firsts}


def prepared_home(clip, binary):
    home = Path(tempfile.mkdtemp(prefix="fdk-wayland-bench-"))
    (home / "config").mkdir()
    shutil.copy(clip, home / "clip.mp4")
    shutil.copy(binary, home / "flickerdeck")
    (home / "config" / "FDK.conf").write_text(
        f"[Movies]\nCount=0\n\n[Movie]\n0={home}/clip.mp4 (Origin)\n\n[Settings]\nActive=0\n")
    return home


def main():
    out = Path(os.environ.get("OUT", HERE / "out"))
    clip = out / "clips" / "pattern-1280x720-10s.mp4"
    if not clip.exists():
        clip.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f",
                        "lavfi", "-i", "testsrc2=s=1280x720:r=25:d=10,noise=alls=20:allf=t",
                        "-an", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p",
                        str(clip)], check=True)
    binary = os.environ.get("BIN", str(HERE.parent / "build" / "flickerdeck"))
    runs = int(os.environ.get("RUNS", 5))
    homes = {outputs: prepared_home(clip, binary) for outputs in (1, 2)}
    sways = {}
    results = {name: [] for name in [*PROGRAMS, *TWO_OUTPUTS]}
    try:
        for outputs, home in homes.items():
            sways[outputs] = Sway(home, outputs)
        for i in range(runs):
            for name in results:
                outputs = 2 if name in TWO_OUTPUTS else 1
                home = homes[outputs]
                argv = [str(home / "flickerdeck") if a == "@BIN" else
                        str(home / "clip.mp4") if a == "@CLIP" else a
                        for a in PROGRAMS[TWO_OUTPUTS.get(name, name)]]
                results[name].append(measure(sways[outputs], argv, outputs))
                print(f"  {i + 1}/{runs} {name}: {results[name][-1]}", flush=True)
    finally:
        for sway in sways.values():
            sway.stop()
        for home in homes.values():
            shutil.rmtree(home, ignore_errors=True)
    (out / "wayland.json").write_text(json.dumps(results, indent=1))
    for key in ("first_picture_ms", "cpu_s_per_min"):
        ratios = pair_ratios(results, key)
        if ratios:
            print(f"native saver / mpv --vo=wlshm, {key}: median {statistics.median(ratios):.2f} "
                  f"(rounds: {', '.join(f'{r:.2f}' for r in ratios)})")
    print(f"\nsway 1.7 headless (pixman), output {OUTPUT[0]}x{OUTPUT[1]}, clip {clip.name}, "
          f"{runs} A/B rounds, load {min(r['load'] for v in results.values() for r in v):.2f}–"
          f"{max(r['load'] for v in results.values() for r in v):.2f}\n")
    print("| program | first picture, ms (median, min–max) | CPU s/min (median) | sway CPU s/min "
          "(median) | runs without picture |")
    print("|---|---|---|---|---|")
    for name, runs_ in results.items():
        if name in TWO_OUTPUTS:
            continue
        good = [r for r in runs_ if "error" not in r]
        first = summary([r["first_picture_ms"] for r in good])
        cpu = [r["cpu_s_per_min"] for r in good]
        comp = [r["sway_cpu_s_per_min"] for r in good]
        print(f"| {name} | " + (f"{first['median']:.0f} ({first['min']:.0f}–{first['max']:.0f})"
                                 if first else "–") +
              f" | {statistics.median(cpu):.1f} | {statistics.median(comp):.1f} | "
              f"{len(runs_) - len(good)} |" if good else f"| {name} | – | – | – | {len(runs_)} |")
    two_outputs_table(results)


def two_outputs_table(results):
    print(f"\nTwo outputs of {OUTPUT[0]}x{OUTPUT[1]} side by side, Monitors=Each with the one "
          "entry, against the same saver on one output in the same round\n")
    print("| saver | first picture, output 1 / output 2, ms (median) | CPU s/min (median) | "
          "CPU against one output (median of rounds) | sway CPU s/min (median) | "
          "runs without picture |")
    print("|---|---|---|---|---|---|")
    for name, one in TWO_OUTPUTS.items():
        good = [r for r in results[name] if "error" not in r]
        if not good:
            print(f"| {name} | – | – | – | – | {len(results[name])} |")
            continue
        firsts = [statistics.median(r[f"first_picture_ms_{i}"] for r in good) for i in (1, 2)]
        ratios = pair_ratios(results, "cpu_s_per_min", name, one)
        print(f"| {name} | {firsts[0]:.0f} / {firsts[1]:.0f} | "
              f"{statistics.median(r['cpu_s_per_min'] for r in good):.1f} | "
              + (f"{statistics.median(ratios):.2f} ({', '.join(f'{r:.2f}' for r in ratios)})"
                 if ratios else "–")
              + f" | {statistics.median(r['sway_cpu_s_per_min'] for r in good):.1f} | "
              f"{len(results[name]) - len(good)} |")


def pair_ratios(results, key, a="flickerdeck, native (render API, CPU)", b="mpv --vo=wlshm"):
    """Program a over b in each round where both showed a picture."""
    return [x[key] / y[key] for x, y in zip(results[a], results[b])
            if key in x and key in y and y[key]]


if __name__ == "__main__":
    main()
