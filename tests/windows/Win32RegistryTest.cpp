#include "platform/windows/Win32Registry.h"

#include <gtest/gtest.h>

#include "ScratchRegistry.h"
#include "settings/modRegistry.h"

namespace tg {
namespace {

using test::GetRaw;
using test::PutRaw;
using test::RawValue;
using test::Utf16Bytes;

constexpr std::uint32_t kCu = RegistryApi::kHkeyCurrentUser;

TEST(RootKey, IsThePredefinedKeySignExtended) {
    EXPECT_EQ(RootKey(kCu), HKEY_CURRENT_USER);
    EXPECT_EQ(RootKey(0x80000002u), HKEY_LOCAL_MACHINE);
    if constexpr (sizeof(HKEY) == 8) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(RootKey(kCu)), static_cast<std::uintptr_t>(0xFFFFFFFF80000001ull));
    }
}

TEST(Win32RegistryText, IsUtf16LittleEndian) {
    const Win32Registry reg;
    EXPECT_EQ(reg.TextUnitSize(), 2u);
    EXPECT_EQ(reg.EncodeText("A\xC3\xA9\xE4\xB8\xAD"), std::string("A\0\xE9\0\x2D\x4E", 6));  // Aé中
    EXPECT_EQ(reg.EncodeText("\xF0\x9F\x8C\x8A"), std::string("\x3C\xD8\x0A\xDF", 4));          // a surrogate pair
    for (const std::string text : {"", "C:\\Users\\Zo\xC3\xAB\\\xE5\xBA\x94\xE7\x94\xA8", "\xF0\x9F\x8C\x8A x"})
        EXPECT_EQ(reg.DecodeText(reg.EncodeText(text)), text);
    EXPECT_EQ(reg.DecodeText(std::string("a\0b", 3)), "a") << "an odd trailing byte is dropped";
}

// The registry-value module over the real registry, below a throwaway key instead of the Run key.
class Win32RegistryTest : public ::testing::Test {
 protected:
    void SetUp() override { handlesBefore = test::NextHandles(); }
    void TearDown() override {
        EXPECT_EQ(test::NextHandles(), handlesBefore) << "a key was left open";
        test::DeleteTree(wroot);
    }

    RegValue Read(RegValue dflt = std::string("dflt")) { return ReadRegValue(reg, kCu, path, "Tidegauge", dflt); }
    void Put(DWORD type, const std::string& bytes) { PutRaw(wpath, L"Tidegauge", type, bytes); }

    const std::string root = "Software\\" + test::ScratchAppName("TideGaugeTest");
    const std::string path = root + "\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring wroot = test::Ascii(root);
    const std::wstring wpath = test::Ascii(path);
    Win32Registry reg;
    std::set<HKEY> handlesBefore;
};

TEST_F(Win32RegistryTest, MissingKeyOrValueGivesTheDefault) {
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
    EXPECT_EQ(Read(7), RegValue(7));
    PutRaw(wpath, L"Other", REG_SZ, Utf16Bytes(L"x"));
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
}

TEST_F(Win32RegistryTest, ReadsStringAndNumberValues) {
    struct Case {
        DWORD type;
        std::string bytes;
        RegValue expected;
    };
    const Case cases[] = {
        {REG_SZ, Utf16Bytes(L"C:\\Tools\\tidegauge.exe"), std::string("C:\\Tools\\tidegauge.exe")},
        {REG_SZ, Utf16Bytes(L""), std::string()},
        {REG_SZ, "", std::string()},
        {REG_SZ, Utf16Bytes(std::wstring(L"ab\0cd", 5)), std::string("ab")},
        {REG_SZ, Utf16Bytes(L"trailing  "), std::string("trailing  ")},      // the spaces are the value's
        {REG_SZ, Utf16Bytes(L"trailing  ", 0), std::string("trailing")},     // no NUL: trimmed
        {REG_SZ, Utf16Bytes(L"no NUL", 0), std::string("no NUL")},
        {REG_SZ, Utf16Bytes(L"\u6F6E\u4F4D"), std::string("\xE6\xBD\xAE\xE4\xBD\x8D")},  // 潮位
        {REG_DWORD, std::string(4, '\xFF'), -1},
        {REG_DWORD, std::string("\x00\x02\x00\x00", 4), 512},
        {REG_EXPAND_SZ, Utf16Bytes(L"%SystemRoot%\\x.exe"), std::string("dflt")},
        {REG_BINARY, Utf16Bytes(L"C:\\x.exe"), std::string("dflt")},
    };
    for (const auto& c : cases) {
        Put(c.type, c.bytes);
        EXPECT_EQ(Read(), c.expected) << "type " << c.type << ", " << c.bytes.size() << " bytes";
    }
}

TEST_F(Win32RegistryTest, WritesUtf16StringsCreatingMissingKeys) {
    ASSERT_FALSE(test::KeyExists(wroot));
    const std::string program = "C:\\Users\\Zo\xC3\xAB\\\xE5\xBA\x94\xE7\x94\xA8\\tidegauge.exe";  // Zoë\应用
    ASSERT_EQ(WriteRegString(reg, kCu, path, "Tidegauge", program), 0);
    EXPECT_EQ(Read(), RegValue(program));
    // Read back past the code under test: a REG_SZ of UTF-16 units with its NUL, through the
    // predefined key itself, so the root number reached HKEY_CURRENT_USER.
    EXPECT_EQ(GetRaw(wpath, L"Tidegauge"),
              (RawValue{REG_SZ, Utf16Bytes(L"C:\\Users\\Zo\u00EB\\\u5E94\u7528\\tidegauge.exe")}));

    ASSERT_EQ(WriteRegString(reg, kCu, path, "Tidegauge", ""), 0);
    EXPECT_EQ(GetRaw(wpath, L"Tidegauge"), (RawValue{REG_SZ, Utf16Bytes(L"")})) << "emptied, not deleted";
    EXPECT_EQ(Read(), RegValue(std::string()));
}

TEST_F(Win32RegistryTest, ValueNamesAndPathsMayBeNonAscii) {
    const std::string key = path + "\\\xE9\x85\x8D\xE7\xBD\xAE";  // 配置
    ASSERT_EQ(WriteRegString(reg, kCu, key, "na\xC3\xAFve", " x "), 0);
    EXPECT_EQ(GetRaw(wpath + L"\\\u914D\u7F6E", L"na\u00EFve"), (RawValue{REG_SZ, Utf16Bytes(L" x ")}));
    EXPECT_EQ(ReadRegValue(reg, kCu, key, "NA\xC3\xAFVE", std::string("dflt")), RegValue(std::string(" x ")));
}

TEST_F(Win32RegistryTest, OpenKeyReportsTheRegistryError) {
    RegistryApi::Key key = 0;
    EXPECT_EQ(reg.OpenKey(kCu, path, &key), RegistryApi::kFileNotFound);
    EXPECT_EQ(key, 0u) << "no key handed out on failure";
}

}  // namespace
}  // namespace tg
