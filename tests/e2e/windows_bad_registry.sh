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
# start at logon off and leave the foreign Run value as it is until the user clicks. Runs in a
# throwaway Wine prefix of its own. As root it runs in a network namespace of its own, holding
# loopback and a veth link to a second one. Screenshots are kept in ARTIFACTS-DIR.
set -euo pipefail

wine=${1:?usage: windows_bad_registry.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}
program=("$wine" "$(realpath "${2:?usage: windows_bad_registry.sh WINE PATH/TO/tidegauge.exe [ARTIFACTS-DIR]}")")
artifacts=${3:-}
platform=windows
# shellcheck source=e2e-helpers.sh
source "$(dirname "$0")/e2e-helpers.sh"
own_network "$0" "$@"

need "$wine" wineserver xdotool xwininfo xprop iperf3 "$IMPORT" "$CONVERT"
[[ -f ${program[1]} ]] || fail "no program at ${program[1]}"
begin_e2e bad-registry
if $private_network; then
  # With no hardware link, automatic mode counts every link but loopback: here the veth link.
  far_end
else
  step "without a link of our own, no traffic counts in automatic mode: the ticking checks are skipped"
fi

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
# registry_values: every value of the settings key, one "name type data" a line, by name.
registry_values() { "$wine" reg query "$section" 2>/dev/null | tr -d '\r' | grep -E '^ +[a-z0-9]+ +REG_' | tr -s ' ' | sort; }
# settings_hold NAME TYPE DATA...: the settings key holds these values, and no others.
settings_hold() {
  local expected
  expected=$(printf ' %s %s %s\n' "$@" | sed 's/ $//' | sort)
  [[ $(registry_values) == "$expected" ]] || fail "the settings hold
$(registry_values)
expected
$expected"
}
# check1_unticked KIND: Check1 shows no mark for a Run value of that kind. The dialog is drawn
# once Picture3 shows the download colour, which every start here leaves at its default, red.
check1_unticked() {
  poll 5 swatch_holds 16 255 0 0 || fail "Picture3 is not red inside its edge"
  (($(check1_marks) == 0)) || fail "Check1 shows ticked for a $1 Run value ($(check1_marks) marks in its box)"
}

step "every setting far out of range: the window at the top left, 2000 twips square, opaque"
# 5000 nines have no finite value; the others overflow the key's type or lie off the screen. No
# interface name is 300 bytes long: automatic mode, which counts the veth link.
nines=$(printf '9%.0s' {1..5000})
plant "interfaces=REG_SZ:$(printf 'x%.0s' {1..300})" \
  x=REG_SZ:1e30 y=REG_SZ:99999999999 x1=REG_SZ:1e9 y1=REG_SZ:1e38 kbps=REG_SZ:1e300 \
  bgcolor1=REG_SZ:99999999999 bgcolor2=REG_SZ:1e10 bgcolor3=REG_SZ:4294967296 bgcolor4=REG_SZ:-2147483649 \
  "bgcolor5=REG_SZ:$nines" transpa=REG_SZ:999 ontop=REG_SZ:2 info=REG_SZ:11
before=$(registry_values)
start
at "0 0 133 133"
# An opacity out of 0 to 255 is not applied; info is not "0", so no first-run message.
expect_opacity opaque
no_message
ticking huge
frugal
[[ $(registry_values) == "$before" ]] || fail "the start changed the settings: $(registry_values)"
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
expect_opacity 180
no_message
ticking negative
open_options 16 920
# The download colour that is no number shows as the default, red.
check1_unticked binary
keep_shot negative-options
close_options
run_is "$binary_run" || fail "the binary Run value became '$(run_value)'"
# The dialog puts the scroll bar at the default opacity, which stores it; the rest stays.
settings_hold interfaces REG_SZ lo,,%zz \
  x REG_SZ -5000 y REG_SZ abc x1 REG_SZ -100 y1 REG_SZ 12abc kbps REG_SZ fast bgcolor1 REG_SZ white \
  bgcolor2 REG_SZ 0x00FF00 bgcolor3 REG_SZ - bgcolor4 REG_SZ 1.5.5 bgcolor5 REG_SZ black \
  transpa REG_SZ 180 ontop REG_SZ yes info REG_SZ no
at "0 880 33 91"
ticking negative-after-options
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
expect_opacity 180
# info is no string, so this is a first start: the message shows, and info=1 replaces the number.
first_run_message
expect_stored info 1
ticking types
open_options 1700 900
check1_unticked DWORD
keep_shot types-options
# The dialog's load, which would have written the Run value, is over once the dialog is drawn.
run_is "$dword_run" || fail "opening the dialog changed the DWORD Run value to '$(run_value)'"
# The user's click is what replaces it.
start_at_logon_round_trip
close_options
settings_hold interfaces REG_DWORD 0x1 \
  x REG_DWORD 0x0 y REG_DWORD 0x0 x1 REG_MULTI_SZ 100 y1 REG_EXPAND_SZ 100 kbps REG_DWORD 0x200 \
  bgcolor1 REG_DWORD 0x0 bgcolor2 REG_DWORD 0x0 bgcolor3 REG_DWORD 0x0 bgcolor4 REG_DWORD 0x0 bgcolor5 REG_BINARY 00 \
  transpa REG_SZ 180 ontop REG_BINARY 01 info REG_SZ 1
ticking types-after-options
quit 1700 900

echo "PASS: windows bad registry"
