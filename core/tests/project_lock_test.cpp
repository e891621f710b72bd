#include "core/project_lock.h"

#include "core/file_io.h"
#include "core/tests/test_util.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qw {
namespace {

using namespace std::chrono_literals;

/// Another process holding the project's lock until it is told to let go.
class OtherHolder {
public:
    explicit OtherHolder(const std::filesystem::path& project) {
        int ready[2], release[2];
        EXPECT_EQ(::pipe(ready), 0);
        EXPECT_EQ(::pipe(release), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(ProjectLock::lockPath(project).c_str(), O_RDWR | O_CREAT, 0644);
            ::flock(fd, LOCK_EX);
            char c = 1;
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release[0], &c, 1);
            ::_exit(0);
        }
        char c;
        EXPECT_EQ(::read(ready[0], &c, 1), 1);
        m_release = release[1];
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(release[0]);
    }
    void letGo() {
        if (m_pid <= 0)
            return;
        char c = 1;
        (void)!::write(m_release, &c, 1);
        ::close(m_release);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    ~OtherHolder() { letGo(); }

private:
    pid_t m_pid = -1;
    int m_release = -1;
};

TEST(ProjectLockTest, SecondProgramIsToldTheProjectIsBusy) {
    test::TempDir dir;
    const auto project = dir.path() / "p.qwr";
    OtherHolder other(project);
    try {
        ProjectLock lock(project, 100ms);
        FAIL() << "the lock was taken twice";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), ProjectLock::busyText(project));
        EXPECT_NE(std::string(e.what()).find("busy"), std::string::npos);
    }
    other.letGo();
    EXPECT_NO_THROW(ProjectLock lock(project, 100ms));
}

TEST(ProjectLockTest, NestedLocksInOneProgramDoNotWaitForThemselves) {
    test::TempDir dir;
    const auto project = dir.path() / "p.qwr";
    {
        ProjectLock outer(project, 100ms);
        ProjectLock inner(project, 100ms);
    }
    // Both are released: another process can take it now.
    const int fd = ::open(ProjectLock::lockPath(project).c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

TEST(ProjectLockTest, LockFileThatCannotBeMadeIsAnError) {
    test::TempDir dir;
    const auto project = dir.path() / "missing-folder" / "p.qwr";
    EXPECT_THROW(ProjectLock lock(project, 100ms), FileError);
}

} // namespace
} // namespace qw
