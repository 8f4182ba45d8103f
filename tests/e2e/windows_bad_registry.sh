#!/usr/bin/env bash
# The Windows monitor started on registry values it cannot use, end to end: the real tidegauge.exe
# under Wine on a private Xvfb (1920x1080, 96 DPI, no window manager), with values planted by
# Wine's reg tool in the program's settings key and as its Run value. In turn: every setting far
# out of range; every setting negative or not a number, with a binary Run value; every setting
# and the Run value of a type other than a string.
#
#   windows_bad_registry.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]
#
# Each time the window must appear where the start-up rules put it, tick (bars under traffic on a
# link that automatic mode counts) and end cleanly from its menu; the options dialog must show
# start at logon off and leave the foreign Run value as it is until the user clicks. Runs in the Wine prefix of the
# environment (a throwaway one when none is set), which must hold neither the program's settings
# nor its Run value yet; both are deleted at the end. As root it runs in a network namespace of its
# own, holding loopback and a veth link to a second one. Screenshots are kept in ARTIFACTS-DIR.
set -euo pipefail

wine=${1:?usage: windows_bad_registry.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}
program=$(realpath "${2:?usage: windows_bad_registry.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}")
artifacts=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e-helpers.sh
source "$here/e2e-helpers.sh"
own_network "$0" "$@"
# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
# shellcheck source=../win32/wine-prefix.sh
source "$here/../win32/wine-prefix.sh"
POLL_INTERVAL=0.2
# Wine turns its arguments into UTF-16 by the locale's character set; the section name is UTF-8.
export LC_ALL=C.UTF-8
settings_key='HKCU\Software\TideGauge'
section="$settings_key\\配置"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

need "$wine" wineserver xdotool xwininfo xprop iperf3 "$IMPORT" "$CONVERT"
[[ -f $program ]] || fail "no program at $program"

work=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-bad-registry.XXXXXX")
pids=()
ours=false
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if $ours; then
    "$wine" reg delete "$settings_key" /f >/dev/null 2>&1 || true
    "$wine" reg delete "$run_key" /v Tidegauge /f >/dev/null 2>&1 || true
  fi
  stop_wine_display
  rm -rf "$work"
}
trap cleanup EXIT
start_wine_display "$wine" "$work" || exit 1
if $private_network; then
  # With no hardware link, automatic mode counts every link but loopback: here the veth link.
  far_end
else
  step "without a link of our own, no traffic counts in automatic mode: the ticking checks are skipped"
fi

if "$wine" reg query "$settings_key" >/dev/null 2>&1; then
  fail "the prefix $WINEPREFIX already holds $settings_key; run with a fresh WINEPREFIX"
fi
if "$wine" reg query "$run_key" /v Tidegauge >/dev/null 2>&1; then
  fail "the prefix $WINEPREFIX already holds a Run value Tidegauge; run with a fresh WINEPREFIX"
fi
ours=true

# plant NAME=TYPE:DATA...: the settings key holds just these values, of these types.
plant() {
  local value name type
  "$wine" reg delete "$settings_key" /f >/dev/null 2>&1 || true
  for value in "$@"; do
    name=${value%%=*} type=${value#*=} type=${type%%:*}
    "$wine" reg add "$section" /v "$name" /t "$type" /d "${value#*:}" /f >/dev/null ||
      fail "reg add could not plant $value"
  done
}
# settings_text: every value of the settings key, one "name type data" a line, by name.
settings_text() { "$wine" reg query "$section" 2>/dev/null | tr -d '\r' | grep -E '^ +[a-z0-9]+ +REG_' | tr -s ' ' | sort; }
# settings_hold NAME TYPE DATA...: the settings key holds these values, and no others.
settings_hold() {
  local expected
  expected=$(printf ' %s %s %s\n' "$@" | sed 's/ $//' | sort)
  [[ $(settings_text) == "$expected" ]] || fail "the settings hold
$(settings_text)
expected
$expected"
}
# run_value: the Run value Tidegauge as "type data", or nothing.
run_value() {
  "$wine" reg query "$run_key" /v Tidegauge 2>/dev/null | tr -d '\r' | sed -n 's/^ *Tidegauge *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p' | sed 's/ $//'
}
run_is() { [[ $(run_value) == "$1" ]]; }

start() {
  log=$work/tidegauge.log
  "$wine" "$program" >"$log" 2>&1 &
  app=$!
  pids+=("$app")
  poll 30 find_main || fail "no window appeared within 30 s; Wine said: $(tail -n 20 "$log")"
}
at() { poll 5 geometry_is "$1" || fail "window at $(geometry "$main"), expected $1"; }
opacity_is() {
  local seen
  seen=$(xprop -id "$main" -notype _NET_WM_WINDOW_OPACITY 2>/dev/null |
    awk '/= / {printf "%d", $NF / 4294967295 * 255 + 0.5}')
  [[ ${seen:-opaque} == "$1" ]] || fail "window opacity ${seen:-opaque}, expected $1"
}
no_message() {
  sleep 2
  ! find_dialog || fail "a message '$(xdotool getwindowname "$dialog")' shows over the window"
}
# ticking RIGHT TOP HEIGHT NAME: traffic sent over the veth link draws bars left of the picture's
# right edge.
ticking() {
  $private_network || return 0
  traffic 8 far
  yellow=0 red=0 bars=0
  poll 15 bars_drawn "$1" "$2" "$3" || {
    keep_shot "$4-no-bars"
    fail "no upload bars within 15 s ($yellow yellow pixels in $bars columns, $red red pixels)"
  }
  keep_shot "$4"
  echo "   $yellow yellow pixels in $bars columns"
}

# options X Y: 配置... from the menu opened at that screen point; sets cx, cy to the dialog's
# client area (no window manager: the X window is the client area).
find_options() { options=$(xdotool search --onlyvisible --name '^配置$' 2>/dev/null | head -n 1) && [[ -n $options ]]; }
open_options() {
  xdotool mousemove "$1" "$2" click 3
  sleep 0.5
  # Up from no selection is exit; once more is 配置...
  xdotool key Up key Up key Return
  poll 10 find_options || fail "no window titled 配置 within 10 s of picking 配置..."
  read -r cx cy _ _ <<<"$(geometry "$options")"
  sleep 0.5
}
close_options() {
  options_gone() { ! find_options; }
  xdotool mousemove $((cx + 150)) $((cy + 140)) key alt+F4
  poll 10 options_gone || fail "the options dialog is still up 10 s after Alt+F4"
  kill -0 "$app" 2>/dev/null || fail "the program ended with the dialog"
}
# check1_marks: pixels that are not white inside the box of Check1 (client 8, 88, 13 x 13),
# inset from its edge: the check mark (whatever its colour) when it is ticked, none when it is not.
check1_marks() {
  pixels $((cx + 11)) $((cy + 91)) 7 7 | awk '$1 < 230 || $2 < 230 || $3 < 230 {n++} END {print n + 0}'
}
unticked() { (($(check1_marks) == 0)); }
ticked() { (($(check1_marks) >= 5)); }

step "every setting far out of range: the window at the top left, 2000 twips square, opaque"
# 5000 nines have no finite value; the others overflow the key's type or lie off the screen. No
# interface name is 300 bytes long: automatic mode, which counts the veth link.
nines=$(printf '9%.0s' {1..5000})
plant "interfaces=REG_SZ:$(printf 'x%.0s' {1..300})" \
  x=REG_SZ:1e30 y=REG_SZ:99999999999 x1=REG_SZ:1e9 y1=REG_SZ:1e38 kbps=REG_SZ:1e300 \
  bgcolor1=REG_SZ:99999999999 bgcolor2=REG_SZ:1e10 bgcolor3=REG_SZ:4294967296 bgcolor4=REG_SZ:-2147483649 \
  "bgcolor5=REG_SZ:$nines" transpa=REG_SZ:999 ontop=REG_SZ:2 info=REG_SZ:11
before=$(settings_text)
start
at "0 0 133 133"
# An opacity out of 0 to 255 is not applied; info is not "0", so no first-run message.
opacity_is opaque
no_message
ticking 133 0 131 huge
frugal
[[ $(settings_text) == "$before" ]] || fail "the start changed the settings: $(settings_text)"
quit 60 60

step "every setting negative or not a number, a binary Run value: defaults, Check1 off, Run kept"
# An empty interface name and a broken escape: automatic mode, not lo alone.
plant interfaces=REG_SZ:lo,,%zz \
  x=REG_SZ:-5000 y=REG_SZ:abc x1=REG_SZ:-100 y1=REG_SZ:12abc kbps=REG_SZ:fast bgcolor1=REG_SZ:white \
  bgcolor2=REG_SZ:0x00FF00 bgcolor3=REG_SZ:- bgcolor4=REG_SZ:1.5.5 bgcolor5=REG_SZ:black \
  transpa=REG_SZ:abc ontop=REG_SZ:yes info=REG_SZ:no
"$wine" reg add "$run_key" /v Tidegauge /t REG_BINARY /d 0102ff /f >/dev/null
binary_run=$(run_value)
[[ $binary_run == "REG_BINARY 0102FF" ]] || fail "the Run value was planted as '$binary_run'"
start
# Left below 0 becomes 0, a top that is no number is the default (screen height - 3000 twips), a
# negative width the resize handler's 500 twips, a height that is no number the design height.
at "0 880 33 91"
opacity_is 180
no_message
ticking 33 880 89 negative
open_options 16 920
pixels "$cx" "$cy" 302 149 >/dev/null && keep_shot negative-options
unticked || fail "Check1 shows ticked for a binary Run value ($(check1_marks) marks in its box)"
# The download colour that is no number shows as the default, red.
red=$(pixels $((cx + 107)) $((cy + 19)) 11 11 | count 255 0 0)
((red == 121)) || fail "Picture3 is not red inside its edge ($red of 121 pixels)"
close_options
run_is "$binary_run" || fail "the binary Run value became '$(run_value)'"
# The dialog puts the scroll bar at the default opacity, which stores it; the rest stays.
settings_hold interfaces REG_SZ lo,,%zz \
  x REG_SZ -5000 y REG_SZ abc x1 REG_SZ -100 y1 REG_SZ 12abc kbps REG_SZ fast bgcolor1 REG_SZ white \
  bgcolor2 REG_SZ 0x00FF00 bgcolor3 REG_SZ - bgcolor4 REG_SZ 1.5.5 bgcolor5 REG_SZ black \
  transpa REG_SZ 180 ontop REG_SZ yes info REG_SZ no
at "0 880 33 91"
ticking 33 880 89 negative-after-options
quit 16 920
run_is "$binary_run" || fail "the binary Run value became '$(run_value)' after the program ended"

step "every setting and the Run value of a type other than a string: a first start"
# Read as numbers these would make a black, invisible, small window at the top left; the two
# kinds of text that are not plain strings are not read either.
plant interfaces=REG_DWORD:1 \
  x=REG_DWORD:0 y=REG_DWORD:0 x1=REG_MULTI_SZ:100 y1=REG_EXPAND_SZ:100 kbps=REG_DWORD:512 \
  bgcolor1=REG_DWORD:0 bgcolor2=REG_DWORD:0 bgcolor3=REG_DWORD:0 bgcolor4=REG_DWORD:0 bgcolor5=REG_BINARY:00 \
  transpa=REG_DWORD:0 ontop=REG_BINARY:01 info=REG_DWORD:1
"$wine" reg add "$run_key" /v Tidegauge /t REG_DWORD /d 1 /f >/dev/null
dword_run=$(run_value)
[[ $dword_run == "REG_DWORD 0x1" ]] || fail "the Run value was planted as '$dword_run'"
start
at "1672 880 181 91"
opacity_is 180
# info is no string, so this is a first start: the message shows, and info=1 replaces the number.
poll 10 find_dialog || fail "no first-run message over the window within 10 s"
read -r dx dy dw dh <<<"$(geometry "$dialog")"
xdotool mousemove $((dx + dw / 2)) $((dy + dh / 3)) key Return
poll 10 no_dialog || fail "the message is still up 10 s after Return"
info_stored() { [[ $(settings_text) == *" info REG_SZ 1"* ]]; }
poll 10 info_stored || fail "info=1 not stored: $(settings_text)"
ticking $((1672 + 181)) 880 89 types
open_options 1700 900
pixels "$cx" "$cy" 302 149 >/dev/null && keep_shot types-options
unticked || fail "Check1 shows ticked for a DWORD Run value ($(check1_marks) marks in its box)"
sleep 1
run_is "$dword_run" || fail "opening the dialog changed the DWORD Run value to '$(run_value)'"
# The user's click is what replaces it: ticked stores the program's path, unticked the empty text.
windows_path=$("$wine" winepath -w "$program" 2>/dev/null | tr -d '\r')
xdotool mousemove $((cx + 14)) $((cy + 96)) click 1
poll 10 run_is "REG_SZ $windows_path" || fail "Run value after ticking Check1: '$(run_value)'"
poll 5 ticked || fail "Check1 does not show ticked after the click ($(check1_marks) marks in its box)"
xdotool key space
poll 10 run_is "REG_SZ" || fail "Run value after unticking Check1: '$(run_value)', expected the empty text"
close_options
settings_hold interfaces REG_DWORD 0x1 \
  x REG_DWORD 0x0 y REG_DWORD 0x0 x1 REG_MULTI_SZ 100 y1 REG_EXPAND_SZ 100 kbps REG_DWORD 0x200 \
  bgcolor1 REG_DWORD 0x0 bgcolor2 REG_DWORD 0x0 bgcolor3 REG_DWORD 0x0 bgcolor4 REG_DWORD 0x0 bgcolor5 REG_BINARY 00 \
  transpa REG_SZ 180 ontop REG_BINARY 01 info REG_SZ 1
ticking $((1672 + 181)) 880 89 types-after-options
quit 1700 900

echo "PASS: windows bad registry"
