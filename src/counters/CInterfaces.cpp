#include "counters/CInterfaces.h"

#include <iterator>
#include <utility>

namespace tg {

// The standard algorithms and ranges take the collection as they take a vector of records; for that
// the iterator's postfix ++ returns a plain (not const) copy.
static_assert(std::forward_iterator<CInterfaces::Iterator>);

CInterfacePtr CInterfaces::Add(CInterfacePtr& objInterface, std::optional<std::string> key) {
    if (key && !key->empty()) {
        for (const Entry& e : m_entries)
            if (e.key == key) throw CollectionError("key is already associated with an element");
    }
    m_entries.push_back(Entry{std::move(objInterface), std::move(key)});
    objInterface.reset();
    return m_entries.back().record;
}

std::size_t CInterfaces::IndexOf(std::int32_t position) const {
    if (position < 1 || position > Count()) throw CollectionError("position out of range");
    return static_cast<std::size_t>(position - 1);
}

std::size_t CInterfaces::IndexOf(std::string_view key) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].key && *m_entries[i].key == key) return i;
    throw CollectionError("no record with that key");
}

const CInterfacePtr& CInterfaces::Item(std::int32_t position) const {
    return m_entries[IndexOf(position)].record;
}

const CInterfacePtr& CInterfaces::Item(std::string_view key) const {
    return m_entries[IndexOf(key)].record;
}

void CInterfaces::Remove(std::int32_t position) {
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(IndexOf(position)));
}

void CInterfaces::Remove(std::string_view key) {
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(IndexOf(key)));
}

}  // namespace tg
