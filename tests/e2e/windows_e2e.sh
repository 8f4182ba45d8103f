#!/usr/bin/env bash
# The Windows monitor end to end: the real tidegauge.exe under Wine on a private Xvfb (1920x1080,
# 96 DPI, no window manager), driven with xdotool and checked through window geometry, the
# registry as Wine's reg tool reads it, screenshot pixels, and the opacity Wine gives X. As root it
# runs in a network namespace of its own that holds only loopback, so Wine lists only that.
#
#   windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]
#
# Runs in a throwaway Wine prefix of its own, so it starts with no settings of the program.
# Screenshots are kept in ARTIFACTS-DIR when given. Every wait polls with a time limit; a failed
# check stops the run with what was expected and what was seen.
set -euo pipefail

wine=${1:?usage: windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}
program=("$wine" "$(realpath "${2:?usage: windows_e2e.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}")")
artifacts=${3:-}
platform=windows
# shellcheck source=e2e-helpers.sh
source "$(dirname "$0")/e2e-helpers.sh"
own_network "$0" "$@"

need "$wine" wineserver xdotool xwininfo iperf3 pango-view "$IMPORT" "$CONVERT" "$COMPARE"
[[ -f ${program[1]} ]] || fail "no program at ${program[1]}"
begin_e2e windows-e2e

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

# open_menus: the program's open menus, left to right (the menu, then its submenu): its windows
# made since open_menu. The tooltip's window is older, made with the main window, and it may show
# by itself once the menus close: the pointer's coming to the window started its delay.
open_menus() {
  local w
  for w in $(visible_windows "$app"); do
    ((w == main)) || grep -qxF "$w" <<<"$older_windows" || echo "$(geometry "$w") $w"
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
  pointer_away
  older_windows=$(xdotool search --pid "$app" || true)
  xdotool mousemove "${1:-1500}" "${2:-600}" click 3
  poll 5 menus_open 1 || fail "no menu appeared after a right click"
  top_menu=$(open_menus)
}
# open_submenu ITEM [X Y]: the keyboard opens ITEM's submenu with its first row selected; sets
# top_menu and submenu.
open_submenu() {
  open_menu "${@:2}"
  # shellcheck disable=SC2046  # one key a word
  xdotool key $(menu_keys "$1") Right
  poll 5 menus_open 2 || fail "the submenu of $1 did not open"
  # Near the screen's right edge the submenu opens on the left: it is the one that was not open.
  submenu=$(open_menus | grep -vxF "$top_menu")
}
open_scale_menu() {
  open_submenu 设置曲线最大值
  scale_menu=$submenu
  local h
  h=$(geometry "$scale_menu" | cut -d' ' -f4)
  (((h - 6) % 6 == 0 && h > 6 * 12)) || fail "the scale submenu is $h pixels high, not six equal rows"
  menu_row_height=$(((h - 6) / 6))
}
# open_interface_menu [X Y]: 网络接口's submenu, its first row, 自动, selected. Its rows: 自动, a
# separator, the interfaces that count (checked), then the rest.
open_interface_menu() {
  open_submenu 网络接口 "$@"
  interface_menu=$submenu
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
  menus_gone
}
# menus_gone: the menus close; then the pointer leaves the window, taking the tooltip with it.
menus_gone() {
  poll 5 menus_open 0 || fail "menus still open: $(open_menus | tr '\n' ' ')"
  xdotool mousemove 0 1079
}
marks=
checked=

# readout_ink: where the download read-out's dark pixels lie; sampling: they have changed since the
# first start, when the read-out showed its design caption.
readout_ink() { pixels 1676 883 70 18 | awk '$1 < 80 && $2 < 80 && $3 < 80 {print $4, $5}'; }
sampling() { [[ $(readout_ink) != "$first_ink" ]]; }

# find_tray: Wine's notification area, a window of its desktop process titled "Wine System Tray"
# (top left, without a window manager), which shows once a program adds an icon; its first icon is
# the 20-pixel square at its left end. Sets tray.
find_tray() {
  tray=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n 1)
  [[ -n $tray ]]
}
# icon_shows: the icon's square holds the window's icon, not the tray's blank ground.
icon_shows() {
  local x y _w _h
  read -r x y _w _h <<<"$(geometry "$tray")"
  (($(pixels "$x" "$y" 20 20 | awk '{print $1, $2, $3}' | sort -u | wc -l) > 4))
}
# other_windows_since BEFORE: a window of any program, mapped now, that was not in BEFORE; sets popup.
other_windows_since() {
  local w
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    grep -qxF "$w" <<<"$1" || { popup=$w; return 0; }
  done
  return 1
}
notify_icon_round_trip() {
  local x y _w _h before marks_top
  ! find_tray || fail "Wine shows a notification area before any icon was added"
  menu_pick 显示通知区域图标
  expect_stored trayicon 1
  poll 10 find_tray || fail "no notification area appeared within 10 s of 显示通知区域图标"
  poll 5 icon_shows || { keep_shot tray-empty; fail "the notification area shows no icon"; }
  read -r x y _w _h <<<"$(geometry "$tray")"
  echo "   Wine's notification area at $x $y, the icon at its left end"
  # The tooltip: the pointer resting on the icon, a tick or two for the rates to reach it.
  sleep 2
  before=$(xdotool search --onlyvisible --name '' 2>/dev/null)
  xdotool mousemove $((x + 9)) $((y + 9)) mousemove $((x + 10)) $((y + 10))
  poll 5 other_windows_since "$before" || fail "no tooltip within 5 s of the pointer resting on the icon"
  pixels 0 0 1 1 >/dev/null && keep_shot icon-tooltip
  echo "   tooltip $(geometry "$popup" | awk '{print $3 " x " $4 " at " $1 " " $2}')"
  xdotool mousemove 0 1079
  # A right click on the icon opens the window's menu there, its first rows marked as the window's.
  older_windows=$(xdotool search --pid "$app" || true)
  xdotool mousemove $((x + 10)) $((y + 10)) click 3
  poll 5 menus_open 1 || fail "no menu appeared after a right click on the icon"
  top_menu=$(open_menus)
  poll 5 marks_are "$top_menu" 3 "2" || { keep_shot icon-menu-wrong; fail "the icon's menu marks rows '$checked' (margin pixels: $marks), expected 显示通知区域图标 alone"; }
  marks_top=$marks
  keep_shot icon-menu
  echo "   the icon's menu at $(geometry "$top_menu" | awk '{print $1 " " $2}'), check-margin pixels of its first rows: $marks_top"
  close_menus
  menu_pick 显示通知区域图标
  expect_stored trayicon 0
  poll 10 not icon_shows || fail "the icon still shows 10 s after 显示通知区域图标 was turned off"
}

step "first start: the window at its first-start place and size"
start
# Left = screen width - 1000 - 2715 twips, top = screen height - 3000 twips, 2715 x 1365 twips.
at "1672 880 181 91"

step "the first-run message, and info=1 once it is dismissed"
message_up
pixels 0 0 1 1 >/dev/null && keep_shot first-start
caption_drawn() { first_ink=$(readout_ink) && (($(wc -l <<<"$first_ink") >= 10)); }
poll 5 caption_drawn || fail "no caption at the top left of the window at its first start"
stored info 1 && fail "info=1 stored while the message is still up"
# The first start applies the default transparency, 180.
expect_opacity 180
dismiss_message
expect_stored info 1

step "automatic mode: loopback traffic draws no bars"
# The sampler has begun once the download read-out no longer shows its first-start caption.
poll 20 sampling || { keep_shot first-caption; fail "the read-out shows its first-start caption 20 s after the start"; }
if $private_network; then
  no_bars
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
menus_gone
# The adapter's name, \DEVICE\TCPIP_{GUID}, stands for it, and nothing else.
expect_stored interfaces '\\DEVICE\\TCPIP_\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}'
open_interface_menu 1700 900
poll 5 marks_are "$interface_menu" 1 "" || { keep_shot interfaces-wrong; fail "自动 is still checked (margin pixels: $marks)"; }
checked=$(check_marks "$interface_menu")
((checked == 1)) || { keep_shot interfaces-wrong; fail "$checked interfaces checked, not loopback alone"; }
keep_shot interfaces-loopback
close_menus
echo "   $counted interfaces counted in automatic mode; $(settings_text)"
traffic 10
expect_bars 15 bars
# The read-outs are drawn in the fore colour (black) over the gradient, top left.
dark=$(pixels 1680 888 60 14 | awk '$1 < 80 && $2 < 80 && $3 < 80 {n++} END {print n + 0}')
((dark >= 10)) || fail "no read-out text at the top left ($dark dark pixels)"
echo "   $dark dark pixels of read-out text"

step "a drag moves the window and stores x and y in twips"
drag_from_first_place

step "a corner drag from inside the grip resizes the window and stores x1 and y1"
resize_from_there

step "a second copy ends at once without writing, and the first one stays"
before=$(settings_text)
start=$(date +%s%N)
status=0
timeout 30 "${program[@]}" >"$work/second.log" 2>&1 || status=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
((status == 0)) || fail "the second copy ended with status $status: $(cat "$work/second.log")"
[[ $(settings_text) == "$before" ]] || fail "the second copy changed the settings: $(settings_text)"
kill -0 "$app" 2>/dev/null || fail "the first copy ended too"
geometry_is "1472 580 278 146" || fail "the first copy's window is now $(geometry "$main")"
echo "   the second copy ended with status 0 after $elapsed ms (Wine's own start included)"
# Seconds after the resize: the picture has been drawn at its new size.
window_shot "$main" && keep_shot resized

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
menus_gone
expect_stored kbps 512
open_scale_menu
poll 5 marks_are "$scale_menu" 6 2 || {
  keep_shot scale-menu-wrong
  fail "after 512 Kbps the scale submenu is checked on rows '$checked' (margin pixels per row: $marks), expected on row 2 (512 Kbps) only"
}
keep_shot scale-menu-512
close_menus
echo "   check-margin pixels per row of the scale submenu: $marks_auto before, $marks after"

step "always on top off stores ontop=0; the window keeps its place and size"
menu_pick 总在最前
menus_gone
expect_stored ontop 0
at "1472 580 278 146"
open_menu
poll 5 marks_are "$top_menu" 1 "" || { keep_shot menu-ontop-wrong; fail "always on top still checked in the menu (margin pixels: $marks)"; }
keep_shot menu-ontop-off
close_menus
geometry_is "1472 580 278 146" || fail "the window is now at $(geometry "$main"), expected 1472 580 278 146"

step "配置... opens the options dialog over the window; Check1 writes the Run value"
open_options 1500 600
read -r _ _ ow oh <<<"$(geometry "$options")"
# Without a window manager Wine leaves the caption and the frame to one, so the X window is the
# dialog's client area; the whole window, caption included, is centred, so the client area sits
# a little below the middle of the screen.
[[ "$ow $oh" == "302 149" ]] || fail "options dialog client area is $ow x $oh, expected 302 x 149"
((cx == 809)) || fail "options dialog client area at x $cx, expected 809 (centred)"
((cy > 540 - 75 && cy < 540 - 75 + 20)) || fail "options dialog client area at y $cy, not centred"
echo "   client area $ow x $oh at $cx $cy"
# Picture3, the download colour, red by default; once it shows, the dialog is drawn.
poll 5 swatch_holds 16 255 0 0 || { window_shot "$options" && keep_shot options-wrong; fail "Picture3 is not red inside its edge"; }
window_shot "$options" && keep_shot options
start_at_logon_round_trip

step "HScroll1 stores transpa and sets the window's opacity at once"
# The dialog's load stored the default it showed.
stored transpa 180 || fail "transpa not stored as 180 when the dialog opened: $(settings_text)"
# HScroll1 at client (160, 88), 113 x 17; its left arrow, the first 17 pixels, takes one step
# towards transparent.
xdotool mousemove $((cx + 168)) $((cy + 96)) click 1
expect_stored transpa 179
expect_opacity 179
# The click gave the scroll bar the focus: Left is another step, Page Down twenty the other way.
xdotool key Left
expect_stored transpa 178
expect_opacity 178
xdotool key Next
expect_stored transpa 198
expect_opacity 198

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
poll 10 not find_colour_dialog || fail "the colour dialog is still up 10 s after Return"
expect_stored bgcolor4 "$picked_colorref"
# The swatch shows the new colour inside its edge.
poll 5 swatch_holds 40 "${picked[@]}" || { keep_shot options-wrong; fail "Picture4 does not show the picked colour inside its edge"; }
keep_shot options-picked
echo "   bgcolor4 = $picked_colorref"

step "closing the options dialog brings the new upload colour to the main window"
close_options
find_main || fail "the main window is gone"
geometry_is "1472 580 278 146" || fail "the window is now at $(geometry "$main")"
# The start-up that follows the dialog applies the stored level again.
opacity_is 198 || fail "the window's opacity after the dialog closed is $(opacity), expected 198"
# The window is enabled again and still ticking: new traffic draws new bars, in the new colour on
# a fresh background, with no yellow left.
traffic 5
expect_bars 15 bars-new-colour "${picked[@]}"
((yellow == 0)) || fail "$yellow yellow pixels still in the graph after the upload colour changed"

step "显示单位: each unit is stored and shows in the download read-out"
# pick_unit FROM TO: the submenu checks FROM alone; TO is picked.
pick_unit() {
  open_submenu 显示单位
  poll 5 marks_are "$submenu" 3 "$1" ||
    { keep_shot units-menu-wrong; fail "显示单位 checked on rows '$checked' (margin pixels per row: $marks), expected $1"; }
  for ((n = 0; n < $2; n++)); do xdotool key Down; done
  xdotool key Return
  menus_gone
}
units_round_trip

step "the tooltip: the pointer resting on the window shows what is counted"
tooltip_shows

step "流量统计... opens the usage dialog: totals that grow while it is open, the chart, the period's first day and the limit stored"
usage_dialog "255 0 0" "${picked[*]}"

step "锁定位置: locked, drags leave the window alone; unlocked, a drag moves it"
lock_round_trip

step "显示通知区域图标: the icon in Wine's notification area, with the rates as its tooltip and the window's menu"
notify_icon_round_trip

step "语言 (Language): English is stored, the menu and a dialog show it at once; 中文 brings Chinese back"
# top_menu_width X Y: the width of the menu opened there (menu_w); the menu is closed again.
top_menu_width() {
  open_menu "$@"
  menu_w=$(geometry "$top_menu" | cut -d' ' -f3)
  xdotool key Escape
  menus_gone
}
# pick_in_submenu ITEM N X Y: the item N (0 the first) of ITEM's submenu.
pick_in_submenu() {
  open_submenu "$1" "${@:3}"
  for ((n = 0; n < $2; n++)); do xdotool key Down; done
  xdotool key Return
  menus_gone
}
dialog_close_key=alt+F4
language_round_trip

step "the menu's exit item ends the program"
quit

step "the usage log: today's line written at the end, and grown by the bytes sent in a second run"
usage_counts $((20 * 1024 * 1024))

echo "PASS: windows end-to-end"
