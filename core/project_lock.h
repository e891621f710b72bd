#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace qw {

/// An advisory lock on one project, held while a save, a build or a browser document
/// writes files: an flock on "<project file>.lock" beside the project file. Two programs
/// (the window's automatic save and a command-line build, or two command-line runs) thus
/// never write one project at once. Within one process the lock is counted, so a build
/// that saves first takes it twice without waiting for itself.
class ProjectLock {
public:
    /// Takes the lock, waiting up to wait for another program to let it go. Throws
    /// FileError("Project is busy: ...") when it does not, and FileError("Unable to write
    /// to %s") when the lock file cannot be made.
    explicit ProjectLock(const std::filesystem::path& projectPath,
                         std::chrono::milliseconds wait = kDefaultWait);
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    /// The lock file of a project.
    static std::filesystem::path lockPath(const std::filesystem::path& projectPath);
    /// The message given when another program holds the lock.
    static std::string busyText(const std::filesystem::path& projectPath);

private:
    std::string m_key;
};

} // namespace qw
