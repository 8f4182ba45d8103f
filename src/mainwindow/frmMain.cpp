#include "mainwindow/frmMain.h"

#include <cmath>
#include <utility>

#include "appearance/MiscCode.h"
#include "appearance/frmOptions.h"
#include "common/Rounding.h"
#include "common/Twips.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/Tooltip.h"
#include "settings/Conversions.h"

namespace tg {

namespace {

constexpr float kMinimumSize = 500;      // twips, both ways
constexpr float kGrip = 100;             // twips from the bottom-right corner
constexpr float kStripBelowSurface = 30;  // twips of the window's own colour under the surface
constexpr std::uint32_t kResizePause = 100;  // ms after each resize step

}  // namespace

frmMain::frmMain(MainWindowPorts ports)
    : m_ports(ports),
      m_store(ports.settings),
      m_notice(ports.messages),
      m_place(RectToPixels(ports.form.Bounds(), ports.desktop.TwipsPerPixelX(), ports.desktop.TwipsPerPixelY())) {}

void frmMain::Form_Initialize() {
    constexpr std::int32_t kDesignLabelColour = 0x00C0C0C0;
    struct Design {
        LabelId label;
        const char* text;
        float left, top;
    };
    for (const Design& d : {Design{LabelId::Label9, "0 Kb", 120, 120}, Design{LabelId::Label10, "0 Kb", 2280, 120},
                            Design{LabelId::Label1, "128 Kb", 120, 840}}) {
        m_ports.form.SetLabelText(d.label, d.text);
        m_ports.form.SetLabelPosition(d.label, d.left, d.top);
        m_ports.form.SetLabelColour(d.label, kDesignLabelColour);
    }
    m_ports.form.SetBackColour(m_backColor);
    m_ports.form.SetTimerEnabled(false);
}

void frmMain::Form_Load() {
    RestoreLanguage();
    IP = std::make_shared<CIpUpdate>(m_ports.table, m_notice, m_ports.clock);
    IP->Data = [this](std::int32_t& OutData, std::int32_t& InData) { IP_Data(OutData, InData); };
    m_tick = TickResult{};  // the new sampler has read nothing: the tooltip and the menu list no interfaces
    m_graphMax = 128;
    if (m_ports.desktop.AnotherInstanceRunning()) {
        m_ports.desktop.ExitProcess();
        return;
    }
    if (m_ports.usage != nullptr && !std::exchange(m_usageLoaded, true)) m_ports.usage->Load();
    RestoreInterfaces();
    RestoreUnitsAndLock();
    RestoreOutOfTheWay();
    RestorePlace();
    RestoreScale();
    RestoreColours();
    Form_Resize();
    m_ports.desktop.PumpMessages();
    PaintBackground();
    ApplyTransparency(m_ports.form, StartupOpacity());
    ShowUnlessOutOfTheWay();
    ShowFirstRunMessage();
    ShowUnlessOutOfTheWay();
    m_ports.desktop.PumpMessages();
    RestoreTopmost();
    m_ports.desktop.PumpMessages();
    m_ports.form.SetTimerEnabled(true);
}

// The resize handler runs whenever the size in twips changes, even when the pixels stay the same.
// It may set the size in turn, and so run inside itself, once, as the system's resize event does.
void frmMain::SetBounds(const TwipsRect& bounds) {  // NOLINT(misc-no-recursion)
    const TwipsRect before = m_ports.form.Bounds();
    m_place.Asked(ToPixels(bounds));
    m_ports.form.Move(bounds);
    if (bounds.width != before.width || bounds.height != before.height) Form_Resize();
}

void frmMain::Form_Placed(const PixelRect& seen) {
    const WindowPlace::Adopted adopted = m_place.Seen(seen);
    if (!adopted.place && !adopted.size) return;
    TwipsRect b = m_ports.form.Bounds();
    const float tppX = m_ports.desktop.TwipsPerPixelX();
    const float tppY = m_ports.desktop.TwipsPerPixelY();
    if (adopted.place) {
        b.left = static_cast<float>(seen.x) * tppX;
        b.top = static_cast<float>(seen.y) * tppY;
    }
    if (adopted.size) {
        b.width = static_cast<float>(seen.cx) * tppX;
        b.height = static_cast<float>(seen.cy) * tppY;
    }
    m_ports.form.Adopt(b);
    if (adopted.size) Form_Resize();
}

// The same twips are other pixels now: the picture and the read-outs are laid out again.
void frmMain::Form_DpiChanged(const PixelRect& offered) {
    TwipsRect b = m_ports.form.Bounds();
    b.left = static_cast<float>(offered.x) * m_ports.desktop.TwipsPerPixelX();
    b.top = static_cast<float>(offered.y) * m_ports.desktop.TwipsPerPixelY();
    SetBounds(b);
    Form_Resize();
}

// Each value is applied as it is read, and each default is computed from the window as it is at
// that moment, so the default left edge uses the width from before the stored width applies.
void frmMain::RestorePlace() {
    const TwipsRect screen = m_ports.desktop.PrimaryScreen();
    TwipsRect place = m_ports.form.Bounds();
    place.left = ReadTwips(m_store, keys::x, screen.width - 1000 - place.width);
    SetBounds(place);
    place = m_ports.form.Bounds();
    place.top = ReadTwips(m_store, keys::y, screen.height - 3000);
    SetBounds(place);
    place = m_ports.form.Bounds();
    place.width = ReadTwips(m_store, keys::x1, place.width);
    SetBounds(place);
    place = m_ports.form.Bounds();
    place.height = ReadTwips(m_store, keys::y1, place.height);
    SetBounds(place);
    place = m_ports.form.Bounds();
    KeepOnScreen(place);
}

// The tests use the monitor that holds the stored place; only when none does, the primary screen.
void frmMain::KeepOnScreen(TwipsRect& place) {
    TwipsRect screen;
    if (!m_ports.desktop.MonitorAt(place.left, place.top, screen)) screen = m_ports.desktop.PrimaryScreen();
    auto apply = [&] {
        SetBounds(place);
        place = m_ports.form.Bounds();
    };
    if (place.left < screen.left) { place.left = screen.left; apply(); }
    if (static_cast<float>(screen.left + screen.width - place.width) < place.left) { place.left = screen.left; apply(); }
    if (place.top < screen.top) { place.top = screen.top; apply(); }
    if (static_cast<float>(screen.top + screen.height * 0.95 - place.height) < place.top) { place.top = screen.top; apply(); }
    if (place.width > screen.width) { place.width = 2000; apply(); }
    if (static_cast<float>(screen.height * 0.9) < place.height) { place.height = 2000; apply(); }
}

// A stored scale that no item offers is kept, with no item marked.
void frmMain::RestoreScale() {
    m_scaleKbps = ReadScale(m_store);
    if (const auto item = ScaleItem(m_scaleKbps)) m_ports.form.SetMenuChecked(*item, true);
}

void frmMain::RestoreColours() {
    m_downColor = ReadColour(m_store, keys::bgcolor3);
    m_upColor = ReadColour(m_store, keys::bgcolor4);
    m_backColor = ReadColour(m_store, keys::bgcolor2, m_backColor);
    m_ports.form.SetBackColour(m_backColor);
    m_pictureBackColor = ReadColour(m_store, keys::bgcolor1, m_pictureBackColor);
    m_foreColor = ReadColour(m_store, keys::bgcolor5, m_foreColor);
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10})
        m_ports.form.SetLabelColour(label, m_foreColor);
}

void frmMain::ShowFirstRunMessage() {
    if (m_store.Read(keys::info) != "0") return;
    m_ports.messages.Show(Text(TextId::FirstRun), kAppTitle, MessageIcon::None);
    m_store.Write(keys::info, "1");
}

void frmMain::RestoreTopmost() {
    if (m_store.Read(keys::ontop) != "1") return;
    m_ports.form.MakeTopmost(PlaceInPixels());
    m_ports.form.SetMenuChecked(MenuItem::ontop, true);
}

// The sampler is new: it counts by the stored choice from its first tick.
void frmMain::RestoreInterfaces() {
    m_interfaces = SelectionOrAutomatic(m_store.Read(keys::interfaces));
    IP->Select(m_interfaces);
}

// First of all: the messages of the start-up (the first run's, a system without an interface
// table) are in the stored language too. A menu is made in the language of the moment, so only a
// change relabels it.
void frmMain::RestoreLanguage() {
    const Language stored = LanguageFromSetting(m_store.Read(keys::language));
    if (const auto item = LanguageItem(stored)) CheckOnly(*item);
    if (stored == CurrentLanguage()) return;
    SetLanguage(stored);
    m_ports.form.RelabelMenu();
}

// Like the scale's, the marks are only ever set here, never cleared: a re-run finds them right.
void frmMain::RestoreUnitsAndLock() {
    m_units = UnitFromText(m_store.Read(keys::units));
    if (const auto item = UnitItem(m_units)) CheckOnly(*item);
    m_locked = m_store.Read(keys::locked) == "1";
    m_ports.form.SetMenuChecked(MenuItem::locked, m_locked);
}

// A tick pumps messages on its way, which would paint the window halfway through, once for each
// pump: paints wait for the outermost tick to end, and every paint is the costliest work of the
// program's day. What must not run inside a tick (a notice, a dialog) waits for it too.
void frmMain::Timer2_Timer() {
    ++m_ticks;
    // One of the messages may run the start-up sequence again and replace the sampler: the
    // sampler whose Update is under way lives until it returns.
    const std::shared_ptr<CIpUpdate> sampler = IP;
    if (sampler) sampler->Update(m_tick);
    WatchDesktop();
    if (--m_ticks > 0) return;
    if (std::exchange(m_paintPending, false)) m_ports.form.Repaint();
    RunDeferred();
}

bool frmMain::Form_Changed() noexcept {
    if (m_ticks == 0) return true;
    m_paintPending = true;
    return false;
}

void frmMain::Form_Resize() {  // NOLINT(misc-no-recursion): through SetBounds, above
    TwipsRect b = m_ports.form.Bounds();
    if (b.width < kMinimumSize) {
        b.width = kMinimumSize;
        SetBounds(b);
        PaintBackground();
    }
    b = m_ports.form.Bounds();
    if (b.height < kMinimumSize) {
        b.height = kMinimumSize;
        SetBounds(b);
        PaintBackground();
    }
    b = m_ports.form.Bounds();
    const bool labels = b.width >= 1560 && b.height >= 660;
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10})
        m_ports.form.SetLabelVisible(label, labels);
    m_picture = {0, 0, b.width, b.height - kStripBelowSurface};
    m_ports.form.PlaceSurface(m_picture, PicturePixels(ToPixels(m_picture), m_ports.form.ScreenPixels()));
    PlaceUploadReadout();
    m_ports.form.SetLabelPosition(LabelId::Label1, 120, b.height - 350);
}

// The upload read-out is right-aligned: its right edge stays 150 twips inside the window's as its
// text grows and shrinks, instead of running past the edge until the next resize.
void frmMain::PlaceUploadReadout() {
    const float width = m_ports.form.Bounds().width;
    m_ports.form.SetLabelPosition(LabelId::Label10, width - 150 - m_ports.form.LabelWidth(LabelId::Label10), 120);
}

void frmMain::PaintBackground() {
    const DrawableSurface target{m_ports.surface, m_picture.width, m_picture.height, m_pictureBackColor,
                                 m_ports.desktop.TwipsPerPixelX(), m_ports.desktop.TwipsPerPixelY()};
    PaintGradient(target, m_pictureBackColor, m_backColor, true);
}

// The scroll bar never stores a level under its minimum; a lower one, edited in by hand, would
// leave a window nobody can see or click to change it, so it starts at the default instead.
// Levels above 255 are left to ApplyTransparency, which does not apply them.
std::int16_t frmMain::StartupOpacity() const {
    const std::int16_t level = ReadOpacityRoundedDown(m_store);
    return level >= 0 && level < kOpacityMin ? kOpacityDefault : level;
}

// The sampler raises the event once it has filled m_tick. Everything is taken from it before the
// graph step pumps messages: a tick that runs inside the pump fills it again.
void frmMain::IP_Data(std::int32_t& /*OutData*/, std::int32_t& /*InData*/) {
    // A tick run by this one's message pump measures from the same baseline and would count these
    // bytes again; what it moves beyond them is in the next tick's, which starts from this reading.
    if (m_ticks <= 1) {
        m_sinceStart.received += m_tick.bytes.received;
        m_sinceStart.sent += m_tick.bytes.sent;
        if (m_ports.usage != nullptr) m_ports.usage->Count(m_tick.bytes);
        CheckQuota();
    }
    m_up = m_tick.up;
    m_down = m_tick.down;
    m_ticked = true;
    ShowRateReadouts();
    DrawGraph(m_up.kilobits, m_down.kilobits);
    m_ports.desktop.PumpMessages();
    m_ports.form.SetLabelText(LabelId::Label1, MaximumText());
    RefreshTooltip();
    if (m_iconShown) RefreshIconText();
}

// The graph's maximum is whole kilobits a second: 1000 bits each.
std::string frmMain::MaximumText() const {
    const std::uint64_t bits = m_graphMax > 0 ? static_cast<std::uint64_t>(m_graphMax) * 1000 : 0;
    return ReadoutText(Readout::Maximum, m_units, {m_graphMax, bits});
}

// In automatic scale the maximum only grows: to the upload value + 10 when it exceeds the maximum,
// else to the download value + 10. False when the new maximum does not fit in 32 bits.
bool frmMain::RaiseGraphMax(double up, double down) {
    if (m_scaleKbps != -1 && m_scaleKbps != 0) {
        m_graphMax = m_scaleKbps;
        return true;
    }
    if (!(up > m_graphMax || down > m_graphMax)) return true;
    const auto raised = ToInt32HalfEven((up > m_graphMax ? up : down) + 10);
    if (!raised) return false;
    m_graphMax = *raised;
    return true;
}

std::int32_t frmMain::YPixels(double twips) const {
    return TwipsToPixels(twips, m_ports.desktop.TwipsPerPixelY());
}

void frmMain::DrawGraph(double up, double down) {
    m_ports.desktop.PumpMessages();
    const float W = m_picture.width;
    const float H = m_picture.height;
    // The twips values serve as pixel counts: the copied block is at least as large as the surface.
    m_ports.surface.ScrollLeft(RoundToInt32Clamped(W), RoundToInt32Clamped(H));
    if (up < 0) up = 1;
    if (down < 0) down = 1;
    if (!RaiseGraphMax(up, down) || m_graphMax == 0) return;
    const auto perKilobit = static_cast<double>(H / static_cast<float>(m_graphMax));
    const double downHeight = perKilobit * down;
    const double upHeight = perKilobit * up;
    m_barX = RoundToInt32Clamped(W - 50);
    const std::int32_t x = TwipsToPixels(m_barX, m_ports.desktop.TwipsPerPixelX());
    const std::int32_t bottom = YPixels(H);
    m_ports.surface.Line(m_downColor, x, bottom, x, YPixels(H - downHeight));
    m_ports.surface.Line(m_upColor, x, bottom, x, YPixels(H - upHeight));
}

bool frmMain::InGrip(float x, float y) const {
    return x > m_picture.width - kGrip && y > m_picture.height - kGrip;
}

// Positions are measured from where the window was asked to be, not from where the system last
// said it is: during a drag the reports lag behind the moves, and a position taken from them would
// move the window by its own lag. A press holds the pointer until no button is left down, so a drag
// goes on while the pointer is off the window.
bool frmMain::Form_Pointer(const PointerEvent& e) {
    const PixelRect& place = m_place.Current();
    const float x = static_cast<float>(e.x - place.x) * m_ports.desktop.TwipsPerPixelX() - m_picture.left;
    const float y = static_cast<float>(e.y - place.y) * m_ports.desktop.TwipsPerPixelY() - m_picture.top;
    const bool inside = x >= 0 && y >= 0 && x < m_picture.width && y < m_picture.height;
    if (!inside && !m_captured) return false;
    switch (e.action) {
        case PointerAction::Press:
            if (!std::exchange(m_captured, true)) m_ports.form.CapturePointer(true);
            Picture2_MouseDown(e.button, e.keys, x, y);
            break;
        case PointerAction::Release:
            if ((e.held & ~e.button) == 0 && std::exchange(m_captured, false)) m_ports.form.CapturePointer(false);
            Picture2_MouseUp(e.button, e.keys, x, y);
            break;
        case PointerAction::Move:
            Picture2_MouseMove(e.held, e.keys, x, y);
            break;
    }
    return true;
}

// While the place is locked (or the clicks pass through) a left drag is nothing: no move, no
// resize, nothing stored.
void frmMain::Picture2_MouseDown(std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    m_dragStartX = x;
    m_dragStartY = y;
    if (button != kLeftButton) return;
    m_dragging = false;
    m_resizing = false;
    if (PlaceLocked()) return;
    if (InGrip(x, y)) m_resizing = true;
    else m_dragging = true;
    RefreshTooltip();  // a tooltip that shows goes
}

void frmMain::Picture2_MouseMove(std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    if (button != kLeftButton) {
        m_ports.form.SetCursor(!PlaceLocked() && InGrip(x, y) ? Cursor::SizeNwse : Cursor::Default);
        return;
    }
    const TwipsRect b = m_ports.form.Bounds();
    if (m_resizing) {
        SetBounds({b.left, b.top, x < kMinimumSize ? kMinimumSize : x, y < kMinimumSize ? kMinimumSize : y});
        m_ports.surface.Refresh();
        m_ports.desktop.Sleep(kResizePause);
    } else if (m_dragging) {
        SetBounds({b.left + (x - m_dragStartX), b.top + (y - m_dragStartY), b.width, b.height});
    }
}

void frmMain::Picture2_MouseUp(std::int16_t button, std::int16_t /*shift*/, float /*x*/, float /*y*/) {
    const TwipsRect b = m_ports.form.Bounds();
    if (m_dragging) {
        m_dragging = false;
        m_store.Write(keys::x, NumberToText(b.left));
        m_store.Write(keys::y, NumberToText(b.top));
    } else if (m_resizing) {
        m_resizing = false;
        m_ports.form.SetCursor(Cursor::Default);
        m_store.Write(keys::x1, NumberToText(b.width));
        m_store.Write(keys::y1, NumberToText(b.height));
        PaintBackground();  // clears the surface first
    }
    if (button == kRightButton) ShowContextMenu();
}

bool frmMain::TooltipAvailable() const noexcept { return !m_dragging && !m_resizing && IP; }

std::optional<std::string> frmMain::TooltipText() const {
    if (!TooltipAvailable()) return std::nullopt;
    TooltipFacts facts{*m_tick.table, m_tick.rows, m_tick.elapsed, m_units,
                       {static_cast<std::uint64_t>(m_sinceStart.received), static_cast<std::uint64_t>(m_sinceStart.sent)},
                       std::nullopt, std::nullopt};
    if (m_ports.usage != nullptr) {
        const Day today = m_ports.usage->Today();
        const Period period = PeriodHolding(today, PeriodStartFromText(m_store.Read(keys::periodstart)));
        facts.today = m_ports.usage->Log().On(today);
        facts.period = m_ports.usage->Log().Between(period.first, period.last);
    }
    return tg::TooltipText(facts);
}

std::optional<std::string> frmMain::Tooltip_Query() {
    std::optional<std::string> text = TooltipText();
    m_tooltipShown = text.has_value();
    return text;
}

// Asked again only while it shows, so a tick with the tooltip hidden costs nothing more. Whether
// there is text at all is known without building it.
void frmMain::RefreshTooltip() {
    if (!m_tooltipShown) return;
    if (!TooltipAvailable()) {
        m_tooltipShown = false;
        m_ports.form.HideTooltip();
    } else {
        m_ports.form.RefreshTooltip();
    }
}

// The picked command runs inside the menu call, with the timer off; what must not stop the ticks
// runs once the call has returned.
void frmMain::ShowContextMenu() {
    m_ports.form.SetTimerEnabled(false);
    FillInterfaceMenu();
    AskAreaForMenu();
    ++m_menuCalls;
    m_ports.form.PopupMenu();
    --m_menuCalls;
    m_ports.form.SetTimerEnabled(true);
    RunDeferred();
}

// Unloading takes the window off the screen first, so nothing shows a program that has ended.
void frmMain::Form_QueryUnload() {
    if (m_ports.usage != nullptr) m_ports.usage->Flush();
    m_ports.form.Close();
    m_ports.desktop.ExitProcess();
}

}  // namespace tg
