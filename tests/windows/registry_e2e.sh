#!/usr/bin/env bash
# The Windows settings store seen from outside: a setting written through RegistrySettings is where
# Wine's own reg tool looks for it, a second process reads it back, and values reg wrote read back
# through RegistrySettings (a DWORD as absent). Uses the Wine prefix of the environment, under a
# throwaway application key that is deleted afterwards.
#
#   registry_e2e.sh WINE PATH/TO/tidegauge_registry_settings_tool.exe
set -euo pipefail
# shellcheck source=../e2e/e2e-helpers.sh
source "$(dirname "$0")/../e2e/e2e-helpers.sh"

wine=${1:?usage: registry_e2e.sh WINE TOOL}
tool=${2:?usage: registry_e2e.sh WINE TOOL}
# Wine turns its arguments into UTF-16 by the locale's character set; the section name is UTF-8.
export LC_ALL=C.UTF-8

app="TideGauge-e2e-$$"
key="HKCU\\Software\\$app"
section="$key\\配置"
begin registry
on_finish "$wine" reg delete "$key" /f
tool_get() { "$wine" "$tool" get "$app" "$1" | tr -d '\r'; }

if "$wine" reg query "$section" /v kbps >/dev/null 2>&1; then fail "$section exists before the test"; fi

"$wine" "$tool" set "$app" kbps 512 || fail "the tool could not run"
seen=$("$wine" reg query "$section" /v kbps | tr -d '\r') || fail "reg query does not find kbps"
echo "$seen"
grep -Eq '^ +kbps +REG_SZ +512$' <<<"$seen" || fail "reg query shows no REG_SZ kbps = 512"
[[ $(tool_get kbps) == 512 ]] || fail "a second process read '$(tool_get kbps)', not 512"

"$wine" reg add "$section" /v info /t REG_SZ /d " 1 " /f >/dev/null
"$wine" reg add "$section" /v transpa /t REG_DWORD /d 200 /f >/dev/null
[[ $(tool_get info) == " 1 " ]] || fail "a string reg added read as '$(tool_get info)'"
if tool_get transpa >/dev/null; then fail "a DWORD read as a setting"; fi

"$wine" reg delete "$key" /f >/dev/null || fail "reg delete failed"
if "$wine" reg query "$section" >/dev/null 2>&1; then fail "$section is still there after reg delete"; fi
if tool_get kbps >/dev/null; then fail "kbps still reads after reg delete"; fi
echo "ok"
