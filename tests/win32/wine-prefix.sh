# Sourced by the scripts that run Windows programs under Wine.

# use_wine_prefix WINE: a throwaway prefix of the caller's own, whatever WINEPREFIX says: the user's
# prefix is never used, and suites that each end their prefix's wineserver can run side by side.
# Its dialog fonts fall back to a CJK font. Sets wine_used, which tells finish (e2e-helpers.sh) to
# end the prefix's processes.
use_wine_prefix() {
  local wine=$1
  wine_used=1
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  OWN_WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-wineprefix.XXXXXX")
  export WINEPREFIX=$OWN_WINEPREFIX
  DISPLAY= "$wine" wineboot --init >/dev/null 2>&1 || { echo "FAIL: wineboot could not make $WINEPREFIX" >&2; return 1; }
  link_cjk_font "$wine"
}

# link_cjk_font WINE: a fresh prefix has no font with Chinese glyphs behind the menu and dialog
# fonts, so the captions would show as boxes in screenshots, as they would on a Windows without
# East Asian fonts. Windows links such fonts in by default; this links the one scripts/bootstrap
# installs.
link_cjk_font() {
  local wine=$1 face
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
    DISPLAY= "$wine" reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
      >/dev/null 2>&1 || { echo "FAIL: could not link a CJK font for $face in $WINEPREFIX" >&2; return 1; }
  done
}

# end_wineserver: ends every Wine process of the prefix and waits until they are gone.
end_wineserver() {
  [[ -n ${WINEPREFIX:-} ]] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# start_wine_display WINE WORK: a prefix (see use_wine_prefix) and a private 1920x1080 Xvfb
# (xvfb.sh, sourced by the caller). Wine's desktop process takes the display of the first program
# of its server, so the server wineboot left running is ended first.
start_wine_display() {
  use_wine_prefix "$1" || return 1
  start_xvfb "$2" 1920x1080x24 || return 1
  end_wineserver
}

# stop_wine_display: ends the prefix's programs and the X server, and drops a throwaway prefix.
stop_wine_display() {
  end_wineserver
  stop_xvfb
  drop_wine_prefix
}

drop_wine_prefix() {
  [[ -n ${OWN_WINEPREFIX:-} ]] || return 0
  rm -rf "$OWN_WINEPREFIX"
  OWN_WINEPREFIX=
}
