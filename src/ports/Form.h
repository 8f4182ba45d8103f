#pragma once
// The main window as the portable code sees it: a borderless top-level window whose geometry is in
// twips, with its labels, timer, menu check marks and cursor. The front end converts to pixels
// with the screen's real twips per pixel, and calls frmMain's handlers for the window's events.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/Twips.h"

namespace tg {

enum class Cursor { Default = 0, SizeNwse = 8 };

// The menu's fixed items; mainwindow/MenuTree places and names them. InterfacesAuto is 自动 at the
// top of the 网络接口 submenu, whose other items are the interfaces of the moment
// (InterfaceMenuEntry). New items go at the end: Windows keeps their numbers as command ids.
enum class MenuItem {
    ontop, Kbps128, Kbps256, Kbps512, Kbps1024, Kbps2048, KbpsAuto, abt, opt, exit, InterfacesAuto,
    locked, UnitsKilobits, UnitsBits, UnitsBytes, usage, trayicon, hidden, clickthrough, hidefullscreen,
    LanguageChinese, LanguageEnglish,
};
inline constexpr MenuItem kLastMenuItem = MenuItem::LanguageEnglish;

// One interface item of the 网络接口 submenu, below 自动 and a separator.
struct InterfaceMenuEntry {
    std::string caption;
    bool checked = false;
    bool separatorBefore = false;  // the first of the interfaces kept out of the way
};

enum class LabelId { Label1, Label9, Label10 };

class Form {
 public:
    virtual ~Form() = default;

    // Outer bounds of the window (borderless: the client area) in twips.
    virtual TwipsRect Bounds() const = 0;
    // Moves and sizes the window in one operation. The front end reports back through
    // frmMain::Form_Placed, which knows the report for its own request.
    virtual void Move(const TwipsRect& bounds) = 0;
    // Takes these bounds as the window's own without placing it: the system has put it there.
    virtual void Adopt(const TwipsRect& bounds) = 0;
    // Places the surface Picture2 inside the window: at `pixels` (x, y), its image cx by cy.
    virtual void PlaceSurface(const TwipsRect& bounds, const PixelRect& pixels) = 0;
    // The size in pixels of everything the screens show together (cx by cy).
    virtual PixelRect ScreenPixels() const = 0;
    // Paints what changed while a tick held the window's paints (frmMain::Form_Changed said no):
    // once, now or as the window's next paint.
    virtual void Repaint() = 0;

    virtual void Show() = 0;
    // Takes the window off the screen without closing it; Show brings it back.
    virtual void Hide() = 0;
    // Every click passes through the window to the one beneath it.
    virtual void SetClickThrough(bool through) = 0;
    // HWND_TOPMOST with this place and size in pixels; the window is not activated.
    virtual void MakeTopmost(const PixelRect& pixels) = 0;
    // HWND_TOPMOST (topmost) or HWND_BOTTOM (behind every other window) at this place; the size
    // is left as it is (SWP_NOSIZE), and the window may be activated.
    virtual void SetStacking(bool topmost, const PixelRect& place) = 0;
    // Layered with this alpha (0 transparent .. 255 opaque).
    virtual void SetAlpha(std::uint8_t level) = 0;
    // The window's own back colour shows in the strip below the surface.
    virtual void SetBackColour(std::int32_t colour) = 0;

    virtual void SetLabelText(LabelId label, std::string_view text) = 0;
    virtual void SetLabelPosition(LabelId label, float left, float top) = 0;
    virtual void SetLabelVisible(LabelId label, bool visible) = 0;
    virtual void SetLabelColour(LabelId label, std::int32_t colour) = 0;
    // The label's width in twips, which follows its text.
    virtual float LabelWidth(LabelId label) const = 0;

    virtual void SetCursor(Cursor cursor) = 0;
    // While captured the window gets the pointer's events wherever the pointer is (frmMain::Form_Pointer).
    virtual void CapturePointer(bool captured) = 0;
    virtual void SetTimerEnabled(bool enabled) = 0;
    virtual void SetMenuChecked(MenuItem item, bool checked) = 0;
    virtual bool MenuChecked(MenuItem item) const = 0;
    // An item that cannot be picked now shows greyed, with `why` as its tooltip; enabled, none.
    virtual void SetMenuEnabled(MenuItem item, bool enabled, std::string_view why) = 0;
    // Every fixed item and submenu shows its caption again, in the language picked now (Texts).
    virtual void RelabelMenu() = 0;
    // Replaces the interface items of the 网络接口 submenu. Picking one calls
    // frmMain::Interface_Click with its position in `entries`.
    virtual void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) = 0;
    // The tooltip over the window shows frmMain::Tooltip_Query(), asked for when it is about to
    // show; it reports frmMain::Tooltip_Hidden() when it goes. While it shows, Refresh asks for the
    // text again and Hide takes it away.
    virtual void RefreshTooltip() = 0;
    virtual void HideTooltip() = 0;
    // Pops the menu up at the pointer; returns when it closes (after the picked item's handler ran).
    virtual void PopupMenu() = 0;
    // Unloads the window: it leaves the screen and the message loop ends. It runs no handler:
    // frmMain::Form_QueryUnload, the one way out, calls it.
    virtual void Close() = 0;
};

}  // namespace tg
