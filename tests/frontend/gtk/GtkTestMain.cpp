// The GTK tests need a display; with-xvfb.sh gives them one of their own.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "FAIL: no X display; run this under tests/e2e/with-xvfb.sh\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
