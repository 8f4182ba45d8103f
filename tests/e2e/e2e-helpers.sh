# Sourced by the end-to-end scripts that start the real program on a private X server: waiting,
# finding the program's windows, reading screen pixels, a network namespace of the script's own and
# traffic in it, and the CPU a process has used. They share these globals with the script:
#   work       a scratch folder of the run
#   app        the program's process id
#   main       its main window, once find_main has found it
#   artifacts  where keep_shot copies screenshots (nothing is kept when empty)
#   pids       processes the script ends when it stops (traffic adds to it)
#   log        where the program's output goes
#   private_network  whether own_network made the script a network namespace of its own
# shellcheck shell=bash disable=SC2154,SC2034,SC2317
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

# need TOOL...: stops the run when a tool is missing.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/bootstrap installs it)"
  done
}

# poll SECONDS COMMAND...: true as soon as the command succeeds, false when time runs out.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep "${POLL_INTERVAL:-0.1}"
  done
}

# Windows of a process that are mapped, and each one's "X Y WIDTH HEIGHT".
visible_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
transient_for() { xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | awk '/window id/ {print $NF}'; }

# The main window is the program's mapped window that is transient for no other; a message box is
# transient for it.
find_main() {
  local w
  for w in $(visible_windows "$app"); do
    [[ -z $(transient_for "$w") ]] && { main=$w; return 0; }
  done
  return 1
}
find_dialog() {
  local w
  for w in $(visible_windows "$app"); do
    [[ $(transient_for "$w") == $(printf '0x%x' "$main") ]] && { dialog=$w; return 0; }
  done
  return 1
}
no_dialog() { ! find_dialog; }
geometry_is() { [[ $(geometry "$main") == "$1" ]]; }
app_gone() { ! kill -0 "$app" 2>/dev/null; }

# pixels X Y W H: "r g b x y" for every screen pixel of the rectangle (x, y inside it), from a
# fresh screenshot.
pixels() {
  "$IMPORT" -window root "$work/screen.png" 2>/dev/null || return 1
  "$CONVERT" "$work/screen.png" -crop "$3x$4+$1+$2" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\3 \4 \5 \1 \2/p'
}
count() { awk -v r="$1" -v g="$2" -v b="$3" '$1 == r && $2 == g && $3 == b {n++} END {print n + 0}'; }
columns() { awk -v r="$1" -v g="$2" -v b="$3" '$1 == r && $2 == g && $3 == b && !seen[$4]++ {n++} END {print n + 0}'; }
keep_shot() { [[ -z $artifacts ]] || { mkdir -p "$artifacts" && cp "$work/screen.png" "$artifacts/$1.png"; }; }

# own_network SCRIPT [ARGS...], before anything else starts: runs the script again, from the top,
# in a network namespace of its own that holds only loopback (up), so that no traffic of the host
# reaches the graph. The namespace has no name: it goes with the script's last process, however the
# script ends, and the script's cleanup ends them all. Sets private_network: false where no
# namespace can be made (unshare needs root), after saying so.
own_network() {
  private_network=false
  if [[ ${TIDEGAUGE_OWN_NETWORK:-} == 1 ]]; then
    # sysfs shows the links of the namespace that mounts it, and the program reads links there.
    mount -t sysfs sysfs /sys || fail "could not mount /sys in the network namespace"
    ip link set lo up || fail "could not bring lo up in the network namespace"
    private_network=true
  elif unshare --net --mount true 2>/dev/null; then
    TIDEGAUGE_OWN_NETWORK=1 exec unshare --net --mount bash "$@"
  else
    step "no network namespace of our own ($(unshare --net true 2>&1 | head -n 1)): the host's links," \
      "so the checks the host's own traffic could break are skipped"
  fi
}

# far_end: a veth link from this namespace, tg0 (10.201.0.1), to a namespace of its own whose end
# is tg1 (10.201.0.2); a sleeping process holds that namespace, and `far COMMAND...` runs there.
# Only inside own_network's namespace: on the host it would add a link to the host.
far_end() {
  $private_network || fail "far_end needs the private network namespace"
  unshare --net sleep infinity &
  far_pid=$!
  pids+=("$far_pid")
  far_apart() { [[ $(readlink "/proc/$far_pid/ns/net") != "$(readlink /proc/self/ns/net)" ]]; }
  poll 5 far_apart || fail "the far end's namespace did not come"
  ip link add tg0 type veth peer name tg1 netns "$far_pid" || fail "could not add the veth link"
  { ip addr add 10.201.0.1/30 dev tg0 && ip link set tg0 up; } || fail "could not bring tg0 up"
  { far ip addr add 10.201.0.2/30 dev tg1 && far ip link set tg1 up; } || fail "could not bring tg1 up"
}
far() { nsenter --net="/proc/$far_pid/ns/net" "$@"; }

# traffic SECONDS [far]: traffic at 4 Mbit/s for that long, in the background: over loopback, or
# sent over the veth link to the far end (far_end), where it counts as upload.
traffic() {
  local port=$((20000 + RANDOM % 20000)) log=$work/iperf-server-$RANDOM.log address=127.0.0.1 there=()
  [[ ${2:-} == far ]] && address=10.201.0.2 there=(nsenter --net="/proc/$far_pid/ns/net")
  "${there[@]}" iperf3 -s -1 --forceflush -p "$port" >"$log" 2>&1 &
  pids+=($!)
  poll 5 grep -q "listening" "$log" || fail "iperf3 server did not start: $(cat "$log")"
  iperf3 -c "$address" -p "$port" -u -b 4M -t "$1" >"$work/iperf-client.log" 2>&1 &
  pids+=($!)
}

# lo_bytes: the bytes loopback has received, as the kernel counts them.
lo_bytes() { cat /sys/class/net/lo/statistics/rx_bytes; }
lo_moved() { (($(lo_bytes) - lo_before >= $1)); }

# no_bars LEFT TOP WIDTH HEIGHT [CHECK...]: loopback traffic, once it flows, draws no bar pixel
# (upload yellow, download red) into the picture at that place at four looks a second apart, three
# ticks and more, and CHECK holds at each; loopback carries 1.5 MB and more meanwhile. Only in
# the private network namespace, where no other traffic counts. Sets yellow and red.
no_bars() {
  local p
  lo_before=$(lo_bytes)
  traffic 10
  poll 5 lo_moved 1000000 || fail "loopback carried $(($(lo_bytes) - lo_before)) bytes in 5 s of traffic"
  lo_before=$(lo_bytes)
  for _ in 1 2 3 4; do
    p=$(pixels "$1" "$2" "$3" "$4") || fail "no screenshot"
    yellow=$(count 255 255 0 <<<"$p") red=$(count 255 0 0 <<<"$p")
    ((yellow == 0 && red == 0)) || { keep_shot automatic-bars; fail "$yellow yellow and $red red pixels in the graph"; }
    (($# == 4)) || "${@:5}" || { keep_shot automatic-wrong; fail "${*:5} did not hold under loopback traffic"; }
    sleep 1
  done
  lo_moved 1500000 || fail "loopback carried only $(($(lo_bytes) - lo_before)) bytes while the screen was looked at"
  keep_shot automatic
  echo "   no bar pixels at four looks while loopback carried $(($(lo_bytes) - lo_before)) bytes"
}

# bars_drawn RIGHT TOP HEIGHT: upload bars (yellow) in two or more of the 20 screen columns left
# of RIGHT, rows TOP to TOP + HEIGHT. The newest bar is 50 twips left of the picture's right edge
# and moves one pixel left a second, so the first seconds' bars all lie there; two columns show
# that the graph scrolls. Loopback counts every byte once received and once sent, so both bars
# are equally high and the upload bar, drawn last, covers the download bar. Sets yellow, red, bars.
bars_drawn() {
  local p
  p=$(pixels $(($1 - 20)) "$2" 20 "$3") || return 1
  yellow=$(count 255 255 0 <<<"$p")
  red=$(count 255 0 0 <<<"$p")
  bars=$(columns 255 255 0 <<<"$p")
  ((bars >= 2 && yellow >= 20))
}

# cpu_ms PID: the processor time the process has used so far, user and system, in milliseconds.
cpu_ms() {
  local fields
  fields=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null) || return 1
  # utime and stime are the 12th and 13th fields after the command name.
  awk -v hz="$(getconf CLK_TCK)" '{printf "%d\n", ($12 + $13) * 1000 / hz}' <<<"$fields"
}

# frugal: the program uses less than a quarter of one processor over four seconds, so it neither
# spins nor retries a failing save without end.
frugal() {
  local before after
  before=$(cpu_ms "$app") || fail "the program is gone: $(tail -n 20 "$log")"
  sleep 4
  after=$(cpu_ms "$app") || fail "the program ended: $(tail -n 20 "$log")"
  ((after - before < 1000)) || fail "the program used $((after - before)) ms of processor time in 4 s"
  echo "   $((after - before)) ms of processor time in 4 s"
}

# quit X Y: the menu, opened at that screen point, ends the program through its exit item, and
# the program ends with status 0 (under the leak checker: with nothing leaked).
quit() {
  local before status=0
  before=$(visible_windows "$app" | wc -l)
  menu_up() { (($(visible_windows "$app" | wc -l) > before)); }
  xdotool mousemove "$1" "$2" click 3
  poll 5 menu_up || fail "no menu appeared after a right click at $1 $2"
  # Up from no selection reaches the last item, exit.
  xdotool key Up key Return
  poll 10 app_gone || fail "the program still runs 10 s after exit was picked"
  wait "$app" || status=$?
  ((status == 0)) || fail "the program ended with status $status: $(tail -n 20 "$log")"
}
