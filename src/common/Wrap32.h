#pragma once
// Counter arithmetic: the operating system's unsigned 32-bit counters are kept bit for bit in signed
// 32-bit fields, and sums and differences wrap modulo 2^32. Signed overflow is undefined in C++, so
// every such operation goes through these helpers, which work in unsigned arithmetic.
#include <cstdint>

namespace tg {

// The bits of an unsigned 32-bit value, read as a signed one (2^31 and above become negative).
constexpr std::int32_t AsSigned32(std::uint32_t bits) noexcept {
    return static_cast<std::int32_t>(bits);  // well defined since C++20: modulo 2^32
}

constexpr std::uint32_t AsUnsigned32(std::int32_t value) noexcept {
    return static_cast<std::uint32_t>(value);
}

constexpr std::int32_t WrapAdd32(std::int32_t a, std::int32_t b) noexcept {
    return AsSigned32(AsUnsigned32(a) + AsUnsigned32(b));
}

constexpr std::int32_t WrapSub32(std::int32_t a, std::int32_t b) noexcept {
    return AsSigned32(AsUnsigned32(a) - AsUnsigned32(b));
}

// The low 32 bits of a 64-bit counter, as the 32-bit interface table reports it.
constexpr std::uint32_t Low32(std::uint64_t value) noexcept {
    return static_cast<std::uint32_t>(value & 0xFFFFFFFFU);
}

}  // namespace tg
