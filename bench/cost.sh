#!/usr/bin/env bash
# What the monitors cost while they watch steady loopback traffic: tidegauge, conky, nload and bmon,
# each run alone (nothing else of ours beside it, so no page it maps is shared with another program
# of the run and counted there) for its memory, then all four side by side over SECONDS for their
# CPU, each under the same load at the same time; then tidegauge.exe under Wine, for reference.
# Each run: a warm-up, then CPU (user + system) over its span (ALONE seconds for the runs alone and
# under Wine, SECONDS side by side), then RSS, PSS and private dirty memory from
# /proc/PID/smaps_rollup; ROUNDS rounds of it give the spread. Everything runs in
# a network namespace of its own (only loopback, carrying the traffic), on a private Xvfb, with a
# private session bus per run and throwaway home and settings folders. Writes its section of
# docs/benchmarks.md, with the file sizes of both builds. Needs root.
#
#   bench/cost.sh [SECONDS [ROUNDS [ALONE]]]   (600 s, 3 rounds and 60 s unless told: about 55 minutes)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib/setup.sh
source "$here/lib/setup.sh"

seconds=${1:-600} rounds=${2:-3} alone=${3:-60} warmup=15
[[ $seconds =~ ^[1-9][0-9]*$ && $rounds =~ ^[1-9][0-9]*$ && $alone =~ ^[1-9][0-9]*$ ]] ||
  fail "usage: bench/cost.sh [SECONDS [ROUNDS [ALONE]]]"
[[ $(id -u) -eq 0 ]] || fail "a network namespace of our own needs root"
if [[ ${TIDEGAUGE_OWN_NETWORK:-} != 1 ]]; then
  ensure_packages conky-std nload bmon iperf3 tmux xvfb xdotool x11-utils imagemagick wine wine64 dbus-daemon \
    dbus-bin at-spi2-core iproute2 binutils binutils-mingw-w64-x86-64 cmake ninja-build g++-mingw-w64-x86-64-posix
  build_targets linux-release tidegauge tidegauge-probe
  build_targets windows-cross tidegauge tidegauge-probe
fi
own_network "$0" "$@"
$private_network || fail "no network namespace of our own: the host's traffic would count"
linux=$root/build/linux-release exe=$root/build/windows-cross
begin cost
start_xvfb "$work" 1920x1080x24 || exit 1
linux_home cost
export LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY NO_AT_BRIDGE
tmux_sock=$work/tmux.sock
on_finish tmux -S "$tmux_sock" kill-server
on_finish stop_bus
mkdir -p "$XDG_CONFIG_HOME/conky"
cat >"$XDG_CONFIG_HOME/conky/conky.conf" <<'CONF'
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
CONF

# Each run starts a session bus as on a desktop, where GTK's accessibility bridge finds the
# accessibility bus it starts; stop_bus ends them all. The bus launcher detaches what it starts,
# so those are found by the bus address they were given.
start_bus() {
  rm -f "$work/bus" "$work/bus.address"
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" --print-address=3 \
    3>"$work/bus.address" >/dev/null 2>&1 &
  bus_pid=$!
  poll 5 test -s "$work/bus.address" || fail "the session bus did not start"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
}
bus_processes() {
  processes_with "DBUS_(SESSION_BUS|STARTER)_ADDRESS=unix:path=$work/bus(,.*)?" | grep -E ' (at-spi|dbus-daemon)' || true
}
stop_bus() {
  [[ -n ${bus_pid:-} ]] || return 0
  a11y_seen+=" $(bus_processes | cut -d' ' -f2 | xargs)"
  local p
  for p in $(bus_processes | cut -d' ' -f1) "$bus_pid"; do kill "$p" 2>/dev/null || true; done
  wait "$bus_pid" 2>/dev/null || true
  bus_pid=
}

# The traffic lasts the whole run: every round's six runs, with their warm-ups and starts.
round_seconds=$((5 * (alone + warmup + 30) + seconds + warmup + 30))
traffic $((rounds * round_seconds + 120)) "" 20M
lo_before=$(lo_bytes)
poll 5 lo_moved 100000 || fail "no traffic on loopback"

# The Windows build's prefix, made once: its settings count loopback, as the Linux build's do.
wine_prefix "$exe/tidegauge-probe.exe"

# launch NAME: starts the monitor in the background; sets pid[NAME] (and pid[wineserver] with
# tidegauge.exe). The text monitors draw into a terminal of their own each, once a second like
# the others.
declare -A pid
launch() {
  case $1 in
    tidegauge) "$linux/tidegauge" >"$work/$1.log" 2>&1 & pid[$1]=$! ;;
    conky) conky -c "$XDG_CONFIG_HOME/conky/conky.conf" >"$work/$1.log" 2>&1 & pid[$1]=$! ;;
    nload) terminal "$1" nload -t 1000 lo ;;
    bmon) terminal "$1" bmon -r 1 -p lo -o curses ;;
    tidegauge.exe)
      wine "$exe/tidegauge.exe" >"$work/$1.log" 2>&1 &
      pids+=($!)
      poll 60 wine_up || fail "no tidegauge.exe or wineserver process; Wine said: $(tail -n 20 "$work/$1.log")"
      ;;
  esac
  pids+=("${pid[$1]}")
}
terminal() {
  tmux -S "$tmux_sock" -f /dev/null new-session -d -s "$1" -x 160 -y 48 "exec ${*:2}"
  pid[$1]=$(tmux -S "$tmux_sock" list-panes -t "$1" -F '#{pane_pid}')
  : >"$work/$1.log"
}
wine_up() {
  pid[tidegauge.exe]=$(wine_pid tidegauge.exe) pid[wineserver]=$(wine_pid wineserver)
  [[ -n ${pid[tidegauge.exe]} && -n ${pid[wineserver]} ]]
}
alive() { kill -0 "${pid[$1]}" 2>/dev/null || fail "$1 ended early: $(tail -n 20 "$work/${1/wineserver/tidegauge.exe}.log")"; }

# after_hover ROUND: the pointer rests on tidegauge's window until its tooltip shows, then leaves;
# its memory a few seconds later, as dirty[hover/tidegauge/ROUND]. Users do this all day.
after_hover() {
  local x y w h before
  app=${pid[tidegauge]}
  poll 10 find_main || fail "tidegauge shows no window"
  read -r x y w h <<<"$(geometry "$main")"
  pointer_away
  before=$(visible_windows "$app")
  xdotool mousemove $((x + w / 2 - 1)) $((y + h / 2 - 1)) mousemove $((x + w / 2)) $((y + h / 2))
  poll 5 window_since "$before" || fail "no tooltip within 5 s of the pointer resting on tidegauge's window"
  pointer_away
  sleep 5
  read -r _ _ "dirty[hover/tidegauge/$1]" < <(memory "${pid[tidegauge]}")
}

# after_menu_and_dialog ROUND: tidegauge's menu, then its options dialog, opened and closed; its
# memory a few seconds later, as dirty[after/tidegauge/ROUND]. The desktop's theme is loaded only
# while they show, so this says whether what they took goes back.
platform=linux
after_menu_and_dialog() {
  local x y
  app=${pid[tidegauge]}
  poll 10 find_main || fail "tidegauge shows no window"
  read -r x y _ _ <<<"$(geometry "$main")"
  open_options $((x + 20)) $((y + 20))
  press "$options" Escape
  poll 10 not find_titled 配置 || fail "the options dialog is still up 10 s after Escape"
  sleep 5
  read -r _ _ "dirty[after/tidegauge/$1]" < <(memory "${pid[tidegauge]}")
}

# span KIND: how long a run of that kind is measured.
span() { if [[ $1 == together ]]; then echo "$seconds"; else echo "$alone"; fi; }

# measure KIND ROUND NAME...: after the warm-up, the CPU ticks each process uses over its span and
# its memory at the end, as cpu, rss, pss and dirty[KIND/NAME/ROUND]. Under Wine, the CPU of the
# prefix's other processes too, as cpu[wine/rest/ROUND].
declare -A cpu rss pss dirty before
measure() {
  local kind=$1 round=$2 n p now rest=()
  shift 2
  # Time itself: start-up settles, then the measured stretch runs its length.
  sleep "$warmup"
  for n in "$@"; do alive "$n" && before[$n]=$(cpu_ticks "${pid[$n]}"); done
  if [[ $kind == wine ]]; then
    for p in $(wine_processes | cut -d' ' -f1); do
      [[ $p == "${pid[tidegauge.exe]}" || $p == "${pid[wineserver]}" ]] || { rest+=("$p") && before[$p]=$(cpu_ticks "$p" || echo 0); }
    done
  fi
  sleep "$(span "$kind")"
  for n in "$@"; do
    alive "$n"
    cpu[$kind/$n/$round]=$(($(cpu_ticks "${pid[$n]}") - before[$n]))
    read -r "rss[$kind/$n/$round]" "pss[$kind/$n/$round]" "dirty[$kind/$n/$round]" < <(memory "${pid[$n]}")
  done
  cpu[$kind/rest/$round]=0
  for p in "${rest[@]}"; do
    now=$(cpu_ticks "$p") && cpu[$kind/rest/$round]=$((cpu[$kind/rest/$round] + now - before[$p]))
    rest_names+=" $(cat "/proc/$p/comm" 2>/dev/null || true)"
  done
}

# shows_bars NAME: the program's window shows upload bars of the traffic, so it counted what the
# peers show. Looked at after the measured stretch, so the screenshot costs it nothing there.
shows_bars() {
  app=${pid[$1]}
  poll 10 find_main || fail "$1 shows no window"
  poll 10 bars_drawn || fail "$1 drew no bars of the loopback traffic ($upload pixels in $bars columns)"
}

# run KIND ROUND NAME...: the monitors started together with a session bus of their own, measured,
# and ended with all they started.
run() {
  local kind=$1 round=$2 n kept=("${pids[@]}")
  shift 2
  echo "cost: round $round of $rounds, $kind: $*" >&2
  start_bus
  for n in "$@"; do launch "$n"; done
  measure "$kind" "$round" "$@" ${pid[wineserver]:+wineserver}
  for n in tidegauge tidegauge.exe; do [[ " $* " != *" $n "* ]] || shows_bars "$n"; done
  if [[ $kind == alone && $round == "$rounds" && $1 =~ ^(tidegauge|conky)$ ]]; then
    dirty_by_mapping "${pid[$1]}" | head -n 8 >"$work/$1.mappings"
  fi
  if [[ $kind == alone && $1 == tidegauge ]]; then after_hover "$round" && after_menu_and_dialog "$round"; fi
  for n in "$@" ${pid[wineserver]:+wineserver}; do kill "${pid[$n]}" 2>/dev/null || true; wait "${pid[$n]}" 2>/dev/null || true; done
  tmux -S "$tmux_sock" kill-server 2>/dev/null || true
  [[ $kind != wine ]] || end_wine
  unset 'pid[wineserver]'
  stop_bus
  # What ended here is no longer finish's to end: its process ids may be another's by then.
  pids=("${kept[@]}")
}

monitors=(tidegauge conky nload bmon) rest_names= a11y_seen=
echo "cost: $rounds rounds of five runs of $((warmup + alone)) s and one of $((warmup + seconds)) s, about $((rounds * round_seconds / 60)) minutes" >&2
for ((round = 1; round <= rounds; round++)); do
  for m in "${monitors[@]}"; do run alone "$round" "$m"; done
  run together "$round" "${monitors[@]}"
  run wine "$round" tidegauge.exe
done

# Figures for the report. values ARRAY KIND NAME: the rounds' values, one a line.
values() {
  local -n of=$1
  local r
  for ((r = 1; r <= rounds; r++)); do echo "${of[$2/$3/$r]}"; done
}
# spread DIVISOR: "median (least–most)" of the values on the input over DIVISOR; one round's alone.
spread() {
  sort -n | awk -v d="$1" '{ v[NR] = $1 / d }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          if (NR == 1) printf "%.2f", m; else printf "%.2f (%.2f–%.2f)", m, v[1], v[NR] }'
}
median() { spread 1 | cut -d' ' -f1; }
clk=$(getconf CLK_TCK)
# row KIND NAME: a table row of the program's figures.
row() {
  echo "| $2 | $(values cpu "$1" "$2" | spread "$clk") | $(values dirty "$1" "$2" | spread 1024) |" \
    "$(values pss "$1" "$2" | spread 1024) | $(values rss "$1" "$2" | spread 1024) |"
}
header() {
  echo "| program | CPU s in $(span "$1") s | private dirty MiB | PSS MiB | RSS MiB |"
  echo "|---|---:|---:|---:|---:|"
}
# The targets: CPU in ticks, from the runs side by side; memory in KiB, from the runs alone.
ours=$(values cpu together tidegauge | median)
less=() level=() ratios=()
for m in conky nload bmon; do
  theirs=$(values cpu together "$m" | median)
  ratios+=("$m's × $(awk -v a="$theirs" -v b="$ours" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "–"}')")
  if awk -v a="$theirs" -v b="$ours" 'BEGIN {exit !(a < b - 1)}'; then less+=("$m")
  elif awk -v a="$theirs" -v b="$ours" 'BEGIN {exit !(a <= b + 1)}'; then level+=("$m"); fi
done
memory_ratio=$(awk -v a="$(values dirty alone tidegauge | median)" -v b="$(values dirty alone conky | median)" \
  'BEGIN {printf "%.2f", a / b}')
cpu_ratio=$(awk -v a="$ours" -v b="$(values cpu together conky | median)" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print 99}')
size() { stat -c %s "$1"; }
stripped() { "$1" -o "$work/stripped" "$2" && size "$work/stripped"; }
size_row() { echo "| $1 | $(size "$2") | $(stripped "$3" "$2") |"; }

body=$work/section.md
{
  echo "## What the monitors cost"
  echo
  echo "Machine: $(machine_line) (shared with other jobs while it ran, so CPU figures are noisy)."
  echo
  echo "Command: \`sudo bench/cost.sh $seconds $rounds $alone\`"
  echo
  if ((seconds < 600 || rounds < 3)); then
    echo "**A short trial run of the script, not the measurement:** $seconds s side by side and $rounds round(s), where"
    echo "the measurement takes 600 s and 3 rounds (\`sudo bench/cost.sh\`). At this length a clock tick is a large"
    echo "part of every CPU figure."
    echo
  fi
  echo "A network namespace with only loopback, carrying iperf3 UDP at 20 Mbit/s the whole time; a private"
  echo "Xvfb (1920x1080x24, no window manager); a private session bus for each run, so GTK's accessibility"
  echo "bridge finds the bus it would on a desktop (it started: $(tr ' ' '\n' <<<"$a11y_seen" | sort -u | xargs))."
  echo "Every monitor watches loopback and updates once a second: tidegauge with \`interfaces=lo\` stored (it counts"
  echo "hardware links unless told); conky with \`update_interval = 1\` and one download and one upload graph in"
  echo "its own X window; \`nload -t 1000 lo\` and \`bmon -r 1 -p lo -o curses\` in a tmux terminal each."
  echo "Each run starts its programs, waits ${warmup} s, then takes user + system time from /proc/PID/stat over"
  echo "its span ($alone s alone, $seconds s side by side), then RSS, PSS and Private_Dirty from"
  echo "/proc/PID/smaps_rollup. Private dirty pages are the process's own whatever runs beside it; PSS splits"
  echo "shared pages among the processes that map them, so it is lower side by side. The X server's and the"
  echo "terminal's work for them is not counted. CPU time comes in ticks of 1/$clk s, so it is compared over"
  echo "the long span side by side, where every program meets the same load at the same time. Figures are the"
  echo "median of $rounds round(s), with the least and most in brackets. After each run with tidegauge, a"
  echo "screenshot showed its bars of the traffic."
  echo
  echo "### Each program alone"
  echo
  echo "Only the program (with its terminal for nload and bmon), the X server, the bus and the traffic run."
  echo
  header alone
  for m in "${monitors[@]}"; do row alone "$m"; done
  echo
  echo "tidegauge after its tooltip showed (the pointer rested on the window until it came, then left, then"
  echo "5 s): private dirty $(values dirty hover tidegauge | spread 1024) MiB. After that, its menu and its options"
  echo "dialog opened and closed (the options dialog opened from the menu, closed with Escape, then 5 s):"
  echo "private dirty $(values dirty after tidegauge | spread 1024) MiB."
  echo
  if awk -v r="$memory_ratio" 'BEGIN {exit !(r <= 1)}'; then verdict=met; else verdict=missed; fi
  echo "Target: tidegauge's private dirty memory alone at most conky's: it is $memory_ratio × conky's ($verdict)."
  echo
  echo "### Side by side"
  echo
  echo "The four together, over $seconds s."
  echo
  header together
  for m in "${monitors[@]}"; do row together "$m"; done
  echo
  printf -- "Target, the least CPU of the four: "
  if ((${#less[@]})); then echo "missed: ${less[*]} used more than a clock tick less than tidegauge."
  elif ((${#level[@]})); then echo "met to the clock tick: tidegauge is level with $(printf '%s, ' "${level[@]}" | sed 's/, $//') to the clock tick."
  else echo "met: each of the others used more than a clock tick more."; fi
  echo "The others' CPU against tidegauge's: $(printf '%s, ' "${ratios[@]}" | sed 's/, $//')."
  if awk -v r="$cpu_ratio" 'BEGIN {exit !(r <= 0.7)}'; then verdict=met; else verdict=missed; fi
  echo "Target, at most 0.7 × conky's CPU: tidegauge's is $cpu_ratio × conky's ($verdict)."
  echo
  echo "### Where the private dirty pages lie"
  echo
  echo "KiB by mapping, largest first, at the end of the last run alone."
  echo
  for m in tidegauge conky; do
    echo "$m:"
    echo
    echo '```'
    cat "$work/$m.mappings"
    echo '```'
    echo
  done
  echo "### tidegauge.exe under Wine"
  echo
  echo "The Windows build alone on the same Xvfb and traffic, in a throwaway Wine prefix whose settings count"
  echo "loopback's row; ${warmup} s of warm-up, then $alone s. For reference only: Wine's own work is in every figure."
  echo
  header wine
  row wine tidegauge.exe
  row wine wineserver
  echo "| the prefix's other processes ($(tr ' ' '\n' <<<"$rest_names" | sort -u | xargs)) | $(values cpu wine rest | spread "$clk") | | | |"
  echo
  echo "### File sizes"
  echo
  echo "Bytes. Stripped is a copy run through strip, to show what stripping still takes off. The packages hold"
  echo "stripped copies (cpack strips what it installs); tidegauge.exe is linked stripped as well, so the exe the"
  echo "tests and the run above start is the one users get."
  echo
  echo "| file | as built | stripped |"
  echo "|---|---:|---:|"
  size_row "tidegauge (Linux)" "$linux/tidegauge" strip
  size_row "tidegauge-probe (Linux)" "$linux/tidegauge-probe" strip
  size_row "tidegauge.exe" "$exe/tidegauge.exe" x86_64-w64-mingw32-strip
  size_row "tidegauge-probe.exe" "$exe/tidegauge-probe.exe" x86_64-w64-mingw32-strip
} >"$body"
write_section cost "$body"
cat "$body"
