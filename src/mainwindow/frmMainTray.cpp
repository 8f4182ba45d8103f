// The notification-area icon, the window out of the way (hidden, clicks passing through, hidden
// for full-screen programs) and the data plan's notices.
#include <array>
#include <optional>
#include <utility>

#include "mainwindow/frmMain.h"

namespace tg {

// A re-run after the options dialog finds the icon and the window as the user left them: only what
// changes is told again.
void frmMain::RestoreOutOfTheWay() {
    struct Flag {
        MenuItem item;
        const SettingKey& key;
        bool& flag;
    };
    const std::array<Flag, 4> flags = {{{MenuItem::trayicon, keys::trayicon, m_trayIcon},
                                        {MenuItem::hidden, keys::hidden, m_hidden},
                                        {MenuItem::clickthrough, keys::clickthrough, m_clickThrough},
                                        {MenuItem::hidefullscreen, keys::hidefullscreen, m_hideFullScreen}}};
    for (const auto& f : flags) {
        f.flag = m_store.Read(f.key) == "1";
        m_ports.form.SetMenuChecked(f.item, f.flag);
    }
    if (!m_hideFullScreen) m_fullScreen = false;
    // Asking may cost a front end a bus connection and its thread for the program's life: with the
    // icon off it is left to the menu, the one place the answer shows.
    ApplyIcon(m_trayIcon ? AreaAvailable() : true);
    ReadPlan();
    m_quotaAlert.Restore(m_store.Read(keys::quotaalert));
}

bool frmMain::OutOfTheWay() const noexcept { return (m_iconShown && m_hidden) || (m_hideFullScreen && m_fullScreen); }

void frmMain::ShowUnlessOutOfTheWay() {
    m_windowHidden = OutOfTheWay();
    if (m_windowHidden) m_ports.form.Hide();
    else m_ports.form.Show();
}

void frmMain::AskAreaForMenu() {
    if (!m_trayIcon) ApplyIcon(AreaAvailable());
}

bool frmMain::AreaAvailable() const { return m_ports.icon != nullptr && m_ports.icon->Available(); }

// The icon shows while it is wanted and the desktop has somewhere to show it. Without it the items
// that need it are greyed and lose their effect, so nobody loses the window.
void frmMain::ApplyIcon(bool available) {
    m_areaAvailable = available;
    const bool shown = m_trayIcon && available;
    // Short reasons: a menu without tooltips shows them beside the caption.
    m_ports.form.SetMenuEnabled(MenuItem::trayicon, available, available ? "" : Text(TextId::WhyNoNotificationArea));
    m_ports.form.SetMenuEnabled(MenuItem::hidden, shown, shown ? "" : Text(TextId::WhyNeedsIcon));
    m_ports.form.SetMenuEnabled(MenuItem::clickthrough, shown, shown ? "" : Text(TextId::WhyNeedsIcon));
    if (shown != m_iconShown) {
        m_iconShown = shown;
        m_ports.icon->Show(shown);
        if (shown) RefreshIconText();
    }
    ApplyClickThrough();
}

void frmMain::ApplyClickThrough() {
    const bool on = m_iconShown && m_clickThrough;
    if (on == m_clickThroughOn) return;
    m_clickThroughOn = on;
    m_ports.form.SetClickThrough(on);
}

void frmMain::ApplyVisibility() {
    const bool hide = OutOfTheWay();
    if (hide == m_windowHidden) return;
    m_windowHidden = hide;
    if (hide) m_ports.form.Hide();
    else m_ports.form.Show();
}

void frmMain::SetFlag(MenuItem item, const SettingKey& key, bool& flag, bool on) {
    flag = on;
    m_ports.form.SetMenuChecked(item, on);
    m_store.Write(key, on ? "1" : "0");
}

// Turning the icon off takes away the way back: the window shows and takes clicks again.
void frmMain::trayicon_Click() {
    SetFlag(MenuItem::trayicon, keys::trayicon, m_trayIcon, !m_trayIcon);
    if (!m_trayIcon) {
        SetFlag(MenuItem::hidden, keys::hidden, m_hidden, false);
        SetFlag(MenuItem::clickthrough, keys::clickthrough, m_clickThrough, false);
    }
    ApplyIcon(AreaAvailable());
    ApplyVisibility();
}

void frmMain::hidden_Click() {
    SetFlag(MenuItem::hidden, keys::hidden, m_hidden, !m_hidden);
    ApplyVisibility();
}

void frmMain::NotifyIcon_Click() {
    if (m_iconShown) hidden_Click();
}

void frmMain::clickthrough_Click() {
    SetFlag(MenuItem::clickthrough, keys::clickthrough, m_clickThrough, !m_clickThrough);
    ApplyClickThrough();
}

void frmMain::hidefullscreen_Click() {
    SetFlag(MenuItem::hidefullscreen, keys::hidefullscreen, m_hideFullScreen, !m_hideFullScreen);
    if (!m_hideFullScreen) m_fullScreen = false;
    ApplyVisibility();
}

// Once a tick, and only for what is turned on: the notification area may come (a panel started
// after the program) or go, and a full-screen program may start or end.
void frmMain::WatchDesktop() {
    if (m_trayIcon) {
        const bool available = AreaAvailable();
        if (available != m_areaAvailable) {
            ApplyIcon(available);
            ApplyVisibility();
        }
    }
    if (!m_hideFullScreen) return;
    m_fullScreen = m_ports.desktop.FullScreenActive(PlaceInPixels());
    ApplyVisibility();
}

// The texts' storage is taken once, long enough for any rate and a few interfaces, so that a busy
// hour late in the day does not grow it.
void frmMain::RefreshIconText() {
    constexpr std::size_t kTooltipRoom = 256;
    constexpr std::size_t kLabelRoom = 64;
    m_iconTexts.tooltip.reserve(kTooltipRoom);
    m_iconTexts.label.reserve(kLabelRoom);
    if (!m_ticked) {  // the read-outs keep their captions until the first tick: the icon shows nothing moved
        m_downText = ReadoutText(Readout::Download, m_units, {});
        m_upText = ReadoutText(Readout::Upload, m_units, {});
    }
    BuildIconTexts({*m_tick.table, m_tick.rows, m_downText, m_upText}, m_iconTexts);
    m_ports.icon->SetText(m_iconTexts.tooltip, m_iconTexts.label);
}

// Read at start-up and when the usage dialog closes; while it is open, at each tick, as the user
// may be setting them.
void frmMain::ReadPlan() {
    m_quota = QuotaFromText(m_store.Read(keys::quota));
    m_periodStart = PeriodStartFromText(m_store.Read(keys::periodstart));
}

// The record is stored at once, inside the tick: a re-run of the start-up before the notice goes
// out must not find it due again.
void frmMain::CheckQuota() {
    if (m_ports.usage == nullptr || m_ports.notifier == nullptr) return;
    if (m_usageOpen) ReadPlan();
    if (m_quota == kNoQuota) return;
    const Period period = PeriodHolding(m_ports.usage->Today(), m_periodStart);
    const std::uint64_t used = m_ports.usage->Log().Between(period.first, period.last).Total();
    const std::optional<QuotaNotice> notice = m_quotaAlert.Check(period.first, used, m_quota);
    if (!notice) return;
    m_quotaNotice = notice;
    m_store.Write(keys::quotaalert, m_quotaAlert.Record());
}

// A tick may run inside another's message pump, and the menu's command inside the menu call: what
// would hold either up, or run inside it, waits until neither is under way. Notices wait for the
// ticks only.
void frmMain::RunDeferred() {
    if (m_ticks > 0) return;
    if (const std::optional<QuotaNotice> notice = std::exchange(m_quotaNotice, std::nullopt))
        m_ports.notifier->Notify(Text(TextId::QuotaTitle), QuotaNoticeText(*notice, m_units));
    if (m_menuCalls == 0 && std::exchange(m_usageAsked, false)) OpenUsage();
}

}  // namespace tg
