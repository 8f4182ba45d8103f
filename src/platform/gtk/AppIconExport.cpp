// tidegauge-icon: writes the program's icon as PNG files for the desktop's icon theme, from the
// same drawing the running program gives its windows, so the menu and the window never differ.
//
//   tidegauge-icon OUTPUT-DIR SIZE...   writes OUTPUT-DIR/SIZExSIZE/tidegauge.png for each SIZE
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/gtk/AppIcon.h"

namespace {

bool ParseSize(std::string_view text, int& size) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), size);
    return ec == std::errc() && end == text.data() + text.size() && size > 0 && size <= 1024;
}

bool Write(const std::string& outputDir, int size) {
    const std::string side = std::to_string(size);
    const std::string path = outputDir + "/" + side + "x" + side + "/" + tg::kAppIconName + ".png";
    g_autoptr(GError) error = nullptr;
    if (!tg::WriteAppIcon(path, size, &error)) {
        (void)std::fprintf(stderr, "tidegauge-icon: cannot write %s: %s\n", path.c_str(),
                           error ? error->message : "no image");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        (void)std::fprintf(stderr, "usage: tidegauge-icon OUTPUT-DIR SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        int size = 0;
        if (!ParseSize(argv[i], size)) {
            (void)std::fprintf(stderr, "tidegauge-icon: '%s' is not a size in pixels\n", argv[i]);
            return 2;
        }
        if (!Write(argv[1], size)) return 1;
    }
    return 0;
}
