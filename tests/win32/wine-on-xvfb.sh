#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb (1920x1080, 96 DPI):
#
#   wine-on-xvfb.sh WINE PROGRAM [ARGS...]
#
# In a throwaway Wine prefix of its own (never the user's). Wine's desktop process keeps the display
# of the program that started it, so the prefix's wineserver is ended first, and again at the end.
set -uo pipefail
wine=${1:?usage: wine-on-xvfb.sh WINE PROGRAM [ARGS...]}
shift
# shellcheck source=../e2e/e2e-helpers.sh
source "$(dirname "$0")/../e2e/e2e-helpers.sh"
begin wine-xvfb
start_wine_display "$wine" "$work" || exit 1
"$wine" "$@"
