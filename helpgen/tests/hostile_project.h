#pragma once

// A copy of the sample project in a temporary folder, a folder of files outside it and a
// fake compiler, for the tests that plant links and the author's own files where the
// build and the browser document write.

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/project_lock.h"
#include "core/tests/test_util.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qw::test {

namespace fs = std::filesystem;

class HostileProject {
public:
    HostileProject() {
        fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", dir, fs::copy_options::recursive);
        fs::create_directories(outside);
        writeFileBytes(outside / "secret.htm", "<p>not the project's</p>");
        const std::string compiler = m_tmp.dir() + "tools/chmcmd";
        fs::create_directories(m_tmp.path() / "tools");
#ifdef QW_FAKE_CHMCMD
        // A compiler that writes a real (small) compiled document, which the build checks.
        writeFileBytes(compiler, std::string("#!/bin/sh\nexec '") + QW_FAKE_CHMCMD + "' \"$1\"\n");
#else
        writeFileBytes(compiler, "#!/bin/sh\n: > \"$(basename \"$1\" .hhp).chm\"; echo compiled\n");
#endif
        fs::permissions(compiler, fs::perms::owner_all);
        IniFile(config).writeString("ENVIRONMENT_PROPERTIES", "HHWorkShopPath", compiler);
        const IniFile project(projectPath());
        for (int i = 0; i < project.readInteger("CHAPTER_FILES", "NumOfChapters", 0); ++i)
            m_chapters.push_back(toSlashes(
                project.readString("CHAPTER_FILES", "ChapterFileName" + std::to_string(i), "")));
    }

    std::string projectPath() const { return (dir / "sample.qwr").string(); }

    /// Writes a chapter of one topic whose page is topicFile and lists it in the project.
    void addChapter(const std::string& relative, const std::string& topicFile) {
        const std::string sep(50, '-');
        fs::create_directories((dir / relative).parent_path());
        writeLines(dir / relative,
                   {"<html><head><title>_Title_</title></head><body>",
                    sep + "<font size=\"-2\"><br>",
                    "Title='Added " + topicFile + "' <br>KeyWords='' <!-- FileName='" + topicFile +
                        "' - Icon='10' - BgImage='' - BgColour='$FFFFFF' - Related=''--> ",
                    "<br></font>" + sep, "<p>Added</p>", "</body></html>"});
        IniFile project(projectPath());
        const std::string n = std::to_string(m_chapters.size());
        project.writeString("CHAPTER_FILES", "ChapterTitle" + n, "Added " + relative);
        project.writeString("CHAPTER_FILES", "ChapterFileName" + n, toBackslashes(relative));
        m_chapters.push_back(relative);
        project.writeInteger("CHAPTER_FILES", "NumOfChapters", int(m_chapters.size()));
    }

    /// Every chapter file with its bytes ("missing" for one that is gone).
    std::map<std::string, std::string> chapters() const {
        std::map<std::string, std::string> files;
        for (const std::string& chapter : m_chapters)
            files[chapter] = fileExists(dir / chapter) ? readFileBytes(dir / chapter) : "missing";
        return files;
    }
    /// Every file outside the project with its bytes.
    std::map<std::string, std::string> outsideFiles() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(outside))
            if (entry.is_regular_file())
                files[entry.path().string()] = readFileBytes(entry.path());
        return files;
    }

private:
    TempDir m_tmp;

public:
    fs::path dir = m_tmp.path() / "proj";
    fs::path outside = m_tmp.path() / "outside";
    fs::path config = m_tmp.path() / "quirew.cfg";

private:
    std::vector<std::string> m_chapters;
};

/// Another program holding a project's lock: a child process that takes it and waits
/// until the holder ends it.
class LockHolder {
public:
    explicit LockHolder(const fs::path& projectPath) {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd =
                ::open(ProjectLock::lockPath(projectPath).c_str(), O_RDWR | O_CREAT, 0644);
            if (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(ready[1], "x", 1) == 1)
                ::pause();
            ::_exit(0);
        }
        char byte = 0;
        m_held = m_pid > 0 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool held() const { return m_held; }

private:
    pid_t m_pid = -1;
    bool m_held = false;
};

} // namespace qw::test
