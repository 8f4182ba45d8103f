#pragma once
#include <functional>

namespace tg {

// SIGTERM and SIGHUP (a session that ends, a terminal that hangs up) handed to the main loop as a
// call. GLib's own signal sources start its worker thread for them, whose stack and buffers cost
// 12 to 16 KiB of private memory for as long as the program runs; a handler that writes the signal
// into a pipe the main loop watches needs no thread. While several are alive (tests make windows
// inside windows) the newest is called; with none left, the signals end the process again.
class QuitSignals {
 public:
    explicit QuitSignals(std::function<void()> onQuit);
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

 private:
    struct Watch;
    static Watch& TheWatch();

    std::function<void()> m_onQuit;
};

}  // namespace tg
