// The single-instance lock: one holder at a time, in the user's runtime folder.
#include "platform/linux/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tg {
namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tg-lock-" + std::to_string(getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(InstanceLockTest, OneHolderAtATimeUntilItEnds) {
    const std::string path = dir / "a.lock";
    auto first = std::make_unique<InstanceLock>(path);
    InstanceLock second(path);
    EXPECT_TRUE(first->Acquire());
    EXPECT_TRUE(first->Acquire()) << "asking again keeps it";
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire()) << "the lock ends with its holder";
    EXPECT_TRUE(InstanceLock((dir / "missing" / "a.lock").string()).Acquire()) << "no lock file: this copy runs";
}

TEST_F(InstanceLockTest, PathFollowsTheRuntimeFolder) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_EQ(InstanceLock::DefaultPath(), (dir / "tidegauge.lock").string());
    setenv("XDG_RUNTIME_DIR", "relative/run", 1);
    const std::string fallback = "/tmp/tidegauge-" + std::to_string(getuid());
    EXPECT_EQ(InstanceLock::DefaultPath(), fallback + "/tidegauge.lock");
    struct stat st {};
    ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace tg
