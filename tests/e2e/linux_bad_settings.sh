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

program=("$(realpath "${1:?usage: linux_bad_settings.sh PATH/TO/tidegauge [ARTIFACTS-DIR]}")")
artifacts=${2:-}
platform=linux
# shellcheck source=e2e-helpers.sh
source "$(dirname "$0")/e2e-helpers.sh"
own_network "$0" "$@"

need xdotool xwininfo xprop iperf3 setpriv iconv "$IMPORT" "$CONVERT"
[[ -x ${program[0]} ]] || fail "no program at ${program[0]}"
begin_e2e bad-settings
if $private_network; then
  # With no hardware link, automatic mode counts every link but loopback: here the veth link.
  far_end
else
  step "without a link of our own, no traffic counts in automatic mode: the ticking checks are skipped"
fi

# settings TEXT: a settings file holding TEXT under the program's section.
settings() {
  mkdir -p "$folder"
  printf '[配置]\n%s\n' "$1" >"$ini"
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
expect_opacity 180
# Nothing in the file could be read, info included: this is a first start.
first_run_message
expect_stored info 1
[[ -f $ini.bad ]] || fail "the unreadable file was not kept as settings.ini.bad: $(ls -A "$folder")"
cmp -s "$work/random.orig" "$ini.bad" || fail "settings.ini.bad does not hold the original bytes"
[[ $(printf '%s\n' "[配置]" "info=1") == "$(cat "$ini")" ]] || fail "the new settings.ini holds more: $(cat "$ini")"
[[ $(find "$folder" -mindepth 1 -printf '%f\n' | sort | tr '\n' ' ') == "settings.ini settings.ini.bad " ]] ||
  fail "the folder holds $(ls -A "$folder")"
grep -q "kept as $ini.bad" "$log" || fail "the program did not say where the file went: $(cat "$log")"
ticking random
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
expect_opacity opaque
no_message
ticking huge
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
expect_opacity 180
no_message
ticking negative
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
expect_opacity 180
no_message
ticking garbage
# The read-outs are in the default text colour, black, over the gradient.
dark=$(pixels 1680 886 60 14 | awk '$1 < 80 && $2 < 80 && $3 < 80 {n++} END {print n + 0}')
((dark >= 10)) || fail "no black read-out text at the top left ($dark dark pixels)"
cmp -s "$ini" "$work/garbage.orig" || fail "the start changed settings.ini: $(cat "$ini")"
drag_from_first_place
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
  install -m 755 "${program[0]}" "$work/readonly/tidegauge"
  program=("$work/readonly/tidegauge")
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
ticking readonly
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
ticking blocked
frugal
[[ -f $folder && $(cat "$folder") == "not a folder" ]] || fail "the file in the folder's place changed"
quit 1700 900
echo "   the program said: $(head -n 1 "$log")"

echo "PASS: linux bad settings"
