#pragma once
// Fakes of the main window's ports: a window that keeps its geometry and records what it was
// told, and a desktop with a configurable screen and monitors.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/Desktop.h"
#include "ports/Form.h"
#include "ports/NotifyIcon.h"
#include "ports/OptionsPorts.h"
#include "ports/UsagePorts.h"
#include "usage/frmUsage.h"

namespace tg::test {

class FakeForm final : public Form {
 public:
    TwipsRect bounds{0, 0, 2715, 1365};
    TwipsRect surface;
    PixelRect surfacePixels;
    PixelRect screen{0, 0, 1920, 1080};
    std::vector<TwipsRect> moves;
    int shows = 0;
    std::vector<PixelRect> topmost;
    int alpha = -1;
    std::int32_t backColour = -1;
    std::map<LabelId, std::string> text;
    std::map<LabelId, std::pair<float, float>> position;
    std::map<LabelId, bool> visible;
    std::map<LabelId, std::int32_t> colour;
    float labelWidth = 600;
    Cursor cursor = Cursor::Default;
    bool timer = false;
    std::vector<bool> timerChanges;
    std::map<MenuItem, bool> checks;
    std::vector<InterfaceMenuEntry> interfaceItems;
    std::function<void()> onPopup;
    int popups = 0;
    bool closed = false;
    // Counts, not records: a day of ticks must not grow the heap.
    int paints = 0;  // what a real window would paint: a change painted now, or the held ones at a tick's end
    std::function<bool()> changed;  // frmMain::Form_Changed, which says whether a change paints now
    bool captured = false;

    TwipsRect Bounds() const override { return bounds; }
    void Move(const TwipsRect& b) override {
        moves.push_back(b);
        bounds = b;
    }
    void Adopt(const TwipsRect& b) override { bounds = b; }
    std::function<void(const TwipsRect&)> onPlace;
    void PlaceSurface(const TwipsRect& b, const PixelRect& pixels) override {
        surface = b;
        surfacePixels = pixels;
        if (onPlace) onPlace(b);
    }
    PixelRect ScreenPixels() const override { return screen; }
    void Repaint() override { ++paints; }
    void Show() override {
        ++shows;
        shown = true;
    }
    bool shown = false;
    void Hide() override { shown = false; }
    bool clickThrough = false;
    void SetClickThrough(bool through) override { clickThrough = through; }
    std::map<MenuItem, std::string> disabled;  // the greyed items and why
    void SetMenuEnabled(MenuItem item, bool enabled, std::string_view why) override {
        if (enabled) disabled.erase(item);
        else disabled[item] = std::string(why);
    }
    void MakeTopmost(const PixelRect& p) override { topmost.push_back(p); }
    struct Stacking {
        bool topmost;
        PixelRect place;
    };
    std::vector<Stacking> stacking;
    void SetStacking(bool top, const PixelRect& p) override { stacking.push_back({top, p}); }
    void SetAlpha(std::uint8_t level) override { alpha = level; }
    void SetBackColour(std::int32_t c) override { backColour = c; }
    void SetLabelText(LabelId l, std::string_view t) override {
        text[l] = std::string(t);
        Changed();
    }
    void SetLabelPosition(LabelId l, float x, float y) override { position[l] = {x, y}; }
    void SetLabelVisible(LabelId l, bool v) override { visible[l] = v; }
    void SetLabelColour(LabelId l, std::int32_t c) override { colour[l] = c; }
    float LabelWidth(LabelId) const override { return labelWidth; }
    void SetCursor(Cursor c) override { cursor = c; }
    void CapturePointer(bool on) override { captured = on; }
    void SetTimerEnabled(bool on) override {
        timer = on;
        timerChanges.push_back(on);
    }
    void SetMenuChecked(MenuItem item, bool on) override { checks[item] = on; }
    bool MenuChecked(MenuItem item) const override {
        const auto it = checks.find(item);
        return it != checks.end() && it->second;
    }
    int relabels = 0;
    void RelabelMenu() override { ++relabels; }
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) override {
        interfaceItems.assign(entries.begin(), entries.end());
    }
    int tooltipRefreshes = 0, tooltipHides = 0;
    void RefreshTooltip() override { ++tooltipRefreshes; }
    void HideTooltip() override { ++tooltipHides; }
    void PopupMenu() override {
        ++popups;
        if (onPopup) onPopup();
    }
    void Close() override { closed = true; }

 private:
    void Changed() {
        if (!changed || changed()) ++paints;
    }
};

class FakeDesktop final : public Desktop {
 public:
    TwipsRect primary{0, 0, 1920 * 15, 1080 * 15};
    std::vector<TwipsRect> monitors{primary};
    float tppX = 15, tppY = 15;
    int pumps = 0;
    std::function<void()> onPump;
    std::vector<std::uint32_t> sleeps;
    bool anotherInstance = false;
    bool exited = false;
    std::function<void()> onExit;

    TwipsRect PrimaryScreen() const override { return primary; }
    bool MonitorAt(float x, float y, TwipsRect& b) const override {
        for (const TwipsRect& m : monitors) {
            if (x >= m.left && x < m.left + m.width && y >= m.top && y < m.top + m.height) {
                b = m;
                return true;
            }
        }
        return false;
    }
    float TwipsPerPixelX() const override { return tppX; }
    float TwipsPerPixelY() const override { return tppY; }
    void PumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void Sleep(std::uint32_t ms) override { sleeps.push_back(ms); }
    bool AnotherInstanceRunning() override { return anotherInstance; }
    bool fullScreen = false;
    int fullScreenAsks = 0;
    PixelRect fullScreenAskedFor;
    bool FullScreenActive(const PixelRect& window) override {
        ++fullScreenAsks;
        fullScreenAskedFor = window;
        return fullScreen;
    }
    void ExitProcess() override {
        exited = true;
        if (onExit) onExit();
    }
};

// The usage dialog as the main window sees it: the colours it was opened with, and how many are open.
class FakeUsageHost final : public UsageHost {
 public:
    std::vector<UsageColours> shown;
    int open = 0;
    std::function<void()> whileOpen;
    void ShowUsage(SettingsBackend&, Calendar&, const UsageLog&, const UsageColours& colours) override {
        shown.push_back(colours);
        ++open;
        if (whileOpen) whileOpen();
        --open;
    }
};

// The notification-area icon: whether it shows and its last texts, their storage reused, so a day
// of ticks does not grow the heap.
class FakeNotifyIcon final : public NotifyIcon {
 public:
    bool available = true;
    bool shown = false;
    int shows = 0, texts = 0, asks = 0;
    std::string tooltip = std::string(256, ' '), label = std::string(64, ' ');
    bool Available() override { return ++asks > 0 && available; }
    void Show(bool on) override {
        shown = on;
        ++shows;
    }
    void SetText(std::string_view t, std::string_view l) override {
        tooltip.assign(t);
        label.assign(l);
        ++texts;
    }
};

class FakeNotifier final : public Notifier {
 public:
    std::vector<std::string> texts;  // title, then text
    std::function<void()> onNotify;
    void Notify(std::string_view title, std::string_view text) override {
        texts.emplace_back(title);
        texts.emplace_back(text);
        if (onNotify) onNotify();
    }
};

// The options dialog as the main window sees it: shown, then closed by the user.
class FakeOptionsHost final : public OptionsHost {
 public:
    std::vector<MainWindowColours> shown;
    std::function<void()> whileOpen;  // what the user does in the dialog
    void ShowOptions(Form&, SettingsBackend&, const MainWindowColours& current) override {
        shown.push_back(current);
        if (whileOpen) whileOpen();
    }
};

}  // namespace tg::test
