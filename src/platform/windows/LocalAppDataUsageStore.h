#pragma once
// The usage log on Windows: %LOCALAPPDATA%\TideGauge\usage.txt, replaced by writing a new file,
// flushing it to the disk and moving it over the old one.
#include <string>

#include "ports/UsageStore.h"

namespace tg {

class LocalAppDataUsageStore final : public UsageStore {
 public:
    // folder: the folder that holds TideGauge's folder; empty for the user's local application data.
    explicit LocalAppDataUsageStore(std::wstring folder = {});

    std::optional<std::string> Read(std::string& error) override;
    bool Replace(std::string_view text, std::string& error) override;
    void KeepAside() override;
    std::string Where() const override;

 private:
    std::wstring Path() const;

    std::wstring m_folder;
};

}  // namespace tg
