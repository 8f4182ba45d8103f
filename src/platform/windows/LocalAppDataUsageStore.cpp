#include "platform/windows/LocalAppDataUsageStore.h"

#include <windows.h>

#include <array>

#include "common/Text.h"
#include "ports/SystemStores.h"
#include "platform/windows/RegistrySettings.h"
#include "platform/windows/KernelHandle.h"
#include "platform/windows/WideText.h"

namespace tg {

namespace {

constexpr DWORD kLargestLog = 16 * 1024 * 1024;  // 400 lines are some 16 KB; more is not our file

std::wstring Environment(const wchar_t* name) {
    std::array<wchar_t, MAX_PATH> value{};
    const DWORD length = GetEnvironmentVariableW(name, value.data(), MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value.data(), length) : std::wstring();
}

std::wstring LocalAppData() {
    std::wstring folder = Environment(L"LOCALAPPDATA");
    if (folder.empty() && !Environment(L"USERPROFILE").empty()) folder = Environment(L"USERPROFILE") + L"\\AppData\\Local";
    return folder;
}

std::string Narrow(const std::wstring& wide) { return Utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return Narrow(message);
}

// Null when the file cannot be opened; GetLastError says why.
KernelHandle Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteAll(HANDLE file, std::string_view text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

LocalAppDataUsageStore::LocalAppDataUsageStore(std::wstring folder) : m_folder(std::move(folder)) {}

std::wstring LocalAppDataUsageStore::Path() const {
    return (m_folder.empty() ? LocalAppData() : m_folder) + L"\\TideGauge\\usage.txt";
}

std::string LocalAppDataUsageStore::Where() const { return Narrow(Path()); }

std::optional<std::string> LocalAppDataUsageStore::Read(std::string& error) {
    error.clear();
    const KernelHandle file = Open(Path(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) error = SystemMessage(code);
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestLog) {
        error = "not a usage log (" + std::to_string(size.QuadPart) + " bytes)";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) {
        error = SystemMessage(GetLastError());
        return std::nullopt;
    }
    text.resize(read);
    return text;
}

bool LocalAppDataUsageStore::Replace(std::string_view text, std::string& error) {
    const std::wstring path = Path();
    const std::wstring folder = path.substr(0, path.rfind(L'\\'));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = Narrow(folder) + ": " + SystemMessage(GetLastError());
        return false;
    }
    const std::wstring temporary = path + L".new";
    {
        KernelHandle file = Open(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!file || !WriteAll(file.get(), text) || !FlushFileBuffers(file.get())) {
            error = Narrow(temporary) + ": " + SystemMessage(GetLastError());
            if (file) {
                file.reset();
                DeleteFileW(temporary.c_str());
            }
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = Narrow(path) + ": " + SystemMessage(GetLastError());
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

// As usage.txt.bad, or .bad.1, .bad.2 ... beside an older one: no garbled file is written over.
void LocalAppDataUsageStore::KeepAside() {
    const std::wstring path = Path();
    for (int n = 0; n < 100; ++n) {
        const std::wstring aside = path + L".bad" + (n == 0 ? L"" : L"." + std::to_wstring(n));
        if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) return;
    }
}

std::unique_ptr<SettingsBackend> MakeUserSettings() { return std::make_unique<RegistrySettings>(); }
std::unique_ptr<UsageStore> MakeUserUsageStore() { return std::make_unique<LocalAppDataUsageStore>(); }

}  // namespace tg
