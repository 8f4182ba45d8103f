#pragma once
// The Linux settings store: one key file per application, <config>/<app>/settings.ini, whose groups
// are the sections and whose keys are the settings. <config> is the folder given to the constructor,
// or else $XDG_CONFIG_HOME (when it is an absolute path) or ~/.config, looked up at every call, so
// a change of the environment takes effect at once.
//
// Nothing is cached: every Get reads the file. Every Set reads it, changes one key and replaces the
// file at once (a new file renamed over the old), keeping comments, other keys and groups it does
// not know. A file that cannot be parsed reads as empty; the first write keeps it aside as
// settings.ini.bad (settings.ini.bad.1, .2, ... when that name is taken) and starts afresh.
// A write that fails leaves the old file as it was; Set reports it on stderr, once per cause.
#include <glib.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports/SettingsBackend.h"

namespace tg {

// Key-file handling shared by the Linux stores.
namespace keyfile {

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

// $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config; read afresh at every call.
std::string UserConfigDir();

// Names the key-file format can hold as they are.
bool IsGroupName(std::string_view name);
bool IsKeyName(std::string_view name);
// A single folder name: not empty, no '/', not "." or "..".
bool IsFolderName(std::string_view name);
bool IsUtf8(std::string_view text);
// Text a key-file value can hold: UTF-8 without NUL, and not starting with a form feed, which every
// reader drops with the white space before a value and which has no escape.
bool CanHoldValue(std::string_view text);

// Text as a key-file value that reads back as exactly that text: backslash, newline, carriage
// return and tab escaped, and spaces at either end written as \s so no reader or editor trims them.
std::string EscapeValue(std::string_view text);

enum class LoadStatus {
    kLoaded,
    kMissing,     // no such file: an empty key file
    kGarbled,     // not a key file (or not UTF-8): an empty key file
    kUnreadable,  // exists but cannot be read (a folder, no permission, I/O error)
};

struct Loaded {
    LoadStatus status = LoadStatus::kMissing;
    KeyFilePtr file;  // never null; empty unless kLoaded
};

Loaded Load(const std::string& path);

// Moves a file aside as <path>.bad, or <path>.bad.N with the first free N, never replacing an
// existing file. The name used, or nullopt when it could not be moved.
std::optional<std::string> MoveAside(const std::string& path);

struct WriteResult {
    bool ok = true;
    int fileError = 0;    // a GFileError when !ok
    std::string message;  // what went wrong, for a person
};

// Reads the key file at `path`, lets `change` edit it, and replaces the file with the result, all
// under a lock on its folder so that two processes updating it in turn both count. The folders
// are created (0700) as needed. A garbled file is moved aside first and `change` starts from an
// empty key file; an unreadable one stops the update. `change` returns false to write nothing.
WriteResult Update(const std::string& path, const std::function<bool(GKeyFile*)>& change);

}  // namespace keyfile

class KeyFileSettings final : public SettingsBackend {
 public:
    // configDir: the folder that holds one folder per application; empty to follow the environment.
    explicit KeyFileSettings(std::string configDir = {});

    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override;
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override;

    // The file that holds an application's settings.
    std::string FilePath(std::string_view app) const;

 private:
    void Report(const std::string& message);

    std::string m_configDir;
    std::string m_lastReport;
};

}  // namespace tg
