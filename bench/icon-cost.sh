#!/usr/bin/env bash
# What the notification-area icon costs: two copies of tidegauge side by side over SECONDS under the
# same loopback traffic, one with trayicon=1 and one without, on a private Xvfb whose session bus
# has a panel that hosts the icon (so its tooltip and label really go out each tick); beside them
# two copies of tidegauge.exe under Wine, each in a prefix of its own, whose shell shows the icon.
# Prints the CPU of each copy (under Wine with its prefix's server; the shell's apart) and the
# icon's share. Needs root (a network namespace of its own).
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
  build_targets windows-cross tidegauge tidegauge-probe
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

exe=$root/build/windows-cross
# wine_copy COPY: a prefix of its own whose settings count loopback, with the icon on or off; the
# first-run message seen. Started, its tidegauge.exe, wineserver and explorer (the shell, which
# shows the icon) are pid[COPY.exe], pid[COPY.server], pid[COPY.shell].
wine_copy() {
  local copy=$1 name
  export WINEPREFIX=$work/wine-$copy WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot --init >/dev/null 2>&1 || fail "wineboot could not make $WINEPREFIX"
  name=$(wine "$exe/tidegauge-probe.exe" --table 2>/dev/null | tr -d '\r' | awk -F'\t' '$2 == 24 {print $3; exit}')
  [[ -n $name ]] || fail "the probe under Wine lists no loopback row"
  for value in "info 1" "interfaces $name" "trayicon $([[ $copy == on ]] && echo 1 || echo 0)"; do
    wine reg add "$section" /v "${value%% *}" /t REG_SZ /d "${value#* }" /f >/dev/null 2>&1 || fail "no registry"
  done
  wine "$exe/tidegauge.exe" >"$work/$copy.exe.log" 2>&1 &
  pids+=($!)
  up() {
    pid[$copy.exe]=$(wine_pid tidegauge.exe) pid[$copy.server]=$(wine_pid wineserver)
    pid[$copy.shell]=$(wine_pid explorer.exe)
    [[ -n ${pid[$copy.exe]} && -n ${pid[$copy.server]} && -n ${pid[$copy.shell]} ]]
  }
  poll 60 up || fail "tidegauge.exe did not start in $WINEPREFIX: $(tail -n 5 "$work/$copy.exe.log")"
  on_finish env WINEPREFIX="$WINEPREFIX" wineserver -k
  unset WINEPREFIX
}

export LC_ALL=C.UTF-8  # Wine's reg tool takes the section's name in the locale's character set
traffic $((seconds + warmup + 300)) "" 10M
declare -A pid
for copy in off on; do
  linux_home "$copy" "trayicon=$([[ $copy == on ]] && echo 1 || echo 0)"
  "$root/build/linux-release/tidegauge" >"$work/$copy.log" 2>&1 &
  pid[$copy]=$!
  pids+=("${pid[$copy]}")
  wine_copy "$copy"
done
sleep "$warmup"
# User + system time of the whole process, every thread's (the icon's bus traffic runs mostly on
# GDBus's thread) and those that have ended (GLib's pool threads end when idle), in nanoseconds.
cpu_ns() { echo $(($(cpu_ticks "$1") * 1000000000 / $(getconf CLK_TCK))); }
measured=(off on off.exe on.exe off.server on.server off.shell on.shell)
declare -A start used
for m in "${measured[@]}"; do start[$m]=$(cpu_ns "${pid[$m]}"); done
sleep "$seconds"
for m in "${measured[@]}"; do
  kill -0 "${pid[$m]}" 2>/dev/null || fail "$m ended early"
  used[$m]=$(($(cpu_ns "${pid[$m]}") - start[$m]))
done
used[off.wine]=$((used[off.exe] + used[off.server])) used[on.wine]=$((used[on.exe] + used[on.server]))
echo "CPU over $seconds s side by side, 10 Mbit/s on loopback (s):"
share() {
  awk -v name="$1" -v off="${used[$2]}" -v on="${used[$3]}" \
    'BEGIN {
       printf "  %-34s off %7.3f  on %7.3f", name, off / 1e9, on / 1e9
       if (off > 0) printf "  the icon %+6.1f %%", (on - off) * 100 / off
       print ""
     }'
}
share "tidegauge (GTK)" off on
share "tidegauge.exe with its wineserver" off.wine on.wine
share "Wine's shell (explorer.exe)" off.shell on.shell
