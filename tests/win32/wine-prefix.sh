# Sourced by the scripts that run Windows programs under Wine.

# use_wine_prefix WINE: keeps WINEPREFIX when set; otherwise makes a throwaway prefix, so the
# user's own one is never used.
use_wine_prefix() {
  local wine=$1
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  [[ -n ${WINEPREFIX:-} ]] && return 0
  OWN_WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-wineprefix.XXXXXX")
  export WINEPREFIX=$OWN_WINEPREFIX
  DISPLAY= "$wine" wineboot --init >/dev/null 2>&1 || { echo "FAIL: wineboot could not make $WINEPREFIX" >&2; return 1; }
}

# end_wineserver: ends every Wine process of the prefix and waits until they are gone.
end_wineserver() {
  [[ -n ${WINEPREFIX:-} ]] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

drop_wine_prefix() {
  [[ -n ${OWN_WINEPREFIX:-} ]] || return 0
  rm -rf "$OWN_WINEPREFIX"
  OWN_WINEPREFIX=
}
