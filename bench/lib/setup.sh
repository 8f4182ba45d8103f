# Sourced by the measuring scripts that run other programs beside ours; it brings report.sh and
# the end-to-end tests' helpers (waiting, a network namespace of our own, traffic, windows and
# pixels, finishing a run) with it, and sets root to the checkout.
root=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
# shellcheck source=report.sh
source "$root/bench/lib/report.sh"
# shellcheck source=../../tests/e2e/e2e-helpers.sh
source "$root/tests/e2e/e2e-helpers.sh"

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
  local preset=$1 log
  shift
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

# memory PID: "RSS PSS PRIVATE_DIRTY" of the process in KiB, from /proc/PID/smaps_rollup. Private
# dirty pages are the process's own whatever else runs: no other process maps them, and nothing
# but the process wrote them.
memory() { awk '/^Rss:/ {r = $2} /^Pss:/ {p = $2} /^Private_Dirty:/ {d = $2} END {print r, p, d}' "/proc/$1/smaps_rollup"; }

# dirty_by_mapping PID: where the private dirty pages lie, KiB by what is mapped, largest first.
dirty_by_mapping() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anonymous]"; sub(".*/", "", name); next }
    /^Private_Dirty:/ { kb[name] += $2 }
    END { for (n in kb) if (kb[n] > 0) printf "%d %s\n", kb[n], n }' "/proc/$1/smaps" | sort -rn
}

# processes_with ERE: "PID COMM" of every process with a variable in its environment that the
# extended regular expression matches, whole.
processes_with() {
  local e p
  for e in /proc/[0-9]*/environ; do
    p=${e#/proc/} p=${p%/environ}
    { tr '\0' '\n' <"$e" | grep -qxE "$1" && echo "$p $(cat "/proc/$p/comm")"; } 2>/dev/null || true
  done
}
# wine_processes: "PID COMM" of every Wine process of this prefix (what else was started since the
# prefix was made carries it in its environment too).
wine_processes() { processes_with "WINEPREFIX=$WINEPREFIX" | awk '$2 ~ /^wine|\.exe$/'; }
# end_wine: the prefix's server ended, and whatever of the prefix outlives it: a device process
# can miss the server's end and sleep on.
end_wine() {
  local p
  end_wineserver
  for p in $(wine_processes | cut -d' ' -f1); do kill -KILL "$p" 2>/dev/null || true; done
}
# wine_pid NAME: the process of this prefix whose name begins so (the server's is wineserver64).
wine_pid() { wine_processes | awk -v c="$1" 'index($2, c) == 1 {print $1; exit}'; }

# wine_prefix PROBE: a throwaway Wine prefix (never the user's), ended and dropped by finish, in
# which the Windows program's first-run message is seen and loopback is the one interface it
# counts. Windows names a row by its adapter, \DEVICE\TCPIP_{GUID}: loopback's is the row of
# type 24 (software loopback) in the probe's table. Sets wine; leaves no Wine process running.
wine_prefix() {
  local name
  unset WINEPREFIX
  wine=wine
  export LC_ALL=C.UTF-8  # Wine's reg tool takes the section's name in the locale's character set
  use_wine_prefix wine
  on_finish end_wine
  name=$(wine "$1" --table 2>/dev/null | tr -d '\r' | awk -F'\t' '$2 == 24 {print $3; exit}')
  [[ -n $name ]] || fail "the probe under Wine lists no loopback row: $(wine "$1" --table 2>&1 | head -n 5)"
  { wine reg add "$section" /v info /t REG_SZ /d 1 /f && wine reg add "$section" /v interfaces /t REG_SZ /d "$name" /f; } \
    >/dev/null 2>&1 || fail "could not store the settings in the Wine registry"
  end_wine
}

# linux_home NAME [LINE...]: fresh_home NAME (e2e-helpers.sh) whose settings have the first-run
# message seen, lo the one interface counted, and the lines given.
linux_home() {
  fresh_home "$1"
  mkdir -p "$folder"
  printf '%s\n' "[配置]" info=1 interfaces=lo "${@:2}" >"$ini"
}
