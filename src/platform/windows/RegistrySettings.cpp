#include "platform/windows/RegistrySettings.h"

#include <vector>

#include "platform/windows/Win32Registry.h"

namespace tg {
namespace {

// Enough for every setting the program writes, so a read is one call.
constexpr DWORD kFirstBufferBytes = 256;
// A value that keeps growing between our calls is given up on rather than chased for ever.
constexpr int kReadAttempts = 4;

// The UTF-16LE units of string data up to the first NUL; an odd trailing byte is half a unit.
std::wstring UnitsUpToNul(const std::vector<BYTE>& data, DWORD size) {
    std::wstring text;
    for (DWORD i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\0') break;
        text += unit;
    }
    return text;
}

std::optional<std::wstring> QueryString(HKEY key, const std::wstring& name) {
    std::vector<BYTE> data(kFirstBufferBytes);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        auto size = static_cast<DWORD>(data.size());
        const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        return UnitsUpToNul(data, size);
    }
    return std::nullopt;
}

RegKey OpenSection(std::string_view app, std::string_view section) {
    HKEY key = nullptr;
    const std::wstring path = WideText(RegistrySettings::KeyPath(app, section));
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return nullptr;
    return RegKey(key);
}

RegKey CreateSection(std::string_view app, std::string_view section) {
    HKEY key = nullptr;
    const std::wstring path = WideText(RegistrySettings::KeyPath(app, section));
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return RegKey(key);
}

}  // namespace

std::string RegistrySettings::KeyPath(std::string_view app, std::string_view section) {
    std::string path = "Software\\";
    path.append(app).append("\\").append(section);
    return path;
}

std::optional<std::string> RegistrySettings::Get(std::string_view app, std::string_view section,
                                                 std::string_view key) {
    const RegKey opened = OpenSection(app, section);
    if (!opened) return std::nullopt;
    const std::optional<std::wstring> text = QueryString(opened.get(), WideText(key));
    if (!text) return std::nullopt;
    return Utf8Text(*text);
}

void RegistrySettings::Set(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view text) {
    const RegKey created = CreateSection(app, section);
    if (!created) return;
    const std::wstring data = WideText(text);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));  // with its NUL
    RegSetValueExW(created.get(), WideText(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   bytes);
}

}  // namespace tg
