#include <gtest/gtest.h>

#include "FakeMainWindow.h"
#include "mainwindow/Program.h"

namespace tg {
namespace {

// A front end over the fakes whose message loop is a user: a tick moves bytes, then the menu ends
// the program, and the loop ends with 3.
struct ScriptedFrontEnd final : FrontEnd {
    test::FakeMainWindow w;  // for its ports: the window that runs is the one RunProgram makes
    test::FakeUsageHost usage;
    frmMain* attached = nullptr;
    FrontEndPorts Ports() override { return {w.form, w.picture, w.desktop, w.messages, w.options, usage}; }
    void Attach(frmMain& form) override { attached = &form; }
    int RunMessageLoop() override {
        attached->Timer2_Timer();
        w.table.SetTotals({{7000, 5030}});
        attached->Timer2_Timer();
        attached->MenuCommand(MenuItem::exit);
        return 3;
    }
};

TEST(RunProgramTest, TheLogIsReadAtStartAndWrittenWhenTheWindowClosesAndTheLoopsCodeIsReturned) {
    ScriptedFrontEnd ui;
    ui.w.table.SetTotals({{5000, 5000}});
    test::MemoryUsageStore store;
    store.text = "not a usage line\n";
    EXPECT_EQ(RunProgram({ui.w.table, ui.w.settings, store}, ui), 3);
    EXPECT_EQ(store.keptAside, std::vector<std::string>{"not a usage line\n"}) << "read at start";
    EXPECT_EQ(store.writes, 1) << "what the tick moved, written as the window closed";
}

}  // namespace
}  // namespace tg
