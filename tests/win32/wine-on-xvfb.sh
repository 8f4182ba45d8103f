#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb (1920x1080, 96 DPI):
#
#   wine-on-xvfb.sh WINE PROGRAM [ARGS...]
#
# Uses the Wine prefix of the environment, or a throwaway one when none is set (never the user's
# own). Wine's desktop process keeps the display of the program that started it, so a wineserver
# left over from an earlier program of the prefix is ended first, and this one at the end.
set -uo pipefail
wine=${1:?usage: wine-on-xvfb.sh WINE PROGRAM [ARGS...]}
shift
# shellcheck source=../e2e/e2e-helpers.sh
source "$(dirname "$0")/../e2e/e2e-helpers.sh"
begin wine-xvfb
start_wine_display "$wine" "$work" || exit 1
"$wine" "$@"
