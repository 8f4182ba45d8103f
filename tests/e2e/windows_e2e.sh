#!/usr/bin/env bash
# The Windows monitor end to end: the real tidegauge.exe under Wine on a private Xvfb (1920x1080,
# 96 DPI, no window manager), driven with xdotool and checked through window geometry, the
# registry as Wine's reg tool reads it, screenshot pixels, and the opacity Wine gives X. As root it
# runs in a network namespace of its own that holds only loopback, so Wine lists only that.
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
# shellcheck source=e2e-helpers.sh
source "$here/e2e-helpers.sh"
own_network "$0" "$@"
POLL_INTERVAL=0.2
# Wine turns its arguments into UTF-16 by the locale's character set; the section name is UTF-8.
export LC_ALL=C.UTF-8
settings_key='HKCU\Software\TideGauge'
section="$settings_key\\配置"

need "$wine" wineserver xdotool xwininfo iperf3 "$IMPORT" "$CONVERT"
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
  stop_wine_display
  rm -rf "$work"
}
trap cleanup EXIT
start_wine_display "$wine" "$work" || exit 1

if "$wine" reg query "$settings_key" >/dev/null 2>&1; then
  fail "the prefix $WINEPREFIX already holds $settings_key; run with a fresh WINEPREFIX"
fi
made_settings=true

# stored NAME VALUE: the registry holds the string value NAME = VALUE in the program's section.
stored() { "$wine" reg query "$section" /v "$1" 2>/dev/null | tr -d '\r' | grep -Eq "^ +$1 +REG_SZ +$2\$"; }
stored_text() { "$wine" reg query "$section" 2>/dev/null | tr -d '\r' | grep REG_SZ | tr -s ' ' | tr '\n' ';'; }

# Wine hands a layered window's alpha to X as _NET_WM_WINDOW_OPACITY, the level times 0x01010101.
# Without a compositor the screen still shows the window opaque, so the property is what tells.
opacity() { xprop -id "$main" _NET_WM_WINDOW_OPACITY 2>/dev/null | awk -F' = ' '/CARDINAL/ {print $2}'; }
opacity_is() { [[ $(opacity) == $(($1 * 0x01010101)) ]]; }
opacity_text() { local o; o=$(opacity); [[ -n $o ]] && echo "$o (level $((o / 0x01010101)))" || echo "(none)"; }

# A menu is a column of equal rows below a 3-pixel edge (16 pixels with Wine's own fonts, more
# with the CJK font linked in: the scale submenu tells); the check mark is drawn in the left
# margin, clear of the captions, which start 17 pixels in.
menu_row_height=16
# row_marks WINDOW ROWS: for each of the menu's first ROWS rows, the number of pixels of its check
# margin that differ from the margin's commonest colour (white, or the highlight on the selected
# row): 0 for a row without a check mark, a dozen or more for one with it.
row_marks() {
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  pixels $((x + 3)) $((y + 3)) 12 $(($2 * menu_row_height)) | awk -v rh="$menu_row_height" -v rows="$2" '
    { row = int($5 / rh); n[row, $1 " " $2 " " $3]++; all[row]++; colours[$1 " " $2 " " $3] = 1 }
    END {
      for (r = 0; r < rows; r++) {
        most = 0
        for (c in colours) if (n[r, c] > most) most = n[r, c]
        printf "%s%d", (r ? " " : ""), all[r] - most
      }
      print ""
    }'
}
# checked_rows MARKS: the numbers of the rows that carry a check mark.
checked_rows() { awk '{ s = ""; for (i = 1; i <= NF; i++) if ($i >= 8) s = s (s == "" ? "" : " ") (i - 1); print s }' <<<"$1"; }

# open_menus: the program's open menus, left to right (the menu, then its submenu).
open_menus() {
  local w
  for w in $(visible_windows "$app"); do
    ((w == main)) || echo "$(geometry "$w") $w"
  done | sort -n | awk '{print $NF}'
}
menus_open() { (($(open_menus | wc -l) == $1)); }
# marks_are WINDOW ROWS EXPECTED: the menu's first ROWS rows carry check marks on the rows listed.
marks_are() {
  marks=$(row_marks "$1" "$2") || return 1
  checked=$(checked_rows "$marks")
  [[ $checked == "$3" ]]
}
# open_menu [X Y]: the menu opens at the pointer (1500 600 unless told), its corner under it, so
# no item is selected until a key is pressed.
open_menu() {
  xdotool mousemove "${1:-1500}" "${2:-600}" click 3
  poll 5 menus_open 1 || fail "no menu appeared after a right click"
  top_menu=$(open_menus)
}
# The keyboard opens the scale submenu with its first row selected.
open_scale_menu() {
  open_menu
  xdotool key Down key Down key Right
  poll 5 menus_open 2 || fail "the scale submenu did not open after Down, Down, Right"
  read -r top_menu scale_menu <<<"$(open_menus | tr '\n' ' ')"
  local h
  h=$(geometry "$scale_menu" | cut -d' ' -f4)
  (((h - 6) % 6 == 0 && h > 6 * 12)) || fail "the scale submenu is $h pixels high, not six equal rows"
  menu_row_height=$(((h - 6) / 6))
}
# open_interface_menu [X Y]: the keyboard opens 网络接口 (past the separator after always on top,
# and the scale) with its first row, 自动, selected. Its rows: 自动, a separator, the interfaces
# that count (checked), then the rest.
open_interface_menu() {
  open_menu "$@"
  xdotool key Down key Down key Down key Right
  poll 5 menus_open 2 || fail "the interface submenu did not open after Down, Down, Down, Right"
  read -r top_menu interface_menu <<<"$(open_menus | tr '\n' ' ')"
}
# check_marks WINDOW: how many check marks the menu shows in black, in its check margin: every one
# but the selected row's, which is drawn in the highlight's text colour.
check_marks() {
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  pixels $((x + 3)) $((y + 3)) 12 $((h - 6)) | awk '
    $1 < 80 && $2 < 80 && $3 < 80 { black[$5] = 1 }
    END { for (y in black) if (!((y - 1) in black)) n++; print n + 0 }'
}
close_menus() {
  local n
  for ((n = $(open_menus | wc -l); n > 0; n--)); do xdotool key Escape; done
  poll 5 menus_open 0 || fail "menus still open after Escape, Escape: $(open_menus | tr '\n' ' ')"
}
marks=
checked=


# readout_ink: where the download read-out's dark pixels lie; ticking: they have changed since the
# first start, when the read-out showed its design caption.
readout_ink() { pixels 1676 883 70 18 | awk '$1 < 80 && $2 < 80 && $3 < 80 {print $4, $5}'; }
ticking() { [[ $(readout_ink) != "$first_ink" ]]; }

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
caption_drawn() { first_ink=$(readout_ink) && (($(wc -l <<<"$first_ink") >= 10)); }
poll 5 caption_drawn || fail "no caption at the top left of the window at its first start"
stored info 1 && fail "info=1 stored while the message is still up"
# The first start applies the default transparency, 180.
poll 5 opacity_is 180 || fail "the window's opacity is $(opacity_text), expected level 180"
# No window manager: the keyboard goes to the window under the pointer.
read -r dx dy dw dh <<<"$(geometry "$dialog")"
xdotool mousemove $((dx + dw / 2)) $((dy + dh / 3)) key Return
dialog_gone() { ! find_dialog; }
poll 10 dialog_gone || fail "the message box is still up 10 s after Return"
poll 10 stored info 1 || fail "the registry lacks info=1 after the message: $(stored_text)"

step "automatic mode: loopback traffic draws no bars"
# The sampler has begun once the download read-out no longer shows its first-start caption.
poll 20 ticking || { keep_shot first-caption; fail "the read-out shows its first-start caption 20 s after the start"; }
if $private_network; then
  no_bars 1672 880 181 89
else
  echo "   skipped: in the host's namespace its own traffic may draw bars"
fi

step "picking loopback in 网络接口 stores its name as interfaces and checks it alone; its traffic draws bars"
open_interface_menu 1700 900
poll 5 marks_are "$interface_menu" 1 0 || { keep_shot interfaces-wrong; fail "自动 is not checked (margin pixels: $marks)"; }
# Loopback, the table's first row, comes first after the interfaces that count: in our namespace
# it is the only one, and nothing else counts.
counted=$(check_marks "$interface_menu")
! $private_network || ((counted == 0)) || { keep_shot interfaces-wrong; fail "$counted interfaces checked in automatic mode"; }
keep_shot interfaces-automatic
for ((n = 0; n <= counted; n++)); do xdotool key Down; done
xdotool key Return
poll 5 menus_open 0 || fail "menus still open after loopback was picked"
# The adapter's name, \DEVICE\TCPIP_{GUID}, stands for it, and nothing else.
poll 10 stored interfaces '\\DEVICE\\TCPIP_\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}' ||
  fail "interfaces not stored as one adapter's name: $(stored_text)"
open_interface_menu 1700 900
poll 5 marks_are "$interface_menu" 1 "" || { keep_shot interfaces-wrong; fail "自动 is still checked (margin pixels: $marks)"; }
checked=$(check_marks "$interface_menu")
((checked == 1)) || { keep_shot interfaces-wrong; fail "$checked interfaces checked, not loopback alone"; }
keep_shot interfaces-loopback
close_menus
echo "   $counted interfaces counted in automatic mode; $(stored_text)"

traffic 10
# The newest bar is 50 twips left of the picture's right edge and moves one pixel left a second,
# so for the first seconds every bar lies in the last 20 columns of the picture. Loopback counts
# every byte once received and once sent, so both bars are equally high and the upload bar
# (yellow), drawn last, covers the download bar (red): red shows only where other interfaces
# add traffic of their own. Two columns of bars show that the graph scrolls.
# The picture's right edge, top and height on the screen.
picture_right=$((1672 + 181)) picture_top=880 picture_height=89
upload_colour=(255 255 0)
bars_drawn() {
  local p
  p=$(pixels $((picture_right - 20)) "$picture_top" 20 "$picture_height") || return 1
  upload=$(count "${upload_colour[@]}" <<<"$p") && bars=$(columns "${upload_colour[@]}" <<<"$p")
  yellow=$(count 255 255 0 <<<"$p")
  red=$(count 255 0 0 <<<"$p")
  ((bars >= 2 && upload >= 40))
}
upload=0 yellow=0 red=0 bars=0
poll 15 bars_drawn || {
  keep_shot bars-missing
  fail "no upload bars within 15 s ($upload yellow pixels in $bars columns, $red red pixels)"
}
keep_shot bars
# The read-outs are drawn in the fore colour (black) over the gradient, top left.
dark=$(pixels 1680 888 60 14 | awk '$1 < 80 && $2 < 80 && $3 < 80 {n++} END {print n + 0}')
((dark >= 10)) || fail "no read-out text at the top left ($dark dark pixels)"
echo "   $upload yellow pixels in $bars columns, $red red pixels; $dark dark pixels of read-out text"

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

step "512 Kbps in the scale submenu stores kbps=512 and moves the check mark to it"
open_scale_menu
# Rows 128, 256, 512, 1024, 2048, 自动 (5): automatic until now; always on top is the menu's first item.
poll 5 marks_are "$scale_menu" 6 5 || {
  keep_shot scale-menu-wrong
  fail "scale submenu checked on rows '$checked' (margin pixels per row: $marks), expected on row 5 (自动) only"
}
keep_shot scale-menu-auto
marks_auto=$marks
marks_are "$top_menu" 1 0 || fail "always on top not checked in the menu (margin pixels: $marks)"
# From the selected 128 Kbps down twice is 512 Kbps.
xdotool key Down key Down key Return
poll 5 menus_open 0 || fail "menus still open after 512 Kbps was picked"
poll 10 stored kbps 512 || fail "kbps not stored as 512: $(stored_text)"
open_scale_menu
poll 5 marks_are "$scale_menu" 6 2 || {
  keep_shot scale-menu-wrong
  fail "after 512 Kbps the scale submenu is checked on rows '$checked' (margin pixels per row: $marks), expected on row 2 (512 Kbps) only"
}
keep_shot scale-menu-512
close_menus
echo "   check-margin pixels per row of the scale submenu: $marks_auto before, $marks after"

step "always on top off stores ontop=0; the window keeps its place and size"
open_menu
xdotool key Down key Return
poll 5 menus_open 0 || fail "the menu is still open after always on top was picked"
poll 10 stored ontop 0 || fail "ontop not stored as 0: $(stored_text)"
poll 2 geometry_is "1472 580 278 146" || fail "after always on top off the window is at $(geometry "$main"), expected 1472 580 278 146"
open_menu
poll 5 marks_are "$top_menu" 1 "" || { keep_shot menu-ontop-wrong; fail "always on top still checked in the menu (margin pixels: $marks)"; }
keep_shot menu-ontop-off
close_menus
geometry_is "1472 580 278 146" || fail "the window is now at $(geometry "$main"), expected 1472 580 278 146"

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
echo "   Run value: the program's path, then the empty text"

step "HScroll1 stores transpa and sets the window's opacity at once"
# The dialog's load stored the default it showed.
stored transpa 180 || fail "transpa not stored as 180 when the dialog opened: $(stored_text)"
# HScroll1 at client (160, 88), 113 x 17; its left arrow, the first 17 pixels, takes one step
# towards transparent.
xdotool mousemove $((cx + 168)) $((cy + 96)) click 1
poll 10 stored transpa 179 || fail "transpa after a click on HScroll1's left arrow: $(stored_text), expected 179"
poll 5 opacity_is 179 || fail "the window's opacity after the arrow click is $(opacity_text), expected level 179"
# The click gave the scroll bar the focus: Left is another step, Page Down twenty the other way.
xdotool key Left
poll 10 stored transpa 178 || fail "transpa after Left: $(stored_text), expected 178"
poll 5 opacity_is 178 || fail "the window's opacity after Left is $(opacity_text), expected level 178"
xdotool key Next
poll 10 stored transpa 198 || fail "transpa after Page Down: $(stored_text), expected 198"
poll 5 opacity_is 198 || fail "the window's opacity after Page Down is $(opacity_text), expected level 198"
echo "   opacity $(opacity_text)"

step "Picture4 opens the colour dialog; the colour picked there is stored as bgcolor4"
find_colour_dialog() {
  local w
  for w in $(visible_windows "$app"); do
    [[ $(transient_for "$w") == $(printf '0x%x' "$options") ]] && { colour_dialog=$w; return 0; }
  done
  return 1
}
# Picture4, the upload colour, at client (104, 40), 17 x 17.
xdotool mousemove $((cx + 112)) $((cy + 48)) click 1
poll 10 find_colour_dialog || fail "no colour dialog over the options dialog within 10 s of a click on Picture4"
read -r kx ky kw kh <<<"$(geometry "$colour_dialog")"
echo "   colour dialog '$(xdotool getwindowname "$colour_dialog")', client area $kw x $kh at $kx $ky"
# The keys go to the window under the pointer: its top left corner, clear of every control.
xdotool mousemove $((kx + 4)) $((ky + 4))
# The custom-colour half of the dialog takes red, green and blue as numbers.
xdotool key alt+d
colour_dialog_widened() { (($(geometry "$colour_dialog" | cut -d' ' -f3) > kw)); }
poll 5 colour_dialog_widened || fail "the colour dialog did not widen after Alt+D: $(geometry "$colour_dialog")"
xdotool key alt+r type 32
xdotool key alt+g type 160
xdotool key alt+b type 96
# Its sample of the colour shows it.
picked=(32 160 96) picked_colorref=$((96 << 16 | 160 << 8 | 32))
colour_shown() {
  local x y w h
  read -r x y w h <<<"$(geometry "$colour_dialog")"
  shown=$(pixels "$x" "$y" "$w" "$h" | count "${picked[@]}")
  ((shown >= 400))
}
shown=0
poll 5 colour_shown || { keep_shot colour-dialog-wrong; fail "the colour dialog does not show red 32, green 160, blue 96 ($shown pixels)"; }
keep_shot colour-dialog
# Return is the dialog's OK.
xdotool key Return
colour_dialog_gone() { ! find_colour_dialog; }
poll 10 colour_dialog_gone || fail "the colour dialog is still up 10 s after Return"
poll 10 stored bgcolor4 "$picked_colorref" || fail "bgcolor4 not stored as $picked_colorref: $(stored_text)"
# The swatch shows the new colour inside its edge.
swatch_shows() { (($(pixels $((cx + 107)) $((cy + 43)) 11 11 | count "${picked[@]}") == 121)); }
poll 5 swatch_shows || { keep_shot options-wrong; fail "Picture4 does not show the picked colour inside its edge"; }
keep_shot options-picked
echo "   bgcolor4 = $picked_colorref"

step "closing the options dialog brings the new upload colour to the main window"
xdotool mousemove $((cx + 150)) $((cy + 140)) key alt+F4
options_gone() { ! find_options; }
poll 10 options_gone || fail "the options dialog is still up 10 s after Alt+F4"
kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
find_main || fail "the main window is gone"
geometry_is "1472 580 278 146" || fail "the window is now at $(geometry "$main")"
# The start-up that follows the dialog applies the stored level again.
opacity_is 198 || fail "the window's opacity after the dialog closed is $(opacity_text), expected level 198"
# The window is enabled again and still ticking: new traffic draws new bars, in the new colour on
# a fresh background, with no yellow left.
picture_right=$((1472 + 278)) picture_top=580 picture_height=144
upload_colour=("${picked[@]}")
traffic 5
poll 15 bars_drawn || {
  keep_shot bars-after-options
  fail "no bars in the new upload colour (${picked[*]}) after the dialog closed ($upload pixels in $bars columns, $yellow yellow)"
}
keep_shot bars-new-colour
((yellow == 0)) || fail "$yellow yellow pixels still in the graph after the upload colour changed"
echo "   $upload pixels of the new colour in $bars columns, $yellow yellow, $red red"

step "the menu's exit item ends the program"
windows_before=$(visible_windows "$app" | wc -l)
menu_up() { (($(visible_windows "$app" | wc -l) > windows_before)); }
xdotool mousemove 1500 600 click 3
poll 5 menu_up || fail "no menu appeared after a right click"
pixels 1450 550 350 300 >/dev/null && keep_shot menu
# Up from no selection picks the last item, which is exit.
xdotool key Up key Return
poll 10 app_gone || fail "the program still runs 10 s after exit was picked"
status=0
wait "$app" || status=$?
((status == 0)) || fail "the program ended with status $status after exit: $(cat "$work/tidegauge.log")"

echo "PASS: windows end-to-end"
