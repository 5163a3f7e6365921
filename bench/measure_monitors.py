"""Two monitors against one, on Xorg's dummy driver with two monitors (the only X server here on
which Qt sees two screens): what it costs when every monitor plays its own movie, what playing
the same movie on both costs, and how far apart the monitors' pictures come."""

import signal
import subprocess
import time

from harness import Probe, cpu_seconds, end_process, load_average, sleep_until, status_kib
from measure import Bench

SECOND = 1_000_000_000


class TwoMonitors(Bench):
    def __init__(self, opts, xorg, stores, logs):
        super().__init__(opts, xorg, stores, logs)
        self.centres = [str(v) for x, y, w, h in xorg.MONITORS for v in (x + w // 2, y + h // 2)]

    def saver_env(self, movies, setting):
        config, runtime = self.stores.new([f"{m} (Origin)" for m in movies])
        with open(config / "FDK.conf", "a") as store:
            store.write(f"Monitors={setting}\n")
        return dict(self.base_env, XDG_CONFIG_HOME=str(config), XDG_RUNTIME_DIR=str(runtime))

    def start_savers(self, movies, setting, hosted):
        """The saver full screen, or one saver per monitor in a stand-in host's window; the
        savers and the host windows' probes."""
        env = self.saver_env(movies, setting)
        hosts, savers = [], []
        if hosted:
            for x, y, w, h in self.xvfb.MONITORS:
                host = subprocess.Popen([str(self.o.xprobe), "host-window", *map(str, (x, y, w, h))],
                                        env=self.base_env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
                hosts.append((host, host.stdout.readline().strip()))
        commands = [["--window-id", window] for _, window in hosts] if hosted else [["/S"]]
        for arguments in commands:
            savers.append(self.start([self.o.bin, *arguments], env, f"monitors-{setting}"))
        return savers, hosts

    def stop_savers(self, savers, hosts, hosted):
        codes = []
        for saver in savers:
            if saver.poll() is None:
                saver.send_signal(signal.SIGTERM if hosted else signal.SIGINT)
            try:
                codes.append(saver.wait(10))
            except subprocess.TimeoutExpired:
                end_process(saver)
                codes.append(None)
        for host, _ in hosts:
            host.stdin.close()
            end_process(host)
        return codes

    def layout(self, setting, movies, hosted=False):
        """First picture on each monitor from the start, CPU per minute and peak memory of the
        saver(s) while both play."""
        probe = Probe(self.o.xprobe, ["regions", self.o.poll_ms, 30000, *self.centres], self.base_env,
                      stdin=subprocess.PIPE)
        load = load_average()
        started = time.monotonic_ns()
        savers, hosts = self.start_savers(movies, setting, hosted)
        first, playing = {}, 1 if setting == "Primary" else 2
        deadline = time.monotonic() + 30
        while len(first) < playing and time.monotonic() < deadline:
            line = probe.line(1)
            if line:
                taken, monitor, cls = line.split()
                if cls not in ("black", "error") and monitor not in first:
                    first[monitor] = (int(taken) - started) / 1e6
        probe.close()
        result = {"setting": setting, "hosted": hosted, "load": load,
                  "first_ms": [first.get("0"), first.get("1")]}
        shown = started + int(max(v or 0 for v in first.values() or [0]) * 1e6)
        alive = [s for s in savers if s.poll() is None]
        if len(first) == playing and len(alive) == len(savers):
            sleep_until(shown + self.o.steady_from * SECOND)
            t1, c1 = time.monotonic_ns(), sum(cpu_seconds(s.pid) for s in savers)
            sleep_until(shown + self.o.steady_to * SECOND)
            t2, c2 = time.monotonic_ns(), sum(cpu_seconds(s.pid) for s in savers)
            result["cpu_s_per_min"] = (c2 - c1) / ((t2 - t1) / SECOND / 60)
            result["peak_rss_mib"] = sum(status_kib(s.pid, "VmHWM") or 0 for s in savers) / 1024
            if any(s.poll() is not None for s in savers):
                result["error"] = "a saver ended while it was measured"
            elif result["cpu_s_per_min"] < 1:
                # Seen now and then on the shared machine, never when watched second by second.
                result["error"] = "no CPU at all while measured (stopped, or the machine paused)"
        else:
            result["error"] = f"pictures on {len(first)} monitor(s), {len(alive)} saver(s) running"
        result["exit_codes"] = self.stop_savers(savers, hosts, hosted)
        return result

    def in_step(self, movies, changes, hosted):
        """Same: for each change of movie, how far apart the two monitors showed the new one."""
        probe = Probe(self.o.xprobe, ["regions", self.o.poll_ms, 600000, *self.centres],
                      self.base_env, stdin=subprocess.PIPE)
        savers, hosts = self.start_savers(movies, "Same", hosted)
        shown = {"0": [], "1": []}
        last = {"0": None, "1": None}
        deadline = time.monotonic() + 30 + 3 * changes
        while min(len(v) for v in shown.values()) < changes + 1 and time.monotonic() < deadline:
            line = probe.line(1)
            if not line:
                continue
            taken, monitor, cls = line.split()
            if cls in ("red", "blue") and cls != last[monitor]:
                shown[monitor].append((int(taken), cls))
                last[monitor] = cls
        probe.close()
        codes = self.stop_savers(savers, hosts, hosted)
        pairs = list(zip(shown["0"], shown["1"]))
        return {"hosted": hosted, "exit_codes": codes,
                "apart_ms": [abs(a[0] - b[0]) / 1e6 for a, b in pairs[1:]],
                "same_movie": all(a[1] == b[1] for a, b in pairs)}


def run(o, xorg, stores, logs):
    bench = TwoMonitors(o, xorg, stores, logs)
    clip = str(o.clip720)
    layouts = (("Primary", [clip], False), ("Each", [clip, clip], False),
               ("Same", [clip], False), ("Same", [clip], True))
    runs = []
    for i in range(o.monitor_runs):
        for setting, movies, hosted in layouts:
            result = bench.layout(setting, movies, hosted)
            result["run"] = i
            print(f"  monitors {i + 1}/{o.monitor_runs} {setting}{' hosted' if hosted else ''}: "
                  f"{result}", flush=True)
            runs.append(result)
    steps = [bench.in_step([str(o.red), str(o.blue)], o.gaps_locked, hosted)
             for hosted in (False, True)]
    print(f"  in step: {steps}", flush=True)
    return {"layouts": runs, "in_step": steps}
