#!/usr/bin/env bash
# Draws tidegauge.ico: a red (download) and a yellow (upload) bar over the window's own gradient,
# light yellow at the top to white at the bottom, at 16, 32 and 48 pixels. Run it after changing
# the drawing and check the result in; the build only reads the .ico.
set -euo pipefail
cd "$(dirname "$0")"
CONVERT=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# draw SIZE: one square image, every coordinate scaled from the 32-pixel design.
draw() {
  local n=$1
  s() { awk -v v="$1" -v n="$n" 'BEGIN { printf "%d", v * n / 32 + 0.5 }'; }
  "$CONVERT" -size "${n}x${n}" gradient:'#FFFF80-#FFFFFF' \
    -fill none -stroke '#7F7F7F' -strokewidth 1 -draw "rectangle 0,0 $((n - 1)),$((n - 1))" \
    -stroke '#600000' -fill '#FF0000' -draw "rectangle $(s 6),$(s 7) $(s 15),$((n - 1))" \
    -stroke '#606000' -fill '#FFFF00' -draw "rectangle $(s 17),$(s 15) $(s 26),$((n - 1))" \
    -define png:format=png32 "$work/$n.png"
}
for n in 16 32 48; do draw "$n"; done
"$CONVERT" "$work/16.png" "$work/32.png" "$work/48.png" tidegauge.ico
