#include <gtest/gtest.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/linux/DataFileUsageStore.h"

namespace tg {
namespace {

class DataFileUsageStoreTest : public ::testing::Test {
 protected:
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Dir() const { return dir; }
    const std::string dir = std::filesystem::temp_directory_path() / ("tidegauge-usage-" + std::to_string(getpid()));
};

TEST_F(DataFileUsageStoreTest, ReadsReplacesAndKeepsGarbledFilesAside) {
    DataFileUsageStore store(Dir());
    EXPECT_EQ(store.Where(), Dir() + "/TideGauge/usage.txt");
    std::string error = "stale";
    EXPECT_EQ(store.Read(error), std::nullopt);
    EXPECT_EQ(error, "") << "no file yet is no error";

    ASSERT_TRUE(store.Replace("2026-12-08 1 2\n", error)) << error;
    EXPECT_EQ(store.Read(error), "2026-12-08 1 2\n");
    ASSERT_TRUE(store.Replace("2026-12-08 3 4\n", error)) << error;
    EXPECT_EQ(store.Read(error), "2026-12-08 3 4\n");

    store.KeepAside();
    ASSERT_TRUE(store.Replace("x\n", error));
    store.KeepAside();
    EXPECT_TRUE(g_file_test((store.Where() + ".bad").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_TRUE(g_file_test((store.Where() + ".bad.1").c_str(), G_FILE_TEST_EXISTS)) << "the older one stays";
}

TEST_F(DataFileUsageStoreTest, FailuresSayWhy) {
    DataFileUsageStore store(Dir());
    ASSERT_EQ(g_mkdir_with_parents(store.Where().c_str(), 0700), 0);  // a folder where the file goes
    std::string error;
    EXPECT_EQ(store.Read(error), std::nullopt);
    EXPECT_NE(error, "") << "a file that is there but cannot be read";
    EXPECT_FALSE(store.Replace("2026-12-08 1 2\n", error));
    EXPECT_NE(error, "");

    ASSERT_TRUE(g_file_set_contents((Dir() + "/file").c_str(), "", 0, nullptr));
    DataFileUsageStore under(Dir() + "/file");
    EXPECT_FALSE(under.Replace("2026-12-08 1 2\n", error)) << "its folder cannot be made";
    EXPECT_NE(error.find("file"), std::string::npos) << error;
}

}  // namespace
}  // namespace tg
