#include "platform/windows/ProgramPath.h"

#include <gtest/gtest.h>

namespace tg {
namespace {

TEST(ProgramPathTest, TheRunPathIsFolderBackslashStemExeEvenAtADriveRoot) {
    struct Case {
        const char* module;
        const char* folder;
        const char* stem;
        const char* run;
    };
    const Case cases[] = {
        {"C:\\Tools\\tidegauge.exe", "C:\\Tools", "tidegauge", "C:\\Tools\\tidegauge.exe"},
        {"C:\\tidegauge.exe", "C:\\", "tidegauge", "C:\\\\tidegauge.exe"},
        {"D:\\My Tools\\TideGauge.EXE", "D:\\My Tools", "TideGauge", "D:\\My Tools\\TideGauge.exe"},
        {"C:\\Tools\\tide.gauge.exe", "C:\\Tools", "tide.gauge", "C:\\Tools\\tide.gauge.exe"},
        {"\\\\server\\share\\tidegauge.exe", "\\\\server\\share", "tidegauge", "\\\\server\\share\\tidegauge.exe"},
        {"C:\\\xE5\xB7\xA5\xE5\x85\xB7\\tidegauge.exe", "C:\\\xE5\xB7\xA5\xE5\x85\xB7", "tidegauge",
         "C:\\\xE5\xB7\xA5\xE5\x85\xB7\\tidegauge.exe"},  // a folder named 工具
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramFolder(c.module), c.folder) << c.module;
        EXPECT_EQ(ProgramStem(c.module), c.stem) << c.module;
        EXPECT_EQ(ProgramPathForRun(ProgramFolder(c.module), ProgramStem(c.module)), c.run) << c.module;
    }
    EXPECT_EQ(ProgramPathForRun("C:\\Tools", "tidegauge"), "C:\\Tools\\tidegauge.exe");
    EXPECT_EQ(ProgramPathForRun("C:\\", "tidegauge"), "C:\\\\tidegauge.exe");
}

TEST(ProgramPathTest, TheRunningProgramIsThisTestInItsWindowsFolder) {
    const std::string path = RunningProgramPathForRun();
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
    const std::string name = "\\tidegauge_windows_tests.exe";
    ASSERT_GT(path.size(), name.size());
    EXPECT_EQ(path.substr(path.size() - name.size()), name) << path;
}

}  // namespace
}  // namespace tg
