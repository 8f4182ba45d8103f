#pragma once
// One running copy per user session: an exclusive flock on a file in the user's runtime folder,
// held by the process until it ends. The kernel drops the lock with the process, however it ends,
// so a crash never leaves a stale lock behind.
#include <string>

namespace tg {

class InstanceLock {
 public:
    explicit InstanceLock(std::string path = DefaultPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object holds the lock, now or from an earlier call; false while another
    // process (or another InstanceLock) holds it. When the file cannot be opened at all, nothing
    // can be known about other copies and this copy runs: also true.
    bool Acquire();

    // $XDG_RUNTIME_DIR/tidegauge.lock when that is an absolute path, else a private folder
    // /tmp/tidegauge-<uid>, made (0700) when missing. Read afresh at every call.
    static std::string DefaultPath();

 private:
    std::string m_path;
    int m_fd = -1;
    bool m_held = false;
};

}  // namespace tg
