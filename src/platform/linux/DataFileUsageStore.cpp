#include "platform/linux/DataFileUsageStore.h"

#include <glib.h>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/KeyFile.h"
#include "platform/linux/KeyFileSettings.h"
#include "ports/SystemStores.h"

namespace tg {

namespace {


std::string Take(GError* error) {
    std::string message = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    return message;
}

}  // namespace

DataFileUsageStore::DataFileUsageStore(std::string dataDir) : m_dataDir(std::move(dataDir)) {}

std::string DataFileUsageStore::Where() const {
    return (m_dataDir.empty() ? keyfile::UserDataDir() : m_dataDir) + "/TideGauge/usage.txt";
}

std::optional<std::string> DataFileUsageStore::Read(std::string& error) {
    error.clear();
    gchar* contents = nullptr;
    gsize length = 0;
    GError* failure = nullptr;
    if (!g_file_get_contents(Where().c_str(), &contents, &length, &failure)) {
        const bool missing = g_error_matches(failure, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        const std::string message = Take(failure);
        if (!missing) error = message;
        return std::nullopt;
    }
    std::string text(contents, length);
    g_free(contents);
    return text;
}

bool DataFileUsageStore::Replace(std::string_view text, std::string& error) {
    const std::string path = Where();
    g_autofree gchar* folder = g_path_get_dirname(path.c_str());
    if (g_mkdir_with_parents(folder, 0700) != 0) {
        error = std::string(folder) + ": " + g_strerror(errno);
        return false;
    }
    GError* failure = nullptr;
    if (g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), &failure)) return true;
    error = Take(failure);
    return false;
}

// As usage.txt.bad, or .bad.1, .bad.2 ... beside an older one: no garbled file is written over.
void DataFileUsageStore::KeepAside() { keyfile::MoveAside(Where()); }

std::unique_ptr<SettingsBackend> MakeUserSettings() { return std::make_unique<KeyFileSettings>(); }
std::unique_ptr<UsageStore> MakeUserUsageStore() { return std::make_unique<DataFileUsageStore>(); }

}  // namespace tg
