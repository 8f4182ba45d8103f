#pragma once
// tidegauge-probe --usage: the usage log as it is stored, and the totals of today and of the data
// plan's periods.
#include "probe/Probe.h"
#include "probe/ProbeOptions.h"

namespace tg::probe {

// 0 when the log (or the file named) has a good line or none at all; 2 when every line is garbled or
// the file cannot be opened; 1 when the user's log is there but cannot be read.
int RunUsage(const Options& options, const Environment& env);

}  // namespace tg::probe
