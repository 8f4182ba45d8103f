#pragma once
// Desktop notifications on Linux, through the session's notification daemon. libnotify waits for
// the daemon's answer, which a busy or starting daemon gives late, so each notice is handed to a
// thread of its own pool and the caller goes on at once.
#include <glib.h>

#include <string_view>

#include "ports/NotifyIcon.h"

namespace tg {

class GtkNotifier final : public Notifier {
 public:
    GtkNotifier() = default;
    ~GtkNotifier() override;
    GtkNotifier(const GtkNotifier&) = delete;
    GtkNotifier& operator=(const GtkNotifier&) = delete;

    void Notify(std::string_view title, std::string_view text) override;

 private:
    struct Notice;
    static void Send(gpointer data, gpointer self);

    GThreadPool* m_pool = nullptr;  // none until the first notice
};

}  // namespace tg
