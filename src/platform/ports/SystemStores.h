#pragma once
// The running platform's per-user stores, for programs that only read what the monitor keeps (the
// probe); each front end provides these functions.
#include <memory>

#include "platform/ports/SettingsBackend.h"
#include "platform/ports/UsageStore.h"

namespace tg {

std::unique_ptr<SettingsBackend> MakeUserSettings();
std::unique_ptr<UsageStore> MakeUserUsageStore();

}  // namespace tg
