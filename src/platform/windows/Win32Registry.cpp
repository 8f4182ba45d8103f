#include "platform/windows/Win32Registry.h"

#include "common/Text.h"

namespace tg {
namespace {

HKEY ToHkey(RegistryApi::Key key) { return reinterpret_cast<HKEY>(key); }
RegistryApi::Key FromHkey(HKEY key) { return reinterpret_cast<RegistryApi::Key>(key); }

}  // namespace

HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

std::wstring WideText(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    return {units.begin(), units.end()};
}

std::string Utf8Text(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::int32_t Win32Registry::OpenKey(std::uint32_t root, std::string_view path, Key* key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(RootKey(root), WideText(path).c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (status == ERROR_SUCCESS) *key = FromHkey(opened);
    return status;
}

std::int32_t Win32Registry::QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                       std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD count = *size;
    const LONG status = RegQueryValueExW(ToHkey(key), WideText(name).c_str(), nullptr, &valueType, data, &count);
    *type = valueType;
    *size = count;
    return status;
}

std::int32_t Win32Registry::CreateKey(std::uint32_t root, std::string_view path, Key* key) {
    // No descriptor: the key takes the default security of its parent. Not inherited, so a program
    // this one starts gets no handle to it.
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    HKEY created = nullptr;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExW(RootKey(root), WideText(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, &security, &created, &disposition);
    if (status == ERROR_SUCCESS) *key = FromHkey(created);
    return status;
}

std::int32_t Win32Registry::SetStringValue(Key key, std::string_view name, const std::uint8_t* data,
                                           std::uint32_t size) {
    return RegSetValueExW(ToHkey(key), WideText(name).c_str(), 0, REG_SZ, data, size);
}

void Win32Registry::CloseKey(Key key) { RegCloseKey(ToHkey(key)); }

std::string Win32Registry::EncodeText(std::string_view utf8) const {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Win32Registry::DecodeText(std::string_view bytes) const {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(low | (high << 8));
    }
    return Utf16ToUtf8(units);
}

}  // namespace tg
