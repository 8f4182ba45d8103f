#!/usr/bin/env bash
# The Linux monitor end to end: the real tidegauge under a private Xvfb (1920x1080, 96 DPI, no
# window manager), with empty settings and runtime folders of its own, driven with xdotool and
# checked through window geometry, the stored settings and screenshot pixels. As root it runs in a
# network namespace of its own that holds only loopback, so only the test's traffic moves.
#
#   linux_e2e.sh PATH/TO/tidegauge [ARTIFACTS-DIR]
#
# Screenshots are kept in ARTIFACTS-DIR when given. Every wait polls with a time limit; a failed
# check stops the run with what was expected and what was seen.
set -euo pipefail

program=("$(realpath "${1:?usage: linux_e2e.sh PATH/TO/tidegauge [ARTIFACTS-DIR]}")")
artifacts=${2:-}
platform=linux
# shellcheck source=e2e-helpers.sh
source "$(dirname "$0")/e2e-helpers.sh"
own_network "$0" "$@"

need xdotool xwininfo xprop iperf3 pango-view "$IMPORT" "$CONVERT" "$COMPARE"
[[ -x ${program[0]} ]] || fail "no program at ${program[0]}"
begin_e2e e2e
# A tool that fails outside a check (the X server gone, say) ends the run: say where.
trap 'echo "FAIL: line $LINENO: \"$BASH_COMMAND\" ended with status $?" >&2' ERR

# The desktop's browser, as GIO finds it, only writes down the addresses it is asked to open.
opened=$work/opened
mkdir -p "$XDG_DATA_HOME/applications"
cat >"$work/browser" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$opened"
EOF
chmod +x "$work/browser"
cat >"$XDG_DATA_HOME/applications/tidegauge-test-browser.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Test browser
Exec=$work/browser %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
EOF
cat >"$XDG_CONFIG_HOME/mimeapps.list" <<EOF
[Default Applications]
x-scheme-handler/http=tidegauge-test-browser.desktop
x-scheme-handler/https=tidegauge-test-browser.desktop
EOF

# find_new: a window of the program that was not up when $known was listed, larger than the
# 10 x 10 one GTK maps off screen with each menu. Sets popup.
known=
find_new() {
  local w width height
  for w in $(visible_windows "$app"); do
    grep -qxF "$w" <<<"$known" && continue
    read -r _ _ width height <<<"$(geometry "$w")"
    ((width > 20 && height > 20)) && { popup=$w; return 0; }
  done
  return 1
}
# open_menu [X Y]: the menu pops up at the pointer, 1500 600 unless told; keys pick its items. Up
# from no selection reaches the last item.
count_before=0
open_menu() {
  pointer_away
  known=$(visible_windows "$app")
  count_before=$(wc -l <<<"$known")
  xdotool mousemove "${1:-1500}" "${2:-600}" click 3
  poll 5 find_new || fail "no menu appeared after a right click"
  pointer_off_menu
}
menu_closed() { (($(visible_windows "$app" | wc -l) == count_before)); }
# open_submenu ITEM [X Y]: the menu, then the submenu of ITEM (设置曲线最大值, 网络接口, 显示单位),
# selected with the keys. GTK opens a selected item's submenu after a short delay. A Right before
# then cancels that timer and GTK 3.24 leaks the timer's data, which the leak checker would report
# against the program: so the keys wait for the submenu, the one window of the program that was
# not up with the menu. Sets submenu.
open_submenu() {
  open_menu "${@:2}"
  known=$(visible_windows "$app")
  # shellcheck disable=SC2046  # one key a word
  xdotool key $(menu_keys "$1")
  poll 5 find_new || fail "no submenu within 5 s of selecting $1"
  submenu=$popup
}
# box_marks WINDOW: the dark pixels of each check box of a GTK menu, top to bottom. The boxes are
# the dark columns from the leftmost one up to the first column with no dark pixel, before the
# captions; a box is a run of rows with dark pixels there, as separators are light.
box_marks() {
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  pixels "$x" "$y" "$w" "$h" | awk '
    $1 + $2 + $3 < 384 {
      dark[NR] = $4 " " $5; used[$4] = 1
      if (!n++ || $4 < left) left = $4
    }
    END {
      for (right = left; right in used; right++) continue
      for (i in dark) {
        split(dark[i], p, " ")
        if (p[1] < right) { rows[p[2]]++; if (p[2] > bottom) bottom = p[2] }
      }
      for (y = 0; y <= bottom + 1; y++) {
        if (rows[y]) { sum += rows[y]; continue }
        if (sum) printf "%s%d", boxes++ ? " " : "", sum
        sum = 0
      }
      print ""
    }'
}
# read_boxes WINDOW: sets marks to box_marks, and marked to the numbers (from 0) of the boxes that
# hold a mark: more dark pixels than the emptiest box, which every menu checked here has.
read_boxes() {
  marks=$(box_marks "$1") || return 1
  marked=$(awk '{
    least = $1
    for (i = 2; i <= NF; i++) if ($i < least) least = $i
    for (i = 1; i <= NF; i++) if ($i > least + 10) s = s (s == "" ? "" : " ") (i - 1)
    print s
  }' <<<"$marks")
}
# boxes_are WINDOW COUNT MARKED: the menu shows COUNT check boxes, marked on those listed.
boxes_are() { read_boxes "$1" && [[ $(wc -w <<<"$marks") == "$2" && $marked == "$3" ]]; }

# The download read-out, top left, reads D:0kb: of D:0kb to D:9kb rendered on white in the
# read-outs' font (Arial 8.25 at 96 DPI), D:0kb is the one it looks most like, and looks much like.
# On the screen the text lies on the gradient with its glyphs at fractions of a pixel, so no
# rendering matches it exactly; the nearest tells the digit, and more digits make it wider.
readout_templates() {
  local n
  for n in {0..9}; do
    pango-view --backend=cairo --no-display --font="Arial 8.25" --dpi=96 --hinting=slight --margin=0 \
      --text="D:${n}kb" -o "$work/readout-$n.png" >/dev/null 2>&1 || fail "pango-view could not draw D:${n}kb"
    "$CONVERT" "$work/readout-$n.png" -colorspace Gray -trim +repage -bordercolor white -border 1 "$work/readout-$n.png"
  done
}
# readout_zero LEFT TOP: the read-out of the window at that place reads D:0kb. Sets distances: the
# read-out's root mean square distance in grey (0 to 1) from D:0kb, D:1kb, ... D:9kb.
readout_zero() {
  local n
  pixels 0 0 1 1 >/dev/null || return 1
  "$CONVERT" "$work/screen.png" -crop "70x18+$(($1 + 4))+$(($2 + 3))" +repage -colorspace Gray "$work/readout.png"
  distances=
  for n in {0..9}; do
    # compare reports "ABSOLUTE (NORMALISED) @ X,Y" on its error output, with no line end.
    distances+=$("$COMPARE" -metric RMSE -subimage-search -dissimilarity-threshold 1 "$work/readout.png" \
      "$work/readout-$n.png" null: 2>&1 | sed -n 's/^[^(]*(\([-+0-9.e]*\)).*/\1/p')" "
  done
  awk '{ for (i = 2; i <= NF; i++) if ($i <= $1) exit 1; exit !(NF == 10 && $1 < 0.08) }' <<<"$distances"
}

step "first start: the window at its first-start place and size"
start
# Left = screen width - 1000 - 2715 twips, top = screen height - 3000 twips, 2715 x 1365 twips.
at "1672 880 181 91"
has_icon() { xprop -id "$main" _NET_WM_ICON | grep -q "Icon (32 x 32)"; }
poll 5 has_icon || fail "the window has no 32 x 32 icon"

step "the first-run message, and info=1 once it is dismissed"
message_up
stored info 1 && fail "info=1 stored while the message is still up"
dismiss_message
expect_stored info 1

step "automatic mode: loopback traffic draws no bars, and the download read-out stays D:0kb"
readout_templates
if $private_network; then
  zero_readout() { readout_zero 1672 880 || { echo "   distances from D:0kb..D:9kb: $distances" >&2; false; }; }
  no_bars zero_readout
  echo "   and D:0kb at each: distances from D:0kb..D:9kb $distances"
else
  echo "   skipped: in the host's namespace its own traffic may draw bars"
fi

step "picking loopback in 网络接口 stores interfaces=lo and marks it alone; then its traffic draws bars"
# The submenu: 自动, a separator, the interfaces that count (marked), then the rest; loopback,
# the first link of the table, is the first of the rest. In our namespace it is the only link.
if $private_network; then
  automatic_marks() { boxes_are "$submenu" 2 0; }
else
  automatic_marks() { read_boxes "$submenu" && [[ -n $marked && $marked == "$(seq -s ' ' 0 $(($(wc -w <<<"$marked") - 1)))" ]]; }
fi
open_submenu 网络接口 1700 900
poll 5 automatic_marks || { keep_shot interfaces-wrong; fail "the submenu's boxes hold $marks pixels, marked: '$marked'"; }
keep_shot interfaces-automatic
boxes=$(wc -w <<<"$marks") lo_box=$(wc -w <<<"$marked")
echo "   check-box pixels, 自动 first: $marks"
# Right enters the submenu at 自动; Down passes the separator and the marked interfaces.
xdotool key Right
for ((n = 0; n < lo_box; n++)); do xdotool key Down; done
xdotool key Return
expect_stored interfaces lo
poll 5 menu_closed || fail "the menu is still up after lo was picked"
open_submenu 网络接口 1700 900
# Now lo alone counts, so it comes first, and 自动 is off.
poll 5 boxes_are "$submenu" "$boxes" 1 || {
  keep_shot interfaces-wrong
  fail "after lo was picked the boxes hold $marks pixels, marked: '$marked', expected 1 alone"
}
keep_shot interfaces-lo
echo "   check-box pixels, 自动 first: $marks"
xdotool key Escape
poll 5 menu_closed || fail "the menu is still up 5 s after Escape"
traffic 8
expect_bars 12 bars
readout_zero 1672 880 && { keep_shot bars-readout; fail "the read-out is D:0kb under loopback traffic (distances: $distances)"; }
echo "   distances of the read-out from D:0kb..D:9kb: $distances"
if $private_network; then
  # The traffic ends: the read-out falls back to 0.
  poll 15 readout_zero 1672 880 || { keep_shot readout-idle; fail "the read-out is not D:0kb after the traffic (distances: $distances)"; }
fi

step "a drag moves the window and stores x and y in twips"
drag_from_first_place

step "a corner drag from inside the grip resizes the window and stores x1 and y1"
resize_from_there
window_shot "$main" && keep_shot resized

step "a second copy ends at once without writing, and the first one stays"
before=$(md5sum <"$ini")
start=$(date +%s%N)
status=0
timeout 5 "${program[@]}" >"$work/second.log" 2>&1 || status=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
((status == 0)) || fail "the second copy ended with status $status: $(cat "$work/second.log")"
((elapsed < 1000)) || fail "the second copy took $elapsed ms to end"
[[ $(md5sum <"$ini") == "$before" ]] || fail "the second copy changed settings.ini"
kill -0 "$app" 2>/dev/null || fail "the first copy ended too"
echo "   the second copy ended with status 0 after $elapsed ms"

step "the menu's options item opens the options dialog over the window"
open_options 1500 600
window_shot "$main" && keep_shot menu
[[ $(transient_for "$options") == $(printf '0x%x' "$main") ]] || fail "the options dialog is not the main window's"
# 4530 x 2235 twips in the middle of the screen.
[[ $(geometry "$options") == "809 465 302 149" ]] ||
  fail "options dialog at $(geometry "$options"), expected 809 465 302 149"
# The swatches show the colours in use, here the defaults: Picture1 .. Picture5 at their places.
swatch() { pixels $((809 + $1 + 8)) $((465 + $2 + 8)) 1 1 | awk '{print $1, $2, $3}'; }
swatches_shown() {
  [[ $(swatch 256 40) == "255 255 255" && $(swatch 256 16) == "255 255 128" && $(swatch 104 16) == "255 0 0" &&
     $(swatch 104 40) == "255 255 0" && $(swatch 104 64) == "0 0 0" ]]
}
poll 5 swatches_shown || { keep_shot options-wrong; fail "the swatches do not show the colours in use"; }
window_shot "$options" && keep_shot options

step "start at login: checked writes the autostart entry, unchecked hides it"
entry=$XDG_CONFIG_HOME/autostart/tidegauge.desktop
entry_has() { [[ -f $entry ]] && grep -qxF "$1" "$entry"; }
xdotool mousemove $((809 + 8 + 6)) $((465 + 88 + 8)) click 1
poll 5 entry_has "Exec=\"${program[0]}\"" || fail "no autostart entry running ${program[0]}: $(cat "$entry" 2>/dev/null)"
entry_has "Hidden=true" && fail "the checked entry is hidden"
xdotool click 1
poll 5 entry_has "Hidden=true" || fail "unchecking did not hide the entry: $(cat "$entry")"

step "the scroll bar, reached with Tab, sets the opacity at once"
opacity_is 180 || fail "opacity $(opacity) before the change, expected 180"
# Check1 has the focus after the clicks; six stops on is the scroll bar.
press "$options" Tab Tab Tab Tab Tab Tab Right
expect_stored transpa 181
expect_opacity 181

step "the upload swatch opens the colour chooser at black; Select stores the colour picked"
# swatch_in WINDOW R G B: "COUNT X Y MARKED" for the window's pixels of exactly that colour: how
# many there are, the screen point in the middle of their box, and how many pixels in the middle
# half of that box stand well apart from the colour (the chooser's check mark on its swatch).
swatch_in() {
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  pixels "$x" "$y" "$w" "$h" | awk -v r="$2" -v g="$3" -v b="$4" -v ox="$x" -v oy="$y" '
    { R[NR] = $1; G[NR] = $2; B[NR] = $3; X[NR] = $4; Y[NR] = $5 }
    $1 == r && $2 == g && $3 == b {
      if (!n++) { left = right = $4; top = bottom = $5 }
      if ($4 < left) left = $4
      if ($4 > right) right = $4
      if ($5 < top) top = $5
      if ($5 > bottom) bottom = $5
    }
    END {
      if (!n) { print 0, 0, 0, 0; exit }
      cx = (left + right) / 2; cy = (top + bottom) / 2; qx = (right - left) / 4; qy = (bottom - top) / 4
      for (i = 1; i <= NR; i++)
        if (X[i] >= cx - qx && X[i] <= cx + qx && Y[i] >= cy - qy && Y[i] <= cy + qy &&
            (R[i] - r) ^ 2 + (G[i] - g) ^ 2 + (B[i] - b) ^ 2 > 10000) marked++
      printf "%d %d %d %d\n", n, ox + cx, oy + cy, marked
    }'
}
# swatch_marked WINDOW R G B: the colour fills a swatch (at least 200 pixels) that carries the mark.
swatch_marked() {
  read -r swatch_pixels swatch_x swatch_y swatch_mark <<<"$(swatch_in "$@")"
  ((swatch_pixels >= 200 && swatch_mark >= 10))
}
xdotool mousemove $((809 + 104 + 8)) $((465 + 40 + 8)) click 1
poll 10 find_titled "颜色" || fail "no window titled 颜色 within 10 s of a click on the upload swatch"
chooser=$titled
[[ $(transient_for "$chooser") == $(printf '0x%x' "$options") ]] ||
  fail "the colour chooser is transient for '$(transient_for "$chooser")', not the options dialog"
# The palette marks the colour the chooser opened at: black, whatever the swatch showed (yellow).
poll 5 swatch_marked "$chooser" 0 0 0 || {
  keep_shot chooser-wrong
  fail "no marked black swatch in the chooser ($swatch_pixels black pixels, $swatch_mark mark pixels)"
}
window_shot "$chooser" && keep_shot chooser
# A green of the palette: a click selects it, Select (Alt+S) confirms it; 0x7AD133 as 0x00BBGGRR.
swatch_marked "$chooser" 51 209 122 && fail "the green swatch is marked before it was clicked"
((swatch_pixels >= 200)) || fail "no green swatch in the chooser's palette ($swatch_pixels pixels)"
xdotool mousemove "$swatch_x" "$swatch_y" click 1
poll 5 swatch_marked "$chooser" 51 209 122 || {
  keep_shot chooser-unpicked
  fail "the clicked green swatch carries no mark ($swatch_mark mark pixels)"
}
window_shot "$chooser" && keep_shot chooser-green
press "$chooser" alt+s
poll 10 not find_titled 颜色 || fail "the colour chooser is still up 10 s after Select"
expect_stored bgcolor4 8048947
upload_swatch_green() { [[ $(swatch 104 40) == "51 209 122" ]]; }
poll 5 upload_swatch_green || fail "the upload swatch shows $(swatch 104 40), expected 51 209 122"
window_shot "$options" && keep_shot options-green

step "a link opens its page in the desktop's browser"
xdotool mousemove $((809 + 184 + 10)) $((465 + 120 + 6)) click 1
poll 10 grep -qxF "https://tidegauge.example.org/" "$opened" ||
  fail "the browser was not asked for the home page: $(cat "$opened" 2>/dev/null)"

step "closing the dialog runs the start-up again: the window stays and ticks"
press "$options" Escape
poll 10 not find_titled 配置 || fail "the options dialog is still up 10 s after Escape"
kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
geometry_is "1472 580 278 146" || fail "after the dialog the window is at $(geometry "$main")"
# The start-up run again repainted the picture and took the new upload colour: the bars come in
# green, and none of the old yellow is left.
traffic 6
expect_bars 12 bars-green 51 209 122
((yellow == 0)) || { keep_shot after-options; fail "$yellow yellow pixels left after the upload colour changed"; }

step "the scale submenu marks 自动 at first; its 512 Kbps item stores the scale"
open_submenu 设置曲线最大值
poll 5 boxes_are "$submenu" 6 5 || { keep_shot scale-wrong; fail "the mark is not on 自动 alone (dark pixels by box: $marks)"; }
keep_shot scale-auto
echo "   dark pixels of the six check boxes: $marks"
# Right enters the submenu at 128; two down is 512.
xdotool key Right key Down key Down key Return
expect_stored kbps 512
poll 5 menu_closed || fail "the menu is still up after 512 Kbps was picked"

step "the mark has moved from 自动 to 512 Kbps"
open_submenu 设置曲线最大值
poll 5 boxes_are "$submenu" 6 2 || { keep_shot scale-wrong; fail "the mark is not on 512 Kbps alone (dark pixels by box: $marks)"; }
keep_shot scale-512
echo "   dark pixels of the six check boxes: $marks"
xdotool key Escape
poll 5 menu_closed || fail "the menu is still up 5 s after Escape"

step "always on top off stores ontop=0, on again stores 1; the window keeps its place and size"
for state in 0 1; do
  open_menu
  # shellcheck disable=SC2046  # one key a word
  xdotool key $(menu_keys 总在最前) Return
  expect_stored ontop $state
  poll 5 menu_closed || fail "the menu is still up after always on top was picked"
  geometry_is "1472 580 278 146" || fail "with ontop=$state the window is at $(geometry "$main"), expected 1472 580 278 146"
done

step "显示单位: each unit is stored and shows in the download read-out"
# pick_unit FROM TO: the submenu's boxes mark FROM alone; TO is picked.
pick_unit() {
  open_submenu 显示单位
  poll 5 boxes_are "$submenu" 3 "$1" || { keep_shot units-menu-wrong; fail "显示单位's boxes hold $marks pixels, marked: '$marked', expected $1"; }
  xdotool key Right
  for ((n = 0; n < $2; n++)); do xdotool key Down; done
  xdotool key Return
  poll 5 menu_closed || fail "the menu is still up after a unit was picked"
}
units_round_trip

step "the tooltip: the pointer resting on the window shows what is counted"
tooltip_shows

step "流量统计... opens the usage dialog: totals that grow while it is open, the chart, the period's first day and the limit stored"
usage_dialog "255 0 0" "51 209 122"

step "锁定位置: locked, drags leave the window alone; unlocked, a drag moves it"
lock_round_trip

step "语言 (Language): English is stored, the menu and a dialog show it at once; 中文 brings Chinese back"
# top_menu_width X Y: the width of the menu opened there (menu_w); the menu is closed again.
top_menu_width() {
  open_menu "$@"
  menu_w=$(geometry "$popup" | cut -d' ' -f3)
  xdotool key Escape
  poll 5 menu_closed || fail "the menu is still up 5 s after Escape"
}
# pick_in_submenu ITEM N X Y: the item N (0 the first) of ITEM's submenu.
pick_in_submenu() {
  open_submenu "$1" "${@:3}"
  xdotool key Right
  for ((n = 0; n < $2; n++)); do xdotool key Down; done
  xdotool key Return
  poll 5 menu_closed || fail "the menu is still up after an item of $1 was picked"
}
dialog_close_key=Escape
language_round_trip

step "the menu's exit item ends the program"
quit

step "the usage log: today's line written at the end, and grown by the bytes sent in a second run"
usage_counts $((20 * 1024 * 1024))

step "a new run's tooltip, before any menu or dialog loaded the desktop's theme, looks as it did under it"
desktop_look=$tooltip_look
start
poll 10 readout_unit k || fail "no first tick, which brings the tooltip's lines of interfaces, within 10 s"
tooltip_shows
[[ $tooltip_look == "$desktop_look" ]] || fail "the tooltip: $tooltip_look, under the desktop's theme $desktop_look"
quit

echo "PASS: linux end-to-end"
