#pragma once
// UTF-8, the portable code's text, as the UTF-16 the wide Win32 calls take.
#include <string>
#include <string_view>

#include "common/Text.h"

namespace tg {

inline std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

}  // namespace tg
