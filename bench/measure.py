"""The measurements themselves. Each function starts one program under the private X server,
watches it only from outside (screen captures through xprobe, /proc), and returns plain data."""

import os
import signal
import subprocess
import time

from harness import (Probe, cpu_seconds, end_process, load_average, run_probe, sleep_until,
                     status_kib)

CONFIG_TITLE = "Flickerdeck, Version 1.0"
SECOND = 1_000_000_000


class Bench:
    def __init__(self, opts, xvfb, stores, logs):
        self.o = opts
        self.xvfb = xvfb
        self.stores = stores
        self.logs = logs
        self.base_env = dict(os.environ, DISPLAY=xvfb.display, QT_QPA_PLATFORM="xcb")
        self.base_env.pop("WAYLAND_DISPLAY", None)
        self.log_count = 0

    def env_for(self, config, runtime):
        return dict(self.base_env, XDG_CONFIG_HOME=str(config), XDG_RUNTIME_DIR=str(runtime))

    def start(self, argv, env, name):
        self.log_count += 1
        log = open(self.logs / f"{self.log_count:03d}-{name}.log", "w")
        return subprocess.Popen(argv, env=env, stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL)

    def program(self, tool, movies, loop=False):
        """argv, env and quit key for one tool playing `movies` in order."""
        config, runtime = self.stores.new([f"{m} (Origin)" for m in movies])
        env = self.env_for(config, runtime)
        if tool == "flickerdeck":
            return [self.o.bin, "/S"], env, "a"
        argv = ["mpv", *self.o.mpv_args, *(["--loop-playlist=inf"] if loop else []), *movies]
        return argv, env, "q"

    def quit_with_key(self, proc, key):
        ms = run_probe(self.o.xprobe, ["key", key, proc.pid, 10000], self.base_env)
        end_process(proc)
        return ms, proc.returncode

    def playback(self, tool, clip):
        """First picture, CPU per minute, peak memory and key-to-exit from one run on `clip`."""
        argv, env, key = self.program(tool, [clip])
        probe = Probe(self.o.xprobe, ["picture", 30000, self.o.poll_ms], self.base_env)
        load = load_average()
        started = time.monotonic_ns()
        proc = self.start(argv, env, f"{tool}-{os.path.basename(clip)}")
        line = probe.line(35)
        probe.close()
        if not line or not line.isdigit():
            end_process(proc)
            return {"error": f"no picture ({line})", "load": load}
        shown = int(line)
        sleep_until(shown + self.o.steady_from * SECOND)
        t1, c1, x1 = time.monotonic_ns(), cpu_seconds(proc.pid), cpu_seconds(self.xvfb.pid)
        sleep_until(shown + self.o.steady_to * SECOND)
        t2, c2, x2 = time.monotonic_ns(), cpu_seconds(proc.pid), cpu_seconds(self.xvfb.pid)
        minutes = (t2 - t1) / SECOND / 60
        hwm = status_kib(proc.pid, "VmHWM")
        key_ms, code = self.quit_with_key(proc, key)
        return {"first_picture_ms": (shown - started) / 1e6,
                "cpu_s_per_min": (c2 - c1) / minutes, "xvfb_cpu_s_per_min": (x2 - x1) / minutes,
                "peak_rss_mib": hwm / 1024 if hwm else None, "key_to_exit_ms": key_ms,
                "exit_code": code, "load": load}

    def gaps(self, tool, movies, wanted, longest_s, starts=("red", "blue")):
        """The black at the centre from the last picture of one movie to the first of the next,
        over a play list of red and blue movies in turn: the time from the first look that saw
        black to the first that saw the next colour, 0 when no look saw black. A colour seen
        twice in a row, or for longer than half as long again as the longest movie, had a movie
        in between that never showed. Only changes into a colour of `starts` are changes of
        movie: a movie may turn from one colour to the other."""
        argv, env, key = self.program(tool, movies, loop=True)
        watch = Probe(self.o.xprobe, ["watch", self.o.poll_ms, 600000], self.base_env,
                      stdin=subprocess.PIPE)
        proc = self.start(argv, env, f"{tool}-gaps")
        blacks, unseen, seen, colour, since, black_from, black = [], [], [], None, None, None, 0.0
        deadline = time.monotonic() + 60 + 5 * wanted
        while (len(blacks) + len(unseen) < wanted and time.monotonic() < deadline
               and proc.poll() is None):
            line = watch.line(1)
            if not line:
                continue
            first, _, cls = line.split()
            first = int(first)
            seen.append(cls)
            if black_from is not None:
                black, black_from = black + (first - black_from) / 1e6, None
            if cls == "black" and colour:
                black_from = first
            if cls not in ("red", "blue"):
                continue
            if colour and since and (first - since) / 1e9 - black / 1e3 > 1.5 * longest_s:
                unseen.append(black)
            elif colour and cls != colour and cls in starts:
                blacks.append(black)
            elif colour == cls:
                unseen.append(black)
            colour, since, black = cls, first, 0.0
        watch.close()
        key_ms, code = self.quit_with_key(proc, key)
        return {"black_ms": blacks, "unseen_after_black_ms": unseen, "classes": seen[:80],
                "exit_code": code, "key_to_exit_ms": key_ms}

    def sizes(self, tool, movies, widths, wanted):
        """At each change between movies of different sizes (red and blue in turn): the black at
        the centre, and how long after its first sight the new picture takes to show at its own
        width; and whether a last picture ever changed width before the next one came."""
        argv, env, key = self.program(tool, movies, loop=True)
        watch = Probe(self.o.xprobe, ["widths", self.o.poll_ms, 600000], self.base_env,
                      stdin=subprocess.PIPE)
        proc = self.start(argv, env, f"{tool}-sizes")
        changes, colour, settled, black_from, resized = [], None, False, None, 0
        deadline = time.monotonic() + 60 + 5 * wanted
        while len(changes) < wanted and time.monotonic() < deadline and proc.poll() is None:
            line = watch.line(1)
            if not line:
                continue
            first, _, cls, width = line.split()
            first, width = int(first), int(width)
            if cls == "black" and colour and black_from is None:
                black_from = first
            if cls not in ("red", "blue"):
                continue
            at_size = abs(width - widths[cls]) <= 2
            if cls != colour:
                if colour and settled:
                    changes.append({"black_ms": (first - black_from) / 1e6 if black_from else 0.0,
                                    "first_ns": first})
                colour, settled, black_from = cls, at_size, None
                if at_size and changes:
                    changes[-1]["to_size_ms"] = 0.0
            elif not settled and at_size:
                settled = True
                if changes:
                    changes[-1]["to_size_ms"] = (first - changes[-1]["first_ns"]) / 1e6
            elif settled and not at_size:
                resized += 1
        watch.close()
        key_ms, code = self.quit_with_key(proc, key)
        return {"changes": changes, "last_picture_resized": resized, "exit_code": code,
                "key_to_exit_ms": key_ms}

    def growth(self, clip):
        """Resident memory of the saver and of the X server at the start of each play of a
        one-entry list."""
        argv, env, key = self.program("flickerdeck", [clip])
        watch = Probe(self.o.xprobe, ["watch", self.o.growth_poll_ms, 3600000], self.base_env,
                      stdin=subprocess.PIPE)
        started = time.monotonic()
        proc = self.start(argv, env, "flickerdeck-growth")
        samples, previous, black_from, picture_from, pictures_ms = [], "black", None, None, []
        deadline = started + 30 + 4 * self.o.plays
        while len(samples) < self.o.plays and time.monotonic() < deadline and proc.poll() is None:
            line = watch.line(1)
            if not line:
                continue
            first, _, cls = line.split()
            first = int(first)
            if previous == "black" and cls != "black":
                # A play that never shows a picture leaves the centre black for its whole length;
                # a short black the probe polled past leaves a picture stretch of two plays.
                samples.append({"black_ms": (first - black_from) / 1e6 if black_from else None,
                                "rss_kib": status_kib(proc.pid, "VmRSS"),
                                "xvfb_rss_kib": status_kib(self.xvfb.pid, "VmRSS")})
                picture_from = first
                if len(samples) % 20 == 0:
                    print(f"  growth: {len(samples)} plays", flush=True)
            elif cls == "black" and previous != "black":
                black_from = first
                if picture_from:
                    pictures_ms.append((first - picture_from) / 1e6)
            previous = cls
        watch.close()
        hwm = status_kib(proc.pid, "VmHWM")
        key_ms, code = self.quit_with_key(proc, key)
        return {"samples": samples, "pictures_ms": pictures_ms, "peak_rss_kib": hwm,
                "exit_code": code, "key_to_exit_ms": key_ms}

    def idle(self, missing):
        """CPU of a play list whose every file is missing."""
        argv, env, key = self.program("flickerdeck", missing)
        proc = self.start(argv, env, "flickerdeck-missing")
        time.sleep(2)
        alive_early = proc.poll() is None
        t1, c1, x1 = time.monotonic(), cpu_seconds(proc.pid), cpu_seconds(self.xvfb.pid)
        time.sleep(self.o.idle_secs)
        alive = proc.poll() is None
        if not (alive_early and alive):
            return {"error": f"saver ended early (code {proc.returncode})"}
        t2, c2, x2 = time.monotonic(), cpu_seconds(proc.pid), cpu_seconds(self.xvfb.pid)
        key_ms, code = self.quit_with_key(proc, key)
        return {"cpu_pct": 100 * (c2 - c1) / (t2 - t1), "xvfb_cpu_pct": 100 * (x2 - x1) / (t2 - t1),
                "seconds": t2 - t1, "key_to_exit_ms": key_ms, "exit_code": code}

    def config_window(self, store_text, expected, method):
        """Process start to window mapped, then close (WM_DELETE_WINDOW or SIGTERM) to exit,
        and whether the file then holds the list."""
        config, runtime = self.stores.new(text=store_text)
        env = self.env_for(config, runtime)
        probe = Probe(self.o.xprobe, ["wait-window", CONFIG_TITLE, 60000], self.base_env)
        load = load_average()
        started = time.monotonic_ns()
        proc = self.start([self.o.bin, "/C"], env, f"config-{method}")
        line = probe.line(65)
        probe.close()
        if not line or not line.isdigit():
            end_process(proc)
            return {"error": f"window never mapped ({line})", "load": load}
        open_ms = (int(line) - started) / 1e6
        active_while_open = read_store(config / "FDK.conf").get("Settings/Active")
        time.sleep(self.o.config_settle)
        if method == "wm_delete":
            close_ms = run_probe(self.o.xprobe, ["close-window", CONFIG_TITLE, proc.pid, 60000],
                                 self.base_env, timeout=70)
            end_process(proc)
        else:
            sent = time.monotonic_ns()
            proc.send_signal(signal.SIGTERM)
            proc.wait(60)
            close_ms = (time.monotonic_ns() - sent) / 1e6
        saved = read_store(config / "FDK.conf")
        movies = [saved.get(f"Movie/{i}") for i in range(len(expected))]
        return {"open_ms": open_ms, "close_ms": close_ms, "exit_code": proc.returncode,
                "saved_ok": movies == expected
                and saved.get("Movies/Count") == str(len(expected) - 1)
                and saved.get("Settings/Active") == "0",
                "active_while_open": active_while_open, "load": load}


def read_store(path):
    """The keys of an INI store as "Section/key" -> value, outer quotes removed."""
    values, section = {}, ""
    try:
        text = path.read_text()
    except OSError:
        return values
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            value = value.strip()
            if len(value) >= 2 and value[0] == value[-1] == '"':
                value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
            values[f"{section}/{key.strip()}"] = value
    return values
