#include "platform/gtk/GtkColourDialog.h"

#include <algorithm>
#include <cmath>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

namespace {

constexpr const char* kTitle = "\xE9\xA2\x9C\xE8\x89\xB2";  // 颜色

std::int32_t Channel(double value) {
    return static_cast<std::int32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

}  // namespace

GdkRGBA RgbaFromColour(std::int32_t colour) {
    return {(colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0, 1.0};
}

std::int32_t ColourFromRgba(const GdkRGBA& rgba) {
    return Channel(rgba.red) | Channel(rgba.green) << 8 | Channel(rgba.blue) << 16;
}

bool GtkColourDialog::Choose(ColourRequest& request) {
    const OwnedWidget dialog = OwnWidget(gtk_color_chooser_dialog_new(kTitle, m_parent));
    GtkColorChooser* chooser = GTK_COLOR_CHOOSER(dialog.get());
    gtk_window_set_modal(GTK_WINDOW(dialog.get()), TRUE);
    gtk_color_chooser_set_use_alpha(chooser, FALSE);
    if (request.flags & kRgbInit) {
        const GdkRGBA initial = RgbaFromColour(request.rgbResult);
        gtk_color_chooser_set_rgba(chooser, &initial);
    }
    if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_OK) return false;
    GdkRGBA chosen;
    gtk_color_chooser_get_rgba(chooser, &chosen);
    request.rgbResult = ColourFromRgba(chosen);
    return true;
}

}  // namespace tg
