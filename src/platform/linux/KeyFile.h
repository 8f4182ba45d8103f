#pragma once
// Key files as the Linux stores keep them: read whole at every call, changed under a lock on their
// folder and replaced at once (a new file renamed over the old), with a garbled file kept aside.
// Values are set and read with GLib's own string calls and escapes; what is here covers only the
// text GLib would lose on the way.
#include <glib.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tg::keyfile {

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileFree>;

// $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config; read afresh at every call.
std::string UserConfigDir();
// $XDG_DATA_HOME when set to an absolute path, else $HOME/.local/share; read afresh at every call.
std::string UserDataDir();

// Names the key-file format can hold as they are.
bool IsGroupName(std::string_view name);
bool IsKeyName(std::string_view name);
// A single folder name: not empty, no '/', not "." or "..".
bool IsFolderName(std::string_view name);
bool IsUtf8(std::string_view text);
// Text a key-file value can hold: UTF-8 without NUL, and not starting with a form feed, which every
// reader drops with the white space before a value and which has no escape.
bool CanHoldValue(std::string_view text);

// The value of a key with its escapes undone; nullopt when absent or when an escape written by hand
// means nothing.
std::optional<std::string> GetText(GKeyFile* file, const char* group, const char* key);

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

}  // namespace tg::keyfile
