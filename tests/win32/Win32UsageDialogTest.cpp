// The usage dialog on Windows driven by the real frmUsage: its window and controls read back
// against their description, the chart on the screen against the portable picture, the spin
// button's arrows and typed text, and the modal run through the usage host.
#include "platform/win32/Win32UsageDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Fakes.h"
#include "UsageDays.h"
#include "appearance/PixelSurface.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32UsageHost.h"
#include "usage/UsageChart.h"
#include "usage/frmUsage.h"

namespace tg {
namespace {

using namespace std::chrono;

using test::D;
using test::FixedCalendar;
constexpr UsageColours kColours = {0x000000FF, 0x0000FFFF};

std::wstring Text(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

bool IsClass(HWND window, const wchar_t* expected) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return _wcsicmp(name, expected) == 0;
}

// Client coordinates of a child.
RECT PlaceOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string PlaceText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

std::string PlaceText(const PixelRect& p) { return PlaceText(RECT{p.x, p.y, p.x + p.cx, p.y + p.cy}); }

// What a window's DC shows, copied into a bitmap the test can read.
std::unique_ptr<MemoryBitmap> Capture(HDC from, int width, int height) {
    auto shot = std::make_unique<MemoryBitmap>(width, height);
    BitBlt(shot->Dc(), 0, 0, width, height, from, 0, 0, SRCCOPY);
    GdiFlush();
    return shot;
}

// Saved as a BMP where the test's environment asks, for a person to look at.
void KeepScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("TG_SCREENSHOTS");
    if (folder == nullptr) return;
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    // The whole window, its frame included; its children draw on the same surface.
    const HDC dc = GetWindowDC(window);
    MemoryBitmap image(w, h);
    BitBlt(image.Dc(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    ReleaseDC(window, dc);
    BITMAPINFOHEADER info{sizeof info, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD bytes = static_cast<DWORD>(w) * static_cast<DWORD>(h) * 4;
    constexpr DWORD kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{0x4D42, kHeaders + bytes, 0, 0, kHeaders};
    const std::string path = std::string(folder) + "\\" + name;
    CreateDirectoryA(folder, nullptr);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info, sizeof info, 1, out);
        // GDI leaves the fourth byte 0, which viewers take for a transparent pixel: it is made opaque.
        std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) row[static_cast<std::size_t>(x)] = image.Row(y)[x] | 0xFF000000u;
            std::fwrite(row.data(), 4, row.size(), out);
        }
        std::fclose(out);
    }
}

class Win32UsageDialogTest : public ::testing::Test {
 protected:
    Win32UsageDialogTest() {
        test::AddFewDays(log);
        dialog.Attach(usage);
    }
    HWND Dialog() const { return dialog.Handle(); }
    HWND Control(std::string_view name) const { return dialog.Control(name); }
    HWND Edit() const { return Control("PeriodStart"); }
    std::optional<std::string> Stored() { return settings.Get(kSettingsApp, kSettingsSection, "periodstart"); }
    PixelRect Expected(const TwipsRect& place) const { return RectToPixels(place, desktop.TwipsPerPixelX()); }
    // A press and release of the left button on the arrows, in their upper or lower half.
    void ClickArrow(bool up) {
        const RECT r = PlaceOf(dialog.UpDown());
        const LPARAM at = MAKELPARAM((r.right - r.left) / 2, up ? 2 : r.bottom - r.top - 3);
        SendMessageW(dialog.UpDown(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(dialog.UpDown(), WM_LBUTTONUP, 0, at);
    }

    Win32Desktop desktop;
    Win32MainWindow mainWindow{desktop};
    test::MemorySettings settings;
    SettingsStore store{settings};
    FixedCalendar calendar;
    UsageLog log;
    Win32UsageDialog dialog{mainWindow.Handle(), desktop};
    frmUsage usage{{dialog, store, calendar}, log, kColours};
};

TEST_F(Win32UsageDialogTest, AFixedOwnedWindowCentredOnTheScreenWithTheDescribedControls) {
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Dialog())) << "shown only by ShowModal";
    EXPECT_EQ(Text(Dialog()), Widen(kUsageTitle));
    RECT client{};
    GetClientRect(Dialog(), &client);
    EXPECT_EQ(PlaceText(client), PlaceText(Expected({0, 0, kUsageClientWidth, kUsageClientHeight})));
    const LONG_PTR frame = GetWindowLongPtrW(Dialog(), GWL_STYLE);
    EXPECT_EQ(frame & (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), WS_CAPTION) << "a fixed size";
    EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), mainWindow.Handle()) << "owned: no taskbar button";
    RECT outer{};
    GetWindowRect(Dialog(), &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

    for (const UsageControl& c : kUsageControls) {
        const HWND control = Control(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        EXPECT_EQ((style & WS_TABSTOP) != 0, TakesFocus(c.kind)) << c.name;
        if (c.kind == UsageControlKind::Spin) continue;
        EXPECT_EQ(PlaceText(PlaceOf(control)), PlaceText(Expected(c.place))) << c.name;
        EXPECT_TRUE(IsClass(control, L"Static")) << c.name;
        EXPECT_EQ(Text(control), Widen(c.caption)) << c.name;
        const LONG_PTR type = c.kind == UsageControlKind::Chart ? SS_OWNERDRAW
                              : c.align == TextAlign::Centre   ? SS_CENTER
                              : c.align == TextAlign::Right    ? SS_RIGHT
                                                               : SS_LEFT;
        EXPECT_EQ(style & SS_TYPEMASK, type) << c.name;
    }
    // The spin button: the edit and its arrows side by side fill the place.
    const RECT edit = PlaceOf(Edit()), arrows = PlaceOf(dialog.UpDown());
    const PixelRect spin = Expected(kUsageControls[UsageControlIndex(UsageControlKind::Spin)].place);
    EXPECT_EQ(PlaceText(RECT{edit.left, edit.top, arrows.right, arrows.bottom}), PlaceText(spin));
    EXPECT_EQ(edit.right, arrows.left);
    EXPECT_EQ(edit.bottom, arrows.bottom);
    EXPECT_TRUE(IsClass(Edit(), L"Edit"));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(dialog.UpDown(), UDM_GETBUDDY, 0, 0)), Edit());
    int low = 0, high = 0;
    SendMessageW(dialog.UpDown(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, kPeriodStartSpin.min);
    EXPECT_EQ(high, kPeriodStartSpin.max);
    EXPECT_EQ(SendMessageW(dialog.UpDown(), UDM_GETPOS32, 0, 0), kPeriodStartSpin.designValue);
    EXPECT_EQ(Text(Edit()), std::to_wstring(kPeriodStartSpin.designValue));
}

TEST_F(Win32UsageDialogTest, ShowsTheTotalsAndTheChartPixelForPixel) {
    usage.Form_Load();
    EXPECT_EQ(Text(Control("TodayReceived")), L"1.50 GB");
    EXPECT_EQ(Text(Control("LastPeriodTotal")), L"2.00 GB");
    EXPECT_EQ(Text(Control("Day29")), L"8");

    ShowWindow(Dialog(), SW_SHOWNOACTIVATE);
    UpdateWindow(Dialog());
    const ChartPicture chart = dialog.Chart();
    PixelSurface expected(chart.width, chart.height);
    DrawUsageChart({expected, chart.width, chart.height}, Summarize(log, calendar.today, 1), kColours);
    const WindowDc dc(Control("Chart"));
    const auto shot = Capture(dc.Get(), chart.width, chart.height);
    int differ = 0, download = 0;
    for (int y = 0; y < chart.height; ++y)
        for (int x = 0; x < chart.width; ++x) {
            const std::int32_t shown = RgbToColour(shot->Row(y)[x] & 0xFFFFFF);
            differ += shown != expected.Pixel(x, y);
            download += shown == kColours.download;
        }
    EXPECT_EQ(differ, 0) << "GDI draws what the portable picture holds, at the chart's place";
    EXPECT_GT(download, 0);
    ShowWindow(Dialog(), SW_HIDE);
}

TEST_F(Win32UsageDialogTest, TypedDaysAreTakenOnEnterOrLeavingAndAnythingElseIsRefused) {
    usage.Form_Load();
    ShowWindow(Dialog(), SW_SHOW);
    const struct {
        const wchar_t* typed;
        bool leave;  // committed by the focus leaving rather than by Enter
        int shown;
        std::optional<std::string> stored;
    } cases[] = {
        {L"31", false, 1, std::nullopt}, {L"0", true, 1, std::nullopt}, {L"ab", false, 1, std::nullopt},
        {L"12", false, 12, "12"},        {L"29", true, 12, "12"},       {L"5", true, 5, "5"},
    };
    for (const auto& c : cases) {
        SetFocus(Edit());
        SendMessageW(Edit(), EM_SETSEL, 0, -1);
        for (const wchar_t* k = c.typed; *k; ++k) SendMessageW(Edit(), WM_CHAR, *k, 1);
        EXPECT_EQ(Text(Edit()), c.typed);
        if (c.leave) SetFocus(Dialog());
        else SendMessageW(Dialog(), WM_COMMAND, IDOK, 0);  // what the dialog loop makes of Enter
        EXPECT_EQ(Text(Edit()), std::to_wstring(c.shown)) << c.typed;
        EXPECT_EQ(dialog.SpinValue(), c.shown) << c.typed;
        EXPECT_EQ(SendMessageW(dialog.UpDown(), UDM_GETPOS32, 0, 0), c.shown) << c.typed;
        EXPECT_EQ(Stored(), c.stored) << c.typed;
    }
    ShowWindow(Dialog(), SW_HIDE);
}

TEST_F(Win32UsageDialogTest, ClicksOnTheArrowsStepTheDayAndStoreIt) {
    settings.Set(kSettingsApp, kSettingsSection, "periodstart", "27");
    usage.Form_Load();
    const struct {
        bool up;
        int shown;
        const char* stored;
    } clicks[] = {{true, 28, "28"}, {true, 28, "28"}, {false, 27, "27"}, {false, 26, "26"}};
    for (const auto& c : clicks) {
        ClickArrow(c.up);
        EXPECT_EQ(Text(Edit()), std::to_wstring(c.shown));
        EXPECT_EQ(dialog.SpinValue(), c.shown);
        EXPECT_EQ(Stored(), c.stored);
    }
    SetWindowTextW(Edit(), L"20");
    ClickArrow(true);
    EXPECT_EQ(Text(Edit()), L"21") << "the typed day, then a step from it";
    EXPECT_EQ(Stored(), "21");
    SetWindowTextW(Edit(), L"x");
    ClickArrow(false);
    EXPECT_EQ(Text(Edit()), L"20") << "the text refused, a step from the day kept";
    EXPECT_EQ(Stored(), "20");
}

// The host's modal run, watched from a thread timer that runs inside the dialog's own loop. The
// controls are found as a user sees them: the edit, and a label by its text.
struct ModalRun {
    int ticks = 0;
    HWND dialog = nullptr;
    bool visible = false, ownerEnabled = true, editFocused = false, grown = false;
    steady_clock::time_point added, seen;  // the log grew; the dialog showed it
    UsageLog* log = nullptr;
};
ModalRun* g_run = nullptr;
HWND g_owner = nullptr;

void CALLBACK WatchModal(HWND, UINT, UINT_PTR, DWORD) {
    ModalRun& run = *g_run;
    ++run.ticks;
    if (run.dialog == nullptr) {
        const HWND dialog = FindWindowW(L"TideGauge.frmUsage", nullptr);
        if (dialog == nullptr || FindWindowExW(dialog, nullptr, L"Static", L"1.50 GB") == nullptr) return;
        run.dialog = dialog;
        run.visible = IsWindowVisible(run.dialog);
        run.ownerEnabled = IsWindowEnabled(g_owner);
        run.editFocused = GetFocus() == FindWindowExW(run.dialog, nullptr, L"Edit", nullptr);
        run.log->Add(D(2026, 12, 8), {1'000'000'000, 0});
        run.added = steady_clock::now();
    } else if (!run.grown && FindWindowExW(run.dialog, nullptr, L"Static", L"2.50 GB") != nullptr) {
        run.grown = true;
        run.seen = steady_clock::now();
        KeepScreenshot(run.dialog, "win32-usage.bmp");
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);  // the loop's IsDialogMessage makes it IDCANCEL
    }
    if (run.ticks > 100 && run.dialog != nullptr) PostMessageW(run.dialog, WM_CLOSE, 0, 0);  // not a hang
}

TEST(Win32UsageHostTest, ShowsTheLogAsItGrowsUntilEscapeClosesIt) {
    Win32Desktop desktop;
    Win32MainWindow mainWindow(desktop);
    test::MemorySettings settings;
    FixedCalendar calendar;
    UsageLog log;
    test::AddFewDays(log);
    Win32UsageHost host(mainWindow.Handle(), desktop);
    ModalRun run;
    run.log = &log;
    g_run = &run;
    g_owner = mainWindow.Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchModal);
    host.ShowUsage(settings, calendar, log, kColours);
    KillTimer(nullptr, timer);

    ASSERT_NE(run.dialog, nullptr);
    EXPECT_TRUE(run.visible);
    EXPECT_FALSE(run.ownerEnabled) << "the main window takes no input while the dialog is up";
    EXPECT_TRUE(run.editFocused) << "the spin button has the focus";
    EXPECT_TRUE(run.grown) << "today's received bytes refreshed while open";
    EXPECT_LT(run.seen - run.added, 1500ms) << "within a refresh";
    EXPECT_LT(run.ticks, 100) << "closed by Escape, not by the guard";
    EXPECT_TRUE(IsWindowEnabled(mainWindow.Handle()));
    EXPECT_FALSE(IsWindow(run.dialog)) << "destroyed once closed";
}

}  // namespace
}  // namespace tg
