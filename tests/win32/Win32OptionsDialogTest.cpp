// The options dialog on Windows driven by the real frmOptions: its window and controls, how user
// actions reach the handlers and how the code's own changes do not, and the modal run through the
// options host. Places are the described ones in the desktop's own pixels.
#include "platform/win32/Win32OptionsDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "appearance/frmOptions.h"
#include "MemoryRegistry.h"
#include "settings/modRegistry.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Picture.h"
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

std::string PlaceText(const PixelRect& p) {
    return std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.cx) + " " + std::to_string(p.cy);
}

// Client coordinates of a child, "x y width height".
std::string PlaceOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return PlaceText({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

class Win32OptionsDialogTest : public ::testing::Test {
 protected:
    Win32OptionsDialogTest() { dialog.Attach(options); }
    HWND Dialog() const { return dialog.Handle(); }
    HWND Control(std::string_view name) const { return dialog.Control(name); }
    std::optional<std::string> Stored(const SettingKey& key) {
        return settings.Get(kSettingsApp, kSettingsSection, key.name);
    }
    PixelRect Expected(const TwipsRect& place) const { return RectToPixels(place, desktop.TwipsPerPixelX()); }
    std::optional<std::string> Run() const {
        const auto value = registry.Get(RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName);
        return value ? std::optional<std::string>(CutAtNul(value->data)) : std::nullopt;
    }
    void Scroll(UINT code, int thumb = 0) {
        SendMessageW(Dialog(), WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(Control("HScroll1")));
    }
    // A press on a control, as the mouse makes it.
    void Press(std::string_view name) {
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
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Dialog())) << "shown only by ShowModal";
    EXPECT_EQ(Text(Dialog()), Widen(kOptionsTitle));
    RECT client{};
    GetClientRect(Dialog(), &client);
    const PixelRect expected = Expected({0, 0, kOptionsClientWidth, kOptionsClientHeight});
    EXPECT_EQ(client.right, expected.cx);
    EXPECT_EQ(client.bottom, expected.cy);
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
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

// The window class each kind of control is made of.
const wchar_t* ClassFor(OptionsControlKind kind) {
    switch (kind) {
        case OptionsControlKind::Check: return L"Button";
        case OptionsControlKind::Scroll: return L"ScrollBar";
        default: return L"Static";
    }
}

TEST_F(Win32OptionsDialogTest, TheControlsAreTheDescribedOnes) {
    for (const OptionsControl& c : kOptionsControls) {
        const HWND control = Control(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(PlaceOf(control), PlaceText(Expected(c.place))) << c.name;
        EXPECT_EQ(Text(control), Widen(c.caption)) << c.name;
        EXPECT_TRUE(IsClass(control, ClassFor(c.kind))) << c.name;
        EXPECT_EQ((GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP) != 0, TakesFocus(c.kind)) << c.name;
    }
    EXPECT_EQ(GetWindowLongPtrW(Control("Check1"), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_FALSE(dialog.Check1()) << "unchecked before Form_Load";
    int low = 0, high = 0;
    GetScrollRange(Control("HScroll1"), SB_CTL, &low, &high);
    EXPECT_EQ(low, kHScroll1.min);
    EXPECT_EQ(high, kHScroll1.max);
    EXPECT_EQ(dialog.ScrollPosition(), kHScroll1.designPosition) << "before Form_Load";
}

TEST_F(Win32OptionsDialogTest, TabVisitsTheControlsThatTakeFocusInTheirTabOrder) {
    std::vector<HWND> stops;
    for (const OptionsControl* c : OptionsTabOrder())
        if (TakesFocus(c->kind)) stops.push_back(Control(c->name));
    for (std::size_t i = 0; i < stops.size(); ++i) {
        EXPECT_EQ(GetNextDlgTabItem(Dialog(), stops[i], FALSE), stops[(i + 1) % stops.size()]) << "after stop " << i;
        EXPECT_EQ(GetNextDlgTabItem(Dialog(), stops[(i + 1) % stops.size()], TRUE), stops[i]) << "Shift+Tab";
    }
}

TEST_F(Win32OptionsDialogTest, TheScrollBarsNotificationsCommitAsTheirActionsDo) {
    options.Form_Load();
    const std::int16_t start = dialog.ScrollPosition();
    settings.values.clear();
    Scroll(SB_THUMBTRACK, 100);
    EXPECT_EQ(dialog.ScrollPosition(), start) << "the drag is not committed yet";
    EXPECT_FALSE(Stored(keys::transpa));
    Scroll(SB_THUMBPOSITION, 100);
    EXPECT_EQ(dialog.ScrollPosition(), 100) << "committed where the thumb was let go";
    EXPECT_EQ(Stored(keys::transpa), "100");
    EXPECT_EQ(MainAlpha(), 100);
    EXPECT_EQ(Text(Control("Label6")), Widen(TransparencyReadout(100)));

    const std::pair<UINT, ScrollAction> codes[] = {
        {SB_LINERIGHT, ScrollAction::LineForward}, {SB_LINELEFT, ScrollAction::LineBack},
        {SB_PAGERIGHT, ScrollAction::PageForward}, {SB_PAGELEFT, ScrollAction::PageBack},
        {SB_RIGHT, ScrollAction::ToEnd},           {SB_LEFT, ScrollAction::ToStart}};
    for (const auto& [code, action] : codes) {
        const std::int16_t expected = *CommitScroll(kHScroll1, dialog.ScrollPosition(), action);
        Scroll(code);
        EXPECT_EQ(dialog.ScrollPosition(), expected) << "code " << code;
        EXPECT_EQ(Stored(keys::transpa), std::to_string(expected)) << "code " << code;
    }
    settings.values.clear();
    Scroll(SB_LINELEFT);
    Scroll(SB_ENDSCROLL);
    dialog.SetScrollPosition(60);
    EXPECT_EQ(dialog.ScrollPosition(), 60);
    EXPECT_FALSE(Stored(keys::transpa)) << "a step past the end, the end of a scroll and a position set by code";
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

TEST_F(Win32OptionsDialogTest, LinksShowAHandAndTheLinkColourAndOpenTheirPages) {
    const WindowDc dc(Dialog());
    const auto cursorOver = [&](HWND control) {
        ::SetCursor(nullptr);
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    for (const OptionsControl& c : kOptionsControls) {
        if (TakesFocus(c.kind)) continue;  // the labels: links and the rest
        const bool link = c.kind == OptionsControlKind::Link;
        EXPECT_EQ(cursorOver(Control(c.name)) == LoadCursorW(nullptr, IDC_HAND), link) << c.name;
        Press(c.name);
        const std::vector<std::string> clicked = std::exchange(launcher.opened, {});
        if (!link) {
            EXPECT_TRUE(clicked.empty()) << c.name << ": a plain label does nothing";
            continue;
        }
        options.Label_Click(*c.link);
        EXPECT_EQ(clicked, std::exchange(launcher.opened, {})) << c.name << ": the page of its own link";
        SetTextColor(dc.Get(), RGB(0, 0, 0));
        SendMessageW(Dialog(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                     reinterpret_cast<LPARAM>(Control(c.name)));
        EXPECT_EQ(GetTextColor(dc.Get()), ToColorRef(kLinkColour)) << c.name;
    }
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
    Win32OptionsHost host(mainWindow.Handle(), desktop, colours, {registry, launcher, kProgram});
    colours.confirm = false;
    ModalRun run;
    g_run = &run;
    g_owner = mainWindow.Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchModal);
    host.ShowOptions(mainWindow, settings, {0x00FFFFFF, 0x0080FFFF, 0});
    KillTimer(nullptr, timer);

    ASSERT_NE(run.dialog, nullptr);
    EXPECT_TRUE(run.visible);
    EXPECT_FALSE(run.ownerEnabled) << "the main window takes no input while the dialog is up";
    std::vector<std::string> stops;
    for (const OptionsControl* c : OptionsTabOrder())
        if (TakesFocus(c->kind)) stops.push_back(PlaceText(Expected(c->place)));
    EXPECT_EQ(run.focusAtStart, stops[0]) << "the first stop has the focus first";
    EXPECT_EQ(run.focusAfterTab, stops[1]) << "Tab moved on to the second";
    ASSERT_EQ(colours.requests.size(), 1u) << "the focused swatch was clicked";
    EXPECT_EQ(colours.requests[0].owner, reinterpret_cast<std::uintptr_t>(run.dialog));
    EXPECT_EQ(Stored(keys::bgcolor1), "16777215") << "cancelled: the swatch's colour is stored again";
    EXPECT_LT(run.ticks, 100) << "closed by the user's WM_CLOSE, not by the guard";
    EXPECT_TRUE(IsWindowEnabled(mainWindow.Handle()));
    EXPECT_FALSE(IsWindow(run.dialog)) << "destroyed once closed";
}

}  // namespace
}  // namespace tg
