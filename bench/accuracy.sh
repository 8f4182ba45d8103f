#!/usr/bin/env bash
# How close the probe's once-a-second readings come to the interface counters themselves, beside
# ifstat and bmon on the same traffic. Two network namespaces joined by a veth pair, UDP from one
# to the other at fixed rates; everything is measured in the sender's namespace, where only
# loopback and the veth exist. Writes its section of docs/benchmarks.md. Needs root.
# TG_KEEP_WORK=1 keeps the raw readings (its folder is named on the error stream).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
source "$here/lib/report.sh"
source "$here/lib/setup.sh"

[[ $(id -u) -eq 0 ]] || { echo "FAIL: network namespaces need root" >&2; exit 1; }

rates=(1 10 100 1000)   # Mbit/s
seconds=20              # of traffic per rate
watched=18              # seconds the tools watch, inside the traffic

ensure_packages iperf3 ifstat bmon iputils-ping iproute2 python3 cmake ninja-build
build_targets linux-release tidegauge-probe
probe=$root/build/linux-release/tidegauge-probe
analyse=(/usr/bin/python3 "$here/lib/accuracy.py")

snd=tg-snd-$$ rcv=tg-rcv-$$ vsnd=tgs$$ vrcv=tgr$$
work=$(mktemp -d /tmp/tg-accuracy.XXXXXX)
pids=()

cleanup() {
  local p
  for p in "${pids[@]}"; do kill -CONT "$p" 2>/dev/null || true; kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  ip netns del "$snd" 2>/dev/null || true
  ip netns del "$rcv" 2>/dev/null || true
  [[ -n ${TG_KEEP_WORK:-} ]] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

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

"${in_rcv[@]}" iperf3 -s -B 10.213.0.2 >"$work/iperf3-server.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 50; i++)); do
  "${in_rcv[@]}" ss -ltn 2>/dev/null | grep -q '10.213.0.2:5201' && break
  sleep 0.1
done
"${in_rcv[@]}" ss -ltn | grep -q '10.213.0.2:5201' || { echo "FAIL: the iperf3 server did not start" >&2; exit 1; }

# The probe, like the window, shows only a second in which both directions moved; a UDP sender
# receives nothing, so a ping from the other side gives it a trickle of received bytes. The
# trickle is in the counters too, so the truth includes it.
"${in_rcv[@]}" ping -q -i 0.2 10.213.0.1 >/dev/null 2>&1 &
pids+=($!)

# watch DIR: starts the truth sampler, the probe, ifstat and bmon in the sender's namespace;
# sets sampler_pid, probe_pid and peer_pids.
watch() {
  local d=$1
  echo "$vsnd" >"$d/iface"
  "${in_snd[@]}" "${analyse[@]}" sample "$d/truth.txt" "$vsnd" &
  sampler_pid=$!
  pids+=("$sampler_pid")
  sleep 0.2
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
  sleep 0.3
  kill "$sampler_pid"
  wait "$sampler_pid" || true
  sleep 0.2  # the stampers finish their last lines
  for f in probe ifstat bmon truth; do
    [[ -s $d/$f.txt ]] || { echo "FAIL: $f wrote nothing; its errors:" >&2; cat "$d/$f.err" >&2 2>/dev/null; exit 1; }
  done
}

# traffic RATE SECONDS LOG: UDP from the sender to the receiver, in the background; sets traffic_pid.
traffic() {
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
  traffic "$rate" "$seconds" "$d/iperf3.log"
  sleep 0.5
  watch "$d"
  sleep "$watched"
  unwatch "$d"
  wait "$traffic_pid" || { echo "FAIL: iperf3 at $rate Mbit/s:" >&2; cat "$d/iperf3.log" >&2; exit 1; }
  "${analyse[@]}" rows "$rate Mbit/s" "$d" >>"$rows"
done

# The probe stopped for five seconds in the middle of steady traffic, then let go on.
echo "accuracy: the probe stopped for 5 s at 100 Mbit/s" >&2
d=$work/stop
mkdir -p "$d"
traffic 100 30 "$d/iperf3.log"
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
wait "$traffic_pid" || { echo "FAIL: iperf3 during the stop run:" >&2; cat "$d/iperf3.log" >&2; exit 1; }
"${analyse[@]}" stop "$d" "$stopped_at" "$resumed_at" >"$work/stop.md"

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
  echo "A ping every 0.2 s from the receiver gives the sender the received bytes that the probe needs to show"
  echo "a second at all (it shows a second only when both directions moved); that trickle is in the truth."
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
  echo "### The probe stopped for 5 s"
  echo
  echo "SIGSTOP about 10 s into steady 100 Mbit/s traffic, SIGCONT 5 s later; every probe reading from 3 s before"
  echo "the stop to 4 s after the resume, against the truth over its own interval and against the steady rate."
  echo
  cat "$work/stop.md"
} >"$body"
write_section accuracy "$body"
cat "$body"
