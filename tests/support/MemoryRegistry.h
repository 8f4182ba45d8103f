#pragma once
// A registry held in memory, with the real one's behaviour where the registry-value module relies
// on it: case-insensitive key paths and value names, typed values of any bytes, string values with
// or without their terminating NUL, and every open handle accounted for.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ports/RegistryApi.h"

namespace tg {

class MemoryRegistry final : public RegistryApi {
 public:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };

    std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
    std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data, std::uint32_t size) override;
    void CloseKey(Key key) override;

    std::size_t TextUnitSize() const override { return 1; }
    std::string EncodeText(std::string_view utf8) const override { return std::string(utf8); }
    std::string DecodeText(std::string_view bytes) const override { return std::string(bytes); }

    // Direct access, as a test or a fuzzer sets the store up and looks at it afterwards.
    void Put(std::uint32_t root, std::string_view path, std::string_view name, Value value);
    std::optional<Value> Get(std::uint32_t root, std::string_view path, std::string_view name) const;
    bool HasKey(std::uint32_t root, std::string_view path) const;
    std::size_t OpenHandles() const { return m_handles.size(); }

    // Failures to inject: the next calls of these kinds answer this code instead of working.
    std::int32_t failCreate = kOk;
    std::int32_t failSet = kOk;
    std::int32_t failDataQuery = kOk;

 private:
    using Values = std::map<std::string, Value>;  // by lower-cased name
    void EnsurePath(std::uint32_t root, std::string_view path);
    static std::string Fold(std::uint32_t root, std::string_view path);
    static std::string FoldName(std::string_view name);

    std::map<std::string, Values> m_keys;  // by root and lower-cased path
    std::map<Key, std::string> m_handles;
    Key m_nextHandle = 0x100;
};

}  // namespace tg
