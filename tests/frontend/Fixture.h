#pragma once
// What the shared front-end tests ask of a front end, answered once for GTK (under Xvfb) and once
// for Win32 (under Wine): the real windows made by the real frmMain, frmOptions and frmUsage over
// fakes of everything else, driven through the OS (pointer, keys, window messages) and read back
// from the real widgets and from the screen's pixels. Each answer that differs only in mechanism
// (GTK learns of a move later, Win32 at once) is hidden behind WaitUntil.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/Texts.h"
#include "Fakes.h"
#include "Pixels.h"
#include "MainWindowFakes.h"
#include "MemoryRegistry.h"
#include "UsageDays.h"
#include "appearance/OptionsLayout.h"
#include "common/Twips.h"
#include "mainwindow/frmMain.h"
#include "usage/UsageLayout.h"

namespace tg {
class frmOptions;
class frmUsage;

inline bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}
inline std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << "(" << r.x << ", " << r.y << ") " << r.cx << " x " << r.cy;
}
}  // namespace tg

namespace tg::test {

using namespace std::chrono_literals;

// Pixels read back from the screen, row by row.
struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    int Count(const std::function<bool(const Rgb&)>& match) const {
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), match));
    }
};

struct Point {
    int x = 0, y = 0;
};

enum class Button { Left, Right };
enum class PointerShape { Default, Sizing, Hand, Other };

// A menu entry as a person sees it.
struct MenuEntry {
    std::string caption;  // UTF-8; empty for a separator
    bool separator = false;
    std::optional<bool> checkable;  // where the platform tells a check item from a plain one
    bool checked = false;
    std::vector<MenuEntry> children;  // a submenu's entries
    bool submenu = false;
    std::uintptr_t pick = 0;  // what Pick needs to choose it
    bool enabled = true;
    std::string tooltip;  // a greyed item's reason
};

enum class Dialog { Options, Usage };
enum class ControlKind { Label, Check, Scroll, Swatch, Link, Chart, Spin };

// A dialog's control, read back from the real widget.
struct ControlView {
    bool found = false;
    PixelRect place;  // in the dialog's client area
    std::string caption;
    ControlKind kind = ControlKind::Label;
    bool takesFocus = false;
    std::optional<TextAlign> align;  // a text's alignment where the control shows one
    int min = 0, max = 0, value = 0;  // a scroll bar's or spin button's range and position
    bool checked = false;
};

// The dialog's own window: its title, and its client area on the screen.
struct DialogFrame {
    std::string title;
    PixelRect client, outer;
    bool resizable = true;
    bool ownedByMainWindow = false;
};

// The settings, counting the writes of each key: one run of a handler, one write.
class CountingSettings final : public SettingsBackend {
 public:
    MemorySettings values;
    std::map<std::string, int> writes;
    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override {
        return values.Get(app, section, key);
    }
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override {
        ++writes[std::string(key)];
        values.Set(app, section, key, text);
    }
};

class RecordingLauncher final : public Launcher {
 public:
    std::vector<std::string> opened;
    void OpenAddress(std::string_view address) override { opened.emplace_back(address); }
};

// Answers at once with `answer`, or cancels when there is none.
class AnsweringColours final : public ColourDialog {
 public:
    std::optional<std::int32_t> answer;
    std::vector<ColourRequest> requests;
    bool Choose(ColourRequest& request) override {
        requests.push_back(request);
        if (answer) request.rgbResult = *answer;
        return answer.has_value();
    }
};

// Everything around the real windows, the same on both platforms.
struct World {
    CountingSettings settings;
    FakeTableSource table;
    FakeClock clock;
    RecordingMessages messages;
    FakeOptionsHost options;
    FakeUsageHost usage;
    int exits = 0;  // the program's ends, which do not end the test
    MemoryRegistry registry;
    AnsweringColours colours;
    RecordingLauncher launcher;
    FixedCalendar calendar;
    UsageLog log;
    MemoryUsageStore usageStore;
    UsageRecorder recorder{usageStore, calendar, clock, [](const std::string&) {}};  // the main window's own log
    std::uint32_t received = 1'000'000, sent = 1'000'000;  // what the table has counted

    World() {
        table.SetTotals({{received, sent}});
        Store("info", "1");  // past the first start's message
        AddFewDays(log);
    }
    std::optional<std::string> Stored(std::string_view key) { return settings.Get(kSettingsApp, kSettingsSection, key); }
    void Store(std::string_view key, std::string_view text) { settings.Set(kSettingsApp, kSettingsSection, key, text); }
};

// The platform's real desktop, except that the program neither checks for other copies nor ends.
template <typename Real>
class TestDesktop final : public Desktop {
 public:
    TestDesktop(Real& real, int& exits) : m_real(real), m_exits(exits) {}
    TwipsRect PrimaryScreen() const override { return m_real.PrimaryScreen(); }
    bool MonitorAt(float x, float y, TwipsRect& b) const override { return m_real.MonitorAt(x, y, b); }
    float TwipsPerPixelX() const override { return m_real.TwipsPerPixelX(); }
    float TwipsPerPixelY() const override { return m_real.TwipsPerPixelY(); }
    void PumpMessages() override { m_real.PumpMessages(); }
    void Sleep(std::uint32_t ms) override { m_real.Sleep(ms); }
    bool AnotherInstanceRunning() override { return false; }
    bool FullScreenActive(const PixelRect& window) override { return m_real.FullScreenActive(window); }
    void ExitProcess() override { ++m_exits; }

 private:
    Real& m_real;
    int& m_exits;
};

inline const std::string kProgramPath = "/opt/tidegauge/tidegauge";
inline constexpr MainWindowColours kDialogColours = {0x00FFFFFF, 0x0080FFFF, 0};
inline constexpr UsageColours kUsageColours = {0x000000FF, 0x0000FFFF};

class Fixture {
 public:
    virtual ~Fixture() = default;
    World world;

    // ---- the main window, made with the fixture, hidden until Start
    virtual frmMain& Main() = 0;
    virtual Form& Window() = 0;  // the window as frmMain sees it
    // frmMain's start: Form_Initialize and Form_Load, then the window on the screen.
    virtual void Start() = 0;
    // Runs the platform's event loop until `done` holds or the time is up; whether it holds.
    virtual bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) = 0;
    // The table moves these many bytes, and the window's own timer ticks once; whether it did in time.
    bool Tick(std::uint32_t in, std::uint32_t out) {
        world.received += in;
        world.sent += out;
        world.table.SetTotals({{world.received, world.sent}});
        world.clock.Advance(1s);
        const int before = world.table.calls;
        return WaitUntil([&] { return world.table.calls > before; }, 2500ms);
    }
    virtual bool Shown() = 0;
    // The window's place and size on the screen, in pixels, as the system has them now.
    virtual PixelRect Place() = 0;
    // The window's pixels, in window coordinates, as the screen shows them.
    virtual Image Capture(const PixelRect& area) = 0;
    // Whether the window is in the topmost band, and its opacity 0..255, where the platform shows them.
    virtual std::optional<bool> Topmost() = 0;
    virtual std::optional<int> Opacity() = 0;
    // The window moved and sized by the system or the window manager, not by the program.
    virtual void PlaceBySystem(const PixelRect& place) = 0;
    // The pointer at a screen point, its button pressed or let go, as a user's would be.
    virtual void PointerDown(Point screen, Button button = Button::Left) = 0;
    virtual void PointerMove(Point screen) = 0;
    virtual void PointerUp(Point screen, Button button = Button::Left) = 0;
    // The pointer's shape over a screen point, the pointer moved there.
    virtual PointerShape ShapeAt(Point screen) = 0;
    // How many times the window was painted.
    virtual int Paints() = 0;
    // One more ordinary window, and whether the main window stands above it.
    virtual void OpenOtherWindow(const PixelRect& place) = 0;
    virtual bool AboveOtherWindow() = 0;
    // The context menu, opened with a right click on the window and read back.
    virtual std::vector<MenuEntry> OpenMenu() = 0;
    // An entry of the menu read last, chosen as a user would.
    virtual void Pick(const MenuEntry& entry) = 0;
    // The notification-area icon frmMain was given, shown, and its menu as the notification area
    // shows it. A front end that has none yet fails the tests that ask.
    virtual std::vector<MenuEntry> OpenIconMenu() {
        ADD_FAILURE() << "no notification-area icon in this fixture";
        return {};
    }
    // How many times a button went down over the window of OpenOtherWindow.
    virtual int OtherWindowPresses() {
        ADD_FAILURE() << "this fixture counts no presses on the other window";
        return 0;
    }
    // The window closed by the system (its close request), and the session's end.
    virtual void CloseBySystem() = 0;
    virtual void EndSession() = 0;

    // ---- the dialogs: the real window with its frmOptions or frmUsage over `world`, not loaded
    virtual void OpenDialog(Dialog dialog) = 0;
    virtual frmOptions& Options() = 0;
    virtual OptionsDialog& OptionsPort() = 0;
    virtual frmUsage& Usage() = 0;
    virtual UsageDialog& UsagePort() = 0;
    virtual DialogFrame Frame() = 0;
    virtual ControlView Control(std::string_view name) = 0;
    // A control's place on the screen, and its pixels as the screen shows them.
    virtual PixelRect ScreenPlace(std::string_view name) = 0;
    virtual Image CaptureControl(std::string_view name) = 0;
    // The pointer's shape over the middle of a control, and a left click there.
    PointerShape ShapeOver(std::string_view name) { return ShapeAt(Middle(ScreenPlace(name))); }
    void Click(std::string_view name) {
        PointerDown(Middle(ScreenPlace(name)));
        PointerUp(Middle(ScreenPlace(name)));
    }
    // The controls the focus visits from the one the dialog focuses first, Tab (or Shift+Tab) pressed `presses` times.
    virtual std::vector<std::string> TabWalk(bool forward, std::size_t presses) = 0;
    // HScroll1 stepped as a user steps it: with the mouse (an arrow, the track; Home and End are
    // keys either way) or with the keys of the focused bar.
    virtual void Scroll(ScrollAction action, bool byKey) = 0;
    // HScroll1's thumb held, dragged along by pixels, let go.
    virtual void HoldThumb() = 0;
    virtual void DragThumb(int pixels) = 0;
    virtual void ReleaseThumb() = 0;
    // A spin button, by name: text typed over what it holds, then committed by Enter, by the focus
    // leaving, or not yet.
    enum class Commit { Enter, Leave, None };
    virtual void TypeIntoSpin(std::string_view text, Commit commit, std::string_view spin = "PeriodStart") = 0;
    virtual void ClickSpinArrow(bool up, std::string_view spin = "PeriodStart") = 0;

    // ---- a dialog as the program opens it, through its host: modal until the user closes it
    // Runs `whileOpen` once the dialog shows, then closes it with its close request; returns when the host does.
    virtual void RunModal(Dialog dialog, const std::function<void()>& whileOpen) = 0;
    // While it runs: whether the main window waits for it, whether it shows this text, and its icon.
    virtual bool MainWindowWaits() = 0;
    virtual bool ShowsText(std::string_view text) = 0;
    virtual bool HasMainWindowIcon() = 0;

 private:
    static Point Middle(const PixelRect& r) { return {r.x + r.cx / 2, r.y + r.cy / 2}; }
};

// The front end this test program was built with.
std::unique_ptr<Fixture> MakeFixture();

// The shared tests' fixture.
class FixtureTest : public ::testing::Test {
 protected:
    std::unique_ptr<Fixture> ui = MakeFixture();
    World& world = ui->world;
    // The language is the program's, not a window's: the next test starts in Chinese.
    void TearDown() override { SetLanguage(Language::Chinese); }
};

}  // namespace tg::test
