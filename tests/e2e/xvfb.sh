# Sourced by the end-to-end scripts: a private X server on a display number the server picks
# itself, so parallel runs never race for one.

# start_xvfb WORKDIR [SCREEN]: starts Xvfb, exports DISPLAY, sets XVFB_PID.
start_xvfb() {
  local work=$1 screen=${2:-1920x1080x24} i
  command -v Xvfb >/dev/null || { echo "FAIL: Xvfb is not installed (scripts/bootstrap installs it)" >&2; return 1; }
  : >"$work/xvfb.display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/xvfb.display" 2>"$work/xvfb.log" &
  XVFB_PID=$!
  for ((i = 0; i < 100; i++)); do
    if [[ -s $work/xvfb.display ]]; then
      DISPLAY=:$(tr -d '[:space:]' <"$work/xvfb.display")
      export DISPLAY
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: Xvfb did not start; its log:" >&2
  cat "$work/xvfb.log" >&2
  return 1
}

stop_xvfb() {
  [[ -n ${XVFB_PID:-} ]] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
