#pragma once
// The registry operations over advapi32, always through the wide-character calls: a narrow call
// would pass every path, name and text through the ANSI code page, and a program path with a
// character outside it (a user folder in another script) would be stored corrupted, so the
// program would no longer start at logon. Value data crosses the port as UTF-16LE bytes.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "ports/RegistryApi.h"

namespace tg {

// The predefined key for a root number such as RegistryApi::kHkeyCurrentUser. HKEYs are pointers,
// and the predefined ones are the number taken as a signed 32-bit value and widened, so on 64-bit
// Windows 0x80000001 is 0xFFFFFFFF80000001; zero-extended it would be an invalid handle.
HKEY RootKey(std::uint32_t root);

// UTF-8 <-> the wide text the registry calls take. Malformed input becomes U+FFFD.
std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

// An open registry key, closed when its owner goes out of scope. Never one of the predefined keys.
struct RegKeyClose {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using RegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyClose>;

class Win32Registry final : public RegistryApi {
 public:
    std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
    std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data, std::uint32_t size) override;
    void CloseKey(Key key) override;

    std::size_t TextUnitSize() const override { return 2; }
    std::string EncodeText(std::string_view utf8) const override;
    // An odd trailing byte, half a code unit, is dropped.
    std::string DecodeText(std::string_view bytes) const override;
};

}  // namespace tg
