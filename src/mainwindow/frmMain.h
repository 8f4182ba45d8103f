#pragma once
// The main window: start-up, layout, the tick, the read-outs and the graph, moving and corner
// resizing. Every rule of the window lives here; the front ends only turn OS events into calls of
// these handlers and carry out the port calls.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "counters/CIpUpdate.h"
#include "counters/InterfaceSelection.h"
#include "counters/UnsupportedNotice.h"
#include "mainwindow/IconText.h"
#include "mainwindow/Pointer.h"
#include "mainwindow/RateText.h"
#include "mainwindow/WindowPlace.h"
#include "ports/Clock.h"
#include "ports/Desktop.h"
#include "ports/Form.h"
#include "ports/MessageDialog.h"
#include "ports/NotifyIcon.h"
#include "ports/OptionsPorts.h"
#include "ports/SettingsBackend.h"
#include "ports/Surface.h"
#include "ports/TableSource.h"
#include "ports/UsagePorts.h"
#include "settings/SettingsStore.h"
#include "usage/QuotaAlert.h"
#include "usage/UsageRecorder.h"
#include "usage/frmUsage.h"

namespace tg {

struct MainWindowPorts {
    Form& form;
    Surface& surface;
    Desktop& desktop;
    MessageDialog& messages;
    SettingsBackend& settings;
    TableSource& table;
    Clock& clock;
    OptionsHost& options;
    // The usage log and its dialog; a window given neither keeps no log.
    UsageRecorder* usage = nullptr;
    UsageHost* usageDialog = nullptr;
    // The notification-area icon and the notices; a window given none has neither.
    NotifyIcon* icon = nullptr;
    Notifier* notifier = nullptr;
};

class frmMain {
 public:
    // The client area the window is designed with, in twips.
    static constexpr float kDesignWidth = 2715;
    static constexpr float kDesignHeight = 1365;
    static constexpr std::int32_t kDesignBackColour = 0x0080FFFF;
    static constexpr std::int32_t kDesignPictureBackColour = 0x00FFFFFF;
    static constexpr std::int32_t kDesignForeColour = 0x00000000;
    static constexpr std::uint32_t kTimerInterval = 1000;  // ms

    explicit frmMain(MainWindowPorts ports);

    // The design values of the window and its labels, once, when the front end has made them.
    void Form_Initialize();

    // The start-up sequence: at program start and again when the options dialog closes. Ends the
    // process through the desktop port when another copy runs.
    void Form_Load();
    // A tick: the window paints nothing until it ends, then once.
    void Timer2_Timer();
    // Something the window shows changed: true when the front end paints it now, false when the
    // tick under way paints it once at its end.
    bool Form_Changed() noexcept;
    void Form_Resize();
    // The system reports the window at this place and size (pixels), whether or not the program
    // asked for it: what it did of its own accord becomes the window's place.
    void Form_Placed(const PixelRect& seen);
    // The window went to a screen of another resolution: it keeps its size in twips, at the
    // place (pixels) the system offers, whatever size the system offers with it.
    void Form_DpiChanged(const PixelRect& offered);
    void IP_Data(std::int32_t& OutData, std::int32_t& InData);

    // The pointer over the window as the system reports it. What happens over Picture2, or anywhere
    // while a press on it lasts, becomes its mouse events in its twips; false for anything else,
    // which the front end leaves to the system.
    bool Form_Pointer(const PointerEvent& event);
    void Picture2_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void Picture2_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void Picture2_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);

    void ShowContextMenu();
    // The menu's commands; MenuCommand runs the one for an item.
    void MenuCommand(MenuItem item);
    // A scale item of 设置曲线最大值, the automatic one included.
    void Kbps_Click(MenuItem item);
    // The 网络接口 submenu: 自动, and the interface item at this position of the last popup.
    void InterfacesAuto_Click();
    void Interface_Click(std::size_t position);
    void ontop_Click();
    void locked_Click();
    // A unit of 显示单位: the read-outs show their last values in it at once.
    void Units_Click(MenuItem item);
    // A language of 语言 (Language): the menu, the tooltip and every dialog opened from now on.
    void Language_Click(MenuItem item);
    void abt_Click();
    void opt_Click();
    // 流量统计...: the usage dialog, modal, over the log as it grows. The ticks go on while it is
    // open: asked for inside the menu call (which stops them) or a tick, it opens once that is over.
    void usage_Click();
    // The notification-area icon, and the ways the window keeps out of the way. Each is off by
    // default; hiding and click-through take effect only while the icon shows, the one way back.
    void trayicon_Click();
    void hidden_Click();
    void clickthrough_Click();
    void hidefullscreen_Click();
    // A left click on the notification-area icon: the window hides or comes back.
    void NotifyIcon_Click();
    void exit_Click();
    // Every way the window closes ends here: the exit command, the window's own close button or
    // message, the session ending. What the program does at exit goes here.
    void Form_QueryUnload();

    // State the front ends and the menu commands read.
    std::int32_t GraphMax() const noexcept { return m_graphMax; }
    std::int32_t ScaleKbps() const noexcept { return m_scaleKbps; }
    std::int32_t DownColor() const noexcept { return m_downColor; }
    std::int32_t UpColor() const noexcept { return m_upColor; }
    std::int32_t BackColor() const noexcept { return m_backColor; }
    std::int32_t Picture2BackColor() const noexcept { return m_pictureBackColor; }
    std::int32_t ForeColor() const noexcept { return m_foreColor; }
    TwipsRect Picture2Bounds() const noexcept { return m_picture; }
    bool Dragging() const noexcept { return m_dragging; }
    bool Resizing() const noexcept { return m_resizing; }
    const InterfaceSelection& Interfaces() const noexcept { return m_interfaces; }
    DisplayUnit Units() const noexcept { return m_units; }
    bool Locked() const noexcept { return m_locked; }
    bool IconShown() const noexcept { return m_iconShown; }

    // The tooltip's text, for the front end to show over the window: nothing while a drag or a
    // corner resize is under way. It is built only when asked, while the tooltip shows.
    std::optional<std::string> TooltipText() const;
    // The tooltip is about to show, or asks again while it shows: its text, or none (it hides).
    std::optional<std::string> Tooltip_Query();
    // The tooltip went away (the pointer left, or the system hid it).
    void Tooltip_Hidden() noexcept { m_tooltipShown = false; }

    // One graph step with these kilobit values (upload first).
    void DrawGraph(double up, double down);
    // The gradient over the whole surface, from the window's back colour at the top to the
    // surface's at the bottom; it erases the graph.
    void PaintBackground();

 private:
    std::int16_t StartupOpacity() const;
    void RestorePlace();
    void KeepOnScreen(TwipsRect& place);
    void RestoreScale();
    void RestoreColours();
    void RestoreLanguage();
    void ShowFirstRunMessage();
    void RestoreTopmost();
    void RestoreInterfaces();
    void RestoreUnitsAndLock();
    void RestoreOutOfTheWay();
    void ReadPlan();
    bool OutOfTheWay() const noexcept;
    void ShowUnlessOutOfTheWay();
    void ShowReadouts();
    void ShowRateReadouts();
    std::string MaximumText() const;
    void SelectInterfaces(InterfaceSelection selection);
    void FillInterfaceMenu();
    void SetBounds(const TwipsRect& bounds);
    void PlaceUploadReadout();
    bool PlaceLocked() const noexcept { return m_locked || m_clickThroughOn; }
    bool AreaAvailable() const;
    void ApplyIcon(bool available);
    void AskAreaForMenu();
    void ApplyClickThrough();
    void ApplyVisibility();
    void SetFlag(MenuItem item, const SettingKey& key, bool& flag, bool on);
    void WatchDesktop();
    void RefreshIconText();
    void CheckQuota();
    void RunDeferred();
    void OpenUsage();
    bool InGrip(float x, float y) const;
    bool TooltipAvailable() const noexcept;
    void RefreshTooltip();
    bool RaiseGraphMax(double up, double down);
    void CheckOnly(MenuItem checked);
    PixelRect ToPixels(const TwipsRect& twips) const;
    PixelRect PlaceInPixels() const;
    std::int32_t YPixels(double twips) const;

    MainWindowPorts m_ports;
    SettingsStore m_store;
    UnsupportedNotice m_notice;
    std::shared_ptr<CIpUpdate> IP;
    TickResult m_tick;  // what the sampler read in the last tick, filled by it in place

    std::int32_t m_graphMax = 128;
    std::int32_t m_scaleKbps = -1;
    std::int32_t m_downColor = 255;
    std::int32_t m_upColor = 65535;
    std::int32_t m_backColor = kDesignBackColour;
    std::int32_t m_pictureBackColor = kDesignPictureBackColour;
    std::int32_t m_foreColor = kDesignForeColour;
    std::int32_t m_barX = 0;
    TwipsRect m_picture{0, 0, 2685, 1185};
    InterfaceSelection m_interfaces;
    DisplayUnit m_units = DisplayUnit::Kilobits;
    bool m_locked = false;
    Rate m_down, m_up;  // the read-outs' last rates, kept for a change of unit
    std::string m_downText, m_upText;  // and their texts, as shown
    bool m_ticked = false;  // the read-outs show a tick, not their design texts
    bool m_usageLoaded = false;  // the log is read once, at the first start-up, not at its re-runs
    TickBytes m_sinceStart;  // what the counted interfaces moved since the program started
    std::vector<std::string> m_menuInterfaces;  // the names of the last popup's interface items
    WindowPlace m_place;
    int m_ticks = 0;  // ticks under way: a tick's message pump may run the next one inside it
    bool m_paintPending = false;  // a tick held a change back
    bool m_tooltipShown = false;  // the tooltip's last query gave text and it has not gone since
    bool m_captured = false;      // a press on Picture2 holds the pointer

    // The notification-area icon and the window out of the way: what the user chose (the stored
    // keys), and what is in effect, as the window and the icon were last told.
    bool m_trayIcon = false;
    bool m_hidden = false;
    bool m_clickThrough = false;
    bool m_hideFullScreen = false;
    bool m_areaAvailable = false;   // the desktop had a notification area when last asked
    bool m_iconShown = false;
    bool m_clickThroughOn = false;
    bool m_fullScreen = false;      // the last tick found a full-screen program over the window
    bool m_windowHidden = false;
    IconTexts m_iconTexts;  // their storage kept from tick to tick

    // The data plan, read at start-up and when the usage dialog may have changed it.
    int m_quota = kNoQuota;
    int m_periodStart = kFirstPeriodStart;
    QuotaAlert m_quotaAlert;
    std::optional<QuotaNotice> m_quotaNotice;  // due, given when the tick is over

    int m_menuCalls = 0;         // menu calls under way: the timer is off
    bool m_usageAsked = false;   // the usage dialog opens when no menu call or tick is under way
    bool m_usageOpen = false;

    bool m_dragging = false;
    bool m_resizing = false;
    float m_dragStartX = 0;
    float m_dragStartY = 0;
};

}  // namespace tg
