#!/usr/bin/env bash
# The Windows monitor end to end: the real tidegauge.exe under Wine on a private Xvfb (1920x1080,
# 96 DPI, no window manager), driven with xdotool and checked through window geometry, the
# registry as Wine's reg tool reads it, and screenshot pixels.
#
#   windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]
#
# Runs in the Wine prefix of the environment (a throwaway one when none is set), which must not
# hold settings of the program yet; the settings the run makes are deleted at the end. Screenshots
# are kept in ARTIFACTS-DIR when given. Every wait polls with a time limit; a failed check stops
# the run with what was expected and what was seen.
set -euo pipefail

wine=${1:?usage: windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}
program=$(realpath "${2:?usage: windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}")
artifacts=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
IMPORT=/usr/bin/import
CONVERT=/usr/bin/convert
# Wine turns its arguments into UTF-16 by the locale's character set; the section name is UTF-8.
export LC_ALL=C.UTF-8
settings_key='HKCU\Software\TideGauge'
section="$settings_key\\配置"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

for tool in "$wine" wineserver xdotool xwininfo iperf3 "$IMPORT" "$CONVERT"; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/bootstrap installs it)"
done
[[ -f $program ]] || fail "no program at $program"

work=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-windows-e2e.XXXXXX")
pids=()
made_settings=false
made_run=false
# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
# shellcheck source=../win32/wine-prefix.sh
source "$here/../win32/wine-prefix.sh"
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if $made_settings; then "$wine" reg delete "$settings_key" /f >/dev/null 2>&1 || true; fi
  if $made_run; then "$wine" reg delete "$run_key" /v Tidegauge /f >/dev/null 2>&1 || true; fi
  end_wineserver
  stop_xvfb
  drop_wine_prefix
  rm -rf "$work"
}
trap cleanup EXIT
use_wine_prefix "$wine" || exit 1
start_xvfb "$work" 1920x1080x24 || exit 1
# Wine's desktop process takes the display of the first program of its server: ours.
end_wineserver

if "$wine" reg query "$settings_key" >/dev/null 2>&1; then
  fail "the prefix $WINEPREFIX already holds $settings_key; run with a fresh WINEPREFIX"
fi
made_settings=true

# poll SECONDS COMMAND...: true as soon as the command succeeds, false when time runs out.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

visible_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
transient_for() { xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | awk '/window id/ {print $NF}'; }
# The main window is the program's mapped window that is transient for no other; the message box
# is transient for it.
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
geometry_is() { [[ $(geometry "$main") == "$1" ]]; }
# stored NAME VALUE: the registry holds the string value NAME = VALUE in the program's section.
stored() { "$wine" reg query "$section" /v "$1" 2>/dev/null | tr -d '\r' | grep -Eq "^ +$1 +REG_SZ +$2\$"; }
stored_text() { "$wine" reg query "$section" 2>/dev/null | tr -d '\r' | grep REG_SZ | tr -s ' ' | tr '\n' ';'; }

# pixels X Y W H: "r g b x y" for every screen pixel of the rectangle, from a fresh screenshot.
shot=$work/screen.png
pixels() {
  "$IMPORT" -window root "$shot" 2>/dev/null || return 1
  "$CONVERT" "$shot" -crop "$3x$4+$1+$2" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\3 \4 \5 \1 \2/p'
}
count() { awk -v r="$1" -v g="$2" -v b="$3" '$1 == r && $2 == g && $3 == b {n++} END {print n + 0}'; }
columns() { awk -v r="$1" -v g="$2" -v b="$3" '$1 == r && $2 == g && $3 == b && !seen[$4]++ {n++} END {print n + 0}'; }
keep_shot() { [[ -z $artifacts ]] || { mkdir -p "$artifacts" && cp "$shot" "$artifacts/$1.png"; }; }

step "first start: the window at its first-start place and size"
"$wine" "$program" >"$work/tidegauge.log" 2>&1 &
app=$!
pids+=("$app")
poll 30 find_main || fail "no window appeared within 30 s; Wine said: $(tail -n 20 "$work/tidegauge.log")"
# Left = screen width - 1000 - 2715 twips, top = screen height - 3000 twips, 2715 x 1365 twips.
poll 5 geometry_is "1672 880 181 91" || fail "window at $(geometry "$main"), expected 1672 880 181 91"

step "the first-run message, and info=1 once it is dismissed"
poll 10 find_dialog || fail "no message box over the window within 10 s"
[[ $(xdotool getwindowname "$dialog") == TideGauge ]] || fail "message box title '$(xdotool getwindowname "$dialog")'"
pixels 0 0 1 1 >/dev/null && keep_shot first-start
stored info 1 && fail "info=1 stored while the message is still up"
# No window manager: the keyboard goes to the window under the pointer.
read -r dx dy dw dh <<<"$(geometry "$dialog")"
xdotool mousemove $((dx + dw / 2)) $((dy + dh / 3)) key Return
dialog_gone() { ! find_dialog; }
poll 10 dialog_gone || fail "the message box is still up 10 s after Return"
poll 10 stored info 1 || fail "the registry lacks info=1 after the message: $(stored_text)"

step "loopback traffic draws bars at the right edge"
# traffic SECONDS: 4 Mbit/s of UDP over loopback for that long, in the background.
traffic() {
  local port=$((20000 + RANDOM % 20000)) log=$work/iperf-server-$SECONDS.log
  iperf3 -s -1 --forceflush -p "$port" >"$log" 2>&1 &
  pids+=($!)
  poll 5 grep -q "listening" "$log" || fail "iperf3 server did not start: $(cat "$log")"
  iperf3 -c 127.0.0.1 -p "$port" -u -b 4M -t "$1" >"$work/iperf-client.log" 2>&1 &
  pids+=($!)
}
traffic 10
# The newest bar is 50 twips left of the picture's right edge and moves one pixel left a second,
# so for the first seconds every bar lies in the last 20 columns of the picture. Loopback counts
# every byte once received and once sent, so both bars are equally high and the upload bar
# (yellow), drawn last, covers the download bar (red): red shows only where other interfaces
# add traffic of their own. Two columns of bars show that the graph scrolls.
# The picture's right edge, top and height on the screen.
picture_right=$((1672 + 181)) picture_top=880 picture_height=89
bars_drawn() {
  local p
  p=$(pixels $((picture_right - 20)) "$picture_top" 20 "$picture_height") || return 1
  yellow=$(count 255 255 0 <<<"$p")
  red=$(count 255 0 0 <<<"$p")
  bars=$(columns 255 255 0 <<<"$p")
  ((bars >= 2 && yellow >= 40))
}
yellow=0 red=0 bars=0
poll 15 bars_drawn || {
  keep_shot bars-missing
  fail "no upload bars within 15 s ($yellow yellow pixels in $bars columns, $red red pixels)"
}
keep_shot bars
# The read-outs are drawn in the fore colour (black) over the gradient, top left.
dark=$(pixels 1680 888 60 14 | awk '$1 < 80 && $2 < 80 && $3 < 80 {n++} END {print n + 0}')
((dark >= 10)) || fail "no read-out text at the top left ($dark dark pixels)"
echo "   $yellow yellow pixels in $bars columns, $red red pixels; $dark dark pixels of read-out text"

step "a drag moves the window and stores x and y in twips"
xdotool mousemove 1722 920 mousedown 1
xdotool mousemove 1650 850 mousemove 1580 720 mousemove 1522 620 mouseup 1
poll 5 geometry_is "1472 580 181 91" || fail "after the drag the window is at $(geometry "$main"), expected 1472 580"
# 200 and 300 pixels up-left of 25085, 13200 twips.
poll 10 stored x 22085 || fail "x not stored as 22085: $(stored_text)"
stored y 8700 || fail "y not stored as 8700: $(stored_text)"

step "a corner drag from inside the grip resizes the window and stores x1 and y1"
# The grip is the last 100 twips of the picture: pixel (178, 86) lies inside it.
xdotool mousemove 1650 666 mousedown 1
xdotool mousemove 1700 700 mousemove 1750 726 mouseup 1
poll 5 geometry_is "1472 580 278 146" || fail "after the corner drag the window is $(geometry "$main"), expected 278 x 146"
poll 10 stored x1 4170 || fail "x1 not stored as 4170: $(stored_text)"
stored y1 2190 || fail "y1 not stored as 2190: $(stored_text)"
sleep 1.5  # a tick or two on the new size
pixels 1472 580 278 146 >/dev/null && keep_shot resized

step "a second copy ends at once without writing, and the first one stays"
before=$(stored_text)
start=$(date +%s%N)
status=0
timeout 30 "$wine" "$program" >"$work/second.log" 2>&1 || status=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
((status == 0)) || fail "the second copy ended with status $status: $(cat "$work/second.log")"
[[ $(stored_text) == "$before" ]] || fail "the second copy changed the settings: $(stored_text)"
kill -0 "$app" 2>/dev/null || fail "the first copy ended too"
geometry_is "1472 580 278 146" || fail "the first copy's window is now $(geometry "$main")"
echo "   the second copy ended with status 0 after $elapsed ms (Wine's own start included)"

step "配置... opens the options dialog over the window; Check1 writes the Run value"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
made_run=true
windows_path=$("$wine" winepath -w "$program" 2>/dev/null | tr -d '\r')
# run_is TEXT: the Run key's Tidegauge value is the string TEXT.
run_is() {
  local line
  line=$("$wine" reg query "$run_key" /v Tidegauge 2>/dev/null | tr -d '\r' | grep -E '^ +Tidegauge +REG_SZ') || return 1
  # Wine's reg tool separates the name, the type and the data with four spaces each.
  [[ ${line#    Tidegauge    REG_SZ    } == "$1" ]]
}
run_text() { "$wine" reg query "$run_key" /v Tidegauge 2>/dev/null | tr -d '\r' | grep Tidegauge || echo "(none)"; }
find_options() { options=$(xdotool search --onlyvisible --name '^配置$' 2>/dev/null | head -n 1) && [[ -n $options ]]; }
xdotool mousemove 1500 600 click 3
sleep 0.5
# Up from no selection is exit; once more is 配置...
xdotool key Up key Up key Return
poll 10 find_options || fail "no window titled 配置 within 10 s of picking 配置..."
read -r ox oy ow oh <<<"$(geometry "$options")"
# Without a window manager Wine leaves the caption and the frame to one, so the X window is the
# dialog's client area; the whole window, caption included, is centred, so the client area sits
# a little below the middle of the screen.
[[ "$ow $oh" == "302 149" ]] || fail "options dialog client area is $ow x $oh, expected 302 x 149"
((ox == 809)) || fail "options dialog client area at x $ox, expected 809 (centred)"
((oy > 540 - 75 && oy < 540 - 75 + 20)) || fail "options dialog client area at y $oy, not centred"
cx=$ox cy=$oy
echo "   client area $ow x $oh at $ox $oy"
sleep 0.5
pixels "$ox" "$oy" "$ow" "$oh" >/dev/null && keep_shot options
# Picture3 (download colour, red by default) at client (104, 16), 17 x 17 with a sunken edge.
red=$(pixels $((cx + 107)) $((cy + 19)) 11 11 | count 255 0 0)
((red == 121)) || fail "Picture3 is not red inside its edge ($red of 121 pixels)"
# The box of Check1 at client (8, 88): a click ticks it and stores the program's Windows path.
xdotool mousemove $((cx + 14)) $((cy + 96)) click 1
poll 10 run_is "$windows_path" || fail "Run value after ticking Check1: $(run_text), expected $windows_path"
# Check1 has the focus now: Space unticks it, which stores the empty text.
xdotool key space
poll 10 run_is "" || fail "Run value after unticking Check1: $(run_text), expected the empty text"
xdotool mousemove $((cx + 150)) $((cy + 140)) key alt+F4
options_gone() { ! find_options; }
poll 10 options_gone || fail "the options dialog is still up 10 s after Alt+F4"
kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
find_main || fail "the main window is gone"
geometry_is "1472 580 278 146" || fail "the window is now at $(geometry "$main")"
# The window is enabled again and still ticking: new traffic draws new bars.
picture_right=$((1472 + 278)) picture_top=580 picture_height=144
traffic 5
poll 15 bars_drawn || { keep_shot bars-after-options; fail "no new bars after the dialog closed ($yellow yellow pixels in $bars columns)"; }
echo "   Run value: the program's path, then the empty text; $yellow yellow pixels after the dialog closed"

step "the menu's exit item ends the program"
windows_before=$(visible_windows "$app" | wc -l)
menu_up() { (($(visible_windows "$app" | wc -l) > windows_before)); }
xdotool mousemove 1500 600 click 3
poll 5 menu_up || fail "no menu appeared after a right click"
pixels 1450 550 350 300 >/dev/null && keep_shot menu
# Up from no selection picks the last item, which is exit.
xdotool key Up key Return
app_gone() { ! kill -0 "$app" 2>/dev/null; }
poll 10 app_gone || fail "the program still runs 10 s after exit was picked"
status=0
wait "$app" || status=$?
((status == 0)) || fail "the program ended with status $status after exit: $(cat "$work/tidegauge.log")"

echo "PASS: windows end-to-end"
