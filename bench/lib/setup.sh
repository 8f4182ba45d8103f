# Sourced by the measuring scripts that run other programs beside ours.

# ensure_packages PKG...: installs with apt-get the Debian packages that are not installed yet;
# silent when all are there, stops the script when an install fails.
ensure_packages() {
  local p status missing=()
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "installing ${missing[*]}" >&2
  local sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq >/dev/null || { echo "FAIL: apt-get update failed" >&2; return 1; }
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    { echo "FAIL: apt-get install ${missing[*]} failed" >&2; return 1; }
}

# build_targets PRESET TARGET...: configures the preset when needed and builds only the targets.
build_targets() {
  local preset=$1 root log
  shift
  root=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
  log=$(mktemp /tmp/tg-build.XXXXXX)
  if (cd "$root" && { [[ -f build/$preset/build.ninja ]] || cmake --preset "$preset"; } &&
    cmake --build --preset "$preset" --target "$@") >"$log" 2>&1; then
    rm -f "$log"
    return 0
  fi
  tail -n 40 "$log" >&2
  rm -f "$log"
  echo "FAIL: building $* with the $preset preset failed" >&2
  return 1
}

# stamp: prefixes every line of its input with the wall-clock time it arrived, in epoch seconds.
stamp() {
  local line
  while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done
}
