#pragma once
// Helpers of the GTK-only tests that run against a real X server (under with-xvfb.sh).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "Pixels.h"

namespace tg::test {

using namespace std::chrono_literals;

inline Rgb PixelOf(GdkPixbuf* pixbuf, int x, int y) {
    const guchar* p = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                      x * gdk_pixbuf_get_n_channels(pixbuf);
    return {p[0], p[1], p[2]};
}

// The first mapped toplevel window that satisfies `match`, or null.
inline GtkWindow* FindToplevel(const std::function<bool(GtkWindow*)>& match) {
    GList* windows = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next) {
        auto* window = GTK_WINDOW(w->data);
        if (gtk_widget_get_mapped(GTK_WIDGET(window)) && match(window)) found = window;
    }
    g_list_free(windows);
    return found;
}

// Steps run in turn from the main loop while a modal dialog holds it: each waits for its window,
// then acts on it. Whatever is still open when time runs out is closed, so a test fails rather
// than hangs.
class Script {
 public:
    using Find = std::function<GtkWindow*()>;
    using Act = std::function<void(GtkWindow*)>;

    Script() : m_end(std::chrono::steady_clock::now() + 10s) { m_source = g_timeout_add(20, OnTick, this); }
    ~Script() {
        if (m_source) g_source_remove(m_source);
    }
    Script& Then(Find find, Act act) {
        m_steps.push_back({std::move(find), std::move(act)});
        return *this;
    }
    bool Done() const { return m_next == m_steps.size(); }

 private:
    struct Step {
        Find find;
        Act act;
    };
    static void CloseDialogs() {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next)
            if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data)))
                gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
        g_list_free(windows);
    }
    static gboolean OnTick(gpointer p) {
        auto* self = static_cast<Script*>(p);
        if (!self->Done() && std::chrono::steady_clock::now() > self->m_end) {
            ADD_FAILURE() << "step " << self->m_next + 1 << " never found its window";
            CloseDialogs();
        }
        if (self->Done() || std::chrono::steady_clock::now() > self->m_end) {
            self->m_source = 0;
            return G_SOURCE_REMOVE;
        }
        Step& step = self->m_steps[self->m_next];
        if (GtkWindow* window = step.find()) {
            ++self->m_next;
            step.act(window);
        }
        return G_SOURCE_CONTINUE;
    }

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    std::chrono::steady_clock::time_point m_end;
    guint m_source = 0;
};

}  // namespace tg::test
