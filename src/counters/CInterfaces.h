#pragma once
// The ordered collection of records that one read of the interface table produces. Positions are
// 1-based in insertion order. Records are held by reference: a record removed from the collection,
// or still held when the collection goes away, lives on with its other holders.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "counters/CInterface.h"

namespace tg {

// The collection's own error: a position out of range or a key that is not present.
class CollectionError : public std::out_of_range {
 public:
    static constexpr int kInvalidArgument = 5;
    explicit CollectionError(const std::string& what) : std::out_of_range(what) {}
    static int Number() noexcept { return kInvalidArgument; }
};

class CInterfaces {
    struct Entry {
        CInterfacePtr record;
        std::optional<std::string> key;
    };

 public:
    // Moves the caller's handle into the collection (leaving it empty) and returns the stored record.
    // Nothing in the program assigns a key; the parameter exists because Item and Remove accept one.
    CInterfacePtr Add(CInterfacePtr& objInterface, std::optional<std::string> key = std::nullopt);

    const CInterfacePtr& Item(std::int32_t position) const;
    const CInterfacePtr& Item(std::string_view key) const;
    const CInterfacePtr& operator[](std::int32_t position) const { return Item(position); }

    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_entries.size()); }

    void Remove(std::int32_t position);
    void Remove(std::string_view key);

    void Reserve(std::size_t rows) { m_entries.reserve(rows); }

    // For-each walk over the records in position order.
    class Iterator {
     public:
        using Inner = std::vector<Entry>::const_iterator;
        using iterator_category = std::forward_iterator_tag;
        using value_type = CInterfacePtr;
        using difference_type = std::ptrdiff_t;
        using pointer = const CInterfacePtr*;
        using reference = const CInterfacePtr&;
        Iterator() = default;
        explicit Iterator(Inner it) : m_it(it) {}
        const CInterfacePtr& operator*() const { return m_it->record; }
        Iterator& operator++() { ++m_it; return *this; }
        Iterator operator++(int) { Iterator before = *this; ++m_it; return before; }
        bool operator==(const Iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const Iterator& other) const { return m_it != other.m_it; }

     private:
        Inner m_it;
    };
    Iterator begin() const { return Iterator(m_entries.begin()); }
    Iterator end() const { return Iterator(m_entries.end()); }

 private:
    std::size_t IndexOf(std::int32_t position) const;
    std::size_t IndexOf(std::string_view key) const;

    std::vector<Entry> m_entries;
};

}  // namespace tg
