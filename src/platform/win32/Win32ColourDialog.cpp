#include "platform/win32/Win32ColourDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <array>

namespace tg {

static_assert(ColourDialog::kRgbInit == CC_RGBINIT, "the port's flags are the dialog's own");

bool Win32ColourDialog::Choose(ColourRequest& request) {
    std::array<COLORREF, 16> custom{};
    std::transform(request.customColours.begin(), request.customColours.end(), custom.begin(),
                   [](std::int32_t colour) { return static_cast<COLORREF>(colour); });
    CHOOSECOLORW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = reinterpret_cast<HWND>(request.owner);
    // The structure's instance field is declared as a window handle.
    chooser.hInstance = reinterpret_cast<HWND>(GetModuleHandleW(nullptr));
    chooser.rgbResult = static_cast<COLORREF>(request.rgbResult);
    chooser.lpCustColors = custom.data();
    chooser.Flags = request.flags;
    const BOOL chosen = ChooseColorW(&chooser);
    request.rgbResult = static_cast<std::int32_t>(chooser.rgbResult);
    return chosen != FALSE;
}

}  // namespace tg
