// The notification-area icon and its notices against the real shell: Wine's notification area,
// which shows each icon in a window of its own, and the system's message box. Driven through the
// main window the shell reports to.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "Win32Fixture.h"
#include "common/Text.h"

namespace tg::test {
namespace {

std::string Narrow(const wchar_t* text) {
    const std::wstring wide(text);
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// The icons Wine's notification area shows.
int TrayIcons() {
    int count = 0;
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    for (HWND w = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); tray && w;
         w = FindWindowExW(tray, w, L"__winex11_tray_icon", nullptr))
        count += IsWindowVisible(w) ? 1 : 0;
    return count;
}

// Whether a balloon shows, in any process: the shell's tooltip with a balloon's style.
bool BalloonShows() {
    bool found = false;
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(w, name, 32);
        if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0 && IsWindowVisible(w) && (GetWindowLongPtrW(w, GWL_STYLE) & TTS_BALLOON))
            *reinterpret_cast<bool*>(p) = true;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}

class Win32NotifyIconTest : public FixtureTest {
 protected:
    Win32NotifyIcon& icon = NativeIcon(*ui);
    HWND Hwnd() { return NativeWindow(*ui).Handle(); }
    // Whether the shell holds the icon: it takes new data only for an icon it has.
    bool InShell() {
        NOTIFYICONDATAW data = icon.Data(NIF_TIP);
        return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }
};

TEST_F(Win32NotifyIconTest, WinesShellRunsANotificationAreaAndAnotherNameIsNone) {
    EXPECT_TRUE(icon.Available()) << "Wine's desktop keeps a notification area";
    EXPECT_FALSE(Win32NotifyIcon(Hwnd(), L"TideGauge.NoShell").Available());
}

TEST_F(Win32NotifyIconTest, AddedToTheTrayRemovedAndPutBackWhenTheShellStartsAgain) {
    const int before = TrayIcons();
    ASSERT_FALSE(InShell());
    icon.Show(true);
    EXPECT_TRUE(InShell());
    EXPECT_TRUE(ui->WaitUntil([&] { return TrayIcons() == before + 1; })) << TrayIcons();

    // The shell restarted without its icons; it tells every top-level window.
    NOTIFYICONDATAW data = icon.Data(0);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(InShell());
    SendMessageW(Hwnd(), Win32NotifyIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(InShell()) << "put back";
    SendMessageW(Hwnd(), Win32NotifyIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(InShell()) << "a shell that kept it takes it anew";

    icon.Show(false);
    EXPECT_FALSE(InShell());
    EXPECT_TRUE(ui->WaitUntil([&] { return TrayIcons() == before; })) << TrayIcons();
    SendMessageW(Hwnd(), Win32NotifyIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(InShell()) << "a hidden icon stays out";
    {
        Win32NotifyIcon scoped(Hwnd());
        scoped.Show(true);
        EXPECT_TRUE(InShell());
    }
    EXPECT_FALSE(InShell()) << "it leaves with its object";
}

// The shell's fields hold 127 and 255 characters and a terminator: longer text is cut at the end
// of a character, never between the halves of a surrogate pair.
TEST_F(Win32NotifyIconTest, TextsAreCutToTheirFieldsAtACharactersEnd) {
    const std::string a126(126, 'a'), smile = "\xF0\x9F\x98\x80", zhong = "\xE4\xB8\xAD";
    std::string zhongs;
    for (int i = 0; i < 130; ++i) zhongs += zhong;
    std::string zhong127;
    for (int i = 0; i < 127; ++i) zhong127 += zhong;
    const struct {
        std::string text, tip;
    } cases[] = {
        {"D: 1.00MB\nU: 20KB", "D: 1.00MB\nU: 20KB"},
        {std::string(200, 'a'), std::string(127, 'a')},
        {a126 + smile, a126},
        {std::string(125, 'a') + smile, std::string(125, 'a') + smile},
        {zhongs, zhong127},
    };
    for (const auto& c : cases) {
        icon.SetText(c.text, "ignored");
        EXPECT_EQ(Narrow(icon.Data(NIF_TIP).szTip), c.tip) << c.text.size();
    }
    const NOTIFYICONDATAW balloon = icon.BalloonData(std::string(70, 't') + zhong, std::string(300, 'x') + smile);
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(balloon.hWnd, Hwnd());
    EXPECT_EQ(balloon.uID, Win32NotifyIcon::kId);
    EXPECT_EQ(Narrow(balloon.szInfoTitle), std::string(63, 't'));
    EXPECT_EQ(Narrow(balloon.szInfo), std::string(255, 'x'));
    EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
}

TEST_F(Win32NotifyIconTest, ANoticeIsABalloonWhileTheIconShows) {
    icon.Show(true);
    ASSERT_FALSE(BalloonShows());
    Win32Notifier(icon).Notify("TideGauge", "80 %");
    EXPECT_TRUE(ui->WaitUntil(BalloonShows, 5s)) << "Wine shows a balloon two seconds after it is asked for";
    EXPECT_EQ(FindWindowW(L"#32770", L"TideGauge"), nullptr) << "and no message box";
}

// Without the icon the notice is a message box that the program does not wait for: it returns at
// once and the window's ticks go on while the box is up.
TEST_F(Win32NotifyIconTest, ANoticeWithoutTheIconIsABoxTheTicksRunBeside) {
    ui->Start();
    const auto start = std::chrono::steady_clock::now();
    Win32Notifier(icon).Notify("TideGauge.Notice", "100 %");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    HWND box = nullptr;
    ASSERT_TRUE(ui->WaitUntil([&] { return (box = FindWindowW(L"#32770", L"TideGauge.Notice")) != nullptr; }));
    EXPECT_TRUE(ui->Tick(1000, 1000));
    EXPECT_TRUE(ui->Tick(1000, 1000));
    EXPECT_TRUE(IsWindow(box)) << "it waits for the user";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(ui->WaitUntil([&] { return !IsWindow(box); }));
}

}  // namespace
}  // namespace tg::test
