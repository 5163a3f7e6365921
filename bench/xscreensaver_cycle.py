#!/usr/bin/env python3
"""What each monitor shows while XScreenSaver's `cycle` restarts the saver: which parts of which
movies, sampled from the X server once a second.

Runs the real XScreenSaver (as a throwaway user: it launches no hacks as root) on Xorg's dummy
driver with two monitors, `mode: one` with the saver, `cycle: 0:01:00`, for five minutes, over
a play list of three two-minute movies with `Monitors=Each`. Each movie tells on its picture
which movie it is and how far it has played: its left half is red (A), blue (B) or magenta (C)
with green rising from none to full over the two minutes; its right half has the same colour
with green rising over each ten seconds, which gives the seconds more finely.

    sudo BIN=build/flickerdeck python3 bench/xscreensaver_cycle.py
    sudo BIN=/path/to/other/flickerdeck MINUTES=5 CYCLE=0:01:00 MONITORS=Same python3 bench/xscreensaver_cycle.py

Needs root, Xorg with the dummy driver, xrandr, xscreensaver, ffmpeg, g++ and the X11 and XTest
headers (bench/run.sh installs them). Prints one table per monitor: from when to when (seconds
since the activation) which movie showed and from which second of it to which, after the times
the host started a saver; the steps column gives the smallest and the largest advance of the
movie between two samples a second apart (about 1 when it plays straight on). Not part of the
tests.
"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

BENCH = pathlib.Path(__file__).resolve().parent
ROOT = BENCH.parent
BIN = pathlib.Path(os.environ.get("BIN", ROOT / "build" / "flickerdeck")).resolve()
MINUTES = float(os.environ.get("MINUTES", "5"))
CYCLE = os.environ.get("CYCLE", "0:01:00")
LAYOUT = os.environ.get("MONITORS", "Each")
LENGTH = 120
MOVIES = {"A": (255, 0), "B": (0, 255), "C": (255, 255)}  # red, blue of each movie
# (x, y) of the left and the right half of the picture, per monitor (640x360, centred).
MONITORS = {0: (640, 480), 1: (1280 + 512, 384)}
HALF = 160


def run(*command, **options):
    done = subprocess.run(command, capture_output=True, text=True, **options)
    if done.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}: {done.stderr.strip()}")
    return done


def make_clips(folder):
    clips = []
    for name, (red, blue) in MOVIES.items():
        path = folder / f"{name}.avi"
        green = f"if(lt(X,W/2),255*T/{LENGTH},255*mod(T,10)/10)"
        run("ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
            f"color=c=black:s=640x360:r=25:d={LENGTH},format=rgb24,"
            f"geq=r={red}:g='{green}':b={blue}", "-c:v", "mpeg4", "-q:v", "3", str(path))
        clips.append(path)
    return clips


def start_xorg(folder, servers):
    read, write = os.pipe()
    servers.append(subprocess.Popen(
        ["Xorg", "-displayfd", str(write), "-noreset", "-novtswitch", "-nolisten", "tcp", "-wr",
         "-config", str(ROOT / "tests/e2e/xorg-two-screens.conf"), "-logfile",
         str(folder / "xorg.log")], pass_fds=[write], stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    os.close(write)
    number = b""
    while not number.endswith(b"\n") and (part := os.read(read, 16)):
        number += part
    os.close(read)
    display = ":" + number.decode().strip()
    env = dict(os.environ, DISPLAY=display)
    for step in (["--newmode", "1024x768_60", "63.50", "1024", "1072", "1176", "1328", "768",
                  "771", "775", "798", "-hsync", "+vsync"],
                 ["--addmode", "DUMMY1", "1024x768_60"],
                 ["--output", "DUMMY0", "--mode", "1280x960", "--primary"],
                 ["--output", "DUMMY1", "--mode", "1024x768_60", "--right-of", "DUMMY0"]):
        run("xrandr", *step, env=env)
    return display


WRAPPER = """#!/bin/bash
export XDG_CONFIG_HOME=@/config XDG_RUNTIME_DIR=@/runtime XDG_STATE_HOME=@/state
echo "start $(date +%s.%N)" >> @/savers.log
@/flickerdeck "$@" & saver=$!
for signal in TERM INT HUP USR1; do trap "kill -$signal $saver 2>/dev/null" $signal; done
while kill -0 $saver 2>/dev/null; do wait $saver; done
wait $saver; echo "exit $? $(date +%s.%N)" >> @/savers.log
"""


def set_up_home(home, clips):
    for sub in ("config", "runtime", "state"):
        (home / sub).mkdir(parents=True)
    (home / "runtime").chmod(0o700)
    shutil.copy(BIN, home / "flickerdeck")
    hack = home / "hack"
    hack.write_text(WRAPPER.replace("@", str(home)))
    hack.chmod(0o755)
    entries = "".join(f"{i}={clip} (Origin)\n" for i, clip in enumerate(clips))
    (home / "config" / "FDK.conf").write_text(
        f"[Movies]\nCount={len(clips) - 1}\n\n[Movie]\n{entries}\n[Settings]\nActive=0\n"
        f"Monitors={LAYOUT}\n")
    (home / ".xscreensaver").write_text(
        f"mode: one\nselected: 0\ncycle: {CYCLE}\ntimeout: 8:00:00\nlock: False\n"
        f"splash: False\nverbose: True\ndpmsEnabled: False\n"
        f"programs: \"Flickerdeck\" {hack} -root\n")


def as_user(user, home, display, *command):
    return ["setpriv", f"--reuid={user}", f"--regid={user}", "--init-groups", "env", "-i",
            f"HOME={home}", f"DISPLAY={display}", "PATH=/usr/bin:/bin", *command]


def movie_at(left, right):
    """The movie and its second from the two patches; None for black or anything else."""
    (r, g, b), (_, fine_g, _) = left, right
    if max(r, g, b) < 40:
        return "black", None
    # The root window; movie C comes near it only in the last tenth of its last second.
    if min(*left, *right) >= 250:
        return "white (no saver)", None
    for name, (red, blue) in MOVIES.items():
        if abs(r - red) < 70 and abs(b - blue) < 70:
            coarse = g * LENGTH / 255
            fine = fine_g * 10 / 255
            return name, 10 * round((coarse - fine) / 10) + fine
    return "?", None


def segments(samples):
    """Runs of one movie played straight on: [from, to, movie, first second, last second,
    smallest and largest step of the movie between two samples a second apart]."""
    runs = []
    for taken, (movie, second) in samples:
        last = runs[-1] if runs else None
        if (last and last[2] == movie and
                (second is None or (last[4] is not None and 0 <= second - last[4] <= 3))):
            if second is not None and taken - last[1] == 1:
                step = second - last[4]
                last[5] = min(last[5], step) if last[5] is not None else step
                last[6] = max(last[6], step) if last[6] is not None else step
            last[1], last[4] = taken, second if second is not None else last[4]
            continue
        runs.append([taken, taken, movie, second, second, None, None])
    return runs


def clock(seconds):
    return f"{int(seconds) // 60}:{int(seconds) % 60:02d}" if seconds is not None else "-"


def main():
    if os.geteuid() != 0:
        sys.exit("needs root: Xorg with its own configuration, and a throwaway user")
    work = pathlib.Path(tempfile.mkdtemp(prefix="fdk-cycle-"))
    work.chmod(0o755)
    user = f"fdkcycle{os.getpid()}"
    xprobe = work / "xprobe"
    run("g++", "-std=c++20", "-O2", "-o", str(xprobe), str(BENCH / "xprobe.cpp"), "-lX11", "-lXtst")
    clips_folder = work / "clips"
    clips_folder.mkdir()
    clips = make_clips(clips_folder)
    home = work / "home"
    set_up_home(home, clips)
    run("useradd", "--system", "--no-create-home", "--home-dir", str(home), "--shell",
        "/usr/sbin/nologin", user)
    run("chown", "-R", f"{user}:", str(home))
    servers, host = [], None
    try:
        display = start_xorg(work, servers)
        host = subprocess.Popen(as_user(user, home, display, "xscreensaver", "-no-splash", "-log",
                                        str(home / "host.log")), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        time.sleep(2)
        points = [str(v) for _, (x, y) in sorted(MONITORS.items())
                  for v in (x - HALF, y, x + HALF, y)]
        started = time.time()
        run(*as_user(user, home, display, "xscreensaver-command", "-activate"))
        probe = subprocess.run([str(xprobe), "pixels", "1000", str(int(MINUTES * 60000)), *points],
                               env=dict(os.environ, DISPLAY=display), capture_output=True,
                               text=True, timeout=MINUTES * 60 + 60)
        run(*as_user(user, home, display, "xscreensaver-command", "-deactivate"))
        time.sleep(3)
    finally:
        if host:
            host.terminate()
            host.wait(10)
        # Whatever the host left of the user's processes (its hacks), each by its id.
        left = subprocess.run(["pgrep", "-u", user], capture_output=True, text=True).stdout
        for pid in left.split():
            subprocess.run(["kill", "-KILL", pid], check=False)
        for xorg in servers:
            xorg.terminate()
            xorg.wait(10)
        subprocess.run(["userdel", user], check=False)

    lines = [line.split() for line in probe.stdout.splitlines()]
    first_ns = int(lines[0][0]) if lines else 0
    patches = {}
    for taken, index, r, g, b in lines:
        second = round((int(taken) - first_ns) / 1e9)
        patches.setdefault((second, int(index) // 2), [None, None])[int(index) % 2] = (
            int(r), int(g), int(b))
    log = (home / "savers.log").read_text().split("\n")
    starts = [float(line.split()[1]) - started for line in log if line.startswith("start")]
    exits = [line.split()[1] for line in log if line.startswith("exit")]
    print(f"binary: {BIN}\ncycle {CYCLE}, {MINUTES:g} minutes, list A B C of {LENGTH} s each, "
          f"Monitors={LAYOUT}")
    print(f"saver starts (s after activation): {', '.join(f'{s:.0f}' for s in starts)}")
    print(f"exit statuses: {', '.join(exits)}")
    for monitor in sorted(MONITORS):
        samples = [(second, movie_at(*patch)) for (second, m), patch in sorted(patches.items())
                   if m == monitor and None not in patch]
        print(f"\nmonitor {monitor}\n| shown (s) | movie | part of it (m:ss) | steps (s) |\n"
              "|---|---|---|---|")
        for begin, end, movie, first, last, low, high in segments(samples):
            part = f"{clock(first)}-{clock(last)}" if first is not None else ""
            steps = f"{low:.1f}-{high:.1f}" if low is not None else ""
            print(f"| {begin}-{end} | {movie} | {part} | {steps} |")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
