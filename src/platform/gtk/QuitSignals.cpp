#include "platform/gtk/QuitSignals.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <utility>
#include <vector>

namespace tg {

namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

// The pipe's write end while a watch is on: the only state the handler reads, so it must be a
// lock-free global.
std::atomic<int> g_writeFd{-1};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
static_assert(std::atomic<int>::is_always_lock_free);

void OnSignal(int signal) {
    const int saved = errno;
    const int fd = g_writeFd.load();
    const auto byte = static_cast<unsigned char>(signal);
    if (fd >= 0) {
        // A full pipe already holds a signal the main loop has yet to read: one more adds nothing.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

// One pipe and one pair of handlers for the process, on while anyone listens.
struct QuitSignals::Watch {
    std::array<int, 2> pipe{-1, -1};
    guint source = 0;
    std::array<struct sigaction, kSignals.size()> previous{};
    std::vector<QuitSignals*> listeners;

    bool Start() {
        if (pipe2(pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
            // Only when the process is out of descriptors; the signals then end it as before.
            (void)std::fprintf(stderr, "tidegauge: cannot watch for the end of the session: %s\n", g_strerror(errno));
            return false;
        }
        source = g_unix_fd_add(pipe[0], G_IO_IN, OnReadable, this);
        g_writeFd.store(pipe[1]);
        struct sigaction action {};
        action.sa_handler = OnSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous[i]);
        return true;
    }

    void Stop() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous[i], nullptr);
        g_writeFd.store(-1);
        g_source_remove(source);
        close(pipe[0]);
        close(pipe[1]);
        pipe = {-1, -1};
    }

    static gboolean OnReadable(gint fd, GIOCondition /*condition*/, gpointer p) {
        std::array<unsigned char, 16> bytes{};
        bool signalled = false;
        while (read(fd, bytes.data(), bytes.size()) > 0) signalled = true;
        const auto& listeners = static_cast<Watch*>(p)->listeners;
        if (signalled && !listeners.empty()) listeners.back()->m_onQuit();
        return G_SOURCE_CONTINUE;
    }
};

QuitSignals::Watch& QuitSignals::TheWatch() {
    static Watch watch;
    return watch;
}

QuitSignals::QuitSignals(std::function<void()> onQuit) : m_onQuit(std::move(onQuit)) {
    Watch& watch = TheWatch();
    if (watch.listeners.empty() && !watch.Start()) return;
    watch.listeners.push_back(this);
}

QuitSignals::~QuitSignals() {
    Watch& watch = TheWatch();
    const auto mine = std::find(watch.listeners.begin(), watch.listeners.end(), this);
    if (mine == watch.listeners.end()) return;
    watch.listeners.erase(mine);
    if (watch.listeners.empty()) watch.Stop();
}

}  // namespace tg
