#!/usr/bin/env bash
# The Debian package as a user gets it: made with cpack from a built tree, unpacked into a
# temporary root (never installed), its metadata validated, its icons checked, and the program
# started from that root under a private Xvfb with empty settings and runtime folders.
#
#   deb_test.sh BUILD-DIR VERSION
set -euo pipefail

build=$(realpath "${1:?usage: deb_test.sh BUILD-DIR VERSION}")
version=${2:?usage: deb_test.sh BUILD-DIR VERSION}
# shellcheck source=../e2e/e2e-helpers.sh
source "$(dirname "$0")/../e2e/e2e-helpers.sh"

need cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli xdotool xprop od
begin deb

step "cpack makes one .deb named after the version"
# Its own output folder, so that a run of scripts/package at the same time never shares one.
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 30 "$work/cpack.log")"
deb=$work/out/tidegauge_${version}_amd64.deb
[[ -f $deb ]] || fail "no $deb; cpack made: $(ls "$work/out")"

step "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == tidegauge ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version), expected $version"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
# Found by dpkg-shlibdeps from what the program links, or named by the package for the libraries
# it loads when first needed: without them the package installs on a system that cannot run it.
for lib in libc6 libgtk-3-0 libglib2.0-0 libstdc++6 libayatana-appindicator3-1 libnotify4; do
  [[ ,$(field Depends | tr -d ' '), == *",$lib"[\(,]* ]] || fail "Depends lacks $lib: $(field Depends)"
done

step "exactly the expected files, owned by root, under /usr"
sizes=(16 22 24 32 48 64 128 256)
expected=(./usr/bin/tidegauge ./usr/bin/tidegauge-probe
  ./usr/share/applications/tidegauge.desktop
  ./usr/share/metainfo/org.example.tidegauge.metainfo.xml)
for n in "${sizes[@]}"; do expected+=("./usr/share/icons/hicolor/${n}x${n}/apps/tidegauge.png"); done
dpkg-deb -c "$deb" >"$work/contents"
actual=$(awk '$1 !~ /^d/ {print $NF}' "$work/contents" | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[[ $actual == "$wanted" ]] || fail "package files differ from the expected list:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
awk '$2 != "root/root" {bad = 1; print} END {exit bad}' "$work/contents" >&2 || fail "files not owned by root"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {bad = 1; print} END {exit bad}' "$work/contents" >&2 ||
  fail "directories not 755"

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/tidegauge.desktop
metainfo=$root/usr/share/metainfo/org.example.tidegauge.metainfo.xml

step "desktop-file-validate: no errors, warnings or hints"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed: $out"
[[ -z $out ]] || fail "desktop-file-validate says: $out"

step "appstreamcli validate --pedantic: no issue at all"
out=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1) || fail "appstreamcli failed: $out"
grep -Eq '^[EWIP]: ' <<<"$out" && fail "appstreamcli reports: $out"

step "the entries name what the package holds"
key() { sed -n "s/^$1=//p" "$desktop"; }
exec_binary=$(key Exec | awk '{print $1}')
[[ -x $root/usr/bin/$exec_binary ]] || fail "Exec=$(key Exec) is not a program of the package"
icon=$(key Icon)
for n in "${sizes[@]}"; do
  [[ -f $root/usr/share/icons/hicolor/${n}x${n}/apps/$icon.png ]] || fail "Icon=$icon has no ${n}x${n} PNG"
done
xml() { sed -n "s:.*<$1[^>]*>\(.*\)</$1>.*:\1:p" "$metainfo"; }
[[ $(xml launchable) == "$(basename "$desktop")" ]] || fail "launchable '$(xml launchable)' is not the desktop entry"
for b in $(xml binary); do
  [[ -x $root/usr/bin/$b ]] || fail "metainfo provides binary $b, which the package lacks"
done
released=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$metainfo" | head -n 1)
[[ $released == "$version" ]] || fail "newest release in the metainfo is '$released', the package is $version"

step "each icon is a PNG of its folder's size"
# png_size FILE: "WIDTH HEIGHT" from the IHDR chunk, empty when FILE is not a PNG.
png_size() {
  [[ $(od -An -tx1 -N8 "$1" | tr -d ' \n') == 89504e470d0a1a0a ]] || return 0
  [[ $(od -An -c -j12 -N4 "$1" | tr -d ' \n') == IHDR ]] || return 0
  echo $((16#$(od -An -tx1 -j16 -N4 "$1" | tr -d ' \n'))) $((16#$(od -An -tx1 -j20 -N4 "$1" | tr -d ' \n')))
}
for n in "${sizes[@]}"; do
  f=$root/usr/share/icons/hicolor/${n}x${n}/apps/tidegauge.png
  [[ $(png_size "$f") == "$n $n" ]] || fail "$f is '$(png_size "$f")', expected a $n x $n PNG"
done

step "the unpacked program opens its window and keeps running"
start_xvfb "$work" 1280x800x24 || exit 1
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
fresh_home deb
program=("$root/usr/bin/tidegauge") start_seconds=10
start
# The desktop ties the running window to its entry through the window's class.
wm_classes=$(for w in $(visible_windows "$app"); do xprop -id "$w" WM_CLASS; done)
grep -q "\"$(key StartupWMClass)\"" <<<"$wm_classes" ||
  fail "no window of class '$(key StartupWMClass)': $wm_classes"
# Staying up is what is checked, so time itself is waited for.
sleep 3
kill -0 "$app" 2>/dev/null || fail "the program ended within 3 s: $(cat "$log")"
find_main || fail "the window went away within 3 s"
echo "PASS"
