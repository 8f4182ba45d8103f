#!/usr/bin/env bash
# What the notification-area icon costs: two copies of tidegauge side by side over SECONDS under the
# same loopback traffic, one with trayicon=1 and one without, on a private Xvfb whose session bus
# has a panel that hosts the icon (so its tooltip and label really go out each tick). Prints the
# CPU of each copy and the icon's share. Needs root (a network namespace of its own).
#
#   bench/icon-cost.sh [SECONDS]   (600 unless told)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/setup.sh
source "$here/lib/setup.sh"

seconds=${1:-600} warmup=15
[[ $seconds =~ ^[1-9][0-9]*$ ]] || fail "usage: bench/icon-cost.sh [SECONDS]"
[[ $(id -u) -eq 0 ]] || fail "a network namespace of our own needs root"
if [[ ${TIDEGAUGE_OWN_NETWORK:-} != 1 ]]; then
  ensure_packages xfce4-panel dbus-daemon iperf3 xvfb
  build_targets linux-release tidegauge
fi
own_network "$0" "$@"
$private_network || fail "no network namespace of our own: the host's traffic would count"
begin icon-cost
start_xvfb "$work" 1280x800x24 || exit 1
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory

# One bus for the panel and both copies, as on a desktop.
dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" >/dev/null 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
poll 5 test -S "$work/bus" || fail "the session bus did not start"
fresh_home panel
/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd >/dev/null 2>&1 &
pids+=($!)
xfce4-panel --disable-wm-check >"$work/panel.log" 2>&1 &
pids+=($!)
watcher() { gdbus call --session --dest org.freedesktop.DBus --object-path / \
  --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true; }
poll 20 watcher || fail "the panel offers no StatusNotifierWatcher: $(tail -n 5 "$work/panel.log")"

traffic $((seconds + warmup + 60)) "" 10M
declare -A pid
for copy in off on; do
  linux_home "$copy" "trayicon=$([[ $copy == on ]] && echo 1 || echo 0)"
  "$root/build/linux-release/tidegauge" >"$work/$copy.log" 2>&1 &
  pid[$copy]=$!
  pids+=("${pid[$copy]}")
done
sleep "$warmup"
# The scheduler's own count, in nanoseconds: a copy uses well under a second of CPU in ten minutes.
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
declare -A start used
for copy in off on; do start[$copy]=$(cpu_ns "${pid[$copy]}"); done
sleep "$seconds"
for copy in off on; do
  kill -0 "${pid[$copy]}" 2>/dev/null || fail "the copy with the icon $copy ended: $(tail -n 5 "$work/$copy.log")"
  used[$copy]=$(($(cpu_ns "${pid[$copy]}") - start[$copy]))
done
echo "CPU over $seconds s side by side, 10 Mbit/s on loopback:"
for copy in off on; do awk -v t="${used[$copy]}" -v c="$copy" 'BEGIN {printf "  icon %-3s %7.3f s\n", c, t / 1e9}'; done
awk -v on="${used[on]}" -v off="${used[off]}" 'BEGIN {printf "  the icon: %+.1f %% of the tick\n", (on - off) * 100 / (off ? off : 1)}'
