#pragma once
// Test helpers for the real registry: a throwaway key under HKEY_CURRENT_USER\Software per test,
// raw reads and writes that bypass the code under test, and a check for leaked key handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/Win32Registry.h"

namespace tg::test {

// Raw value bytes, as RegQueryValueExW hands them out.
struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RawValue&) const = default;
};

// UTF-16LE bytes of a wide literal, with `nul` terminating NULs.
inline std::string Utf16Bytes(std::wstring_view text, int nul = 1) {
    std::string bytes;
    for (const wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    bytes.append(2 * static_cast<std::size_t>(nul), '\0');
    return bytes;
}

// "<prefix>-<process>-<ticks>-<n>": unique among concurrent runs and among the tests of one run.
inline std::string ScratchAppName(std::string_view prefix) {
    static int serial = 0;
    return std::string(prefix) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64()) + "-" + std::to_string(++serial);
}

// The helpers below take wide paths, written by the test itself, so that what they check does not
// depend on the conversions under test. ASCII text widened unit by unit:
inline std::wstring Ascii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

inline void DeleteTree(const std::wstring& path) {
    // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

inline RegKey Open(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return nullptr;
    return RegKey(key);
}

inline bool KeyExists(const std::wstring& path) { return Open(path) != nullptr; }

// Stores exactly `bytes`. RegSetValueExW counts in a NUL that follows string data when the last
// counted unit is not one; the spare non-NUL unit after the data keeps it from doing so.
inline void PutRaw(const std::wstring& path, std::wstring_view name, DWORD type, const std::string& bytes) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const RegKey key(created);
    const std::string padded = bytes + "XX";
    ASSERT_EQ(RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(padded.data()), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

inline std::optional<RawValue> GetRaw(const std::wstring& path, std::wstring_view name) {
    const RegKey key = Open(path);
    if (!key) return std::nullopt;
    const std::wstring valueName(name);
    RawValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.bytes.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.resize(size);
    return value;
}

// The next handles the process would be given. Windows and Wine both hand out freed handles again
// first (Wine the lowest free one), so a key the code in between left open shows as a changed set.
inline std::set<HKEY> NextHandles() {
    std::vector<RegKey> keys;
    std::set<HKEY> handles;
    for (int i = 0; i < 8; ++i) {
        keys.push_back(Open(L"Software"));
        EXPECT_NE(keys.back(), nullptr);
        handles.insert(keys.back().get());
    }
    return handles;
}

}  // namespace tg::test
