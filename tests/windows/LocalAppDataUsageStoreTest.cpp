#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/windows/LocalAppDataUsageStore.h"

namespace tg {
namespace {

class LocalAppDataUsageStoreTest : public ::testing::Test {
 protected:
    LocalAppDataUsageStoreTest() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"tidegauge-usage-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    ~LocalAppDataUsageStoreTest() override {
        for (const wchar_t* name : {L"usage.txt", L"usage.txt.bad", L"usage.txt.bad.1", L"usage.txt.new"})
            DeleteFileW((folder + L"\\TideGauge\\" + name).c_str());
        RemoveDirectoryW((folder + L"\\TideGauge\\usage.txt").c_str());
        RemoveDirectoryW((folder + L"\\TideGauge").c_str());
        RemoveDirectoryW(folder.c_str());
    }
    bool Exists(const wchar_t* name) const {
        return GetFileAttributesW((folder + L"\\TideGauge\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::wstring folder;
};

TEST_F(LocalAppDataUsageStoreTest, ReadsReplacesAndKeepsGarbledFilesAside) {
    LocalAppDataUsageStore store(folder);
    std::string error = "stale";
    EXPECT_EQ(store.Read(error), std::nullopt);
    EXPECT_EQ(error, "") << "no file yet is no error";
    ASSERT_TRUE(store.Replace("2026-12-08 1 2\n", error)) << error;
    ASSERT_TRUE(store.Replace("2026-12-08 3 4\n", error)) << error;
    EXPECT_EQ(store.Read(error), "2026-12-08 3 4\n");
    EXPECT_FALSE(Exists(L"usage.txt.new")) << "the new file was moved over the old";
    store.KeepAside();
    ASSERT_TRUE(store.Replace("x\n", error));
    store.KeepAside();
    EXPECT_TRUE(Exists(L"usage.txt.bad"));
    EXPECT_TRUE(Exists(L"usage.txt.bad.1")) << "the older one stays";
}

TEST_F(LocalAppDataUsageStoreTest, FailuresSayWhy) {
    LocalAppDataUsageStore store(folder);
    CreateDirectoryW((folder + L"\\TideGauge").c_str(), nullptr);
    CreateDirectoryW((folder + L"\\TideGauge\\usage.txt").c_str(), nullptr);  // a folder where the file goes
    std::string error;
    EXPECT_EQ(store.Read(error), std::nullopt);
    EXPECT_NE(error, "") << "a file that is there but cannot be read";
    EXPECT_FALSE(store.Replace("2026-12-08 1 2\n", error));
    EXPECT_NE(error, "");
}

}  // namespace
}  // namespace tg
