#include "MemoryRegistry.h"

#include <algorithm>

namespace tg {

std::string MemoryRegistry::FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string MemoryRegistry::Fold(std::uint32_t root, std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::to_string(root) + "\\" + FoldName(path);
}

std::int32_t MemoryRegistry::OpenKey(std::uint32_t root, std::string_view path, Key* key) {
    const std::string folded = Fold(root, path);
    if (!m_keys.contains(folded)) return kFileNotFound;
    *key = m_nextHandle++;
    m_handles[*key] = folded;
    return kOk;
}

std::int32_t MemoryRegistry::QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* size) {
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return 6;  // invalid handle
    const Values& values = m_keys[handle->second];
    const auto value = values.find(FoldName(name));
    if (value == values.end()) return kFileNotFound;
    *type = value->second.type;
    const auto needed = static_cast<std::uint32_t>(value->second.data.size());
    if (data == nullptr) {
        *size = needed;
        return kOk;
    }
    if (failDataQuery != kOk) return failDataQuery;
    if (*size < needed) {
        *size = needed;
        return kMoreData;
    }
    std::copy_n(value->second.data.begin(), needed, data);
    *size = needed;
    return kOk;
}

void MemoryRegistry::EnsurePath(std::uint32_t root, std::string_view path) {
    // Every key on the path exists afterwards, as in the real registry.
    std::size_t end = 0;
    do {
        end = path.find('\\', end + 1);
        m_keys[Fold(root, path.substr(0, end))];
    } while (end != std::string_view::npos);
}

std::int32_t MemoryRegistry::CreateKey(std::uint32_t root, std::string_view path, Key* key) {
    if (failCreate != kOk) return failCreate;
    EnsurePath(root, path);
    return OpenKey(root, path, key);
}

std::int32_t MemoryRegistry::SetStringValue(Key key, std::string_view name, const std::uint8_t* data,
                                            std::uint32_t size) {
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return 6;
    if (failSet != kOk) return failSet;
    m_keys[handle->second][FoldName(name)] = Value{kTypeString, std::string(reinterpret_cast<const char*>(data), size)};
    return kOk;
}

void MemoryRegistry::CloseKey(Key key) { m_handles.erase(key); }

void MemoryRegistry::Put(std::uint32_t root, std::string_view path, std::string_view name, Value value) {
    EnsurePath(root, path);
    m_keys[Fold(root, path)][FoldName(name)] = std::move(value);
}

std::optional<MemoryRegistry::Value> MemoryRegistry::Get(std::uint32_t root, std::string_view path,
                                                         std::string_view name) const {
    const auto k = m_keys.find(Fold(root, path));
    if (k == m_keys.end()) return std::nullopt;
    const auto v = k->second.find(FoldName(name));
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool MemoryRegistry::HasKey(std::uint32_t root, std::string_view path) const {
    return m_keys.contains(Fold(root, path));
}

}  // namespace tg
