#!/usr/bin/env bash
# How close the probe's once-a-second readings come to the interface counters themselves, beside
# ifstat and bmon on the same traffic. Two network namespaces joined by a veth pair, UDP from one
# to the other at fixed rates; everything is measured in the sender's namespace, where only
# loopback and the veth exist. Writes its section of docs/benchmarks.md. Needs root.
# TG_KEEP_WORK=1 keeps the raw readings (its folder is named on the error stream).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/setup.sh
source "$here/lib/setup.sh"

[[ $(id -u) -eq 0 ]] || fail "network namespaces need root"

rates=(1 10 100 1000)   # Mbit/s
seconds=20              # of traffic per rate
watched=18              # seconds the tools watch, inside the traffic

ensure_packages iperf3 ifstat bmon iproute2 python3 cmake ninja-build
build_targets linux-release tidegauge-probe
probe=$root/build/linux-release/tidegauge-probe
analyse=(/usr/bin/python3 "$here/lib/accuracy.py")

snd=tg-snd-$$ rcv=tg-rcv-$$ vsnd=tgs$$ vrcv=tgr$$
begin accuracy
# Deleting a namespace deletes its ends of the veth pairs, and with them the pairs.
on_finish ip netns del "$snd"
on_finish ip netns del "$rcv"

# Never put a function in the background here: $! would be a subshell, not the program to stop.
in_snd=(ip netns exec "$snd")
in_rcv=(ip netns exec "$rcv")

ip netns add "$snd"
ip netns add "$rcv"
ip link add "$vsnd" type veth peer name "$vrcv"
ip link set "$vsnd" netns "$snd"
ip link set "$vrcv" netns "$rcv"
# Jumbo frames: a shared two-core machine cannot send a gigabit a second in 1500-byte frames.
ip -n "$snd" link set "$vsnd" mtu 9000 up
ip -n "$rcv" link set "$vrcv" mtu 9000 up
ip -n "$snd" link set lo up
ip -n "$rcv" link set lo up
ip -n "$snd" addr add 10.213.0.1/24 dev "$vsnd"
ip -n "$rcv" addr add 10.213.0.2/24 dev "$vrcv"

# listening COMMAND... ADDRESS:PORT: a TCP socket listens there, as ss run through COMMAND sees it.
listening() { "${@:1:$#-1}" ss -ltn | grep -qF " ${!#} "; }
"${in_rcv[@]}" iperf3 -s -B 10.213.0.2 >"$work/iperf3-server.log" 2>&1 &
pids+=($!)
poll 5 listening "${in_rcv[@]}" 10.213.0.2:5201 || fail "the iperf3 server did not start: $(cat "$work/iperf3-server.log")"

# watch DIR: starts the truth sampler, the probe, ifstat and bmon in the sender's namespace;
# sets sampler_pid, probe_pid and peer_pids.
watch() {
  local d=$1
  echo "$vsnd" >"$d/iface"
  "${in_snd[@]}" "${analyse[@]}" sample "$d/truth.txt" "$vsnd" &
  sampler_pid=$!
  pids+=("$sampler_pid")
  poll 5 test -s "$d/truth.txt" || fail "the truth sampler wrote nothing"
  "${in_snd[@]}" "$probe" --watch 100000 > >(stamp >"$d/probe.txt") 2>"$d/probe.err" &
  probe_pid=$!
  "${in_snd[@]}" stdbuf -oL ifstat -a -T -n -t 1 > >(stamp >"$d/ifstat.txt") 2>"$d/ifstat.err" &
  peer_pids=($!)
  "${in_snd[@]}" stdbuf -oL bmon -r 1 -p "$vsnd,lo" \
    -o 'format:fmt=$(element:name) $(attr:rxrate:bytes) $(attr:txrate:bytes)\n' \
    > >(stamp >"$d/bmon.txt") 2>"$d/bmon.err" &
  peer_pids+=($!)
  pids+=("$probe_pid" "${peer_pids[@]}")
}

# unwatch DIR: stops what watch started and checks that each tool said something.
unwatch() {
  local d=$1 p f
  for p in "$probe_pid" "${peer_pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  # Time itself: the truth runs on past the tools' last readings.
  sleep 0.3
  kill "$sampler_pid"
  wait "$sampler_pid" || true
  sleep 0.2  # the stampers, which the shell does not wait for, finish their last lines
  for f in probe ifstat bmon truth; do
    [[ -s $d/$f.txt ]] || fail "$f wrote nothing; its errors: $(cat "$d/$f.err" 2>/dev/null)"
  done
}

# send RATE SECONDS LOG: UDP from the sender to the receiver, in the background; sets traffic_pid.
send() {
  local len=1400
  (($1 >= 1000)) && len=8900
  "${in_snd[@]}" iperf3 -c 10.213.0.2 -u -b "${1}M" -l "$len" -t "$2" >"$3" 2>&1 &
  traffic_pid=$!
  pids+=("$traffic_pid")
}

rows=$work/rows.md
for rate in "${rates[@]}"; do
  echo "accuracy: $rate Mbit/s for $seconds s" >&2
  d=$work/$rate
  mkdir -p "$d"
  send "$rate" "$seconds" "$d/iperf3.log"
  # Time itself here and below: the traffic settles before the tools watch it, and they watch
  # it for as long as the table says.
  sleep 0.5
  watch "$d"
  sleep "$watched"
  unwatch "$d"
  wait "$traffic_pid" || fail "iperf3 at $rate Mbit/s: $(cat "$d/iperf3.log")"
  "${analyse[@]}" rows "$rate Mbit/s" "$d" >>"$rows"
done

# The probe stopped for five seconds in the middle of steady traffic, then let go on.
echo "accuracy: the probe stopped for 5 s at 100 Mbit/s" >&2
d=$work/stop
mkdir -p "$d"
send 100 30 "$d/iperf3.log"
# The sleeps here are the experiment's timing: 10 s of readings, the stop, 8 s after it.
sleep 0.5
watch "$d"
sleep 10.4
stopped_at=$EPOCHREALTIME
kill -STOP "$probe_pid"
sleep 5
resumed_at=$EPOCHREALTIME
kill -CONT "$probe_pid"
sleep 8
unwatch "$d"
wait "$traffic_pid" || fail "iperf3 during the stop run: $(cat "$d/iperf3.log")"
"${analyse[@]}" stop "$d" "$stopped_at" "$resumed_at" >"$work/stop.md"

# What counts on the host itself: 20 Mbit/s over loopback and 20 Mbit/s over a veth into the
# receiver's namespace move no byte over a hardware link, so the probe's automatic reading is the
# hardware links' own background; with lo chosen it reads the loopback rate.
echo "accuracy: what counts on the host, 20 Mbit/s over loopback and over a veth" >&2
vhost=tgh$$ vns=tgn$$
ip link add "$vhost" type veth peer name "$vns"
ip link set "$vns" netns "$rcv"
ip link set "$vhost" up
ip -n "$rcv" link set "$vns" up
ip addr add 10.214.0.1/24 dev "$vhost"
ip -n "$rcv" addr add 10.214.0.2/24 dev "$vns"
"${in_rcv[@]}" iperf3 -s -B 10.214.0.2 -p 5202 >"$work/iperf3-veth-server.log" 2>&1 &
pids+=($!)
iperf3 -s -B 127.0.0.1 -p 5203 >"$work/iperf3-lo-server.log" 2>&1 &
pids+=($!)
poll 5 listening "${in_rcv[@]}" 10.214.0.2:5202 || fail "the iperf3 server over the veth did not start"
poll 5 listening 127.0.0.1:5203 || fail "the iperf3 server on loopback did not start"
iperf3 -c 10.214.0.2 -p 5202 -u -b 20M -t 12 >"$work/iperf3-veth.log" 2>&1 &
clients=($!)
iperf3 -c 127.0.0.1 -p 5203 -u -b 20M -t 12 >"$work/iperf3-lo.log" 2>&1 &
clients+=($!)
pids+=("${clients[@]}")
sleep 2  # time itself: the traffic settles before the probes read it
# bytes LINKS...: received and sent bytes summed over the links, from their own counters.
bytes() {
  local rx=0 tx=0 l
  for l in "$@"; do
    rx=$((rx + $(cat "/sys/class/net/$l/statistics/rx_bytes")))
    tx=$((tx + $(cat "/sys/class/net/$l/statistics/tx_bytes")))
  done
  echo "$rx $tx $EPOCHREALTIME"
}
hardware=()
for l in /sys/class/net/*; do [[ -e $l/device ]] && hardware+=("$(basename "$l")"); done
before_hw=$(bytes "${hardware[@]}") before_lo=$(bytes lo)
"$probe" --watch 6 >"$work/host-auto.txt" &
auto_pid=$!
"$probe" --watch 6 --interfaces lo >"$work/host-lo.txt"
wait "$auto_pid"
after_hw=$(bytes "${hardware[@]}") after_lo=$(bytes lo)
/usr/bin/python3 - "$work" "$before_hw" "$after_hw" "$before_lo" "$after_lo" "${hardware[*]:-none}" >"$work/host.md" <<'PY'
import sys
work, bh, ah, bl, al, links = sys.argv[1:]
def mean(path):
    rows = [l.split() for l in open(path)]
    d = [int(r[1][2:]) for r in rows[1:] if len(r) == 3]  # the first second is the baseline's
    u = [int(r[2][2:]) for r in rows[1:] if len(r) == 3]
    return sum(d) / len(d), sum(u) / len(u), len(d)
def rate(before, after):
    b, a = [float(x) for x in before.split()], [float(x) for x in after.split()]
    t = a[2] - b[2]
    return (a[0] - b[0]) * 8 / 1000 / t, (a[1] - b[1]) * 8 / 1000 / t
auto, lo = mean(f"{work}/host-auto.txt"), mean(f"{work}/host-lo.txt")
hw, lor = rate(bh, ah), rate(bl, al)
print("| reading, kbit/s | download | upload | seconds |")
print("|---|---:|---:|---:|")
print(f"| `tidegauge-probe --watch 6`, automatic | {auto[0]:.0f} | {auto[1]:.0f} | {auto[2]} |")
print(f"| the hardware links' own counters ({links}) | {hw[0]:.0f} | {hw[1]:.0f} | |")
print(f"| `tidegauge-probe --watch 6 --interfaces lo` | {lo[0]:.0f} | {lo[1]:.0f} | {lo[2]} |")
print(f"| loopback's own counters | {lor[0]:.0f} | {lor[1]:.0f} | |")
print()
print(f"Loopback as the probe read it against its counters: {100 * (lo[1] - lor[1]) / lor[1]:+.1f} % (upload).")
PY
for p in "${clients[@]}"; do wait "$p" || fail "iperf3 on the host: $(cat "$work"/iperf3-{veth,lo}.log)"; done
ip link del "$vhost" 2>/dev/null || true

body=$work/section.md
{
  echo "## Accuracy against the interface counters"
  echo
  echo "Machine: $(machine_line) (shared with other jobs while it ran)."
  echo
  echo "Command: \`sudo bench/accuracy.sh\`"
  echo
  echo "Two network namespaces joined by a veth pair (MTU 9000); iperf3 sends UDP from one to the other"
  echo "for $seconds s at each rate (\`-u -b RATE -l 1400\`, \`-l 8900\` at 1000 Mbit/s). In the sender's"
  echo "namespace, for $watched s of that traffic: \`tidegauge-probe --watch\` (sent bytes: its U read-out,"
  echo "kilobits of 1000 bits), \`ifstat -a -T -n -t 1\` (its Total out column, KB of 1024 bytes) and"
  echo "\`bmon -r 1\` in its format output (the veth row's byte rate). The truth is the veth's and"
  echo "loopback's own sent-byte counters in sysfs, read every 2 ms with timestamps and interpolated"
  echo "(iperf3 makes up for a stall with a burst, which a coarser truth would smear)."
  echo "The sender receives nothing: the probe shows every second, an upload alone included. In that namespace"
  echo "no link is hardware, so the probe counts every link but loopback, here the veth."
  echo
  echo "Each reading is compared with the truth over the interval it covers: from the tool's previous reading"
  echo "to this one, each at its own time (the probe's own millisecond stamp; for ifstat and bmon the moment"
  echo "the line reached the script). From the second reading on. Mean is of the absolute errors; worst second"
  echo "is the one-second error furthest from zero; whole run compares the sum of reading × interval with the"
  echo "true bytes over the same span; mean difference is reading minus truth in kilobytes (1000 bytes) a"
  echo "second. The probe shows whole kilobytes per second, rounded down as the window does, so its"
  echo "readings lie up to 1 kB/s under the truth: at 1 Mbit/s (about 129 kB/s) one step is 0.8 %."
  echo
  echo "| rate | measured Mbit/s | tool | readings | mean error % | worst second % | whole run % | mean difference kB/s |"
  echo "|---|---:|---|---:|---:|---:|---:|---:|"
  cat "$rows"
  echo
  echo "Target for the probe: mean under 0.5 %, worst second under 2 %."
  echo
  echo "### What counts on the host"
  echo
  echo "In the host's own namespace: iperf3 UDP at 20 Mbit/s over loopback and at 20 Mbit/s over a veth into"
  echo "the receiver's namespace, at once. Neither moves a byte over a hardware link (one with a device behind"
  echo "it), so the automatic reading should be the hardware links' own background traffic; with \`lo\` chosen,"
  echo "the probe reads the loopback rate (every byte sent over it is received over it too, so both read alike)."
  echo "Means of seconds 2 to 6 of each probe, against the counters over the same stretch."
  echo
  cat "$work/host.md"
  echo
  echo "### The probe stopped for 5 s"
  echo
  echo "SIGSTOP about 10 s into steady 100 Mbit/s traffic, SIGCONT 5 s later; every probe reading from 3 s before"
  echo "the stop to 4 s after the resume, against the truth over its own interval and against the steady rate."
  echo
  cat "$work/stop.md"
} >"$body"
write_section accuracy "$body"
cat "$body"
