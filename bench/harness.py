"""Plumbing shared by the measurements: the private X server, private stores, /proc readings
and the xprobe helper. Standard library only."""

import os
import select
import shutil
import statistics
import subprocess
import time
from pathlib import Path

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """utime + stime of a whole process (all its threads), in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def status_kib(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return None


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def sleep_until(deadline_ns):
    left = (deadline_ns - time.monotonic_ns()) / 1e9
    if left > 0:
        time.sleep(left)


def summary(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "n": len(values)}


def read_display(read_end, timeout):
    """":N" from an X server started with -displayfd, once it takes clients; empty if it never
    said. Closes `read_end`."""
    text = b""
    deadline = time.monotonic() + timeout
    while b"\n" not in text and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            text += chunk
    os.close(read_end)
    return ":" + text.decode().strip() if b"\n" in text else ""


class Xvfb:
    """A private X server: 1920x1080x24, black root, no TCP."""

    def __init__(self, log_dir):
        read_end, write_end = os.pipe()
        self.log = open(log_dir / "xvfb.log", "w")
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24",
             "-nolisten", "tcp", "-br", "-noreset"],
            pass_fds=[write_end], stdout=self.log, stderr=subprocess.STDOUT)
        os.close(write_end)
        self.display = read_display(read_end, 20)
        if not self.display:
            self.stop()
            raise RuntimeError("Xvfb did not report a display")
        self.pid = self.proc.pid

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()


class TwoScreenXorg:
    """Xorg on its dummy driver with two monitors side by side, as the end-to-end tests run it:
    DUMMY0 1280x960 at 0,0 (primary) and DUMMY1 1024x768 at 1280,0, on a black root. Needs
    root, Xorg's dummy driver and xrandr."""

    CONFIG = Path(__file__).resolve().parent.parent / "tests" / "e2e" / "xorg-two-screens.conf"
    MONITORS = ((0, 0, 1280, 960), (1280, 0, 1024, 768))

    def __init__(self, log_dir):
        read_end, write_end = os.pipe()
        self.log = log_dir / "xorg.log"
        self.proc = subprocess.Popen(
            ["Xorg", "-displayfd", str(write_end), "-noreset", "-novtswitch", "-nolisten", "tcp",
             "-br", "-config", str(self.CONFIG), "-logfile", str(self.log)],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.display = read_display(read_end, 30)
        if not self.display:
            self.stop()
            raise RuntimeError(f"Xorg did not report a display (see {self.log})")
        self.pid = self.proc.pid
        env = dict(os.environ, DISPLAY=self.display)
        for step in (["--newmode", "1024x768_60", "63.50", "1024", "1072", "1176", "1328", "768",
                      "771", "775", "798", "-hsync", "+vsync"],
                     ["--addmode", "DUMMY1", "1024x768_60"],
                     ["--output", "DUMMY1", "--mode", "1024x768_60", "--right-of", "DUMMY0"]):
            subprocess.run(["xrandr", *step], env=env, check=True, capture_output=True)

    def stop(self):
        end_process(self.proc, 10)


class Stores:
    """Fresh XDG_CONFIG_HOME and XDG_RUNTIME_DIR folders for every run, so no run sees another's
    play list or single-instance lock."""

    def __init__(self, root):
        self.root = Path(root)
        shutil.rmtree(self.root, ignore_errors=True)
        self.root.mkdir(parents=True)
        self.count = 0

    def new(self, entries=None, text=None):
        self.count += 1
        run = self.root / f"run-{self.count:03d}"
        config, runtime = run / "config", run / "runtime"
        config.mkdir(parents=True)
        runtime.mkdir(mode=0o700)
        os.chmod(runtime, 0o700)
        if text is None:
            lines = ["[Movies]", f"Count={len(entries) - 1}", "", "[Movie]"]
            lines += [f"{i}={entry}" for i, entry in enumerate(entries)]
            lines += ["", "[Settings]", "Active=0", ""]
            text = "\n".join(lines)
        (config / "FDK.conf").write_text(text)
        return config, runtime


class Probe:
    """One xprobe subcommand that prints "ready" before it starts watching."""

    def __init__(self, xprobe, args, env, stdin=None):
        self.proc = subprocess.Popen([str(xprobe), *map(str, args)], env=env, text=True,
                                     stdout=subprocess.PIPE, stdin=stdin, bufsize=1)
        first = self.proc.stdout.readline().strip()
        if first != "ready":
            raise RuntimeError(f"xprobe {args[0]} did not start: {first!r}")

    def line(self, timeout):
        ready, _, _ = select.select([self.proc.stdout], [], [], timeout)
        return self.proc.stdout.readline().strip() if ready else None

    def close(self):
        if self.proc.stdin:
            self.proc.stdin.close()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def run_probe(xprobe, args, env, timeout=30):
    """A one-shot xprobe subcommand; its single line of output as a float, or None."""
    out = subprocess.run([str(xprobe), *map(str, args)], env=env, text=True,
                         capture_output=True, timeout=timeout).stdout.strip()
    try:
        return float(out)
    except ValueError:
        return None


def end_process(proc, timeout=5):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
