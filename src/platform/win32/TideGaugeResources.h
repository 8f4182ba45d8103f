#pragma once
// Resource identifiers shared by tidegauge.rc and the code; plain defines, for the resource compiler.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): the resource compiler knows no constants but these
#define IDI_TIDEGAUGE 1
