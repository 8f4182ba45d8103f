#pragma once
#include <glib.h>

#include <array>
#include <csignal>
#include <functional>

namespace tg {

// SIGTERM and SIGHUP (a session that ends, a terminal that hangs up) handed to the main loop as a
// call. GLib's own signal sources would start its worker thread for them, which costs more memory
// than anything else here; a handler that writes the signal into a pipe the main loop watches needs
// no thread. While several are alive (tests make windows inside windows) the newest receives the
// signals, and the one before it again once the newest goes.
class QuitSignals {
 public:
    explicit QuitSignals(std::function<void()> onQuit);
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

 private:
    static void OnSignal(int signal);
    static gboolean OnReadable(gint fd, GIOCondition condition, gpointer p);

    std::function<void()> m_onQuit;
    std::array<int, 2> m_pipe{-1, -1};
    int m_previousFd = -1;
    guint m_source = 0;
    std::array<struct sigaction, 2> m_previous{};
};

}  // namespace tg
