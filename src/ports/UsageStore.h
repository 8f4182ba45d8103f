#pragma once
// Where the usage log lives: one small text file in the user's data folder. Parsing and writing are
// portable; a platform only reads the file and replaces it atomically (a new file flushed and
// renamed over the old), so a crash leaves either the old log or the new one.
#include <optional>
#include <string>
#include <string_view>

namespace tg {

class UsageStore {
 public:
    virtual ~UsageStore() = default;
    // The file's text; nullopt when there is none. `error` says why a file that exists was not read.
    virtual std::optional<std::string> Read(std::string& error) = 0;
    // Replaces the file (creating its folder); false and a reason for a person when it could not.
    virtual bool Replace(std::string_view text, std::string& error) = 0;
    // Keeps the file as it is now beside it as usage.txt.bad (never over one that is there: .bad.1 ...).
    virtual void KeepAside() = 0;
    // The file's path, for messages.
    virtual std::string Where() const = 0;
};

}  // namespace tg
