// What only the GTK front end has: text shaped straight from its glyphs, the picture through
// cairo and its copy on the X server, the drawn icon, the message box's icon, the desktop's
// monitors, the menu's widgets made late, and the colour chooser with GTK's shared list of custom
// colours. The behaviour both front ends share is tested once, in tests/frontend.
#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <functional>
#include <string>
#include <vector>

#include "GtkTestSupport.h"
#include "appearance/MiscCode.h"
#include "appearance/PixelSurface.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/CairoPicture.h"
#include "platform/gtk/ContextMenu.h"
#include "platform/gtk/GtkColourDialog.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkMessageBox.h"
#include "platform/gtk/ShapedText.h"

namespace tg {
namespace {

using test::PixelOf;
using test::Rgb;
using test::Script;

constexpr Rgb kRed{255, 0, 0}, kYellow{255, 255, 0};

bool Marked(GtkWidget* widget) {
    return GTK_IS_CHECK_MENU_ITEM(widget) && gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(widget));
}

// ---- read-out text through Pango and cairo (no display needed)

// The glyphs shaped straight from the text must draw, and measure, what a layout of it would:
// kerned pairs ("11", "AV"), the units, and text the shortcut leaves to the layout (not ASCII).
TEST(ShapedTextTest, DrawsAndMeasuresWhatALayoutWould) {
    const FontDescriptionPtr font(pango_font_description_from_string("Arial 8.25"));
    const auto image = [] { return CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 120, 24)); };
    const auto bytes = [](cairo_surface_t* s) {
        cairo_surface_flush(s);
        const auto* data = cairo_image_surface_get_data(s);
        return std::vector<unsigned char>(data, data + cairo_image_surface_get_stride(s) * 24);
    };
    const CairoSurfacePtr shapedImage = image(), layoutImage = image();
    const CairoPtr shapedCr(cairo_create(shapedImage.get())), layoutCr(cairo_create(layoutImage.get()));
    PangoLayout* shapedLayout = pango_cairo_create_layout(shapedCr.get());
    pango_layout_set_font_description(shapedLayout, font.get());
    ShapedText shaped(shapedLayout);
    const GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(layoutCr.get()));
    pango_layout_set_font_description(layout.get(), font.get());
    struct Case {
        const char* text;
        bool glyphs;
    };
    for (const Case c : {Case{"0 Kb", false}, Case{"D:1111kb", true}, Case{"U:7.7 Mb/s", true},
                         Case{"AV To Wa 128 Kb Max", true}, Case{"D:11 \u901f", false}, Case{"U:0kb", true}}) {
        SCOPED_TRACE(c.text);
        shaped.SetText(c.text);
        pango_layout_set_text(layout.get(), c.text, -1);
        for (cairo_t* cr : {shapedCr.get(), layoutCr.get()}) {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
        }
        shaped.Draw(shapedCr.get(), 3, 4);
        cairo_move_to(layoutCr.get(), 3, 4);
        pango_cairo_show_layout(layoutCr.get(), layout.get());
        int width = 0;
        pango_layout_get_pixel_size(layout.get(), &width, nullptr);
        EXPECT_EQ(shaped.UsesGlyphs(), c.glyphs) << "the first text teaches the font; ASCII after it takes glyphs";
        EXPECT_EQ(shaped.PixelWidth(), width);
        EXPECT_GT(width, 10);
        EXPECT_TRUE(bytes(shapedImage.get()) == bytes(layoutImage.get())) << "pixels differ";
    }
}

// ---- the picture's pixels through cairo

// Painted on an image, and on a pixmap of the X server, where the picture lives once painted there
// (at 100 % and at 200 %): after each step the pixels painted are those of the same calls on a
// picture in memory, and nothing around the picture is painted.
TEST(CairoPictureTest, PaintsWhatThePixelRulesDrawOnEveryKindOfSurface) {
    for (const int kind : {0, 1, 2}) {  // an image; the X server at 100 %, at 200 %
        SCOPED_TRACE(kind);
        const int scale = kind == 2 ? 2 : 1, w = 36 * scale, h = 16 * scale;
        const CairoSurfacePtr target(
            kind ? gdk_window_create_similar_surface(gdk_get_default_root_window(), CAIRO_CONTENT_COLOR, w, h)
                 : cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
        EXPECT_EQ(cairo_surface_get_type(target.get()), kind ? CAIRO_SURFACE_TYPE_XLIB : CAIRO_SURFACE_TYPE_IMAGE);
        cairo_surface_set_device_scale(target.get(), scale, scale);
        int changes = 0;
        CairoPicture picture([&] { ++changes; });
        PixelSurface expected(0, 0);
        const auto draw = [&](const std::function<void(Surface&)>& calls) {
            calls(picture);
            calls(expected);
        };
        const auto resize = [&](int width, int height) {
            picture.Resize(width, height);
            expected.Resize(width, height);
        };
        const auto wrongPixels = [&] {
            const CairoPtr cr(cairo_create(target.get()));
            cairo_set_source_rgb(cr.get(), 0, 0, 0);
            cairo_paint(cr.get());
            picture.Paint(cr.get(), 3, 2);
            cairo_surface_t* image = cairo_surface_map_to_image(target.get(), nullptr);
            int wrong = 0;
            for (int py = 0; py < h; ++py) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image) +
                                                                         py * cairo_image_surface_get_stride(image));
                for (int px = 0; px < w; ++px) {
                    const std::int32_t pixel = expected.Pixel(px / scale - 3, py / scale - 2);
                    wrong += (row[px] & 0xFFFFFF) != (pixel < 0 ? 0 : ColourToRgb(pixel));
                }
            }
            cairo_surface_unmap_image(target.get(), image);
            return wrong;
        };
        resize(30, 12);
        draw([](Surface& s) {  // too varied for a few fills: sent to the X server as pixels
            for (int y = 0; y < 12; ++y)
                for (int x = y % 2; x < 30; x += 2) s.Line(0x00FFFFFF, x, y, x, y + 1);
        });
        EXPECT_EQ(wrongPixels(), 0) << "chequered";
        draw([](Surface& s) { s.Clear(0x0080FFFF); });
        EXPECT_EQ(wrongPixels(), 0) << "cleared";
        draw([](Surface& s) {
            FillGradient(s, {0, 0, 30, 12}, 0x00FF0000, 0x000000FF, true);
            for (int tick = 0; tick < 40; ++tick) {
                s.ScrollLeft(450, 180);
                s.Line(0x000000FF, 26, 12, 26, 12 - tick % 9);
                s.Line(0x0000FF00, 26, 12, 26, 12 - tick % 5);
            }
        });
        EXPECT_EQ(wrongPixels(), 0) << "bars scrolled across a gradient";
        EXPECT_EQ(changes, 1 + 180 + 1 + 1 + 40 * 3) << "every drawing call asks for a repaint";
        draw([](Surface& s) {
            FillGradient(s, {10, 4, 20, 40}, 0x0000FF00, 0x00FF00FF, false);
            s.Line(0x00FFFF00, -5, -3, 40, 30);
            s.Line(0x00FF00FF, 5, 2'000'000'000, 5, -2'000'000'000);
        });
        EXPECT_EQ(wrongPixels(), 0) << "a gradient across, a slanting line, a far line";
        resize(24, 14);
        EXPECT_EQ(wrongPixels(), 0) << "resized";
    }
}

TEST(AppIconTest, TheBarsKeepTheirColours) {
    for (const int size : {32, 48, 64, 128}) {
        const GObjectPtr<GdkPixbuf> icon = DrawAppIcon(size);
        ASSERT_TRUE(icon);
        EXPECT_EQ(gdk_pixbuf_get_width(icon.get()), size);
        EXPECT_EQ(PixelOf(icon.get(), size * 34 / 100, size * 8 / 10), kRed) << size;
        EXPECT_EQ(PixelOf(icon.get(), size * 66 / 100, size * 8 / 10), kYellow) << size;
    }
}

// The one property taskbars read: each size, then its pixels as ARGB (Xlib reads them sign-extended).
TEST(AppIconTest, TheWindowsIconPropertyHoldsEverySize) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_realize(window);
    SetWindowIcon(gtk_widget_get_window(window));
    guchar* data = nullptr;
    gint length = 0;
    ASSERT_TRUE(gdk_property_get(gtk_widget_get_window(window), gdk_atom_intern_static_string("_NET_WM_ICON"),
                                 gdk_atom_intern_static_string("CARDINAL"), 0, 1 << 20, FALSE, nullptr, nullptr,
                                 &length, &data));
    const auto* longs = reinterpret_cast<const unsigned long*>(data);
    std::vector<unsigned long> seen;  // each size, its red bar's pixel, its yellow bar's
    for (std::size_t at = 0; at < length / sizeof(long); at += 2 + longs[at] * longs[at]) {
        const unsigned long size = longs[at], row = at + 2 + size * 8 / 10 * size;
        seen.insert(seen.end(), {size, longs[row + size * 34 / 100] & 0xFFFFFFFFu, longs[row + size * 66 / 100] & 0xFFFFFFFFu});
    }
    EXPECT_EQ(seen, (std::vector<unsigned long>{32, 0xFFFF0000, 0xFFFFFF00, 48, 0xFFFF0000, 0xFFFFFF00, 64, 0xFFFF0000,
                                               0xFFFFFF00, 128, 0xFFFF0000, 0xFFFFFF00}));
    g_free(data);
    gtk_widget_destroy(window);
}

// ---- the message box

// The images inside a widget, depth first, by their icon names.
void CollectIconNames(GtkWidget* widget, std::vector<std::string>& names) {
    if (GTK_IS_IMAGE(widget) && gtk_image_get_storage_type(GTK_IMAGE(widget)) == GTK_IMAGE_ICON_NAME) {
        const gchar* name = nullptr;
        gtk_image_get_icon_name(GTK_IMAGE(widget), &name, nullptr);
        if (name != nullptr && gtk_widget_get_visible(widget)) names.emplace_back(name);
    }
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c != nullptr; c = c->next) CollectIconNames(GTK_WIDGET(c->data), names);
        g_list_free(children);
    }
}

TEST(GtkMessageBoxTest, TheInformationIconShowsBesideTheTextAndOnlyWhenAskedFor) {
    const GtkMessageBox box(nullptr);
    std::vector<std::string> names;
    const OwnedWidget about = box.Build("About", "TideGauge", MessageIcon::Information);
    CollectIconNames(about.get(), names);
    EXPECT_EQ(names, std::vector<std::string>{"dialog-information"});
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(about.get())), "TideGauge");
    names.clear();
    const OwnedWidget plain = box.Build("Welcome", "TideGauge", MessageIcon::None);
    CollectIconNames(plain.get(), names);
    EXPECT_TRUE(names.empty());
}

// ---- the desktop

TEST(GtkDesktopTest, ScreenAndMonitorsInTwips) {
    GtkDesktop desktop;
    EXPECT_EQ(desktop.TwipsPerPixelX(), 15);
    EXPECT_EQ(desktop.TwipsPerPixelY(), 15);
    const TwipsRect screen = desktop.PrimaryScreen();
    EXPECT_EQ(screen.left, 0);
    EXPECT_EQ(screen.width, 1920 * 15);
    EXPECT_EQ(screen.height, 1080 * 15);
    TwipsRect found;
    EXPECT_TRUE(desktop.MonitorAt(25085, 13200, found));
    EXPECT_EQ(found.width, 1920 * 15);
    EXPECT_FALSE(desktop.MonitorAt(1920 * 15 + 15, 100, found)) << "right of the only monitor";
    EXPECT_FALSE(desktop.MonitorAt(-15, 100, found));
    EXPECT_FALSE(desktop.MonitorAt(1e30f, 0, found));
}

// The widgets are made when the menu is first needed: the marks set before then are on them.
TEST(GtkContextMenuTest, MarksSetBeforeTheMenuIsBuiltAreOnItsWidgets) {
    ContextMenu menu([](MenuItem) {}, [](std::size_t) {});
    menu.SetChecked(MenuItem::ontop, true);
    menu.SetChecked(MenuItem::KbpsAuto, true);
    menu.SetChecked(MenuItem::usage, true);  // a command: no mark to set
    EXPECT_TRUE(menu.Checked(MenuItem::ontop));
    EXPECT_FALSE(menu.Checked(MenuItem::usage));
    EXPECT_FALSE(menu.Checked(MenuItem::locked));
    EXPECT_TRUE(Marked(menu.Item(MenuItem::ontop)));
    EXPECT_TRUE(Marked(menu.Item(MenuItem::KbpsAuto)));
    EXPECT_FALSE(Marked(menu.Item(MenuItem::locked)));
}

// ---- the dialogs as the program opens them: modal, with the main loop held until they close

GtkWindow* ColourChooser() {
    return test::FindToplevel([](GtkWindow* w) { return GTK_IS_COLOR_CHOOSER_DIALOG(w); });
}

// A GSettings value as GVariant text, released; empty for none.
std::string VariantText(GVariant* value) {
    if (!value) return {};
    g_autofree gchar* text = g_variant_print(value, TRUE);
    g_variant_unref(value);
    return text;
}

void Answer(GtkWindow* chooser, GtkResponseType response, const GdkRGBA& colour = {}) {
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &colour);
    gtk_dialog_response(GTK_DIALOG(chooser), response);
}

TEST(GtkColourDialogTest, OpensAtTheRequestWithoutAlphaAndAnswersInColorref) {
    const OwnedWidget owner = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkColourDialog colours(GTK_WINDOW(owner.get()));
    ColourRequest request;
    request.rgbResult = 0x00336699;
    request.flags = ColourDialog::kRgbInit;
    GdkRGBA opened{};
    Script script;
    script.Then(ColourChooser, [&](GtkWindow* chooser) {
        EXPECT_EQ(gtk_window_get_transient_for(chooser), GTK_WINDOW(owner.get()));
        EXPECT_TRUE(gtk_window_get_modal(chooser));
        EXPECT_FALSE(gtk_color_chooser_get_use_alpha(GTK_COLOR_CHOOSER(chooser)));
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &opened);
        Answer(chooser, GTK_RESPONSE_OK, {0.999, 0.004, 0.5, 1});  // rounded, not cut: 255, 1, 128
    });
    EXPECT_TRUE(colours.Choose(request));
    EXPECT_EQ(ColourFromRgba(opened), 0x00336699) << "opened at the request's colour";
    EXPECT_EQ(request.rgbResult, 0x008001FF);

    for (const GtkResponseType response : {GTK_RESPONSE_CANCEL, GTK_RESPONSE_DELETE_EVENT}) {
        Script refuse;
        refuse.Then(ColourChooser, [&](GtkWindow* chooser) { Answer(chooser, response, {1, 1, 1, 1}); });
        request.rgbResult = 0;
        EXPECT_FALSE(colours.Choose(request)) << response;
        EXPECT_EQ(request.rgbResult, 0) << response;
        EXPECT_TRUE(refuse.Done());
    }
    EXPECT_TRUE(script.Done());
}

// The list GTK keeps for every program; GSETTINGS_BACKEND=memory keeps the user's own out of it.
TEST(GtkColourDialogTest, EachCallOpensWithoutCustomColoursAndLeavesTheSharedListAsItWas) {
    const GObjectPtr<GSettings> shared(g_settings_new("org.gtk.Settings.ColorChooser"));
    const auto value = [&](const char* key) { return VariantText(g_settings_get_value(shared.get(), key)); };
    const auto userSet = [&] { return !VariantText(g_settings_get_user_value(shared.get(), "custom-colors")).empty(); };
    GtkColourDialog colours(nullptr);
    for (const bool usersOwn : {false, true}) {
        if (usersOwn) {
            g_settings_set_value(shared.get(), "custom-colors", g_variant_new_parsed("[(0.1, 0.2, 0.3, 1.0)]"));
            g_settings_set_value(shared.get(), "selected-color", g_variant_new_parsed("(true, 0.7, 0.2, 0.3, 1.0)"));
        }
        const std::string custom = value("custom-colors"), selected = value("selected-color");
        const bool wasSet = userSet();
        for (int call = 1; call <= 2; ++call) {
            std::string opened, added;
            Script script;
            script.Then(ColourChooser, [&](GtkWindow* chooser) {
                opened = value("custom-colors");
                const GdkRGBA inNoPalette{0.9, 0.5, 0.1, 1};
                gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &inNoPalette);
                added = value("custom-colors");
                gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_OK);
            });
            ColourRequest request;
            EXPECT_TRUE(colours.Choose(request));
            EXPECT_TRUE(script.Done());
            EXPECT_EQ(opened, "@a(dddd) []") << "call " << call << ": no custom colour";
            EXPECT_NE(added.find("0.9"), std::string::npos) << "call " << call << ": " << added;
            EXPECT_EQ(value("custom-colors"), custom) << "call " << call;
            EXPECT_EQ(value("selected-color"), selected) << "call " << call;
            EXPECT_EQ(userSet(), wasSet) << "call " << call;
        }
    }
}

}  // namespace
}  // namespace tg
