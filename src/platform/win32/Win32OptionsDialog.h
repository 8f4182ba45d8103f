#pragma once
// frmOptions' window on Windows: a fixed-size captioned window, owned by the main window, built
// from the portable description of its controls, each placed in twips converted with the real
// twips per pixel. It only translates: clicks, the box and the scroll bar's notifications become
// calls of frmOptions' handlers.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "ports/OptionsPorts.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

class frmOptions;

class Win32OptionsDialog final : public OptionsDialog {
 public:
    // Makes the window, hidden, centred on the screen; `owner` and `desktop` outlive it.
    Win32OptionsDialog(HWND owner, const Win32Desktop& desktop);
    ~Win32OptionsDialog() override;
    Win32OptionsDialog(const Win32OptionsDialog&) = delete;
    Win32OptionsDialog& operator=(const Win32OptionsDialog&) = delete;

    // The handlers the controls' events go to; none before this is called.
    void Attach(frmOptions& handlers) noexcept { m_handlers = &handlers; }

    HWND Handle() const noexcept { return m_window.get(); }
    // The control of that name ("Check1", "Picture3", "HScroll1", "Label6", ...), or null.
    HWND Control(std::string_view name) const;

    void CopyIconFromMainWindow() override;
    void SetCheck1(bool checked) override;
    bool Check1() const override;
    void SetScrollPosition(std::int16_t position) override;
    std::int16_t ScrollPosition() const override;
    void SetLabel6(std::string_view text) override;
    void SetSwatchColour(int n, std::int32_t colour) override;
    std::int32_t SwatchColour(int n) const override;
    // Runs a message loop of its own, the owner disabled, until the user closes the window.
    void ShowModal() override;

 private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void MakeControls(float tpp);
    void OnCommand(UINT id, UINT code);
    void OnScroll(UINT code, int thumb);
    LRESULT OnControlColour(HDC dc, HWND control) const;
    bool OnSetCursor(HWND over) const;
    void EndModal();

    HWND m_owner;
    const Win32Desktop& m_desktop;
    frmOptions* m_handlers = nullptr;
    std::array<std::int32_t, kSwatchCount> m_colours{};
    std::array<GdiObject<HBRUSH>, kSwatchCount> m_brushes;
    GdiObject<HFONT> m_font;
    bool m_modal = false;
    WindowHandle m_window;  // last: its children go with it before the brushes and the font
};

}  // namespace tg
