#pragma once
// Counts what the program holds on the heap through operator new, for tests that must show a
// long run gives back everything it takes. Linking HeapCount.cpp replaces the global operators.
#include <cstdint>

namespace tg::test::HeapCount {

struct Snapshot {
    std::int64_t blocks;       // live blocks
    std::int64_t bytes;        // live bytes as requested
    std::int64_t allocations;  // blocks ever handed out
};

Snapshot Now();

}  // namespace tg::test::HeapCount
