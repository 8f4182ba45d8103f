// The options dialog on Windows driven by the real frmOptions: its window and controls, how user
// actions reach the handlers and how the code's own changes do not, and the modal run through the
// options host. Written for 96 DPI on a 1920 x 1080 screen, as the test's own Xvfb provides.
#include "platform/win32/Win32OptionsDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Fakes.h"
#include "appearance/frmOptions.h"
#include "MemoryRegistry.h"
#include "settings/modRegistry.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsHost.h"

namespace tg {
namespace {

const std::string kProgram = "C:\\Tools\\tidegauge.exe";

class RecordingColours final : public ColourDialog {
 public:
    std::vector<ColourRequest> requests;
    bool confirm = true;
    std::int32_t pick = 0x00336699;
    bool Choose(ColourRequest& r) override {
        requests.push_back(r);
        if (confirm) r.rgbResult = pick;
        return confirm;
    }
};

class RecordingLauncher final : public Launcher {
 public:
    std::vector<std::string> opened;
    void OpenAddress(std::string_view a) override { opened.emplace_back(a); }
};

std::wstring Text(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

// The system's own classes are named with varying case.
bool IsClass(HWND window, const wchar_t* expected) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return _wcsicmp(name, expected) == 0;
}

// Client coordinates of a child, "x y width height".
std::string PlaceOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

class Win32OptionsDialogTest : public ::testing::Test {
 protected:
    Win32OptionsDialogTest() { dialog.Attach(options); }
    HWND Dialog() const { return dialog.Handle(); }
    HWND Control(const char* name) const { return dialog.Control(name); }
    std::optional<std::string> Stored(const SettingKey& key) {
        return settings.Get(kSettingsApp, kSettingsSection, key.name);
    }
    std::optional<std::string> Run() const {
        const auto value = registry.Get(RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName);
        return value ? std::optional<std::string>(CutAtNul(value->data)) : std::nullopt;
    }
    void Scroll(UINT code, int thumb = 0) {
        SendMessageW(Dialog(), WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(Control("HScroll1")));
    }
    // A press on a control, as the mouse makes it.
    void Press(const char* name) {
        SendMessageW(Control(name), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(name), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    BYTE MainAlpha() const {
        BYTE alpha = 0;
        GetLayeredWindowAttributes(mainWindow.Handle(), nullptr, &alpha, nullptr);
        return alpha;
    }

    Win32Desktop desktop;
    Win32MainWindow mainWindow{desktop};
    Win32OptionsDialog dialog{mainWindow.Handle(), desktop};
    test::MemorySettings settings;
    SettingsStore store{settings};
    MemoryRegistry registry;
    RecordingColours colours;
    RecordingLauncher launcher;
    frmOptions options{{dialog, mainWindow, store, registry, colours, launcher},
                       {0x00FFFFFF, 0x0080FFFF, 0},
                       kProgram,
                       reinterpret_cast<std::uintptr_t>(dialog.Handle())};
};

TEST_F(Win32OptionsDialogTest, IsAFixedOwnedCaptionedWindowCentredOnTheScreen) {
    ASSERT_EQ(desktop.Dpi(), 96u) << "these tests are written for 96 DPI";
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Dialog())) << "shown only by ShowModal";
    EXPECT_EQ(Text(Dialog()), L"\u914D\u7F6E");  // 配置
    RECT client{};
    GetClientRect(Dialog(), &client);
    EXPECT_EQ(client.right, 302);
    EXPECT_EQ(client.bottom, 149);
    const LONG_PTR style = GetWindowLongPtrW(Dialog(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "a fixed size";
    const LONG_PTR exStyle = GetWindowLongPtrW(Dialog(), GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), mainWindow.Handle()) << "owned: no taskbar button";
    RECT outer{};
    GetWindowRect(Dialog(), &outer);
    EXPECT_NEAR(outer.left + outer.right, 1920, 1);
    EXPECT_NEAR(outer.top + outer.bottom, 1080, 1);
}

TEST_F(Win32OptionsDialogTest, ControlsSitAtTheirTwipsInPixelsWithTheirCaptions) {
    struct Expected {
        const char* name;
        const wchar_t* kind;
        const char* place;
        const wchar_t* caption;
    };
    const Expected controls[] = {
        {"Label3", L"Static", "8 16 113 17", L"\u4E0B\u8F7D\u989C\u8272"},  // 下载颜色
        {"Picture3", L"Static", "104 16 17 17", L""},
        {"Label2", L"Static", "160 16 113 17", L"\u4E0A\u65B9\u989C\u8272"},  // 上方颜色
        {"Picture2", L"Static", "256 16 17 17", L""},
        {"Label4", L"Static", "8 40 113 17", L"\u4E0A\u4F20\u989C\u8272"},  // 上传颜色
        {"Picture4", L"Static", "104 40 17 17", L""},
        {"Label1", L"Static", "160 40 113 17", L"\u4E0B\u65B9\u989C\u8272"},  // 下方颜色
        {"Picture1", L"Static", "256 40 17 17", L""},
        {"Label5", L"Static", "8 64 113 17", L"\u6587\u672C\u989C\u8272"},  // 文本颜色
        {"Picture5", L"Static", "104 64 17 17", L""},
        {"Label6", L"Static", "160 64 121 17", L""},
        {"Check1", L"Button", "8 88 113 17", L"\u8BBE\u4E3A\u5F00\u673A\u542F\u52A8\u9879"},  // 设为开机启动项
        {"HScroll1", L"ScrollBar", "160 88 113 17", L""},
        {"Label10", L"Static", "8 120 79 13", L"\u7A0B\u5E8F\u4EA4\u6D41"},  // 程序交流
        {"Label9", L"Static", "104 120 57 13", L"\u62A5\u544A\u9519\u8BEF"},  // 报告错误
        {"Label8", L"Static", "184 120 52 13", L"\u4E3B\u9875"},  // 主页
        {"Label11", L"Static", "248 120 35 13", L"\u5173\u4E8E\u4F5C\u8005"},  // 关于作者
    };
    for (const Expected& c : controls) {
        const HWND control = Control(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(PlaceOf(control), c.place) << c.name;
        EXPECT_EQ(Text(control), c.caption) << c.name;
        EXPECT_TRUE(IsClass(control, c.kind)) << c.name;
    }
    EXPECT_EQ(GetWindowLongPtrW(Control("Check1"), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_FALSE(dialog.Check1()) << "unchecked before Form_Load";
    EXPECT_EQ(dialog.ScrollPosition(), 20) << "the design position before Form_Load";
    options.Form_Load();
    EXPECT_EQ(Text(Control("Label6")), L"75\u900F\u660E\u5EA6");  // 75透明度, from the default 180
}

TEST_F(Win32OptionsDialogTest, TabVisitsTheControlsThatTakeFocusInTheirTabOrder) {
    const char* order[] = {"Check1", "Picture1", "Picture2", "Picture3", "Picture4", "Picture5", "HScroll1", "Check1"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(GetNextDlgTabItem(Dialog(), Control(order[i]), FALSE), Control(order[i + 1]))
            << "after " << order[i];
    }
    EXPECT_EQ(GetNextDlgTabItem(Dialog(), Control("Check1"), TRUE), Control("HScroll1")) << "Shift+Tab goes back";
}

TEST_F(Win32OptionsDialogTest, TheScrollBarCommitsEveryStepButADragInProgress) {
    int low = 0, high = 0;
    GetScrollRange(Control("HScroll1"), SB_CTL, &low, &high);
    EXPECT_EQ(low, 10);
    EXPECT_EQ(high, 255);
    options.Form_Load();
    ASSERT_EQ(dialog.ScrollPosition(), 180);
    settings.values.clear();

    Scroll(SB_THUMBTRACK, 100);
    EXPECT_EQ(dialog.ScrollPosition(), 180) << "the drag is not committed yet";
    EXPECT_FALSE(Stored(keys::transpa));
    Scroll(SB_THUMBPOSITION, 100);
    EXPECT_EQ(dialog.ScrollPosition(), 100);
    EXPECT_EQ(Stored(keys::transpa), "100");
    EXPECT_EQ(MainAlpha(), 100);
    EXPECT_EQ(Text(Control("Label6")), L"155\u900F\u660E\u5EA6");

    const std::pair<UINT, int> steps[] = {{SB_LINERIGHT, 101}, {SB_LINELEFT, 100}, {SB_PAGERIGHT, 120},
                                          {SB_PAGELEFT, 100},  {SB_RIGHT, 255},    {SB_PAGERIGHT, 255},
                                          {SB_LEFT, 10},       {SB_LINELEFT, 10}};
    for (const auto& [code, expected] : steps) {
        Scroll(code);
        EXPECT_EQ(dialog.ScrollPosition(), expected) << "code " << code;
        EXPECT_EQ(Stored(keys::transpa), std::to_string(expected)) << "code " << code;
    }
    Scroll(SB_THUMBPOSITION, 250);
    Scroll(SB_PAGERIGHT);
    EXPECT_EQ(dialog.ScrollPosition(), 255) << "the page step stops at the end, which stays reachable";

    settings.values.clear();
    dialog.SetScrollPosition(60);
    EXPECT_EQ(dialog.ScrollPosition(), 60);
    EXPECT_FALSE(Stored(keys::transpa)) << "a position set by code runs no handler";
}

TEST_F(Win32OptionsDialogTest, Check1RunsItsHandlerOnlyWhenTheUserClicksIt) {
    dialog.SetCheck1(true);
    EXPECT_TRUE(dialog.Check1());
    EXPECT_FALSE(Run()) << "set by code: nothing written";
    dialog.SetCheck1(false);

    SendMessageW(Control("Check1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.Check1());
    EXPECT_EQ(Run(), kProgram);
    SendMessageW(Control("Check1"), BM_CLICK, 0, 0);
    EXPECT_FALSE(dialog.Check1());
    EXPECT_EQ(Run(), "") << "unchecked: the empty text";
}

TEST_F(Win32OptionsDialogTest, ASwatchShowsItsColourAndAClickPicksANewOneOverTheDialog) {
    options.Form_Load();
    ShowWindow(Dialog(), SW_SHOWNOACTIVATE);
    UpdateWindow(Dialog());
    const auto centre = [&](const char* name) {
        const WindowDc dc(Control(name));
        return GetPixel(dc.Get(), 6, 6);
    };
    EXPECT_EQ(centre("Picture3"), RGB(255, 0, 0)) << "download colour, 255 by default";
    EXPECT_EQ(centre("Picture4"), RGB(255, 255, 0)) << "upload colour, 65535 by default";

    Press("Picture4");
    ASSERT_EQ(colours.requests.size(), 1u);
    EXPECT_EQ(colours.requests[0].owner, reinterpret_cast<std::uintptr_t>(Dialog()));
    EXPECT_EQ(dialog.SwatchColour(4), 0x00336699);
    EXPECT_EQ(Stored(keys::bgcolor4), std::to_string(0x00336699));
    UpdateWindow(Dialog());
    EXPECT_EQ(centre("Picture4"), static_cast<COLORREF>(0x00336699)) << "repainted in the new colour";
    ShowWindow(Dialog(), SW_HIDE);
}

TEST_F(Win32OptionsDialogTest, LinkLabelsAreBlueWithAHandAndOpenTheirPage) {
    const WindowDc dc(Dialog());
    for (const char* link : {"Label8", "Label9", "Label10", "Label11"}) {
        SetTextColor(dc.Get(), RGB(0, 0, 0));
        SendMessageW(Dialog(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(Control(link)));
        EXPECT_EQ(GetTextColor(dc.Get()), RGB(0, 0, 255)) << link;
    }
    const auto cursorOver = [&](const char* name) {
        ::SetCursor(nullptr);
        SendMessageW(Control(name), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(name)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorOver("Label11"), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_NE(cursorOver("Label1"), LoadCursorW(nullptr, IDC_HAND)) << "a plain label keeps the arrow";

    Press("Label8");
    Press("Label10");
    Press("Label1");
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{std::string(kHomePage), std::string(kSupportPage)}));
}

TEST_F(Win32OptionsDialogTest, LoadingTakesTheMainWindowsIcons) {
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    const ULONG_PTR before = SetClassLongPtrW(mainWindow.Handle(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    options.Form_Load();
    SetClassLongPtrW(mainWindow.Handle(), GCLP_HICON, static_cast<LONG_PTR>(before));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Dialog(), WM_GETICON, ICON_BIG, 0)), icon);
}

// The host's modal run, watched from a thread timer that runs inside the dialog's own loop.
struct ModalRun {
    int ticks = 0;
    HWND dialog = nullptr;
    bool visible = false, ownerEnabled = true;
    // The focused control's place in the dialog, before and after a Tab.
    std::string focusAtStart, focusAfterTab;
};
ModalRun* g_run = nullptr;
HWND g_owner = nullptr;

void CALLBACK WatchModal(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun& run = *g_run;
    ++run.ticks;
    if (run.dialog == nullptr) run.dialog = FindWindowW(L"TideGauge.frmOptions", nullptr);
    if (run.dialog == nullptr) return;
    if (run.focusAtStart.empty()) {
        run.visible = IsWindowVisible(run.dialog);
        run.ownerEnabled = IsWindowEnabled(g_owner);
        run.focusAtStart = PlaceOf(GetFocus());
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);  // the loop's IsDialogMessage moves the focus
    } else if (run.focusAfterTab.empty()) {
        run.focusAfterTab = PlaceOf(GetFocus());
        SendMessageW(GetFocus(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(run.dialog, WM_CLOSE, 0, 0);
    }
    if (run.ticks > 100) PostMessageW(run.dialog, WM_CLOSE, 0, 0);  // rather a failure than a hang
}

TEST_F(Win32OptionsDialogTest, TheHostRunsTheDialogModallyOverTheMainWindowUntilItIsClosed) {
    Win32OptionsHost host({mainWindow, desktop, settings, registry, colours, launcher}, kProgram);
    colours.confirm = false;
    ModalRun run;
    g_run = &run;
    g_owner = mainWindow.Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchModal);
    host.ShowOptions({0x00FFFFFF, 0x0080FFFF, 0});
    KillTimer(nullptr, timer);

    ASSERT_NE(run.dialog, nullptr);
    EXPECT_TRUE(run.visible);
    EXPECT_FALSE(run.ownerEnabled) << "the main window takes no input while the dialog is up";
    EXPECT_EQ(run.focusAtStart, "8 88 113 17") << "Check1 has the focus first";
    EXPECT_EQ(run.focusAfterTab, "256 40 17 17") << "Tab moved on to Picture1";
    ASSERT_EQ(colours.requests.size(), 1u) << "the focused swatch was clicked";
    EXPECT_EQ(colours.requests[0].owner, reinterpret_cast<std::uintptr_t>(run.dialog));
    EXPECT_EQ(Stored(keys::bgcolor1), "16777215") << "cancelled: the swatch's colour is stored again";
    EXPECT_LT(run.ticks, 100) << "closed by the user's WM_CLOSE, not by the guard";
    EXPECT_TRUE(IsWindowEnabled(mainWindow.Handle()));
    EXPECT_FALSE(IsWindow(run.dialog)) << "destroyed once closed";
}

}  // namespace
}  // namespace tg
