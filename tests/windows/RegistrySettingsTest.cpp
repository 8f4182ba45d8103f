#include "platform/windows/RegistrySettings.h"

#include <gtest/gtest.h>

#include "ScratchRegistry.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace tg {
namespace {

using test::GetRaw;
using test::PutRaw;
using test::RawValue;
using test::Utf16Bytes;

constexpr std::string_view kSection = kSettingsSection;

// The program's section under a throwaway application name, so no real settings are touched.
class RegistrySettingsTest : public ::testing::Test {
 protected:
    void SetUp() override { handlesBefore = test::NextHandles(); }
    void TearDown() override {
        EXPECT_EQ(test::NextHandles(), handlesBefore) << "a key was left open";
        test::DeleteTree(appKey);
    }

    std::optional<std::string> Get(std::string_view key) { return settings.Get(app, kSection, key); }
    void Set(std::string_view key, std::string_view text) { settings.Set(app, kSection, key, text); }

    const std::string app = test::ScratchAppName("TideGaugeTest");
    const std::wstring appKey = L"Software\\" + test::Ascii(app);
    const std::wstring sectionKey = appKey + L"\\\u914D\u7F6E";  // 配置, written out by hand
    RegistrySettings settings;
    std::set<HKEY> handlesBefore;
};

TEST_F(RegistrySettingsTest, AnyTextReadsBackExactly) {
    const std::string texts[] = {
        "",     "512",  " lead", "trail ",  "  both  ", " ", "\xE6\xBD\xAE\xE4\xBD\x8D \xE9\x85\x8D\xE7\xBD\xAE",
        "na\xC3\xAFve \xC3\xBC ", "C:\\Users\\Zo\xC3\xAB\\\xE5\xBA\x94\xE7\x94\xA8", "\xF0\x9F\x8C\x8A", "a\r\nb\t",
        std::string(300, 'x') + "\xE4\xB8\xAD",  // longer than the first read's buffer
    };
    for (const std::string& text : texts) {
        Set("x", text);
        EXPECT_EQ(Get("x"), text);
    }
}

TEST_F(RegistrySettingsTest, StoresUtf16StringsUnderTheSectionKey) {
    Set("kbps", "512");
    Set("info", "\xE6\xBD\xAE");  // 潮
    EXPECT_EQ(GetRaw(sectionKey, L"kbps"), (RawValue{REG_SZ, Utf16Bytes(L"512")}));
    EXPECT_EQ(GetRaw(sectionKey, L"info"), (RawValue{REG_SZ, Utf16Bytes(L"\u6F6E")}));
}

TEST_F(RegistrySettingsTest, ARewrittenValueKeepsOnlyTheLastText) {
    Set("x", "a much longer text than the next");
    Set("x", "1");
    EXPECT_EQ(Get("x"), "1");
    EXPECT_EQ(GetRaw(sectionKey, L"x"), (RawValue{REG_SZ, Utf16Bytes(L"1")}));
}

TEST_F(RegistrySettingsTest, AnEmptyStoreHasNoKeys) {
    for (const SettingKey& key : kSettingKeys) EXPECT_EQ(Get(key.name), std::nullopt) << key.name;
    EXPECT_FALSE(test::KeyExists(appKey)) << "a read creates nothing";
    PutRaw(sectionKey, L"other", REG_SZ, Utf16Bytes(L"1"));
    for (const SettingKey& key : kSettingKeys) EXPECT_EQ(Get(key.name), std::nullopt) << key.name;
    EXPECT_EQ(settings.Get(app, "other section", "other"), std::nullopt);
}

TEST_F(RegistrySettingsTest, StringsWrittenByOthersReadUpToTheirFirstNul) {
    const std::pair<std::string, std::string> cases[] = {
        {Utf16Bytes(L"512", 0), "512"},  // no terminating NUL
        {Utf16Bytes(L" 1 ", 0), " 1 "},  // ... and still no trimming
        {Utf16Bytes(std::wstring(L"ab\0cd", 5)), "ab"},
        {Utf16Bytes(L"ab", 2), "ab"},
        {Utf16Bytes(L"ab", 0) + "c", "ab"},  // an odd byte is half a unit
        {"", ""},
    };
    for (const auto& [bytes, text] : cases) {
        PutRaw(sectionKey, L"kbps", REG_SZ, bytes);
        EXPECT_EQ(Get("kbps"), text) << bytes.size() << " bytes";
    }
}

TEST_F(RegistrySettingsTest, ValuesOfOtherTypesAreAbsentAndLeftAlone) {
    const RawValue others[] = {
        {REG_DWORD, std::string("\x00\x02\x00\x00", 4)},
        {REG_EXPAND_SZ, Utf16Bytes(L"512")},
        {REG_BINARY, Utf16Bytes(L"512")},
        {REG_MULTI_SZ, Utf16Bytes(L"512", 2)},
        {REG_QWORD, std::string("\x00\x02\x00\x00\x00\x00\x00\x00", 8)},
    };
    const SettingsStore store(settings);
    for (const RawValue& other : others) {
        PutRaw(sectionKey, L"kbps", other.type, other.bytes);
        EXPECT_EQ(Get("kbps"), std::nullopt) << "type " << other.type;
        EXPECT_EQ(GetRaw(sectionKey, L"kbps"), other) << "type " << other.type;
    }
    EXPECT_EQ(store.Read(app, kSection, "kbps", "-1"), "-1") << "the reader falls back on its default";
}

}  // namespace
}  // namespace tg
