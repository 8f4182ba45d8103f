#include "platform/gtk/GtkColourDialog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "common/Texts.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

std::int32_t Channel(double value) {
    return static_cast<std::int32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

struct VariantUnref {
    void operator()(GVariant* value) const noexcept { g_variant_unref(value); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

// Where the chooser keeps its custom colours and its last choice: the user's settings, shared with
// every GTK program. For one call both start empty (the chooser turns a kept choice into a custom
// colour as it opens), as the call's own custom colours do on Windows; when the call ends, both
// are put back as they were, so the colours the user keeps for other programs survive and the
// ones defined here do not reach the next call.
class ChooserSettingsKept {
 public:
    ChooserSettingsKept() {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        GSettingsSchema* schema =
            source ? g_settings_schema_source_lookup(source, "org.gtk.Settings.ColorChooser", TRUE) : nullptr;
        if (!schema) return;  // then GTK keeps nothing either
        m_settings.reset(g_settings_new_full(schema, nullptr, nullptr));
        g_settings_schema_unref(schema);
        for (std::size_t i = 0; i < kKeys.size(); ++i)
            m_kept[i].reset(g_settings_get_user_value(m_settings.get(), kKeys[i]));
        g_settings_set_value(m_settings.get(), "custom-colors",
                             g_variant_new_array(G_VARIANT_TYPE("(dddd)"), nullptr, 0));
        g_settings_set(m_settings.get(), "selected-color", "(bdddd)", FALSE, 1.0, 1.0, 1.0, 1.0);
    }
    ~ChooserSettingsKept() {
        if (!m_settings) return;
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            if (m_kept[i]) {
                g_settings_set_value(m_settings.get(), kKeys[i], m_kept[i].get());
            } else {
                g_settings_reset(m_settings.get(), kKeys[i]);  // the user had never set it
            }
        }
        g_settings_sync();
    }
    ChooserSettingsKept(const ChooserSettingsKept&) = delete;
    ChooserSettingsKept& operator=(const ChooserSettingsKept&) = delete;

 private:
    static constexpr std::array<const char*, 2> kKeys = {"custom-colors", "selected-color"};
    GObjectPtr<GSettings> m_settings;
    std::array<VariantPtr, kKeys.size()> m_kept;
};

}  // namespace

GdkRGBA RgbaFromColour(std::int32_t colour) {
    return {(colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0, 1.0};
}

std::int32_t ColourFromRgba(const GdkRGBA& rgba) {
    return Channel(rgba.red) | Channel(rgba.green) << 8 | Channel(rgba.blue) << 16;
}

bool GtkColourDialog::Choose(ColourRequest& request) {
    const ChooserSettingsKept kept;  // outlives the dialog, which may store its choices as it goes
    UseDesktopTheme();
    InstallAppIcon();
    const OwnedWidget dialog = OwnWidget(gtk_color_chooser_dialog_new(Text(TextId::ColourTitle), m_parent));
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
