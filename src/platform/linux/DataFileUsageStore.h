#pragma once
// The usage log on Linux: $XDG_DATA_HOME/TideGauge/usage.txt (~/.local/share when the variable is
// unset or not an absolute path), replaced through GLib's write-flush-rename.
#include <string>

#include "ports/UsageStore.h"

namespace tg {

class DataFileUsageStore final : public UsageStore {
 public:
    // dataDir: the folder that holds TideGauge's folder; empty to follow the environment.
    explicit DataFileUsageStore(std::string dataDir = {});

    std::optional<std::string> Read(std::string& error) override;
    bool Replace(std::string_view text, std::string& error) override;
    void KeepAside() override;
    std::string Where() const override;

 private:
    std::string m_dataDir;
};

}  // namespace tg
