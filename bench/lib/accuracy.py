#!/usr/bin/python3
"""Helpers of bench/accuracy.sh: the ground-truth sampler and the comparison of each tool's
readings with it.

  accuracy.py sample OUT IFACE      the counters every 2 ms until SIGTERM
  accuracy.py rows LABEL DIR         markdown rows for one rate: probe, ifstat, bmon against the truth
  accuracy.py stop DIR STOP RESUME   the probe's readings around a SIGSTOP/SIGCONT, against the truth

Every reading is compared with the truth over the interval it covers: from the tool's previous
reading to this one, each placed at its own timestamp. The truth is the interfaces' own sent-byte
counters, read every 2 ms and interpolated linearly between reads, so an interval that does
not start on a read still gets its bytes.
"""
import bisect
import os
import signal
import sys
import time


def sample(out_path, iface):
    """Every 2 ms: the time, the interface's and loopback's sent bytes, loopback's received bytes.
    iperf3 catches up on a stall with a burst several times its rate, so a coarser truth would
    put the counters wrong at a moment inside such a burst."""
    stop = False

    def on_term(*_):
        nonlocal stop
        stop = True

    signal.signal(signal.SIGTERM, on_term)
    signal.signal(signal.SIGINT, on_term)
    paths = [f"/sys/class/net/{iface}/statistics/tx_bytes", "/sys/class/net/lo/statistics/tx_bytes",
             "/sys/class/net/lo/statistics/rx_bytes"]
    fds = [os.open(p, os.O_RDONLY) for p in paths]
    period = 0.002
    with open(out_path, "w") as out:
        next_at = time.time()
        while not stop:
            before = time.time()
            values = [os.pread(fd, 32, 0).strip().decode() for fd in fds]
            after = time.time()
            # A read the scheduler cut into cannot be dated: which moment of it did the
            # counters belong to? Such a read is left out rather than placed wrong.
            if after - before < 0.0005:
                out.write(f"{(before + after) / 2:.6f} {' '.join(values)}\n")
            next_at += period
            delay = next_at - time.time()
            if delay > 0:
                time.sleep(delay)
            else:
                next_at = time.time()


class Truth:
    """Cumulative sent bytes of all sampled interfaces, as a function of wall-clock time."""

    def __init__(self, path):
        self.t, self.sent, self.lo_bytes = [], [], 0
        first_lo = last_lo = None
        for line in open(path):
            f = line.split()
            if len(f) != 4:
                continue  # a line cut short when the sampler was stopped
            # columns: time, tx of the interface, tx of loopback, rx of loopback
            self.t.append(float(f[0]))
            self.sent.append(int(f[1]) + int(f[2]))
            lo = int(f[2]) + int(f[3])
            first_lo = lo if first_lo is None else first_lo
            last_lo = lo
        if len(self.t) < 2:
            sys.exit(f"accuracy.py: {path} holds fewer than two counter reads")
        self.lo_bytes = last_lo - first_lo

    def covers(self, t0, t1):
        return self.t[0] <= t0 and t1 <= self.t[-1]

    def at(self, t):
        i = bisect.bisect_right(self.t, t)
        i = min(max(i, 1), len(self.t) - 1)
        t0, t1 = self.t[i - 1], self.t[i]
        b0, b1 = self.sent[i - 1], self.sent[i]
        return b0 + (b1 - b0) * (t - t0) / (t1 - t0)

    def rate(self, t0, t1):
        return (self.at(t1) - self.at(t0)) / (t1 - t0)


def stamped(path):
    for line in open(path):
        f = line.split()
        if len(f) >= 2:
            yield float(f[0]), f[1:]


def probe_stamp(arrival, hms):
    """The probe's own local HH:MM:SS.mmm stamp as epoch seconds, on the day of its arrival."""
    h, m, s = hms.split(":")
    lt = time.localtime(arrival)
    midnight = time.mktime((lt.tm_year, lt.tm_mon, lt.tm_mday, 0, 0, 0, 0, 0, -1))
    t = midnight + int(h) * 3600 + int(m) * 60 + float(s)
    if t - arrival > 43200:
        t -= 86400
    elif arrival - t > 43200:
        t += 86400
    return t


def probe_readings(path):
    """(time, sent bytes per second): U is in kilobits of 1000 bits."""
    out = []
    for arrival, f in stamped(path):
        if len(f) == 3 and f[1].startswith("D:") and f[2].startswith("U:"):
            out.append((probe_stamp(arrival, f[0]), int(f[2][2:]) * 1000 / 8))
    return out


def ifstat_readings(path):
    """(time, sent bytes per second) from the Total column; ifstat's KB is 1024 bytes."""
    out = []
    for arrival, f in stamped(path):
        try:
            out.append((arrival, float(f[-1]) * 1024))
        except ValueError:
            pass  # the header lines
    return out


def bmon_readings(path, iface):
    """(time, sent bytes per second) from the interface's row of bmon's format output."""
    return [(arrival, float(f[2])) for arrival, f in stamped(path) if f[0] == iface and len(f) >= 3]


def compare(readings, truth):
    """Per-reading errors in percent from the second reading on, the whole-run error in percent,
    and the mean difference from the truth in bytes per second."""
    errors, diffs, shown, true_bytes = [], [], 0.0, 0.0
    for (t0, _), (t1, r) in zip(readings, readings[1:]):
        if not truth.covers(t0, t1) or t1 <= t0:
            continue
        true_rate = truth.rate(t0, t1)
        if true_rate <= 0:
            continue
        errors.append(100 * (r - true_rate) / true_rate)
        diffs.append(r - true_rate)
        shown += r * (t1 - t0)
        true_bytes += true_rate * (t1 - t0)
    whole = 100 * (shown - true_bytes) / true_bytes if true_bytes else float("nan")
    bias = sum(diffs) / len(diffs) if diffs else float("nan")
    return errors, whole, bias


def fmt_signed(x):
    return f"{x:+.2f}".replace("-", "−")


def rows(label, d):
    truth = Truth(f"{d}/truth.txt")
    iface = open(f"{d}/iface").read().strip()
    tools = [
        ("tidegauge-probe", probe_readings(f"{d}/probe.txt")),
        ("ifstat", ifstat_readings(f"{d}/ifstat.txt")),
        ("bmon", bmon_readings(f"{d}/bmon.txt", iface)),
    ]
    span = truth.t[-1] - truth.t[0]
    wire = (truth.sent[-1] - truth.sent[0]) * 8 / span / 1e6
    for name, readings in tools:
        errors, whole, bias = compare(readings, truth)
        if not errors:
            print(f"| {label} | {wire:.2f} | {name} | 0 | – | – | – | – |")
            continue
        mean = sum(abs(e) for e in errors) / len(errors)
        worst = max(errors, key=abs)
        print(f"| {label} | {wire:.2f} | {name} | {len(errors)} | {mean:.2f} | {fmt_signed(worst)} "
              f"| {fmt_signed(whole)} | {fmt_signed(bias / 1000)} |")
    if truth.lo_bytes:
        print(f"| {label} | | (loopback moved {truth.lo_bytes} bytes) | | | | | |")


def stop(d, stop_at, resume_at):
    truth = Truth(f"{d}/truth.txt")
    readings = probe_readings(f"{d}/probe.txt")
    stop_at, resume_at = float(stop_at), float(resume_at)
    steady = truth.rate(truth.t[0], truth.t[-1])
    print("| reading at (s after SIGSTOP) | covers (s) | probe Mbit/s | true Mbit/s over the same interval "
          "| error % | against the steady rate % |")
    print("|---:|---:|---:|---:|---:|---:|")
    above = []
    for (t0, _), (t1, r) in zip(readings, readings[1:]):
        if t1 < stop_at - 3.5 or t1 > resume_at + 4.5 or not truth.covers(t0, t1):
            continue
        true_rate = truth.rate(t0, t1)
        err = 100 * (r - true_rate) / true_rate
        vs_steady = 100 * (r - steady) / steady
        if err > 2 or vs_steady > 2:
            above.append(t1 - stop_at)
        print(f"| {t1 - stop_at:+.3f} | {t1 - t0:.3f} | {r * 8 / 1e6:.3f} | {true_rate * 8 / 1e6:.3f} "
              f"| {fmt_signed(err)} | {fmt_signed(vs_steady)} |")
    print()
    print(f"SIGSTOP at 0 s, SIGCONT at {resume_at - stop_at:+.3f} s; steady true rate "
          f"{steady * 8 / 1e6:.3f} Mbit/s over the whole run.")
    print()
    if above:
        print("Readings more than 2 % above the true rate: " + ", ".join(f"at {a:+.3f} s" for a in above) + ".")
    else:
        print("Readings more than 2 % above the true rate: none.")


if __name__ == "__main__":
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == "sample":
        sample(*args)
    elif cmd == "rows":
        rows(*args)
    elif cmd == "stop":
        stop(*args)
    else:
        sys.exit(f"accuracy.py: unknown command {cmd}")
