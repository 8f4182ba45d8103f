#!/usr/bin/env bash
# A long run of both real programs side by side with steady loopback traffic, which both count
# (their settings say so): the Linux monitor (private dirty memory, open descriptors, CPU) and the
# Windows build under Wine (its GDI and USER objects, counted from outside by guicount.exe, and
# its private dirty memory and CPU), on one private Xvfb, in a network namespace of its own when
# run as root. Samples at a fixed interval and writes the "soak" section of docs/benchmarks.md.
# Figures only; nothing is asserted but that both programs run and draw bars to the end.
#
#   bench/soak.sh [SECONDS [INTERVAL]]     defaults: 1800 s, a sample every 60 s
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/setup.sh
source "$here/lib/setup.sh"

seconds=${1:-1800} interval=${2:-60}
if [[ ${TIDEGAUGE_OWN_NETWORK:-} != 1 ]]; then
  ensure_packages iperf3 xvfb xdotool x11-utils imagemagick wine wine64 iproute2 cmake ninja-build \
    g++-mingw-w64-x86-64-posix
  build_targets linux-release tidegauge
  build_targets windows-cross tidegauge tidegauge-probe guicount
fi
own_network "$0" "$@"
linux_program=$root/build/linux-release/tidegauge
windows_program=$root/build/windows-cross/tidegauge.exe
guicount=$root/build/windows-cross/tests/win32/guicount.exe
begin soak
start_xvfb "$work" 1920x1080x24 || exit 1

# Steady traffic on loopback.
traffic $((seconds + 60)) "" 5M

# The Linux monitor, at 1000 500 pixels, clear of the Windows one at its first-start place.
linux_home soak x=15000 y=7500
NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory DBUS_SESSION_BUS_ADDRESS= "$linux_program" >"$log" 2>&1 &
linux_pid=$!
pids+=("$linux_pid")

# The Windows build in a throwaway prefix.
wine_prefix "${windows_program%/*}/tidegauge-probe.exe"
wine "$windows_program" >"$work/windows.log" 2>&1 &
pids+=($!)
windows_up() { windows_pid=$(wine_pid tidegauge.exe) && [[ -n $windows_pid ]]; }
poll 60 windows_up || fail "tidegauge.exe did not start: $(tail -n 20 "$work/windows.log")"

# both_draw: each program's window shows bars of the traffic.
both_draw() {
  local p
  for p in "$linux_pid" "$windows_pid"; do
    app=$p
    poll 30 find_main || fail "process $p shows no window"
    poll 15 bars_drawn || fail "process $p drew no bars of the traffic ($upload pixels in $bars columns)"
  done
}
both_draw

gui_count() { wine "$guicount" tidegauge.exe 2>/dev/null | tr -d '\r' || echo "- -"; }
cpu_seconds() { awk -v t="$(cpu_ticks "$1")" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", t / hz}'; }
dirty_kb() { memory "$1" | cut -d' ' -f3; }
fds() { find "/proc/$1/fd" -mindepth 1 -maxdepth 1 | wc -l; }

table=$work/table.md
printf '| time (s) | Linux private dirty (KiB) | Linux fds | Linux CPU (s) | Wine GDI | Wine USER | Wine private dirty (KiB) | Wine CPU (s) |\n' >"$table"
printf '|---:|---:|---:|---:|---:|---:|---:|---:|\n' >>"$table"
start=$(date +%s)
for ((t = 0; t <= seconds; t += interval)); do
  # Time itself: the samples keep to their interval.
  sleep $((start + t - $(date +%s) > 0 ? start + t - $(date +%s) : 0))
  kill -0 "$linux_pid" 2>/dev/null || fail "the Linux monitor ended at ${t} s: $(tail -n 20 "$log")"
  kill -0 "$windows_pid" 2>/dev/null || fail "the Windows build ended at ${t} s: $(tail -n 20 "$work/windows.log")"
  read -r gdi user <<<"$(gui_count)"
  row=$(printf '| %s | %s | %s | %s | %s | %s | %s | %s |' "$t" "$(dirty_kb "$linux_pid")" "$(fds "$linux_pid")" \
    "$(cpu_seconds "$linux_pid")" "${gdi:--}" "${user:--}" "$(dirty_kb "$windows_pid")" "$(cpu_seconds "$windows_pid")")
  echo "$row"
  echo "$row" >>"$table"
done
both_draw

body=$work/body.md
{
  echo "## Long run of both programs (bench/soak.sh)"
  echo
  echo "Machine: $(machine_line)"
  echo
  echo "Command: \`sudo bench/soak.sh $seconds $interval\`: the Linux monitor and the Windows build under Wine"
  echo "side by side on one Xvfb, with 5 Mbit/s of UDP on loopback for the whole run,"
  $private_network && echo "in a network namespace of its own." || echo "in the host's network namespace (none of its own without root)."
  echo "Both count loopback, as their settings say (\`interfaces=lo\`; under Wine loopback's row), and both"
  echo "showed bars of the traffic at the start and at the end. Private dirty memory is from"
  echo "/proc/PID/smaps_rollup. GDI / USER objects come from guicount.exe (tests/win32), which reads the running"
  echo "program's GDI handle table and counts its windows, because Wine answers 0 to GetGuiResources."
  echo
  cat "$table"
} >"$body"
write_section soak "$body"
echo "soak: written to docs/benchmarks.md"
