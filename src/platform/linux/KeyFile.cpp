#include "platform/linux/KeyFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tg::keyfile {
namespace {

constexpr GKeyFileFlags kKeepAll = static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);
constexpr int kMaxAsideNames = 1000;

struct GFree {
    void operator()(void* p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;
struct GStrvFree {
    void operator()(gchar** p) const { g_strfreev(p); }
};
using GStrvPtr = std::unique_ptr<gchar*, GStrvFree>;

// A carriage return that ends a value as the file holds it would be taken for part of the line
// end once the file is written back, and lost; its escape reads the same and survives.
void EscapeClosingCarriageReturns(GKeyFile* file) {
    const GStrvPtr groups(g_key_file_get_groups(file, nullptr));
    for (gchar** group = groups.get(); *group != nullptr; ++group) {
        const GStrvPtr keys(g_key_file_get_keys(file, *group, nullptr, nullptr));
        for (gchar** key = keys.get(); key && *key != nullptr; ++key) {
            const GCharPtr raw(g_key_file_get_value(file, *group, *key, nullptr));
            const std::string_view value = raw ? std::string_view(raw.get()) : std::string_view();
            if (value.empty() || value.back() != '\r') continue;
            const std::string escaped = std::string(value.substr(0, value.size() - 1)) + "\\r";
            g_key_file_set_value(file, *group, *key, escaped.c_str());
        }
    }
}

// Holds an exclusive lock on a folder while a file in it is read, changed and replaced. Best
// effort: where the folder cannot be locked the update goes on unlocked.
class FolderLock {
 public:
    explicit FolderLock(const std::string& folder)
        : m_fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd < 0) return;
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) close(m_fd);  // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

 private:
    int m_fd;
};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

WriteResult Failure(int fileError, std::string message) { return {false, fileError, std::move(message)}; }

WriteResult Failure(GError* error) {
    WriteResult result = Failure(error->domain == G_FILE_ERROR ? error->code : G_FILE_ERROR_FAILED, error->message);
    g_error_free(error);
    return result;
}

WriteResult ErrnoFailure(int err, const std::string& what) {
    return Failure(g_file_error_from_errno(err), what + ": " + std::strerror(err));
}

// Where a replacement goes: through a symbolic link to the file it names, so a settings file
// kept elsewhere and linked in stays where it is.
std::string ReplacementTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    if (error) return path;  // a dangling link is replaced like a file
    return target.string();
}

std::string UserDir(const char* variable, const char* underHome) {
    const char* xdg = std::getenv(variable);
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    const std::string base = (home != nullptr && home[0] == '/') ? home : g_get_home_dir();
    return base + underHome;
}

}  // namespace

std::string UserConfigDir() { return UserDir("XDG_CONFIG_HOME", "/.config"); }
std::string UserDataDir() { return UserDir("XDG_DATA_HOME", "/.local/share"); }

bool IsUtf8(std::string_view text) {
    // Also false for a NUL byte, which no key file can hold.
    return text.empty() || g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

bool CanHoldValue(std::string_view text) { return IsUtf8(text) && !text.starts_with('\f'); }

bool IsGroupName(std::string_view name) {
    if (name.empty() || !IsUtf8(name)) return false;
    return std::ranges::none_of(name,
                                [](char c) { return c == '[' || c == ']' || IsControl(static_cast<unsigned char>(c)); });
}

bool IsKeyName(std::string_view name) {
    if (name.empty() || !IsUtf8(name)) return false;
    if (name.front() == ' ' || name.back() == ' ' || name.front() == '#') return false;
    return std::ranges::none_of(
        name, [](char c) { return c == '=' || c == '[' || c == ']' || IsControl(static_cast<unsigned char>(c)); });
}

bool IsFolderName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::optional<std::string> GetText(GKeyFile* file, const char* group, const char* key) {
    GError* error = nullptr;
    const GCharPtr text(g_key_file_get_string(file, group, key, &error));
    if (error != nullptr) {
        g_error_free(error);
        return std::nullopt;
    }
    return std::string(text.get());
}

Loaded Load(const std::string& path) {
    Loaded loaded{LoadStatus::kMissing, KeyFilePtr(g_key_file_new())};
    gchar* contents = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    if (!g_file_get_contents(path.c_str(), &contents, &length, &error)) {
        const bool absent = error->domain == G_FILE_ERROR &&
                            (error->code == G_FILE_ERROR_NOENT || error->code == G_FILE_ERROR_NOTDIR);
        loaded.status = absent ? LoadStatus::kMissing : LoadStatus::kUnreadable;
        g_error_free(error);
        return loaded;
    }
    const GCharPtr owned(contents);
    // GLib drops a line's closing CR only when a newline follows; without one the last line would
    // keep it here, and lose it once the file is written back.
    std::string data(contents, length);
    if (!data.empty() && data.back() != '\n') data += '\n';
    if (!IsUtf8(data) || !g_key_file_load_from_data(loaded.file.get(), data.c_str(), data.size(), kKeepAll, &error)) {
        g_clear_error(&error);
        loaded.file.reset(g_key_file_new());  // nothing of a half-parsed file
        loaded.status = LoadStatus::kGarbled;
        return loaded;
    }
    EscapeClosingCarriageReturns(loaded.file.get());
    loaded.status = LoadStatus::kLoaded;
    return loaded;
}

std::optional<std::string> MoveAside(const std::string& path) {
    for (int n = 0; n < kMaxAsideNames; ++n) {
        std::string target = path + ".bad";
        if (n > 0) target += '.' + std::to_string(n);
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return target;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return std::nullopt;
        // A file system that cannot rename without replacing: a second link, then drop the first.
        if (link(path.c_str(), target.c_str()) == 0) {
            unlink(path.c_str());
            return target;
        }
        if (errno == EEXIST) continue;
        struct stat st {};
        if (lstat(target.c_str(), &st) == 0) continue;
        if (rename(path.c_str(), target.c_str()) == 0) return target;
        return std::nullopt;
    }
    return std::nullopt;
}

WriteResult Update(const std::string& path, const std::function<bool(GKeyFile*)>& change) {
    const GCharPtr folder(g_path_get_dirname(path.c_str()));
    if (g_mkdir_with_parents(folder.get(), 0700) != 0) return ErrnoFailure(errno, std::string("cannot create ") + folder.get());
    const FolderLock lock(folder.get());

    Loaded loaded = Load(path);
    if (loaded.status == LoadStatus::kUnreadable) return Failure(G_FILE_ERROR_FAILED, "cannot read " + path);
    if (loaded.status == LoadStatus::kGarbled) {
        const std::optional<std::string> aside = MoveAside(path);
        if (!aside) return ErrnoFailure(errno, "cannot keep the unreadable " + path + " aside");
        (void)std::fprintf(stderr, "%s could not be read; kept as %s\n", path.c_str(), aside->c_str());
    }
    if (!change(loaded.file.get())) return {};

    gsize length = 0;
    const GCharPtr data(g_key_file_to_data(loaded.file.get(), &length, nullptr));
    const std::string target = ReplacementTarget(path);
    struct stat st {};
    const int mode = stat(target.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : 0666;
    GError* error = nullptr;
    if (!g_file_set_contents_full(target.c_str(), data.get(), static_cast<gssize>(length),
                                  G_FILE_SET_CONTENTS_CONSISTENT, mode, &error))
        return Failure(error);
    return {};
}

}  // namespace tg::keyfile
