#include "platform/linux/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

namespace tg {

namespace {

constexpr const char* kLockName = "tidegauge.lock";

// The runtime folder's contract (private to the user, on this machine) is what a lock wants; a home
// folder may be shared by machines over the network. A folder of our own in /tmp stands in for it.
std::string RuntimeDir() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && xdg[0] == '/') return xdg;
    std::string dir = "/tmp/tidegauge-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat st {};
    // A folder of that name that someone else made must not decide whether we run.
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    return dir;
}

}  // namespace

std::string InstanceLock::DefaultPath() {
    const std::string dir = RuntimeDir();
    if (dir.empty()) return "/tmp/tidegauge-" + std::to_string(getuid()) + ".lock";
    return dir + "/" + kLockName;
}

InstanceLock::InstanceLock(std::string path) : m_path(std::move(path)) {}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) close(m_fd);
}

bool InstanceLock::Acquire() {
    if (m_held) return true;
    if (m_fd < 0) m_fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) return true;
    int result = 0;
    do {
        result = flock(m_fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    m_held = result == 0;
    return m_held;
}

}  // namespace tg
