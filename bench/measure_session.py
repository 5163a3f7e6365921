"""Measurements closer to a user's session: many starts under load, a desktop with a window
manager, D-Bus and a sound server, and frames dropped at 1080p and 4K. Standard library only."""

import contextlib
import os
import subprocess
import time
from pathlib import Path

from harness import Probe, end_process, load_average, run_probe


@contextlib.contextmanager
def busy_load(processes):
    """`processes` busy loops at normal priority, so the programs meet a loaded machine."""
    burners = [subprocess.Popen(["python3", "-c", "while True: pass"]) for _ in range(processes)]
    try:
        yield
    finally:
        for burner in burners:
            end_process(burner)


def engine_windows(display):
    """Map states of the engine's own drawing windows (class "mpv"), from xwininfo."""
    env = dict(os.environ, DISPLAY=display)
    tree = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                          text=True).stdout
    states = []
    for line in tree.splitlines():
        if '"mpv")' in line:
            info = subprocess.run(["xwininfo", "-id", line.split()[0]], env=env,
                                  capture_output=True, text=True).stdout
            states += [l.split(":", 1)[1].strip() for l in info.splitlines() if "Map State" in l]
    return states


def processes_with(variable):
    """Processes whose environment holds `variable` ("NAME=value"): a run's unique store folder
    finds everything a saver started, also what detached itself from it."""
    found, needle = [], variable.encode() + b"\0"
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if needle in (entry / "environ").read_bytes():
                    found.append(int(entry.name))
            except OSError:
                pass
    return found


def end_leftovers(env, saver_pid):
    """Ends, by their ids, the processes a saver run started that outlived it (they carry its
    unique store folder in their environment); returns their command lines."""
    time.sleep(0.2)
    left = {p: command_of(p) for p in processes_with(f"XDG_CONFIG_HOME={env['XDG_CONFIG_HOME']}")
            if p != saver_pid}
    for pid in left:
        with contextlib.suppress(OSError):
            os.kill(pid, 15)
    return sorted({c for c in left.values() if c})


def command_of(pid):
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode().strip()
    except OSError:
        return None


class Session:
    """Starts, a desktop-like session and dropped frames, on a Bench's X server and stores."""

    def __init__(self, bench):
        self.b = bench

    def starts(self, clip, count, load_processes):
        """Starts and ends the saver `count` times; a start with no picture within 5 s is a run
        that shows nothing."""
        dark, times, states = [], [], []
        with busy_load(load_processes):
            load = load_average()
            for i in range(count):
                argv, env, key = self.b.program("flickerdeck", [clip])
                probe = Probe(self.b.o.xprobe, ["picture", 5000, 10], self.b.base_env)
                started = time.monotonic_ns()
                proc = self.b.start(argv, env, "flickerdeck-start")
                line = probe.line(8)
                probe.close()
                if line and line.isdigit():
                    times.append((int(line) - started) / 1e6)
                else:
                    dark.append(i)
                    states.append(engine_windows(self.b.xvfb.display))
                self.b.quit_with_key(proc, key)
                end_leftovers(env, proc.pid)
                if (i + 1) % 50 == 0:
                    print(f"  starts: {i + 1}/{count}, {len(dark)} without a picture", flush=True)
        return {"starts": count, "dark": dark, "engine_window_states": states,
                "first_picture_ms": times, "load": load, "busy_loops": load_processes}

    def desktop(self, clips, runs, bus, sound):
        """Key to picture gone and key to process exit under openbox, clips with sound, with or
        without a session bus and a sound server; what the saver left running after it."""
        o, root = self.b.o, self.b.stores.root
        wm = subprocess.Popen(["openbox"], env=self.b.base_env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        helpers, extra = [wm], {}
        try:
            if bus:
                daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork",
                                           "--print-address"], stdout=subprocess.PIPE, text=True)
                helpers.append(daemon)
                extra["DBUS_SESSION_BUS_ADDRESS"] = daemon.stdout.readline().strip()
            if sound:
                socket = root / f"pulse-{time.monotonic_ns()}"
                server = subprocess.Popen(
                    ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                     "--load=module-null-sink",
                     f"--load=module-native-protocol-unix auth-anonymous=1 socket={socket}"],
                    env=dict(os.environ, HOME=str(root)), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
                helpers.append(server)
                extra["PULSE_SERVER"] = f"unix:{socket}"
                time.sleep(1)
            time.sleep(0.5)
            # Keys at times spread over the clips, some in the black between two of them.
            results = [self.desktop_run(clips, extra, 0.5 + (i * 1.37) % 5.5)
                       for i in range(runs)]
        finally:
            for helper in reversed(helpers):
                end_process(helper)
        return {"bus": bus, "sound": sound, "runs": results}

    def desktop_run(self, clips, extra, play_s):
        argv, env, key = self.b.program("flickerdeck", clips)
        env = {k: v for k, v in env.items() if k not in ("DBUS_SESSION_BUS_ADDRESS",
                                                         "PULSE_SERVER")}
        env.update(extra)
        probe = Probe(self.b.o.xprobe, ["picture", 15000, 10], self.b.base_env)
        proc = self.b.start(argv, env, "flickerdeck-desktop")
        shown = probe.line(20)
        probe.close()
        time.sleep(play_s)
        out = subprocess.run([str(self.b.o.xprobe), "key-gone", key, str(proc.pid), "10000", "2"],
                             env=self.b.base_env, capture_output=True, text=True).stdout.split()
        end_process(proc)
        left = end_leftovers(env, proc.pid)
        gone, ended = (float(out[0]), float(out[1])) if len(out) == 2 else (None, None)
        return {"picture": bool(shown and shown.isdigit()), "key_after_s": play_s,
                "gone_ms": gone, "exit_ms": ended,
                "exit_code": proc.returncode, "left_running": left}

    def dropped(self, tool, clip, seconds, poll_ms, fps):
        """Frames per minute that never reached the screen: the clip's rate minus the changes of
        the centre's pixels seen while it plays (its frames all differ)."""
        argv, env, key = self.b.program(tool, [clip])
        probe = Probe(self.b.o.xprobe, ["picture", 30000, 10], self.b.base_env)
        proc = self.b.start(argv, env, f"{tool}-frames-{os.path.basename(clip)}")
        line = probe.line(35)
        probe.close()
        if not line or not line.isdigit():
            end_process(proc)
            return {"error": f"no picture ({line})"}
        time.sleep(1.0)
        load = load_average()
        shown = run_probe(self.b.o.xprobe, ["frames", poll_ms, int(seconds * 1000)],
                          self.b.base_env, timeout=seconds + 30)
        self.b.quit_with_key(proc, key)
        if shown is None:
            return {"error": "frames probe failed"}
        return {"shown": shown, "seconds": seconds, "load": load,
                "dropped_per_min": max(0.0, fps * seconds - shown) * 60 / seconds}
