#pragma once
// Text is held as UTF-8 in std::string everywhere in the portable code. These helpers convert at the
// edges: UTF-16 (interface names, Win32 wide calls) and single-byte code pages.
#include <cstdint>
#include <string>
#include <string_view>

namespace tg {

// Unpaired surrogates become U+FFFD, so a damaged name still shows as text.
std::string Utf16ToUtf8(std::u16string_view text);
// Malformed UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);

// Bytes of ISO-8859-1 text (every byte is the code point of the same value).
std::u16string Latin1ToUtf16(std::string_view bytes);

// The decimal digits of value, with zeros in front to make up at least `width` of them.
std::string ZeroPadded(unsigned value, std::size_t width);

}  // namespace tg
