#include <gtest/gtest.h>

#include <limits>

#include "common/Text.h"
#include "common/Wrap32.h"

namespace tg {
namespace {

TEST(Wrap32, SumsAndDifferencesWrapModulo2To32) {
    EXPECT_EQ(AsSigned32(0x80000000u), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(AsSigned32(0xFFFFFFFFu), -1);
    EXPECT_EQ(WrapAdd32(std::numeric_limits<std::int32_t>::max(), 1), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(WrapAdd32(AsSigned32(0x80000000u), AsSigned32(0x80000000u)), 0);
    EXPECT_EQ(WrapSub32(20, -10), 30);
    EXPECT_EQ(WrapSub32(std::numeric_limits<std::int32_t>::min(), 1), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(Low32(0x1'2345'6789ull), 0x23456789u);
}

TEST(Text, Utf16AndUtf8RoundTripIncludingAstralAndNul) {
    const std::u16string wide = u"eth0 \u914D\u7F6E \U0001F600 \u00E9";
    EXPECT_EQ(Utf16ToUtf8(wide), "eth0 \xE9\x85\x8D\xE7\xBD\xAE \xF0\x9F\x98\x80 \xC3\xA9");
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(wide)), wide);
    const std::u16string withNul(u"a\0b", 3);
    EXPECT_EQ(Utf16ToUtf8(withNul), std::string("a\0b", 3));
}

TEST(Text, DamagedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");            // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");        // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");    // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFFok"), u"\uFFFDok");
    EXPECT_EQ(Latin1ToUtf16(std::string("\xE9\0z", 3)), std::u16string(u"\u00E9\0z", 3));
}

}  // namespace
}  // namespace tg
