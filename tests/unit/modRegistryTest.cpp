#include <gtest/gtest.h>

#include "MemoryRegistry.h"
#include "settings/modRegistry.h"

namespace tg {
namespace {

constexpr std::uint32_t kCu = RegistryApi::kHkeyCurrentUser;
constexpr std::string_view kRun = kRunKeyPath;

class ModRegistryTest : public ::testing::Test {
 protected:
    void TearDown() override { EXPECT_EQ(reg.OpenHandles(), 0u) << "a key was left open"; }

    RegValue Read(RegValue dflt = std::string("dflt")) { return ReadRegValue(reg, kCu, kRun, "Tidegauge", dflt); }
    void Put(std::uint32_t type, std::string data) { reg.Put(kCu, kRun, "Tidegauge", {type, std::move(data)}); }

    MemoryRegistry reg;
};

TEST_F(ModRegistryTest, MissingKeyOrValueGivesTheDefaultUnchanged) {
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
    EXPECT_EQ(Read(std::string()), RegValue(std::string()));
    EXPECT_EQ(Read(42), RegValue(42));
    reg.Put(kCu, kRun, "Other", {RegistryApi::kTypeString, std::string("x\0", 2)});
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
}

TEST_F(ModRegistryTest, StringValues) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("C:\\Tools\\tidegauge.exe\0", 23), "C:\\Tools\\tidegauge.exe"},
        {std::string("\0", 1), ""},
        {"", ""},
        {std::string("ab\0cd\0", 6), "ab"},
        {std::string("trailing  \0", 11), "trailing  "},  // spaces before the NUL are the value's
        {"trailing  ", "trailing"},                       // no NUL: trimmed with the spare byte
        {std::string("  \0", 3), "  "},
    };
    for (const auto& [stored, text] : cases) {
        Put(RegistryApi::kTypeString, stored);
        EXPECT_EQ(Read(), RegValue(text)) << '"' << stored << '"';
    }
}

TEST_F(ModRegistryTest, NumbersAndOtherTypes) {
    Put(RegistryApi::kTypeDword, std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(Read(), RegValue(-1));
    Put(RegistryApi::kTypeDword, std::string("\x01\x02\x00\x80", 4));
    EXPECT_EQ(Read(), RegValue(static_cast<std::int32_t>(0x80000201u)));
    Put(RegistryApi::kTypeDword, std::string("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(Read(), RegValue(std::string("dflt"))) << "a DWORD that does not fit in 4 bytes is unreadable";
    for (const std::uint32_t type : {RegistryApi::kTypeExpandString, RegistryApi::kTypeBinary, 7u, 11u}) {
        Put(type, std::string("C:\\x.exe\0", 9));
        EXPECT_EQ(Read(), RegValue(std::string("dflt"))) << "type " << type;
    }
}

TEST_F(ModRegistryTest, FailedDataQueryGivesTheDefault) {
    Put(RegistryApi::kTypeString, std::string("x\0", 2));
    reg.failDataQuery = 1;
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
    Put(RegistryApi::kTypeDword, std::string(4, '\x01'));
    EXPECT_EQ(Read(), RegValue(std::string("dflt")));
}

TEST_F(ModRegistryTest, WriteCreatesMissingKeysAndStoresTextWithItsNul) {
    EXPECT_FALSE(reg.HasKey(kCu, "Software"));
    EXPECT_EQ(WriteRegString(reg, kCu, kRun, "Tidegauge", "/opt/tide gauge/tidegauge"), 0);
    EXPECT_TRUE(reg.HasKey(kCu, "Software\\Microsoft"));
    const auto stored = reg.Get(kCu, kRun, "TIDEGAUGE");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, RegistryApi::kTypeString);
    EXPECT_EQ(stored->data, std::string("/opt/tide gauge/tidegauge\0", 26));
    EXPECT_EQ(Read(), RegValue(std::string("/opt/tide gauge/tidegauge")));

    EXPECT_EQ(WriteRegString(reg, kCu, kRun, "Tidegauge", ""), 0);
    EXPECT_EQ(reg.Get(kCu, kRun, "Tidegauge")->data, std::string("\0", 1)) << "emptied, not deleted";
    EXPECT_EQ(Read(), RegValue(std::string()));
}

TEST_F(ModRegistryTest, WriteReportsTheStoresErrors) {
    reg.failCreate = RegistryApi::kAccessDenied;
    EXPECT_EQ(WriteRegString(reg, kCu, kRun, "Tidegauge", "x"), RegistryApi::kAccessDenied);
    EXPECT_FALSE(reg.HasKey(kCu, kRun));
    reg.failCreate = RegistryApi::kOk;
    reg.failSet = 1021;
    EXPECT_EQ(WriteRegString(reg, kCu, kRun, "Tidegauge", "x"), 1021);
    EXPECT_FALSE(reg.Get(kCu, kRun, "Tidegauge"));
}

TEST(CutAtNul, CutsAtTheFirstNul) {
    EXPECT_EQ(CutAtNul("abc"), "abc");
    EXPECT_EQ(CutAtNul(std::string("a\0b\0", 4)), "a");
    EXPECT_EQ(CutAtNul(std::string("\0x", 2)), "");
    EXPECT_EQ(CutAtNul(""), "");
}

}  // namespace
}  // namespace tg
