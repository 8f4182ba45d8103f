// The GTK tests need a display; with-xvfb.sh gives them one of their own.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>

#include "platform/gtk/PlainTheme.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    gdk_set_allowed_backends("x11");
    // As the program starts: the main window under the plain theme, the rest under the desktop's.
    tg::StartWithPlainTheme();
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "FAIL: no X display; run this under tests/e2e/with-xvfb.sh\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
