# Sourced by the scripts that start the real programs on a private X server, the end-to-end tests
# and the measuring scripts alike: a run's folder and its clean-up, waiting, the programs' windows,
# screen pixels, the stored settings, a network namespace of the script's own and traffic in it,
# and the CPU a process has used. They share these globals with the script:
#   platform   linux or windows: where the two differ (the key file or the registry, GTK or Wine),
#              one function here asks it
#   program    the command that starts the program: (PATH) or (WINE PATH)
#   work       the run's scratch folder (begin)
#   app        the program's process id; main its main window, once find_main has found it
#   artifacts  where keep_shot copies screenshots (nothing is kept when empty)
#   pids       processes the run ends when it stops (start and traffic add to it)
#   log        where the program's output goes
#   private_network  whether own_network made the script a network namespace of its own
#   ini        on Linux, the settings file (fresh_home)
#   usage_log  the usage log's file (fresh_home on Linux, begin_e2e on Windows)
#   wine       on Windows, the Wine loader
# shellcheck shell=bash disable=SC2154,SC2034,SC2317
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare
helpers_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=xvfb.sh
source "$helpers_dir/xvfb.sh"
# shellcheck source=../win32/wine-prefix.sh
source "$helpers_dir/../win32/wine-prefix.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }
not() { ! "$@"; }

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

# begin NAME: the run's scratch folder, and finish on every way out: the end, a failed check, an
# interrupt or a kill. TG_KEEP_WORK=1 keeps the folder (finish names it on the error stream).
begin() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-$1.XXXXXX")
  pids=() traffic_pids=() finish_steps=() log=$work/tidegauge.log
  trap finish EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}
# on_finish COMMAND [ARGS...]: finish runs it, after the processes have ended and before the X
# server and Wine do, latest first.
on_finish() { finish_steps=("$(printf '%q ' "$@")" "${finish_steps[@]}"); }
finish() {
  local status=$? p s
  trap - EXIT INT TERM
  # A stopped process would keep the signal pending, and wait would wait for ever.
  for p in "${pids[@]}"; do kill -CONT "$p" 2>/dev/null || true; kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  for s in "${finish_steps[@]}"; do eval "$s" >/dev/null 2>&1 || true; done
  [[ -z ${wine_used:-} ]] || { end_wineserver; drop_wine_prefix; }
  stop_xvfb
  if ((status != 0)) && [[ -s ${log:-} ]]; then
    { echo "--- the program's last output:" && tail -n 20 "$log"; } >&2
  fi
  if [[ -n ${TG_KEEP_WORK:-} ]]; then
    echo "kept $work" >&2
  else
    # A settings folder a test made read-only.
    chmod -R u+rwX "$work" 2>/dev/null || true
    rm -rf "$work"
  fi
  exit "$status"
}

# begin_e2e NAME: begin, and a private 1920x1080 X server at 96 DPI with no window manager: for
# Windows in a throwaway Wine prefix of its own, so the program starts with no settings, Run value
# or usage log, and all of them go with the prefix. The program sees no bus, and on Linux none of
# the user's own folders (fresh_home).
begin_e2e() {
  begin "$1"
  if [[ $platform == linux ]]; then
    start_xvfb "$work" 1920x1080x24 || exit 1
    export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
    fresh_home e2e
    start_seconds=10
  else
    # Wine turns its arguments into UTF-16 by the locale's character set; the section name is UTF-8.
    export LC_ALL=C.UTF-8
    POLL_INTERVAL=0.2 start_seconds=30
    start_wine_display "$wine" "$work" || exit 1
    # A server that stays until finish ends it: one that ended by itself, seconds after the
    # program, could still be saving the registry while finish removes the prefix.
    wineserver -p
    # The usage log goes where the prefix keeps local application data.
    local folder
    folder=$("$wine" winepath -u "$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\TideGauge" 2>/dev/null) ||
      fail "Wine could not say where local application data lives"
    usage_log=$folder/usage.txt
  fi
}
settings_key='HKCU\Software\TideGauge'
section="$settings_key\\配置"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# fresh_home NAME: empty home, settings and runtime folders of their own for the Linux program;
# sets folder (where the settings file lives) and ini (the file).
fresh_home() {
  local home=$work/$1
  export HOME=$home/home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
  export XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  folder=$XDG_CONFIG_HOME/TideGauge
  ini=$folder/settings.ini
  usage_log=$XDG_DATA_HOME/TideGauge/usage.txt
}

# start [COMMAND...]: starts the program (through COMMAND when given) and waits for its window.
start() {
  "$@" "${program[@]}" >"$log" 2>&1 &
  app=$!
  pids+=("$app")
  poll "$start_seconds" find_main || fail "no window appeared within $start_seconds s; the program said: $(tail -n 20 "$log")"
}

# Windows of a process that are mapped, and each one's "X Y WIDTH HEIGHT".
visible_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }
more_windows() { (($(visible_windows "$app" | wc -l) > $1)); }
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
# find_titled TITLE: a window of the program with that title; sets titled.
find_titled() {
  local w
  for w in $(visible_windows "$app"); do
    [[ $(xprop -id "$w" -notype _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p') == "$1" ]] &&
      { titled=$w; return 0; }
  done
  return 1
}
geometry_is() { [[ $(geometry "$main") == "$1" ]]; }
# at GEOMETRY: the main window settles there ("X Y WIDTH HEIGHT" in pixels).
at() { poll 5 geometry_is "$1" || fail "window at $(geometry "$main"), expected $1"; }
app_gone() { ! kill -0 "$app" 2>/dev/null; }

# press WINDOW KEY...: keys to a window. GTK takes them where the input focus is; Wine, with no
# window manager, sends them to the window under the pointer, so the pointer goes to its upper
# middle, clear of a message box's buttons.
press() {
  if [[ $platform == linux ]]; then
    xdotool windowfocus --sync "$1" key "${@:2}"
  else
    local x y w h
    read -r x y w h <<<"$(geometry "$1")"
    xdotool mousemove $((x + w / 2)) $((y + h / 3)) key "${@:2}"
  fi
}
# message_up: the first-run message over the window; dismiss_message: Return closes it.
message_up() {
  poll 10 find_dialog || fail "no message over the window within 10 s"
  [[ $(xdotool getwindowname "$dialog") == TideGauge ]] || fail "message titled '$(xdotool getwindowname "$dialog")'"
}
dismiss_message() {
  press "$dialog" Return
  poll 10 no_dialog || fail "the message is still up 10 s after Return"
}
first_run_message() { message_up && dismiss_message; }
# no_message: no message comes up over the window in its first two seconds. What is waited for is
# an absence, so the whole two seconds pass.
no_message() { ! poll 2 find_dialog || fail "a message '$(xdotool getwindowname "$dialog")' shows over the window"; }

# settings_lines: the program's settings, NAME=VALUE a line: the key file's lines on Linux; on
# Windows the section's string values, the only ones the program reads.
settings_lines() {
  if [[ $platform == linux ]]; then
    [[ -f $ini ]] && grep -av '^\[' "$ini"
  else
    # Wine's reg tool puts four spaces before the name, the type and the data.
    "$wine" reg query "$section" 2>/dev/null | tr -d '\r' | sed -n 's/^    \([^ ]*\)    REG_SZ\(    \(.*\)\)\{0,1\}$/\1=\3/p'
  fi
}
settings_text() { settings_lines | tr '\n' ' '; }
# stored NAME PATTERN: the settings hold NAME with a value the extended regular expression matches
# whole; expect_stored waits 10 s for it.
stored() { settings_lines | grep -qxE "$1=$2"; }
expect_stored() { poll 10 stored "$1" "$2" || fail "$1 not stored as $2: $(settings_text)"; }

# opacity: the window's opacity level (0 to 255), "opaque" when it has none. GTK and Wine alike
# hand X the level over 255 as _NET_WM_WINDOW_OPACITY, in 32 bits; without a compositor the screen
# still shows the window opaque, so the property is what tells.
opacity() {
  local level
  level=$(xprop -id "$main" -notype _NET_WM_WINDOW_OPACITY 2>/dev/null |
    awk '/= / {printf "%d", $NF / 4294967295 * 255 + 0.5}')
  echo "${level:-opaque}"
}
opacity_is() { [[ $(opacity) == "$1" ]]; }
# The property reaches the X server with the toolkit's next flush of its requests.
expect_opacity() { poll 5 opacity_is "$1" || fail "the window's opacity is $(opacity), expected $1"; }

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
window_shot() { local x y w h; read -r x y w h <<<"$(geometry "$1")" && pixels "$x" "$y" "$w" "$h" >/dev/null; }

# own_network SCRIPT [ARGS...], before anything else starts: runs the script again, from the top,
# in a network namespace of its own that holds only loopback (up), so that no traffic of the host
# reaches the graph. The namespace has no name: it goes with the script's last process, however the
# script ends, and finish ends them all. Sets private_network: false where no namespace can be made
# (unshare needs root), after saying so. TIDEGAUGE_OWN_NETWORK is 1 in the run inside.
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

# traffic SECONDS [far [RATE]]: UDP for that long, in the background, at RATE (iperf3's -b, 4M
# unless told): over loopback, or sent over the veth link to the far end (far_end), where it
# counts as upload.
traffic() {
  local port=$((20000 + RANDOM % 20000)) server=$work/iperf-server-$RANDOM.log address=127.0.0.1 there=()
  [[ ${2:-} == far ]] && address=10.201.0.2 there=(nsenter --net="/proc/$far_pid/ns/net")
  "${there[@]}" iperf3 -s -1 --forceflush -p "$port" >"$server" 2>&1 &
  pids+=($!)
  poll 5 grep -qs "listening" "$server" || fail "iperf3 server did not start: $(cat "$server")"
  iperf3 -c "$address" -p "$port" -u -b "${3:-4M}" -l 1400 -t "$1" >"$work/iperf-client.log" 2>&1 &
  pids+=($!)
  traffic_pids+=("${pids[@]: -2}")
}
# end_traffic: all traffic still running ends now.
end_traffic() {
  ((${#traffic_pids[@]})) || return 0
  kill "${traffic_pids[@]}" 2>/dev/null || true
  wait "${traffic_pids[@]}" 2>/dev/null || true
  traffic_pids=()
}

# tcp_bytes BYTES: iperf3 sends BYTES, a whole number of its 128 KiB blocks, over TCP on loopback,
# and ends. It is paced (100 Mbit/s): unpaced, its receiver stops reading as soon as the sender says
# it is done, and what is still queued then never crosses loopback.
tcp_bytes() {
  local port=$((20000 + RANDOM % 20000)) server=$work/iperf-tcp-server.log
  iperf3 -s -1 --forceflush -p "$port" >"$server" 2>&1 &
  pids+=($!)
  poll 5 grep -qs "listening" "$server" || fail "iperf3 server did not start: $(cat "$server")"
  timeout 30 iperf3 -c 127.0.0.1 -p "$port" -n "$1" -l 128K -b 100M >"$work/iperf-tcp-client.log" 2>&1 ||
    fail "iperf3 could not send $1 bytes: $(tail -n 3 "$work/iperf-tcp-client.log")"
}

# lo_bytes: the bytes loopback has received, as the kernel counts them.
lo_bytes() { cat /sys/class/net/lo/statistics/rx_bytes; }
lo_moved() { (($(lo_bytes) - lo_before >= $1)); }

# no_bars [CHECK...]: loopback traffic, once it flows, draws no bar pixel (upload yellow, download
# red) into the main window's picture at four looks a second apart, three ticks and more, and CHECK
# holds at each; loopback carries 1.5 MB and more meanwhile. Only in the private network namespace,
# where no other traffic counts. Sets yellow and red.
no_bars() {
  local p x y w h
  read -r x y w h <<<"$(geometry "$main")"
  lo_before=$(lo_bytes)
  traffic 10
  poll 5 lo_moved 1000000 || fail "loopback carried $(($(lo_bytes) - lo_before)) bytes in 5 s of traffic"
  lo_before=$(lo_bytes)
  for _ in 1 2 3 4; do
    p=$(pixels "$x" "$y" "$w" $((h - 2))) || fail "no screenshot"
    yellow=$(count 255 255 0 <<<"$p") red=$(count 255 0 0 <<<"$p")
    ((yellow == 0 && red == 0)) || { keep_shot automatic-bars; fail "$yellow yellow and $red red pixels in the graph"; }
    (($# == 0)) || "$@" || { keep_shot automatic-wrong; fail "$* did not hold under loopback traffic"; }
    # Time is what is waited for here: looks a second apart see new ticks.
    sleep 1
  done
  lo_moved 1500000 || fail "loopback carried only $(($(lo_bytes) - lo_before)) bytes while the screen was looked at"
  keep_shot automatic
  echo "   no bar pixels at four looks while loopback carried $(($(lo_bytes) - lo_before)) bytes"
}

# bars_drawn [R G B]: upload bars, yellow unless told, in two or more of the main window's 20
# screen columns left of its right edge, above the 2 pixels the picture leaves below it. The newest
# bar is 50 twips left of the picture's right edge and moves one pixel left a second, so the first
# seconds' bars all lie there; two columns show that the graph scrolls. Loopback counts every byte
# once received and once sent, so both bars are equally high and the upload bar, drawn last,
# covers the download bar (red). Sets upload, yellow, red and bars.
bars_drawn() {
  local p x y w h r=${1:-255} g=${2:-255} b=${3:-0}
  read -r x y w h <<<"$(geometry "$main")"
  p=$(pixels $((x + w - 20)) "$y" 20 $((h - 2))) || return 1
  yellow=$(count 255 255 0 <<<"$p")
  red=$(count 255 0 0 <<<"$p")
  upload=$(count "$r" "$g" "$b" <<<"$p")
  bars=$(columns "$r" "$g" "$b" <<<"$p")
  ((bars >= 2 && upload >= 20 && upload > red))
}
# expect_bars SECONDS NAME [R G B]: bars_drawn within that time; the screenshot is kept as NAME.
expect_bars() {
  upload=0 yellow=0 red=0 bars=0
  poll "$1" bars_drawn "${@:3}" || {
    keep_shot "$2-no-bars"
    fail "no upload bars within $1 s ($upload upload pixels in $bars columns, $red red, $yellow yellow)"
  }
  keep_shot "$2"
  echo "   $upload upload pixels in $bars columns, $red red, $yellow yellow"
}
# ticking NAME: traffic sent over the veth link (far_end), which automatic mode counts, draws
# bars; skipped without a link of our own.
ticking() {
  $private_network || return 0
  traffic 8 far
  expect_bars 15 "$1"
}

# cpu_ticks PID: the processor time the process has used so far, user and system, in clock ticks.
cpu_ticks() {
  local fields
  fields=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null) || return 1
  # utime and stime are the 12th and 13th fields after the command name.
  awk '{print $12 + $13}' <<<"$fields"
}
cpu_ms() { local t; t=$(cpu_ticks "$1") && echo $((t * 1000 / $(getconf CLK_TCK))); }

# frugal: the program uses less than a quarter of one processor over four seconds, so it neither
# spins nor retries a failing save without end.
frugal() {
  local before after
  before=$(cpu_ms "$app") || fail "the program is gone: $(tail -n 20 "$log")"
  # The four seconds are what is measured.
  sleep 4
  after=$(cpu_ms "$app") || fail "the program ended: $(tail -n 20 "$log")"
  ((after - before < 1000)) || fail "the program used $((after - before)) ms of processor time in 4 s"
  echo "   $((after - before)) ms of processor time in 4 s"
}

# pointer_away: the pointer to the screen's bottom left corner, where no script places a window,
# and the tooltip gone with it: resting on the main window the pointer brings that up, and it may
# cover what a check looks at or clicks. Only while no other window of the program is up.
pointer_away() {
  xdotool mousemove 0 1079
  poll 5 main_alone || fail "windows of the program stay up with the pointer away: $(visible_windows "$app" | tr '\n' ' ')"
}
main_alone() { [[ $(visible_windows "$app") == "$main" ]]; }
# drag_from_first_place: a drag from inside the window at its first-start place (1672 880) moves
# it 200 and 300 pixels up-left and stores the new place, 25085 and 13200 twips less that, as x and
# y. resize_from_there: a corner drag from inside the grip, the last 100 twips of the picture
# (pixel 178, 86 of it), makes it 278 x 146 and stores that in twips as x1 and y1.
drag_from_first_place() {
  pointer_away
  xdotool mousemove 1722 920 mousedown 1
  xdotool mousemove 1650 850 mousemove 1580 720 mousemove 1522 620 mouseup 1
  at "1472 580 181 91"
  expect_stored x 22085
  expect_stored y 8700
}
resize_from_there() {
  pointer_away
  xdotool mousemove 1650 666 mousedown 1
  xdotool mousemove 1700 700 mousemove 1750 726 mouseup 1
  at "1472 580 278 146"
  expect_stored x1 4170
  expect_stored y1 2190
}

# The context menu's top level, in order; "-" is a separator. On both platforms the arrow keys pass
# over separators, and from no selection Down selects the first item and Up the last. GTK's keys
# also pass over greyed items, Windows' do not, so only the three items above the ones greyed
# without the icon (隐藏主窗口, 鼠标穿透) are reached with Down. menu_keys ITEM: the presses that
# select ITEM, so one list says where each item is.
menu_items=(总在最前 锁定位置 显示通知区域图标 隐藏主窗口 鼠标穿透 全屏时隐藏 - 设置曲线最大值 网络接口 显示单位 流量统计... - 关于... 配置... "语言 (Language)" 退出)
menu_keys() {
  local items=() item i
  for item in "${menu_items[@]}"; do [[ $item == - ]] || items+=("$item"); done
  for i in "${!items[@]}"; do
    [[ ${items[i]} == "$1" ]] || continue
    if ((i < 3)); then printf 'Down%.0s ' $(seq 0 "$i"); else printf 'Up%.0s ' $(seq "$i" $((${#items[@]} - 1))); fi
    return 0
  done
  fail "the menu has no item $1"
}
# menu_pick ITEM [X Y]: the menu, opened at that screen point (1500 600 unless told), runs ITEM.
menu_pick() {
  local before
  pointer_away
  before=$(visible_windows "$app" | wc -l)
  xdotool mousemove "${2:-1500}" "${3:-600}" click 3
  poll 5 more_windows "$before" || fail "no menu appeared after a right click at ${2:-1500} ${3:-600}"
  pointer_off_menu
  # shellcheck disable=SC2046  # one key a word
  xdotool key $(menu_keys "$1") Return
  # Wine's menus took the keys under the pointer; away from the window now, it brings no tooltip.
  xdotool mousemove 0 1079
}

# pointer_off_menu: with a menu up, the pointer leaves where it opened the menu, so that no tooltip
# comes up once the menu goes. GTK's menus hold the keyboard wherever the pointer is; Wine's take
# keys only under the pointer, and Wine shows no tooltip before the pointer moves again.
pointer_off_menu() { [[ $platform != linux ]] || xdotool mousemove 0 1079; }

# quit [X Y]: the exit item of the menu opened there (in the main window unless told) ends the
# program, with status 0 (under the leak checker: with nothing leaked).
quit() {
  local status=0 x y
  read -r x y _ _ <<<"$(geometry "$main")"
  menu_pick 退出 "${1:-$((x + 20))}" "${2:-$((y + 20))}"
  poll 10 app_gone || fail "the program still runs 10 s after exit was picked"
  wait "$app" || status=$?
  ((status == 0)) || fail "the program ended with status $status: $(tail -n 20 "$log")"
}

# open_options X Y: 配置... from the menu opened at that screen point; sets options to the dialog
# and cx, cy to its place (no window manager: the X window is the dialog's client area).
open_options() {
  menu_pick 配置... "$1" "$2"
  poll 10 find_titled 配置 || fail "no window titled 配置 within 10 s of picking 配置..."
  options=$titled
  read -r cx cy _ _ <<<"$(geometry "$options")"
}
# swatch_holds Y R G B: the options dialog's colour swatch at client (104, Y) shows the colour
# inside its 3-pixel edge, all 11 x 11 pixels of it: Picture3 (download) is at 16, Picture4
# (upload) at 40.
swatch_holds() { (($(pixels $((cx + 107)) $((cy + $1 + 3)) 11 11 | count "${@:2}") == 121)); }

# Windows: run_value: the Run value Tidegauge as "TYPE DATA", or nothing.
run_value() {
  "$wine" reg query "$run_key" /v Tidegauge 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *Tidegauge *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p' | sed 's/ $//'
}
run_is() { [[ $(run_value) == "$1" ]]; }
# check1_marks: pixels that are not white inside the box of Check1 (client 8, 88, 13 x 13), inset
# from its edge: the check mark (whatever its colour) when it is ticked, none when it is not.
check1_marks() {
  pixels $((cx + 11)) $((cy + 91)) 7 7 | awk '$1 < 230 || $2 < 230 || $3 < 230 {n++} END {print n + 0}'
}
check1_ticked() { (($(check1_marks) >= 5)); }
# start_at_logon_round_trip: a click ticks Check1 and stores the program's Windows path as the Run
# value; Space, the box having the focus then, unticks it and stores the empty text.
start_at_logon_round_trip() {
  local path
  path=$("$wine" winepath -w "${program[1]}" 2>/dev/null | tr -d '\r')
  xdotool mousemove $((cx + 14)) $((cy + 96)) click 1
  poll 10 run_is "REG_SZ $path" || fail "Run value after ticking Check1: '$(run_value)', expected $path"
  poll 5 check1_ticked || fail "Check1 does not show ticked after the click ($(check1_marks) marks in its box)"
  xdotool key space
  poll 10 run_is "REG_SZ" || fail "Run value after unticking Check1: '$(run_value)', expected the empty text"
  echo "   Run value: the program's path, then the empty text"
}
close_options() {
  press "$options" alt+F4
  poll 10 not find_titled 配置 || fail "the options dialog is still up 10 s after Alt+F4"
  kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
}

# language_round_trip: English picked in 语言 (Language) is stored, and the menu (its width) and the
# options dialog (its title) change at once; 中文 brings the Chinese back. The platform gives
# top_menu_width X Y (sets menu_w), pick_in_submenu ITEM N X Y and dialog_close_key.
language_round_trip() {
  local x y chinese
  read -r x y _ _ <<<"$(geometry "$main")"
  top_menu_width $((x + 20)) $((y + 20))
  chinese=$menu_w
  pick_in_submenu "语言 (Language)" 1 $((x + 20)) $((y + 20))
  expect_stored language en
  top_menu_width $((x + 20)) $((y + 20))
  [[ $menu_w != "$chinese" ]] || fail "the menu is $menu_w pixels wide in English, as in Chinese"
  menu_pick 配置... $((x + 20)) $((y + 20))
  poll 10 find_titled Options || fail "no window titled Options within 10 s of picking Options..."
  options=$titled
  window_shot "$options" && keep_shot options-english
  press "$options" "$dialog_close_key"
  poll 10 not find_titled Options || fail "the options dialog is still up 10 s after $dialog_close_key"
  pick_in_submenu "语言 (Language)" 0 $((x + 20)) $((y + 20))
  expect_stored language zh
  echo "   the menu is $chinese pixels wide in Chinese, $menu_w in English; the options dialog titled Options"
}

# window_since LIST: a mapped window of the program that the list of window ids does not hold; sets
# popup.
window_since() {
  local w
  for w in $(visible_windows "$app"); do
    grep -qxF "$w" <<<"$1" || { popup=$w; return 0; }
  done
  return 1
}
# ink X Y W H: where the dark pixels of that part of the screen lie, from its top left.
ink() { pixels "$@" | awk -v x="$1" -v y="$2" '$1 < 128 && $2 < 128 && $3 < 128 {print $4 - x, $5 - y}'; }

# The unit a read-out shows, told by the first letter of its suffix: k (kb), M (Mb) or K (KB).
# unit_templates draws the three in the read-outs' font (Arial 8.25 at 96 DPI): smoothed, as GTK
# draws them, or in whole pixels, as Wine's GDI does. readout_unit LETTER: of the three, the
# download read-out, top left of the main window, holds LETTER and looks most like it (root mean
# square distance in grey, 0 to 1, under 0.1 where the others lie above 0.25). Sets distances.
unit_templates() {
  local letter render=(--hinting=slight)
  [[ $platform == linux ]] || render=(--antialias=none --hinting=full)
  for letter in k M K; do
    pango-view --backend=cairo --no-display --font="Arial 8.25" --dpi=96 "${render[@]}" --margin=0 \
      --text="$letter" -o "$work/unit-$letter.png" >/dev/null 2>&1 || fail "pango-view could not draw $letter"
    "$CONVERT" "$work/unit-$letter.png" -colorspace Gray -trim +repage "$work/unit-$letter.png"
  done
}
readout_unit() {
  local x y letter
  read -r x y _ _ <<<"$(geometry "$main")"
  pixels 0 0 1 1 >/dev/null || return 1
  "$CONVERT" "$work/screen.png" -crop "70x18+$((x + 4))+$((y + 3))" +repage -colorspace Gray "$work/readout.png"
  distances=
  for letter in k M K; do
    distances+="$letter $("$COMPARE" -metric RMSE -subimage-search -dissimilarity-threshold 1 "$work/readout.png" \
      "$work/unit-$letter.png" null: 2>&1 | sed -n 's/^[^(]*(\([-+0-9.e]*\)).*/\1/p') "
  done
  awk -v want="$1" '{
    for (i = 1; i < NF; i += 2) if ($i == want) mine = $(i + 1)
    for (i = 1; i < NF; i += 2) if ($i != want && $(i + 1) <= mine) exit 1
    exit !(NF == 6 && mine < 0.1)
  }' <<<"$distances"
}
# units_round_trip: with loopback counted and 4 Mbit/s of its traffic flowing, each unit picked in
# 显示单位 is stored as units and shows in the download read-out: 4xxxkb, 4.xxMb, 5xxKB. The
# script's pick_unit FROM TO checks that the submenu marks FROM alone, and picks TO.
units_round_trip() {
  local from=0 to letters=(k M K)
  unit_templates
  traffic 40
  pointer_away
  poll 10 readout_unit k || { keep_shot units-0-wrong; fail "the read-out is not in kb at first (distances: $distances)"; }
  for to in 1 2 0; do
    pick_unit "$from" "$to"
    expect_stored units "$to"
    pointer_away
    poll 5 readout_unit "${letters[to]}" ||
      { keep_shot "units-$to-wrong"; fail "with units=$to the read-out is not in ${letters[to]} (distances: $distances)"; }
    window_shot "$main" && keep_shot "units-$to"
    echo "   units=$to: $distances"
    from=$to
  done
}

# tooltip_shows: the pointer, moved onto the main window and resting there, brings up a new window
# of the program next to it after the system's delay: the tooltip, its text one line per interface
# and three of totals (启动以来, 今天, 本期), apart from its 2-pixel edge. It goes when the pointer
# leaves. With the program's traffic flowing, so the lines carry rates. Sets tooltip_look: the
# commonest colour inside the tooltip and where its text starts (padding and border before it).
tooltip_shows() {
  local x y w h px py tx ty tw th before lines
  read -r x y w h <<<"$(geometry "$main")"
  pointer_away
  before=$(visible_windows "$app")
  px=$((x + w / 2)) py=$((y + h / 2))
  # Both toolkits start the delay at a motion inside the window.
  xdotool mousemove $((px - 1)) $((py - 1)) mousemove "$px" "$py"
  poll 5 window_since "$before" || fail "no tooltip within 5 s of the pointer resting on the window"
  tooltip=$popup
  read -r tx ty tw th <<<"$(geometry "$tooltip")"
  ((px >= tx - 32 && px <= tx + tw + 32 && py >= ty - 32 && py <= ty + th + 32)) ||
    fail "a window at $tx $ty ($tw x $th) came up, far from the pointer at $px $py"
  # The text's lines: bands of rows that hold pixels apart from the commonest colour, the ground.
  read -r lines tooltip_look < <(pixels $((tx + 2)) $((ty + 2)) $((tw - 4)) $((th - 4)) | awk '
    { c = $1 " " $2 " " $3; n[c]++; colour[NR] = c; column[NR] = $4; row[NR] = $5 }
    END {
      for (c in n) if (n[c] > most) { most = n[c]; ground = c }
      split(ground, g, " ")
      left = top = 1e9
      for (i = 1; i <= NR; i++) {
        split(colour[i], p, " ")
        if ((p[1] - g[1]) ^ 2 + (p[2] - g[2]) ^ 2 + (p[3] - g[3]) ^ 2 <= 6000) continue
        ink[row[i]] = 1; left = column[i] < left ? column[i] : left; top = row[i] < top ? row[i] : top
      }
      for (r in ink) if (!((r - 1) in ink)) bands++
      printf "%d ground=%s,%s,%s,text-at=%d,%d\n", bands, g[1], g[2], g[3], left, top
    }')
  keep_shot tooltip
  if $private_network; then ((lines == 4)) || fail "the tooltip holds $lines lines, not 4 (lo and three of totals)"
  else ((lines >= 4)) || fail "the tooltip holds $lines lines, fewer than 4"; fi
  echo "   $tw x $th at $tx $ty, under the pointer at $px $py, $lines lines, $tooltip_look"
  pointer_away
  poll 5 not window_since "$before" || fail "the tooltip is still up 5 s after the pointer left"
}

# drag_by X Y DX DY: a left drag from that screen point, DX and DY pixels in steps.
drag_by() {
  pointer_away
  xdotool mousemove "$1" "$2" mousedown 1
  xdotool mousemove $(($1 + $3 / 3)) $(($2 + $4 / 3)) mousemove $(($1 + $3 * 2 / 3)) $(($2 + $4 * 2 / 3))
  xdotool mousemove $(($1 + $3)) $(($2 + $4)) mouseup 1
}
# lock_round_trip: 锁定位置 stores locked=1; a drag and a corner drag then leave the window as it is
# and store nothing. Picked again it stores locked=0; a drag moves the window 100 pixels up-left
# and stores x and y 1500 twips less, and while it holds still with the button down no tooltip
# comes up.
lock_round_trip() {
  local x y w h old before old_x old_y
  read -r x y w h <<<"$(geometry "$main")"
  menu_pick 锁定位置 $((x + 20)) $((y + 20))
  expect_stored locked 1
  before=$(settings_text) old="$x $y $w $h"
  drag_by $((x + 40)) $((y + 30)) -200 -150
  drag_by $((x + w - 3)) $((y + h - 5)) 60 40
  # What is waited for is an absence: a move or a size that does not come.
  sleep 1
  geometry_is "$old" || fail "locked, the drags moved the window to $(geometry "$main"), from $old"
  [[ $(settings_text) == "$before" ]] || fail "locked, the drags stored $(settings_text), after $before"
  menu_pick 锁定位置 $((x + 20)) $((y + 20))
  expect_stored locked 0
  old_x=$(settings_lines | sed -n 's/^x=//p') old_y=$(settings_lines | sed -n 's/^y=//p')
  pointer_away
  before=$(visible_windows "$app")
  xdotool mousemove $((x + 40)) $((y + 30)) mousedown 1
  xdotool mousemove $((x + 20)) $((y + 10)) mousemove $((x - 60)) $((y - 70))
  # Held still for longer than the tooltip's delay: again an absence.
  sleep 1.5
  not window_since "$before" || { keep_shot drag-tooltip; xdotool mouseup 1; fail "a tooltip came up during the drag"; }
  xdotool mouseup 1
  at "$((x - 100)) $((y - 100)) $w $h"
  expect_stored x $((old_x - 1500))
  expect_stored y $((old_y - 1500))
}

# usage_dialog DOWN UP: 流量统计... opens the dialog of that title over the main window. Its chart
# (4500 x 1800 twips at 150, 1740 of the client area) ends in today's bars, as high as the chart
# and drawn in the download and upload colours ("R G B" each); today's total, third column of the
# grid's second row, does not read as yesterday's, nothing; it grows while loopback carries traffic,
# as the ticks go on with the dialog open. The first spin button's up arrow (the right end of its
# place, 1200 x 375 twips at 2640, 3960: GTK's + button, the upper half of Win32's arrows) stores
# periodstart=2 from the first 1; 15 typed and Enter store 15; the second's, 480 twips lower,
# stores quota=1. Escape closes it.
usage_dialog() {
  local x y dx dy arrow
  read -r x y _ _ <<<"$(geometry "$main")"
  menu_pick 流量统计... $((x + 20)) $((y + 20))
  poll 10 find_titled 流量统计 || fail "no window titled 流量统计 within 10 s of picking 流量统计..."
  usage=$titled
  [[ $(transient_for "$usage") == $(printf '0x%x' "$main") ]] || fail "the usage dialog is not the main window's"
  read -r dx dy _ _ <<<"$(geometry "$usage")"
  chart_bars() {
    local p
    p=$(pixels $((dx + 10)) $((dy + 116)) 300 120) || return 1
    # shellcheck disable=SC2086  # a colour is three words
    down=$(count $1 <<<"$p") up=$(count $2 <<<"$p")
    ((down >= 200 && up >= 200))
  }
  poll 5 chart_bars "$1" "$2" ||
    { keep_shot usage-wrong; fail "the chart holds $down pixels of the download colour and $up of the upload colour"; }
  [[ $(ink $((dx + 228)) $((dy + 28)) 78 17) != "$(ink $((dx + 228)) $((dy + 48)) 78 17)" ]] ||
    { keep_shot usage-wrong; fail "today's total reads as yesterday's"; }
  window_shot "$usage" && keep_shot usage
  echo "   the chart's bars: $down pixels in the download colour, $up in the upload colour"
  today=$(ink $((dx + 228)) $((dy + 28)) 78 17)
  today_moved() { [[ $(ink $((dx + 228)) $((dy + 28)) 78 17) != "$today" ]]; }
  traffic 6
  poll 8 today_moved || { keep_shot usage-still; fail "today's total stood still under loopback traffic"; }
  end_traffic
  echo "   today's total grew with the dialog open"
  arrow=12
  [[ $platform == linux ]] || arrow=6
  xdotool mousemove $((dx + 248)) $((dy + 264 + arrow)) click 1
  expect_stored periodstart 2
  press "$usage" End BackSpace BackSpace 1 5 Return
  expect_stored periodstart 15
  xdotool mousemove $((dx + 248)) $((dy + 296 + arrow)) click 1
  expect_stored quota 1
  press "$usage" Escape
  poll 10 not find_titled 流量统计 || fail "the usage dialog is still up 10 s after Escape"
  kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
}

# usage_today: today's line of the usage log, "RECEIVED SENT", or nothing.
usage_today() { [[ -f $usage_log ]] && awk -v day="$(date +%F)" '$1 == day {print $2, $3}' "$usage_log"; }
# usage_counts N: the program has ended through its menu, which wrote today's line of the usage log,
# received and sent equal (loopback counts each byte once received and once sent). Started again,
# once it samples, N bytes (a whole number of 128 KiB) crossing loopback make that line grow by N
# each way, give or take the headers: TCP over loopback adds 66 bytes of headers to each segment
# of up to 64 KiB and to each ACK, 0.2 % of the payload, and iperf3's control connection some
# hundreds of bytes; so 1 % and 64 KiB more is allowed, well below anything counted twice or lost.
usage_counts() {
  local n=$1 r0 s0 r1 s1 day carried
  read -r r0 s0 <<<"$(usage_today)"
  ((${r0:-0} > 0 && r0 == s0)) || fail "today's line of $usage_log reads '${r0:-} ${s0:-}': $(cat "$usage_log" 2>/dev/null)"
  echo "   today's line at the end: $r0 received, $s0 sent"
  $private_network || { echo "   the growth is skipped: the host's loopback carries more than ours"; return 0; }
  end_traffic
  day=$(date +%F)
  start
  # The first tick replaces the design caption (0 Kb) with D:0kb: counting has begun.
  poll 10 readout_unit k || fail "the read-out does not show D:0kb 10 s after the start (distances: $distances)"
  carried=$(lo_bytes)
  tcp_bytes "$n"
  carried=$(($(lo_bytes) - carried))
  # Time is what is waited for: two ticks count what crossed.
  sleep 2.5
  quit
  [[ $(date +%F) == "$day" ]] || { echo "   the growth is skipped: the day changed meanwhile"; return 0; }
  read -r r1 s1 <<<"$(usage_today)"
  ((r1 - r0 == s1 - s0)) || fail "today's line grew by $((r1 - r0)) received but $((s1 - s0)) sent"
  ((r1 - r0 >= n && r1 - r0 <= n + n / 100 + 65536)) ||
    fail "today's line grew by $((r1 - r0)) bytes each way for $n sent (loopback carried $carried)"
  echo "   grew by $((r1 - r0)) each way for $n bytes sent; loopback carried $carried"
}
