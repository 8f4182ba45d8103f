#include <gtest/gtest.h>

#include <set>

#include "Fakes.h"
#include "settings/SettingsStore.h"

namespace tg {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
    void Stored(const SettingKey& key, std::string text) { backend.Set(kSettingsApp, kSettingsSection, key.name, text); }
    std::optional<std::string> Text(const SettingKey& key) { return backend.Get(kSettingsApp, kSettingsSection, key.name); }

    test::MemorySettings backend;
    SettingsStore store{backend};
};

TEST_F(SettingsStoreTest, TheTableHoldsEachKeyOnceWithValidFixedDefaults) {
    std::set<std::string_view> names;
    for (const SettingKey& k : kSettingKeys) {
        names.insert(k.name);
        if (!k.fixedDefault.empty()) {
            EXPECT_EQ(store.Read(k), k.fixedDefault) << k.name;
        }
    }
    EXPECT_EQ(names.size(), kSettingKeys.size());
}

TEST_F(SettingsStoreTest, EmptyStoreGivesEveryDefault) {
    EXPECT_EQ(ReadTwips(store, keys::x, 11645.0f), 11645.0f);
    EXPECT_EQ(ReadTwips(store, keys::y1, 1365.0f), 1365.0f);
    EXPECT_EQ(ReadScale(store), -1);
    EXPECT_EQ(ReadColour(store, keys::bgcolor3), 255);
    EXPECT_EQ(ReadColour(store, keys::bgcolor4), 65535);
    EXPECT_EQ(ReadColour(store, keys::bgcolor1, 16777215), 16777215);
    EXPECT_EQ(ReadOpacityRoundedDown(store), 180);
    EXPECT_EQ(ReadOpacityRounded(store), 180);
    EXPECT_EQ(store.Read(keys::info), "0");
    EXPECT_EQ(store.Read(keys::ontop), "1");
    EXPECT_TRUE(backend.values.empty()) << "reading never writes";
}

TEST_F(SettingsStoreTest, WritesReplaceAndEveryReadGoesToTheStore) {
    store.Write(keys::kbps, 512);
    store.Write(keys::kbps, "1024");
    EXPECT_EQ(Text(keys::kbps), "1024");
    EXPECT_EQ(backend.values.size(), 1u);
    const int before = backend.reads;
    EXPECT_EQ(ReadScale(store), 1024);
    Stored(keys::kbps, "256");
    EXPECT_EQ(ReadScale(store), 256) << "nothing is cached";
    EXPECT_EQ(backend.reads, before + 2);
    EXPECT_EQ(store.Read("Other", kSettingsSection, "kbps", "none"), "none") << "keys belong to their application";
    EXPECT_EQ(store.Read(kSettingsApp, kSettingsSection, "absent", 2715.5), "2715.5");
}

TEST_F(SettingsStoreTest, ScaleTakesTheLeadingNumberRoundedHalfEven) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"128", 128}, {"-1", -1}, {"300", 300}, {"garbage", 0}, {"", 0}, {"512 kbps", 512},
        {"2048.5", 2048}, {"2049.5", 2050}, {"1e40", -1}, {" 1024", 1024},
    };
    for (const auto& [text, scale] : cases) {
        Stored(keys::kbps, text);
        EXPECT_EQ(ReadScale(store), scale) << '"' << text << '"';
    }
}

TEST_F(SettingsStoreTest, TextThatIsNotANumberReadsAsTheDefault) {
    Stored(keys::x, "left");
    Stored(keys::y, "1e50");
    Stored(keys::x1, " 3000.25 ");
    EXPECT_EQ(ReadTwips(store, keys::x, 100.0f), 100.0f);
    EXPECT_EQ(ReadTwips(store, keys::y, 200.0f), 200.0f) << "beyond single precision";
    EXPECT_EQ(ReadTwips(store, keys::x1, 2715.0f), 3000.25f);

    const std::pair<const char*, std::int32_t> colours[] = {
        {"16711680", 16711680}, {"blue", 255}, {"4294967295", 255}, {"-1", -1}, {"2.5", 2}, {"", 255},
    };
    for (const auto& [text, colour] : colours) {
        Stored(keys::bgcolor3, text);
        EXPECT_EQ(ReadColour(store, keys::bgcolor3), colour) << '"' << text << '"';
    }
}

TEST_F(SettingsStoreTest, OpacityRoundsDownAtStartAndHalfEvenInTheDialog) {
    const std::tuple<const char*, std::int16_t, std::int16_t> cases[] = {
        {"200", 200, 200}, {"180.5", 180, 180}, {"181.5", 181, 182}, {"99.9", 99, 100},
        {"x", 180, 180},   {"40000", 180, 180}, {"-3.5", -4, -4},
    };
    for (const auto& [text, down, rounded] : cases) {
        Stored(keys::transpa, text);
        EXPECT_EQ(ReadOpacityRoundedDown(store), down) << text;
        EXPECT_EQ(ReadOpacityRounded(store), rounded) << text;
    }
}

}  // namespace
}  // namespace tg
