#!/usr/bin/env bash
# A long run of both real programs side by side with steady loopback traffic: the Linux monitor
# under Xvfb (resident memory, open descriptors, CPU) and the Windows build under Wine + Xvfb (its
# GDI and USER objects, counted from outside by guicount.exe). Samples at a fixed interval and
# writes the "soak" section of docs/benchmarks.md. Figures only; nothing is asserted.
#
#   bench/soak.sh [SECONDS [INTERVAL]]     defaults: 1800 s, a sample every 60 s
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-1800} interval=${2:-60}
source bench/lib/report.sh
source tests/e2e/xvfb.sh
source tests/win32/wine-prefix.sh

scripts/bootstrap
for preset in linux-release windows-cross; do
  cmake --preset "$preset" >/dev/null
done
cmake --build --preset linux-release --target tidegauge >/dev/null
cmake --build --preset windows-cross --target tidegauge guicount >/dev/null
linux_program=$root/build/linux-release/src/platform/gtk/tidegauge
[[ -x $linux_program ]] || linux_program=$(find "$root/build/linux-release" -name tidegauge -type f -perm -u+x | head -n 1)
windows_program=$(find "$root/build/windows-cross" -name tidegauge.exe -type f | head -n 1)
guicount=$root/build/windows-cross/tests/win32/guicount.exe
[[ -x $linux_program && -f $windows_program && -f $guicount ]] || { echo "soak: programs not built" >&2; exit 1; }

work=$(mktemp -d /tmp/tidegauge-soak.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  end_wineserver
  drop_wine_prefix
  for p in "${xservers[@]:-}"; do [[ -n $p ]] && kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
xservers=()
trap cleanup EXIT

# Steady traffic on loopback, which both programs count.
port=$((20000 + RANDOM % 20000))
iperf3 -s -p "$port" >/dev/null 2>&1 & pids+=($!)
sleep 0.5
iperf3 -c 127.0.0.1 -p "$port" -u -b 5M -t $((seconds + 30)) >/dev/null 2>&1 & pids+=($!)

# The Linux monitor, with its first-run message already seen.
mkdir -p "$work/linux"
start_xvfb "$work/linux" 1920x1080x24 && xservers+=("$XVFB_PID")
linux_display=$DISPLAY
mkdir -p "$work/linux/config/TideGauge" && mkdir -m 700 "$work/linux/run"
printf '[配置]\ninfo=1\n' >"$work/linux/config/TideGauge/settings.ini"
HOME=$work/linux XDG_CONFIG_HOME=$work/linux/config XDG_RUNTIME_DIR=$work/linux/run \
  NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory DBUS_SESSION_BUS_ADDRESS= DISPLAY=$linux_display \
  "$linux_program" >"$work/linux.log" 2>&1 & linux_pid=$!; pids+=("$linux_pid")

# The Windows build on a display of its own, in a throwaway prefix.
mkdir -p "$work/windows"
start_xvfb "$work/windows" 1920x1080x24 && xservers+=("$XVFB_PID")
use_wine_prefix wine
end_wineserver  # its desktop process must start on our display, not the one wineboot had
export LC_ALL=C.UTF-8
wine reg add 'HKCU\Software\TideGauge\配置' /v info /t REG_SZ /d 1 /f >/dev/null 2>&1
wine "$windows_program" >"$work/windows.log" 2>&1 & pids+=($!)

gui_count() { wine "$guicount" tidegauge.exe 2>/dev/null | tr -d '\r' || echo "- -"; }
cpu_seconds() { awk '{printf "%.2f", ($14 + $15) / 100}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
fds() { find "/proc/$1/fd" -mindepth 1 -maxdepth 1 | wc -l; }
# The Windows program's own Linux process carries the exe's name and runs in our prefix.
windows_pid() {
  local p
  for p in $(pgrep -x tidegauge.exe); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}

sleep 5
kill -0 "$linux_pid" || { cat "$work/linux.log" >&2; echo "soak: the Linux monitor did not start" >&2; exit 1; }
table=$work/table.md
printf '| time (s) | Linux RSS (KiB) | Linux fds | Linux CPU (s) | Wine GDI | Wine USER | Wine RSS (KiB) | Wine CPU (s) |\n' >"$table"
printf '|---:|---:|---:|---:|---:|---:|---:|---:|\n' >>"$table"
start=$(date +%s)
for ((t = 0; t <= seconds; t += interval)); do
  sleep $((start + t - $(date +%s) > 0 ? start + t - $(date +%s) : 0))
  kill -0 "$linux_pid" || { echo "soak: the Linux monitor ended at ${t}s" >&2; exit 1; }
  wpid=$(windows_pid)
  read -r gdi user <<<"$(gui_count)"
  row=$(printf '| %s | %s | %s | %s | %s | %s | %s | %s |' "$t" "$(rss_kb "$linux_pid")" "$(fds "$linux_pid")" \
    "$(cpu_seconds "$linux_pid")" "${gdi:--}" "${user:--}" "$( [[ -n $wpid ]] && rss_kb "$wpid" || echo -)" \
    "$( [[ -n $wpid ]] && cpu_seconds "$wpid" || echo -)")
  echo "$row"
  echo "$row" >>"$table"
done

body=$work/body.md
{
  echo "## Long run of both programs (bench/soak.sh)"
  echo
  echo "Machine: $(machine_line)"
  echo
  echo "Command: \`bench/soak.sh $seconds $interval\`: the Linux monitor under Xvfb and the Windows build"
  echo "under Wine + Xvfb, side by side, with 5 Mbit/s of UDP on loopback for the whole run."
  echo "GDI / USER objects come from guicount.exe (tests/win32), which reads the running program's GDI"
  echo "handle table and counts its windows, because Wine answers 0 to GetGuiResources."
  echo
  cat "$table"
} >"$body"
write_section soak "$body"
echo "soak: written to docs/benchmarks.md"
