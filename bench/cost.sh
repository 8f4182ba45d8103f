#!/usr/bin/env bash
# What the monitors cost while they watch steady traffic: CPU time over the same two minutes and
# memory at the end, for the Linux tidegauge beside conky, nload and bmon, then for tidegauge.exe
# under Wine, and for a bare GTK 3 window with the accessibility bridge off and on. All of it runs
# in a network namespace of its own (only loopback, carrying the traffic), on a private Xvfb and a
# private session bus, with throwaway home and settings folders. Writes its section of
# docs/benchmarks.md. Needs root.
#
#   bench/cost.sh [SECONDS]      (120 when not given)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(git -C "$here" rev-parse --show-toplevel)
source "$here/lib/report.sh"
source "$here/lib/setup.sh"
source "$root/tests/e2e/xvfb.sh"
source "$root/tests/win32/wine-prefix.sh"

seconds=${1:-120}
warmup=15
[[ $(id -u) -eq 0 ]] || { echo "FAIL: network namespaces need root" >&2; exit 1; }

ensure_packages conky-std nload bmon iperf3 tmux xvfb wine wine64 dbus-daemon dbus-bin at-spi2-core \
  gcc pkg-config libgtk-3-dev iproute2 procps cmake ninja-build g++-mingw-w64-x86-64-posix
build_targets linux-release tidegauge
build_targets windows-cross tidegauge
program=$root/build/linux-release/tidegauge
exe=$root/build/windows-cross/tidegauge.exe

ns=tg-cost-$$
work=$(mktemp -d /tmp/tg-cost.XXXXXX)
pids=()
bus_pid=
tmux_sock=$work/tmux.sock

# bus_processes: "PID COMM" of what our session bus started for the accessibility bridge (the
# bus launcher detaches them from it, so they are found by the bus address they were given).
bus_processes() {
  local e p
  for e in /proc/[0-9]*/environ; do
    p=${e#/proc/}
    p=${p%/environ}
    [[ $p == "$bus_pid" ]] && continue
    { tr '\0' '\n' <"$e" | grep -qE "^DBUS_(SESSION_BUS|STARTER)_ADDRESS=unix:path=$work/bus(,|$)" &&
      grep -qE '^(at-spi|dbus-daemon)' "/proc/$p/comm" && echo "$p $(cat "/proc/$p/comm")"; } 2>/dev/null || true
  done
}

cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  [[ -S $tmux_sock ]] && tmux -S "$tmux_sock" kill-server 2>/dev/null || true
  if [[ -n ${WINEPREFIX:-} ]]; then end_wineserver; drop_wine_prefix; fi
  if [[ -n $bus_pid ]]; then
    for p in $(bus_processes | cut -d' ' -f1) "$bus_pid"; do kill "$p" 2>/dev/null || true; done
  fi
  stop_xvfb
  ip netns del "$ns" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Never put a function in the background here: $! would be a subshell, not the program to measure.
in_ns=(ip netns exec "$ns")

ip netns add "$ns"
ip -n "$ns" link set lo up

start_xvfb "$work" 1920x1080x24

# Nothing of the user's own folders, bus or settings.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY NO_AT_BRIDGE
mkdir -p "$HOME" "$XDG_CONFIG_HOME/TideGauge" "$XDG_CONFIG_HOME/conky" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# A session bus as on a desktop, so that the accessibility bridge finds its bus the way it would there.
"${in_ns[@]}" dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" \
  --print-address=3 3>"$work/bus.address" >/dev/null 2>&1 &
bus_pid=$!
for ((i = 0; i < 50; i++)); do [[ -s $work/bus.address ]] && break; sleep 0.1; done
[[ -s $work/bus.address ]] || { echo "FAIL: the session bus did not start" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus

# Steady traffic on loopback, the only interface in the namespace; every monitor watches it.
"${in_ns[@]}" iperf3 -s -B 127.0.0.1 >"$work/iperf3-server.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 50; i++)); do "${in_ns[@]}" ss -ltn | grep -q '127.0.0.1:5201' && break; sleep 0.1; done
traffic_seconds=$((2 * (seconds + warmup) + 120))
"${in_ns[@]}" iperf3 -c 127.0.0.1 -u -b 20M -l 1400 -t "$traffic_seconds" >"$work/iperf3.log" 2>&1 &
traffic_pid=$!
pids+=("$traffic_pid")

# The bare GTK window, built here so nothing of ours is in it.
cat >"$work/bare.c" <<'EOF'
#include <gtk/gtk.h>

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 181, 91);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
EOF
# shellcheck disable=SC2046
gcc -O2 -o "$work/bare-gtk" "$work/bare.c" $(pkg-config --cflags --libs gtk+-3.0) ||
  { echo "FAIL: the bare GTK window did not compile" >&2; exit 1; }

cat >"$XDG_CONFIG_HOME/conky/conky.conf" <<'EOF'
conky.config = {
    out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
    own_window_title = 'conky-cost', update_interval = 1, double_buffer = true,
    minimum_width = 200, minimum_height = 90, use_xft = false, font = 'fixed',
    background = false, total_run_times = 0,
};
conky.text = [[
Down ${downspeed lo}
${downspeedgraph lo 25,200}
Up ${upspeed lo}
${upspeedgraph lo 25,200}
]];
EOF

# The first-run message would wait for a click.
printf '[配置]\ninfo=1\n' >"$XDG_CONFIG_HOME/TideGauge/settings.ini"

clk=$(getconf CLK_TCK)
# cpu_ticks PID: user + system time of the process so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# memory PID: "PSS private" in KiB from smaps_rollup.
memory() {
  awk '/^Pss:/ {pss = $2} /^Private_(Clean|Dirty):/ {priv += $2} END {print pss, priv}' "/proc/$1/smaps_rollup"
}
alive() { kill -0 "$1" 2>/dev/null || { echo "FAIL: $2 ended early; its output:" >&2; cat "$3" >&2; exit 1; }; }

# measure WARM-UP NAME... : with name_pid[NAME] set, samples CPU after the warm-up and again
# $seconds later, then memory; fills cpu[NAME], pss[NAME], priv[NAME].
declare -A name_pid start cpu pss priv
measure() {
  local n
  sleep "$1"
  shift
  for n in "$@"; do alive "${name_pid[$n]}" "$n" "$work/$n.log"; start[$n]=$(cpu_ticks "${name_pid[$n]}"); done
  sleep "$seconds"
  for n in "$@"; do
    alive "${name_pid[$n]}" "$n" "$work/$n.log"
    cpu[$n]=$(($(cpu_ticks "${name_pid[$n]}") - start[$n]))
    read -r pss[$n] priv[$n] < <(memory "${name_pid[$n]}")
  done
}

# private_by_mapping PID: where the private memory lies, largest first, grouped by what is mapped.
private_by_mapping() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anonymous]"; sub(".*/", "", name); next }
    /^Private_(Clean|Dirty):/ { kb[name] += $2 }
    END { for (n in kb) if (kb[n] > 0) printf "%d %s\n", kb[n], n }' "/proc/$1/smaps" | sort -rn
}

echo "cost: four monitors and four more GTK programs for ${seconds} s after ${warmup} s" >&2
"${in_ns[@]}" "$program" >"$work/tidegauge.log" 2>&1 &
name_pid[tidegauge]=$!
"${in_ns[@]}" conky -c "$XDG_CONFIG_HOME/conky/conky.conf" >"$work/conky.log" 2>&1 &
name_pid[conky]=$!
# GTK's own share: a bare window with the bridge off, on, and on without GDK's GL start-up; and a
# second tidegauge whose user named GDK_GL (empty: GDK's default), which keeps the GL start-up on,
# with its own runtime and settings folders so that it is not the second copy.
"${in_ns[@]}" env NO_AT_BRIDGE=1 "$work/bare-gtk" >"$work/bare-off.log" 2>&1 &
name_pid[bare-off]=$!
"${in_ns[@]}" "$work/bare-gtk" >"$work/bare-on.log" 2>&1 &
name_pid[bare-on]=$!
"${in_ns[@]}" env GDK_GL=disable NO_AT_BRIDGE=1 "$work/bare-gtk" >"$work/bare-nogl-off.log" 2>&1 &
name_pid[bare-nogl-off]=$!
"${in_ns[@]}" env GDK_GL=disable "$work/bare-gtk" >"$work/bare-nogl.log" 2>&1 &
name_pid[bare-nogl]=$!
mkdir -p "$work/gl/config/TideGauge" && mkdir -m 700 "$work/gl/run"
cp "$XDG_CONFIG_HOME/TideGauge/settings.ini" "$work/gl/config/TideGauge/"
"${in_ns[@]}" env GDK_GL= XDG_CONFIG_HOME="$work/gl/config" XDG_RUNTIME_DIR="$work/gl/run" "$program" \
  >"$work/tidegauge-gl.log" 2>&1 &
name_pid[tidegauge-gl]=$!
gtk_names=(bare-off bare-on bare-nogl-off bare-nogl tidegauge-gl)
for n in tidegauge conky "${gtk_names[@]}"; do pids+=("${name_pid[$n]}"); done
# The text monitors draw into terminals of their own, once a second like the others.
"${in_ns[@]}" tmux -S "$tmux_sock" -f /dev/null new-session -d -s cost -x 160 -y 48 "exec nload -t 1000 lo"
tmux -S "$tmux_sock" new-window -d -t cost "exec bmon -r 1 -p lo -o curses"
sleep 1
while read -r pane_pid pane_command; do
  case $pane_command in
    nload) name_pid[nload]=$pane_pid ;;
    bmon) name_pid[bmon]=$pane_pid ;;
  esac
done < <(tmux -S "$tmux_sock" list-panes -a -F '#{pane_pid} #{pane_current_command}')
[[ -n ${name_pid[nload]:-} && -n ${name_pid[bmon]:-} ]] ||
  { echo "FAIL: nload or bmon did not start in tmux" >&2; tmux -S "$tmux_sock" list-panes -a >&2; exit 1; }
touch "$work/nload.log" "$work/bmon.log"
measure "$warmup" tidegauge conky nload bmon "${gtk_names[@]}"
tidegauge_mappings=$(private_by_mapping "${name_pid[tidegauge]}" | head -n 10)
gl_mappings=$(private_by_mapping "${name_pid[tidegauge-gl]}" | head -n 10)
conky_mappings=$(private_by_mapping "${name_pid[conky]}" | head -n 6)
# Shows that the bridge found its bus: the accessibility bus and its registry run beside ours.
a11y_processes=$(bus_processes | cut -d' ' -f2 | sort | uniq -c |
  awk '{printf "%s%s%s", sep, $2, ($1 > 1 ? " ×" $1 : ""); sep = ", "}')
for n in tidegauge conky "${gtk_names[@]}"; do kill "${name_pid[$n]}"; wait "${name_pid[$n]}" 2>/dev/null || true; done
tmux -S "$tmux_sock" kill-server

echo "cost: tidegauge.exe under Wine for ${seconds} s" >&2
unset WINEPREFIX
use_wine_prefix wine
export LC_ALL=C.UTF-8
wine reg add 'HKCU\Software\TideGauge\配置' /v info /t REG_SZ /d 1 /f >/dev/null 2>&1 ||
  { echo "FAIL: could not store info=1 in the Wine registry" >&2; exit 1; }
end_wineserver
"${in_ns[@]}" env WINEPREFIX="$WINEPREFIX" wine "$exe" >"$work/wine.log" 2>&1 &
wine_start=$!
pids+=("$wine_start")
# wine_processes: "PID COMM" of every process of this prefix.
wine_processes() {
  local e p
  for e in /proc/[0-9]*/environ; do
    p=${e#/proc/}
    p=${p%/environ}
    { tr '\0' '\n' <"$e" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p $(cat "/proc/$p/comm")"; } 2>/dev/null || true
  done
}
exe_pid= server_pid=
for ((i = 0; i < 120 && (${#exe_pid} == 0 || ${#server_pid} == 0); i++)); do
  sleep 0.5
  while read -r p comm; do
    case $comm in
      tidegauge.exe) exe_pid=$p ;;
      wineserver*) server_pid=$p ;;
    esac
  done < <(wine_processes)
done
[[ -n $exe_pid && -n $server_pid ]] ||
  { echo "FAIL: no tidegauge.exe or wineserver process; Wine said:" >&2; tail -n 20 "$work/wine.log" >&2; exit 1; }
ln -s wine.log "$work/exe.log"
ln -s wine.log "$work/wineserver.log"
name_pid[exe]=$exe_pid
name_pid[wineserver]=$server_pid
declare -A other_start
sleep "$warmup"
for p in $(wine_processes | awk -v a="$exe_pid" -v b="$server_pid" '$1 != a && $1 != b {print $1}'); do
  other_start[$p]=$(cpu_ticks "$p" 2>/dev/null || echo 0)
done
measure 0 exe wineserver
other_cpu=0 other_names=
for p in "${!other_start[@]}"; do
  [[ -r /proc/$p/stat ]] || continue
  other_cpu=$((other_cpu + $(cpu_ticks "$p") - other_start[$p]))
  other_names+="$(cat "/proc/$p/comm") "
done

# Figures for the report.
secs() { awk -v t="$1" -v c="$clk" 'BEGIN {printf "%.2f", t / c}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "–"}'; }

body=$work/section.md
{
  echo "## What the monitors cost"
  echo
  echo "Machine: $(machine_line) (shared with other jobs while it ran, so CPU figures are noisy)."
  echo
  echo "Command: \`sudo bench/cost.sh $seconds\`"
  echo
  echo "A network namespace with only loopback, carrying iperf3 UDP at 20 Mbit/s the whole time; a private"
  echo "Xvfb (1920x1080x24, no window manager) and a private session bus. All programs start together; after"
  echo "${warmup} s of warm-up, CPU is user + system time from /proc/PID/stat over the next ${seconds} s, and memory is"
  echo "PSS and Private_Clean + Private_Dirty from /proc/PID/smaps_rollup at the end. Every monitor updates once"
  echo "a second: tidegauge as it does; conky with \`update_interval = 1\` and one download and one upload graph"
  echo "in its own X window; \`nload -t 1000 lo\` and \`bmon -r 1 -p lo -o curses\` in a tmux terminal each."
  echo "The X server's and the terminal's work for them is not counted. CPU time comes in ticks of 1/$clk s."
  echo
  echo "| program | CPU s in ${seconds} s | CPU × ours | PSS MiB | private MiB | private × ours |"
  echo "|---|---:|---:|---:|---:|---:|"
  for n in tidegauge conky nload bmon; do
    echo "| $n | $(secs "${cpu[$n]}") | $(ratio "${cpu[$n]}" "${cpu[tidegauge]}") | $(mib "${pss[$n]}") | $(mib "${priv[$n]}") | $(ratio "${priv[$n]}" "${priv[tidegauge]}") |"
  done
  echo
  least=tidegauge level=()
  for n in conky nload bmon; do
    ((cpu[$n] < cpu[$least])) && least=$n
    ((cpu[$n] == cpu[tidegauge])) && level+=("$n")
  done
  if [[ $least != tidegauge ]]; then echo "Least CPU of the four: $least, not tidegauge (target missed)."
  elif ((${#level[@]})); then
    echo "Least CPU of the four: tidegauge, level with ${level[*]} to the clock tick (target met, without a margin)."
  else echo "Least CPU of the four: tidegauge (target met)."; fi
  echo
  if ((priv[tidegauge] <= 2 * priv[conky])); then
    echo "Private memory of tidegauge: $(ratio "${priv[tidegauge]}" "${priv[conky]}") × conky's (target: at most 2; met)."
  else
    echo "Private memory of tidegauge: $(ratio "${priv[tidegauge]}" "${priv[conky]}") × conky's (target: at most 2; missed)."
  fi
  echo
  echo "### What GTK itself costs"
  echo
  echo "Beside the monitors above, over the same ${seconds} s: a bare GTK 3 window (a 181 x 91 GtkWindow and"
  echo "nothing else, compiled by the script) with the accessibility bridge off (\`NO_AT_BRIDGE=1\`) and on,"
  echo "each with GDK's GL start-up on and off (\`GDK_GL=disable\`); and a second tidegauge started with \`GDK_GL=\`"
  echo "(named but empty, so GDK does its GL start-up as it did for tidegauge before it turned that off itself)."
  echo "Processes the session bus started for the bridges: ${a11y_processes:-none}."
  echo
  echo "| program | accessibility bridge | GDK GL start-up | CPU s in ${seconds} s | PSS MiB | private MiB |"
  echo "|---|---|---|---:|---:|---:|"
  row() { echo "| $1 | $2 | $3 | $(secs "${cpu[$4]}") | $(mib "${pss[$4]}") | $(mib "${priv[$4]}") |"; }
  row "bare GTK window" off on bare-off
  row "bare GTK window" on on bare-on
  row "bare GTK window" off off bare-nogl-off
  row "bare GTK window" on off bare-nogl
  row "tidegauge, \`GDK_GL=\`" on on tidegauge-gl
  row "tidegauge" on "off (its own choice)" tidegauge
  echo
  echo "Where the private memory lies (KiB, by mapping, largest first): tidegauge"
  echo
  echo '```'
  echo "$tidegauge_mappings"
  echo '```'
  echo
  echo "tidegauge with \`GDK_GL=\`:"
  echo
  echo '```'
  echo "$gl_mappings"
  echo '```'
  echo
  echo "conky:"
  echo
  echo '```'
  echo "$conky_mappings"
  echo '```'
  echo
  echo "### tidegauge.exe under Wine"
  echo
  echo "The Windows build on the same Xvfb and traffic, in a throwaway Wine prefix, after the Linux programs"
  echo "had ended; ${warmup} s of warm-up, then ${seconds} s. For reference only: Wine's own work is in every figure."
  echo
  echo "| process | CPU s in ${seconds} s | PSS MiB | private MiB |"
  echo "|---|---:|---:|---:|"
  echo "| tidegauge.exe | $(secs "${cpu[exe]}") | $(mib "${pss[exe]}") | $(mib "${priv[exe]}") |"
  echo "| wineserver | $(secs "${cpu[wineserver]}") | $(mib "${pss[wineserver]}") | $(mib "${priv[wineserver]}") |"
  echo "| the prefix's other processes (${other_names% }) | $(secs "$other_cpu") | | |"
} >"$body"
write_section cost "$body"
cat "$body"
