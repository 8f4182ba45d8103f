#pragma once
// The five registry operations the registry-value module needs. Paths and names are UTF-8 text; the
// implementation converts them for its store. Value data crosses as bytes in the store's own text
// encoding, whose code unit is TextUnitSize() bytes (1 for UTF-8 or an ANSI code page, 2 for
// UTF-16), so that the module's byte counts hold for every store.
#include <cstdint>
#include <string>
#include <string_view>

namespace tg {

class RegistryApi {
 public:
    using Key = std::uintptr_t;
    static constexpr std::uint32_t kHkeyCurrentUser = 0x80000001U;
    static constexpr std::uint32_t kTypeString = 1;       // REG_SZ
    static constexpr std::uint32_t kTypeExpandString = 2;  // REG_EXPAND_SZ
    static constexpr std::uint32_t kTypeBinary = 3;        // REG_BINARY
    static constexpr std::uint32_t kTypeDword = 4;         // REG_DWORD
    static constexpr std::int32_t kOk = 0;
    static constexpr std::int32_t kFileNotFound = 2;
    static constexpr std::int32_t kAccessDenied = 5;
    static constexpr std::int32_t kMoreData = 234;

    virtual ~RegistryApi() = default;

    // Opens an existing key for querying its values.
    virtual std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) = 0;
    // With data null: the value's type and size in bytes. With data: at most *size bytes written,
    // *size updated; kMoreData when the value does not fit.
    virtual std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* size) = 0;
    // Opens the key with full access, creating every missing key on the path.
    virtual std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) = 0;
    // Stores `size` bytes of data as a string value (REG_SZ), creating or replacing it.
    virtual std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data,
                                        std::uint32_t size) = 0;
    virtual void CloseKey(Key key) = 0;

    // The store's text encoding for value data.
    virtual std::size_t TextUnitSize() const = 0;
    virtual std::string EncodeText(std::string_view utf8) const = 0;
    virtual std::string DecodeText(std::string_view bytes) const = 0;
};

}  // namespace tg
