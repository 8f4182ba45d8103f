#pragma once
// The running platform's per-user stores, for programs that only read what the monitor keeps (the
// probe); each front end provides these functions.
#include <memory>

#include "ports/SettingsBackend.h"
#include "ports/UsageStore.h"

namespace tg {

std::unique_ptr<SettingsBackend> MakeUserSettings();
std::unique_ptr<UsageStore> MakeUserUsageStore();

}  // namespace tg
