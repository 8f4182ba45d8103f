#include "platform/gtk/QuitSignals.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace tg {

namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

// The write end of the newest pipe: the only state the handler reads, so it must be lock-free.
// A signal handler reaches nothing but globals.
std::atomic<int> g_writeFd{-1};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onQuit) : m_onQuit(std::move(onQuit)) {
    if (pipe2(m_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        // Only when the process is out of descriptors; the signals then end it as they would anyway.
        (void)std::fprintf(stderr, "tidegauge: cannot watch for the end of the session: %s\n", g_strerror(errno));
        return;
    }
    m_source = g_unix_fd_add(m_pipe[0], G_IO_IN, OnReadable, this);
    m_previousFd = g_writeFd.exchange(m_pipe[1]);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &m_previous[i]);
}

QuitSignals::~QuitSignals() {
    if (m_pipe[0] < 0) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &m_previous[i], nullptr);
    g_writeFd.store(m_previousFd);
    g_source_remove(m_source);
    close(m_pipe[0]);
    close(m_pipe[1]);
}

void QuitSignals::OnSignal(int signal) {
    const int saved = errno;
    const int fd = g_writeFd.load();
    const auto byte = static_cast<unsigned char>(signal);
    if (fd >= 0) {
        // A full pipe already holds a signal the main loop has yet to read: one more adds nothing.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = saved;
}

gboolean QuitSignals::OnReadable(gint fd, GIOCondition /*condition*/, gpointer p) {
    std::array<unsigned char, 16> bytes{};
    bool signalled = false;
    while (read(fd, bytes.data(), bytes.size()) > 0) signalled = true;
    if (signalled) static_cast<QuitSignals*>(p)->m_onQuit();
    return G_SOURCE_CONTINUE;
}

}  // namespace tg
