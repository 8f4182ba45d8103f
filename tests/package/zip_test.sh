#!/usr/bin/env bash
# The Windows zip as a user gets it: made with cpack from the cross-built tree, then its contents,
# the programs' imports, subsystems and stripped symbols, and the README's encoding checked.
#
#   zip_test.sh BUILD-DIR VERSION OBJDUMP
set -euo pipefail

usage="usage: zip_test.sh BUILD-DIR VERSION OBJDUMP"
build=$(realpath "${1:?$usage}")
version=${2:?$usage}
objdump=${3:?$usage}

# shellcheck source=../e2e/e2e-helpers.sh
source "$(dirname "$0")/../e2e/e2e-helpers.sh"

need cpack unzip od "$objdump"
begin zip

step "cpack makes one zip named after the version"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 30 "$work/cpack.log")"
top=tidegauge-$version-windows-x64
zip=$work/out/$top.zip
[[ -f $zip ]] || fail "no $zip; cpack made: $(ls "$work/out")"

step "one folder with the two programs and the README, nothing else"
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
wanted=$(printf '%s\n' "$top/README.txt" "$top/tidegauge-probe.exe" "$top/tidegauge.exe" | sort)
[[ $actual == "$wanted" ]] || fail "zip entries differ from the expected list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
unzip -q "$zip" -d "$work/x"
dir=$work/x/$top

step "the programs import system DLLs only"
# What every Windows has; a MinGW runtime DLL (libstdc++, libgcc, winpthread) here would make the
# exe fail to start on a machine without that toolchain.
system_dlls=(advapi32 comctl32 comdlg32 gdi32 iphlpapi kernel32 msimg32 msvcrt ole32 shell32 ucrtbase
  user32 ws2_32)
is_system_dll() {
  local d
  [[ $1 == api-ms-win-*.dll ]] && return 0
  for d in "${system_dlls[@]}"; do [[ $1 == "$d.dll" ]] && return 0; done
  return 1
}
for exe in tidegauge.exe tidegauge-probe.exe; do
  dlls=$("$objdump" -p "$dir/$exe" | awk '/DLL Name:/ {print tolower($NF)}')
  [[ -n $dlls ]] || fail "$exe imports nothing: is it a PE file?"
  for dll in $dlls; do
    is_system_dll "$dll" || fail "$exe imports $dll"
  done
done

step "the monitor is a GUI program, the probe a console one"
subsystem() { "$objdump" -p "$dir/$1" | awk '$1 == "Subsystem" {print $2}'; }
[[ $(subsystem tidegauge.exe) == 00000002 ]] || fail "tidegauge.exe subsystem $(subsystem tidegauge.exe), not GUI (2)"
[[ $(subsystem tidegauge-probe.exe) == 00000003 ]] ||
  fail "tidegauge-probe.exe subsystem $(subsystem tidegauge-probe.exe), not console (3)"

step "the programs ship stripped: no symbol table"
for exe in tidegauge.exe tidegauge-probe.exe; do
  "$objdump" -t "$dir/$exe" | grep -qx "no symbols" || fail "$exe carries a symbol table"
done

step "README: UTF-8 with a byte-order mark, CRLF lines, the version, settings and uninstall"
readme=$dir/README.txt
[[ $(od -An -tx1 -N3 "$readme" | tr -d ' \n') == efbbbf ]] || fail "README.txt does not start with a UTF-8 byte-order mark"
lf=$(tr -cd '\n' <"$readme" | wc -c)
crlf=$(grep -c $'\r$' "$readme" || true)
((lf > 0 && lf == crlf)) || fail "README.txt: $crlf of its $lf lines end in CRLF"
text=$(tr -d '\r' <"$readme")
for phrase in "TideGauge $version" 'HKEY_CURRENT_USER\Software\TideGauge\配置' \
  'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run' \
  'reg delete "HKCU\Software\TideGauge" /f'; do
  grep -qF "$phrase" <<<"$text" || fail "README.txt does not say: $phrase"
done
echo "PASS"
