#include "settings/modRegistry.h"

#include <array>
#include <vector>

namespace tg {
namespace {

// Closes the key when the operation ends, on every path.
class OpenKey {
 public:
    OpenKey(RegistryApi& api, RegistryApi::Key key) : m_api(api), m_key(key) {}
    ~OpenKey() { m_api.CloseKey(m_key); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    RegistryApi::Key get() const { return m_key; }

 private:
    RegistryApi& m_api;
    RegistryApi::Key m_key;
};

// The string value, read into a buffer one unit larger than the value and filled with spaces, so a
// value stored without its terminating NUL still ends in a space that the trim takes away.
RegValue ReadString(RegistryApi& api, const OpenKey& key, std::string_view name, std::uint32_t size,
                    RegValue dflt) {
    const std::string space = api.EncodeText(" ");
    const std::size_t unit = api.TextUnitSize();
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + unit);
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<std::uint8_t>(space[i % space.size()]);
    std::uint32_t type = 0;
    std::uint32_t count = size;
    if (api.QueryValue(key.get(), name, &type, buffer.data(), &count) != RegistryApi::kOk) return dflt;
    std::string text = api.DecodeText({reinterpret_cast<const char*>(buffer.data()), buffer.size()});
    text.erase(text.find_last_not_of(' ') + 1);
    return CutAtNul(text);
}

RegValue ReadDword(RegistryApi& api, const OpenKey& key, std::string_view name, RegValue dflt) {
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t type = 0;
    auto count = static_cast<std::uint32_t>(bytes.size());
    if (api.QueryValue(key.get(), name, &type, bytes.data(), &count) != RegistryApi::kOk) return dflt;
    const std::uint32_t bits = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(bits);
}

}  // namespace

std::string CutAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

RegValue ReadRegValue(RegistryApi& api, std::uint32_t root, std::string_view path, std::string_view name,
                      RegValue dflt) {
    RegistryApi::Key handle = 0;
    if (api.OpenKey(root, path, &handle) != RegistryApi::kOk) return dflt;
    const OpenKey key(api, handle);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (api.QueryValue(key.get(), name, &type, nullptr, &size) != RegistryApi::kOk) return dflt;
    switch (type) {
        case RegistryApi::kTypeString: return ReadString(api, key, name, size, std::move(dflt));
        case RegistryApi::kTypeDword: return ReadDword(api, key, name, std::move(dflt));
        default: return dflt;
    }
}

std::int32_t WriteRegString(RegistryApi& api, std::uint32_t root, std::string_view path, std::string_view name,
                            std::string_view text) {
    RegistryApi::Key handle = 0;
    const std::int32_t created = api.CreateKey(root, path, &handle);
    if (created != RegistryApi::kOk) return created;
    const OpenKey key(api, handle);
    std::string data = api.EncodeText(text);
    data.append(api.TextUnitSize(), '\0');
    return api.SetStringValue(key.get(), name, reinterpret_cast<const std::uint8_t*>(data.data()),
                              static_cast<std::uint32_t>(data.size()));
}

}  // namespace tg
