#pragma once
// Reads single values from, and writes single string values to, a registry through the five
// operations of RegistryApi. Stateless: every key opened is closed before the call returns.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "ports/RegistryApi.h"

namespace tg {

// Text (a string value), a signed 32-bit number (a DWORD value), or the caller's default unchanged.
using RegValue = std::variant<std::string, std::int32_t>;

inline constexpr std::string_view kRunKeyPath = R"(Software\Microsoft\Windows\CurrentVersion\Run)";
inline constexpr std::string_view kRunValueName = "Tidegauge";

// The text up to its first NUL character.
std::string CutAtNul(std::string_view text);

// Never fails towards the caller: anything that cannot be read gives `dflt`.
RegValue ReadRegValue(RegistryApi& api, std::uint32_t root, std::string_view path, std::string_view name,
                      RegValue dflt);

// Creates the key path where missing and stores `text` as a string value. 0, or the store's error.
std::int32_t WriteRegString(RegistryApi& api, std::uint32_t root, std::string_view path, std::string_view name,
                            std::string_view text);

}  // namespace tg
