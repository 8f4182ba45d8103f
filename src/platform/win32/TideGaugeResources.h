#pragma once
// Resource identifiers shared by tidegauge.rc and the code; plain defines, for the resource compiler.
#define IDI_TIDEGAUGE 1
