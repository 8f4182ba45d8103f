#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb of its own: with-xvfb.sh COMMAND [ARGS...]
set -uo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/tidegauge-xvfb.XXXXXX")
# shellcheck source=xvfb.sh
source "$(dirname "$0")/xvfb.sh"
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work" || exit 1
"$@"
