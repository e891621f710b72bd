#include "core/project_lock.h"

#include "core/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace qw {

namespace {

struct Held {
    int fd = -1;
    int count = 0;
};

/// Locks this process holds, by lock file: flock locks belong to an open file, so a
/// second open of the same file in this process would wait for itself.
std::mutex& heldMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::string, Held>& heldLocks() {
    static std::map<std::string, Held> locks;
    return locks;
}

/// Opens the lock file without following a link planted in its place.
int openLockFile(const fs::path& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
}

} // namespace

fs::path ProjectLock::lockPath(const fs::path& projectPath) {
    fs::path lock = fs::absolute(projectPath).lexically_normal();
    lock += ".lock";
    return lock;
}

std::string ProjectLock::busyText(const fs::path& projectPath) {
    return "Project is busy: another program is saving or building " +
           fs::absolute(projectPath).lexically_normal().string() +
           "; try again when it has finished";
}

ProjectLock::ProjectLock(const fs::path& projectPath, std::chrono::milliseconds wait) {
    const fs::path path = lockPath(projectPath);
    m_key = path.string();
    std::lock_guard<std::mutex> guard(heldMutex());
    Held& held = heldLocks()[m_key];
    if (held.count > 0) {
        ++held.count;
        return;
    }
    const int fd = openLockFile(path);
    if (fd < 0) {
        heldLocks().erase(m_key);
        throw FileError("Unable to write to " + path.string());
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            heldLocks().erase(m_key);
            throw FileError(busyText(projectPath));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    held.fd = fd;
    held.count = 1;
}

ProjectLock::~ProjectLock() {
    std::lock_guard<std::mutex> guard(heldMutex());
    auto it = heldLocks().find(m_key);
    if (it == heldLocks().end() || --it->second.count > 0)
        return;
    // The file stays: removing it would let a waiting program lock a file that is gone.
    ::flock(it->second.fd, LOCK_UN);
    ::close(it->second.fd);
    heldLocks().erase(it);
}

} // namespace qw
