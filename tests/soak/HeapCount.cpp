#include "HeapCount.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> g_blocks{0}, g_bytes{0}, g_allocations{0};

// Each block carries its size and where malloc's block starts just below it, so every form of
// delete gives the right count back, over-aligned blocks included.
void* Take(std::size_t size, std::size_t align) {
    if (align < alignof(std::max_align_t)) align = alignof(std::max_align_t);
    constexpr std::size_t kHeader = 2 * sizeof(std::uintptr_t);
    auto* raw = static_cast<unsigned char*>(std::malloc(size + align + kHeader));
    if (raw == nullptr) return nullptr;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + kHeader;
    const std::uintptr_t user = (start + align - 1) / align * align;
    reinterpret_cast<std::uintptr_t*>(user)[-1] = size;
    reinterpret_cast<std::uintptr_t*>(user)[-2] = reinterpret_cast<std::uintptr_t>(raw);
    g_blocks.fetch_add(1, std::memory_order_relaxed);
    g_bytes.fetch_add(static_cast<std::int64_t>(size), std::memory_order_relaxed);
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return reinterpret_cast<void*>(user);
}

void* TakeOrThrow(std::size_t size, std::size_t align) {
    void* p = Take(size == 0 ? 1 : size, align);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void Give(void* p) noexcept {
    if (p == nullptr) return;
    const auto* header = static_cast<std::uintptr_t*>(p);
    g_blocks.fetch_sub(1, std::memory_order_relaxed);
    g_bytes.fetch_sub(static_cast<std::int64_t>(header[-1]), std::memory_order_relaxed);
    std::free(reinterpret_cast<void*>(header[-2]));
}

}  // namespace

namespace tg::test::HeapCount {
Snapshot Now() { return {g_blocks.load(), g_bytes.load(), g_allocations.load()}; }
}  // namespace tg::test::HeapCount

void* operator new(std::size_t n) { return TakeOrThrow(n, 0); }
void* operator new[](std::size_t n) { return TakeOrThrow(n, 0); }
void* operator new(std::size_t n, std::align_val_t a) { return TakeOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return TakeOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Take(n == 0 ? 1 : n, 0); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Take(n == 0 ? 1 : n, 0); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, std::align_val_t) noexcept { Give(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Give(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }
