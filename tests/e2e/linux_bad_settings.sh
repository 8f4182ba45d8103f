#!/usr/bin/env bash
# The Linux monitor started on settings it cannot use, end to end: the real tidegauge under a
# private Xvfb (1920x1080, 96 DPI, no window manager), each start with settings and runtime
# folders of its own. The settings are, in turn: a file of random bytes; files whose every value
# is out of range or not a number; a settings folder the program may read but not write; and a
# settings folder whose path is taken by a plain file.
#
#   linux_bad_settings.sh PATH/TO/tidegauge [ARTIFACTS-DIR]
#
# Each time the window must appear where the start-up rules put it, tick (bars under traffic on a
# link that automatic mode counts), stay frugal with the processor, and end cleanly from its menu;
# and whatever the program could not use must still be there afterwards, byte for byte. As root it
# runs in a network namespace of its own, holding loopback and a veth link to a second one.
# Screenshots are kept in ARTIFACTS-DIR when given.
set -euo pipefail

binary=$(realpath "${1:?usage: linux_bad_settings.sh PATH/TO/tidegauge [ARTIFACTS-DIR]}")
artifacts=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e-helpers.sh
source "$here/e2e-helpers.sh"
own_network "$0" "$@"
# shellcheck source=xvfb.sh
source "$here/xvfb.sh"

need xdotool xwininfo xprop iperf3 setpriv iconv "$IMPORT" "$CONVERT"
[[ -x $binary ]] || fail "no program at $binary"

work=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-bad-settings.XXXXXX")
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  stop_xvfb
  chmod -R u+rwX "$work" 2>/dev/null || true  # the read-only settings folder
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work" 1920x1080x24 || exit 1
if $private_network; then
  # With no hardware link, automatic mode counts every link but loopback: here the veth link.
  far_end
else
  step "without a link of our own, no traffic counts in automatic mode: the ticking checks are skipped"
fi
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

# fresh_home NAME: empty home, settings and runtime folders for one start; sets folder (where the
# settings file lives), ini (the file) and log (what the program says).
fresh_home() {
  local home=$work/$1
  export HOME=$home/home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
  export XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  folder=$XDG_CONFIG_HOME/TideGauge
  ini=$folder/settings.ini
  log=$home/tidegauge.log
}

# settings TEXT: a settings file holding TEXT under the program's section.
settings() {
  mkdir -p "$folder"
  printf '[配置]\n%s\n' "$1" >"$ini"
}

# start [COMMAND...]: starts the program (through COMMAND when given) and waits for its window.
start() {
  "$@" "$binary" >"$log" 2>&1 &
  app=$!
  pids+=("$app")
  poll 10 find_main || fail "no window appeared within 10 s; the program said: $(cat "$log")"
}

# at GEOMETRY: the main window settles there ("X Y WIDTH HEIGHT" in pixels).
at() { poll 5 geometry_is "$1" || fail "window at $(geometry "$main"), expected $1"; }

# first_run_message: the first-run message is up over the window; Return dismisses it.
first_run_message() {
  poll 10 find_dialog || fail "no message over the window within 10 s"
  [[ $(xdotool getwindowname "$dialog") == TideGauge ]] || fail "message titled '$(xdotool getwindowname "$dialog")'"
  xdotool windowfocus --sync "$dialog" key Return
  poll 10 no_dialog || fail "the message is still up 10 s after Return"
}

# no_message: no message shows over the window in the first two seconds.
no_message() {
  sleep 2
  ! find_dialog || fail "a message '$(xdotool getwindowname "$dialog")' shows over the window"
}

# opacity_is LEVEL: the window's opacity as the X server holds it; "opaque" when it has none.
opacity_is() {
  local seen
  seen=$(xprop -id "$main" -notype _NET_WM_WINDOW_OPACITY 2>/dev/null |
    awk '/= / {printf "%d", $NF / 4294967295 * 255 + 0.5}')
  [[ ${seen:-opaque} == "$1" ]] || fail "window opacity ${seen:-opaque}, expected $1"
}

# ticking LEFT TOP WIDTH HEIGHT NAME: traffic sent over the veth link draws bars at the right edge
# of the window at that place; the screenshot is kept as NAME. The picture leaves 2 pixels below it.
ticking() {
  $private_network || return 0
  traffic 8 far
  yellow=0 red=0 bars=0
  poll 12 bars_drawn $(($1 + $3)) "$2" $(($4 - 2)) || {
    keep_shot "$5-no-bars"
    fail "no upload bars within 12 s ($yellow yellow pixels in $bars columns, $red red pixels)"
  }
  keep_shot "$5"
  echo "   $yellow yellow pixels in $bars columns"
}



# random_bytes SEED COUNT: COUNT bytes from bash's generator seeded with SEED, the same each run.
random_bytes() {
  local format='' octal i
  RANDOM=$1
  for ((i = 0; i < $2; i++)); do
    printf -v octal '\\%03o' $((RANDOM % 256))
    format+=$octal
  done
  # shellcheck disable=SC2059  # the format is nothing but octal escapes
  printf "$format"
}

step "a settings file of random bytes: first-start defaults, and the bytes kept aside"
fresh_home random
mkdir -p "$folder"
random_bytes 20240611 4096 >"$ini"
cp "$ini" "$work/random.orig"
(($(tr -d '\000' <"$ini" | wc -c) < 4096)) || fail "the random file holds no NUL byte"
! iconv -f UTF-8 -t UTF-8 "$ini" >/dev/null 2>&1 || fail "the random file is valid UTF-8"
start
# Left = screen width - 1000 - 2715 twips, top = screen height - 3000 twips, 2715 x 1365 twips.
at "1672 880 181 91"
opacity_is 180
# Nothing in the file could be read, info included: this is a first start.
first_run_message
poll 5 grep -qx "info=1" "$ini" || fail "settings.ini lacks info=1 after the message: $(head -c 200 "$ini")"
[[ -f $ini.bad ]] || fail "the unreadable file was not kept as settings.ini.bad: $(ls -A "$folder")"
cmp -s "$work/random.orig" "$ini.bad" || fail "settings.ini.bad does not hold the original bytes"
[[ $(printf '%s\n' "[配置]" "info=1") == "$(cat "$ini")" ]] || fail "the new settings.ini holds more: $(cat "$ini")"
[[ $(find "$folder" -mindepth 1 -printf '%f\n' | sort | tr '\n' ' ') == "settings.ini settings.ini.bad " ]] ||
  fail "the folder holds $(ls -A "$folder")"
grep -q "kept as $ini.bad" "$log" || fail "the program did not say where the file went: $(cat "$log")"
ticking 1672 880 181 91 random
frugal
quit 1700 900
echo "   the 4096 bytes are in settings.ini.bad; the program said: $(cat "$log")"

step "every value far too large: the window at the top left, 2000 twips square, opaque"
fresh_home huge
# An interface name longer than any system gives: automatic mode, which counts the veth link.
settings "interfaces=$(printf 'x%.0s' {1..300})
x=1e30
y=99999999999
x1=1e9
y1=1e38
kbps=1e300
bgcolor1=99999999999
bgcolor2=1e10
bgcolor3=4294967296
bgcolor4=-2147483649
bgcolor5=1e400
transpa=999
ontop=2
info=11"
before=$(md5sum <"$ini")
start
# Left and top beyond the screen go to 0; a size beyond it is 2000 twips, 133 pixels.
at "0 0 133 133"
# An opacity out of 0 to 255 is not applied; info is not "0", so no first-run message.
opacity_is opaque
no_message
ticking 0 0 133 133 huge
frugal
[[ $(md5sum <"$ini") == "$before" ]] || fail "the start changed settings.ini: $(cat "$ini")"
quit 60 60
[[ $(ls -A "$folder") == settings.ini ]] || fail "the folder holds $(ls -A "$folder")"

step "every value negative or malformed: the smallest window at the top left, default opacity"
fresh_home negative
# An empty name and a broken escape: automatic mode, not lo alone.
settings "interfaces=lo,,%zz
x=-5000
y=-1e30
x1=-100
y1=-1e9
kbps=-
bgcolor1=-
bgcolor2=--1
bgcolor3=0x0000FF
bgcolor4=#00FFFF
bgcolor5=1.5.5
transpa=0
ontop=
info="
before=$(md5sum <"$ini")
start
# Left and top below 0 become 0; the resize handler's minimum is 500 twips, 33 pixels.
at "0 0 33 33"
# A level under the scroll bar's 10 would hide the window from its user: the default instead.
opacity_is 180
no_message
ticking 0 0 33 33 negative
frugal
[[ $(md5sum <"$ini") == "$before" ]] || fail "the start changed settings.ini: $(cat "$ini")"
quit 16 16

step "every value not a number: first-start place and colours; a drag stores x and y only"
fresh_home garbage
settings "x=abc
y=12abc
x1=NaN
y1=inf
kbps=fast
bgcolor1=white
bgcolor2=yellow
bgcolor3=red
bgcolor4=0xFFFF00
bgcolor5=black
transpa=abc
ontop=yes
info=no"
cp "$ini" "$work/garbage.orig"
start
at "1672 880 181 91"
opacity_is 180
no_message
ticking 1672 880 181 91 garbage
# The read-outs are in the default text colour, black, over the gradient.
dark=$(pixels 1680 886 60 14 | awk '$1 < 80 && $2 < 80 && $3 < 80 {n++} END {print n + 0}')
((dark >= 10)) || fail "no black read-out text at the top left ($dark dark pixels)"
cmp -s "$ini" "$work/garbage.orig" || fail "the start changed settings.ini: $(cat "$ini")"
xdotool mousemove 1722 920 mousedown 1
xdotool mousemove 1650 850 mousemove 1580 720 mousemove 1522 620 mouseup 1
at "1472 580 181 91"
# 200 and 300 pixels up-left of 25085, 13200 twips.
poll 5 grep -qx "x=22085" "$ini" || fail "x not stored as 22085: $(cat "$ini")"
grep -qx "y=8700" "$ini" || fail "y not stored as 8700: $(cat "$ini")"
diff <(grep -v '^[xy]=' "$work/garbage.orig") <(grep -v '^[xy]=' "$ini") >/dev/null ||
  fail "the drag changed more than x and y: $(cat "$ini")"
frugal
quit 1500 600

step "a settings folder the program cannot write into: it reads, runs, and saves nothing"
fresh_home readonly
settings "x=15000
y=7500
kbps=512"
# Permissions do not hold back root: as root, the program runs as an unprivileged user that owns
# its folders, so the folder's read-only mode is what stops it.
# The checkout may lie in a folder that user cannot enter (a home folder), so the program and the
# leak checker's suppressions go where it can read them.
runas=()
if (($(id -u) == 0)); then
  runas=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  chmod 711 "$work"
  chown -R 65534:65534 "$work/readonly"
  install -m 755 "$binary" "$work/readonly/tidegauge"
  binary=$work/readonly/tidegauge
  if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$work/readonly/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$work/readonly/lsan.supp}
  fi
fi
chmod 500 "$folder"
! "${runas[@]}" touch "$folder/probe" 2>/dev/null || fail "the settings folder is writable for the program"
before=$(md5sum <"$ini")
start "${runas[@]}"
at "1000 500 181 91"
# info is absent, so the message shows; saving info=1 afterwards fails.
first_run_message
poll 5 grep -q "settings not saved" "$log" || fail "the program did not say the settings were not saved: $(cat "$log")"
ticking 1000 500 181 91 readonly
xdotool mousemove 1050 540 mousedown 1
xdotool mousemove 1000 500 mousemove 950 440 mouseup 1
at "900 400 181 91"
frugal
[[ $(md5sum <"$ini") == "$before" ]] || fail "settings.ini changed: $(cat "$ini")"
[[ $(ls -A "$folder") == settings.ini ]] || fail "the folder holds $(ls -A "$folder")"
quit 950 440
echo "   the program said: $(sort -u "$log" | head -n 3)"

step "the settings folder's path taken by a plain file: defaults, and the file left alone"
fresh_home blocked
printf 'not a folder\n' >"$folder"
start
at "1672 880 181 91"
first_run_message
poll 5 grep -q "settings not saved" "$log" || fail "the program did not say the settings were not saved: $(cat "$log")"
ticking 1672 880 181 91 blocked
frugal
[[ -f $folder && $(cat "$folder") == "not a folder" ]] || fail "the file in the folder's place changed"
quit 1700 900
echo "   the program said: $(head -n 1 "$log")"

echo "PASS: linux bad settings"
