# Sourced by the measuring scripts: each one owns one section of docs/benchmarks.md and rewrites
# only that section, so the report always holds the latest run of every script side by side.

# machine_line: one line naming the machine and the date of the run.
machine_line() {
  local cpu
  cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
  printf '%s; %s cores; %s; kernel %s; %s\n' "${cpu:-unknown CPU}" "$(nproc)" \
    "$(awk '/MemTotal/ {printf "%.1f GiB RAM", $2 / 1048576}' /proc/meminfo)" "$(uname -r)" \
    "$(date -u '+%Y-%m-%d %H:%M UTC')"
}

# write_section NAME BODY-FILE: puts BODY-FILE between NAME's markers in docs/benchmarks.md,
# replacing what an earlier run left there, or appends the section when it is new.
write_section() {
  local name=$1 body=$2 report begin end
  report="$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)/docs/benchmarks.md"
  begin="<!-- begin $name -->" end="<!-- end $name -->"
  mkdir -p "$(dirname "$report")"
  [[ -f $report ]] || printf '# Measurements\n\nEach section is written by the script it names; rerun the script to refresh it.\n' >"$report"
  if grep -qxF "$begin" "$report"; then
    awk -v b="$begin" -v e="$end" -v f="$body" '
      $0 == b { print; while ((getline l < f) > 0) print l; skip = 1; next }
      $0 == e { skip = 0 }
      !skip' "$report" >"$report.new"
  else
    { cat "$report"; printf '\n%s\n' "$begin"; cat "$body"; printf '%s\n' "$end"; } >"$report.new"
  fi
  mv "$report.new" "$report"
}
