#include "core/chapter_commit.h"

#include "core/file_io.h"

#include <algorithm>
#include <map>
#include <set>

#include <unistd.h>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// One chapter's files during the replacement.
struct Staged {
    fs::path target;
    fs::path fresh; ///< the new text, until it is renamed over the target
    fs::path kept;  ///< a further name of the old file, until the end
    bool existed = false;
    bool replaced = false;
};

void removeQuietly(const fs::path& path) {
    if (!path.empty())
        ::unlink(path.c_str());
}

/// Undoes a replacement that failed part-way; returns what could not be put back.
std::string rollBack(std::vector<Staged>& staged) {
    std::string problems;
    for (Staged& s : staged) {
        if (s.replaced) {
            try {
                if (s.existed)
                    renameOver(s.kept, s.target);
                else
                    removeQuietly(s.target);
                s.kept.clear();
            } catch (const FileError& e) {
                problems += std::string("; ") + e.what() + " (its previous text is in " +
                            s.kept.string() + ")";
                s.kept.clear();
            }
        }
        removeQuietly(s.fresh);
        removeQuietly(s.kept);
    }
    return problems;
}

void syncFolders(const std::vector<Staged>& staged) {
    std::set<fs::path> folders;
    for (const Staged& s : staged)
        folders.insert(s.target.parent_path());
    for (const fs::path& folder : folders)
        syncDirectory(folder);
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
}

} // namespace

namespace {

/// The backup names of one save, from the chapter paths and their plain backup names
/// gathered once (a scan of every chapter per chapter grew with the square of them).
class BackupNames {
public:
    explicit BackupNames(const std::vector<std::string>& chapterPaths) {
        m_chapters.insert(chapterPaths.begin(), chapterPaths.end());
        for (const std::string& path : m_chapters)
            ++m_plainNames[changeExtension(path, ".bak")];
    }
    std::string of(const std::string& path) const {
        const std::string plain = changeExtension(path, ".bak");
        // Shared: the chapter's own name, another chapter's name, or another chapter's
        // plain backup name (the chapter's own counts once when it is listed).
        const auto users = m_plainNames.find(plain);
        const size_t others =
            (users == m_plainNames.end() ? 0 : users->second) - (m_chapters.count(path) ? 1 : 0);
        const bool shared = plain == path || (m_chapters.count(plain) != 0 && plain != path) ||
                            others > 0;
        if (!shared)
            return plain;
        std::string name = path + ".bak";
        while (m_chapters.count(name) != 0)
            name += ".bak";
        return name;
    }

private:
    std::set<std::string> m_chapters;
    std::map<std::string, size_t> m_plainNames;
};

} // namespace

std::string backupName(const std::string& path, const std::vector<std::string>& chapterPaths) {
    return BackupNames(chapterPaths).of(path);
}

std::vector<std::string> backupNames(const std::vector<std::string>& chapterPaths) {
    const BackupNames names(chapterPaths);
    std::vector<std::string> backups;
    backups.reserve(chapterPaths.size());
    for (const std::string& path : chapterPaths)
        backups.push_back(names.of(path));
    return backups;
}

std::string replaceChapterFiles(const std::vector<ReplacedChapter>& chapters,
                                const std::vector<std::string>& chapterPaths, bool keepBackups) {
    const BackupNames backups(chapterPaths);
    if (keepBackups)
        for (const ReplacedChapter& c : chapters)
            if (isFolder(backups.of(c.path)))
                throw FileError("Unable to write to " + backups.of(c.path) + ": " +
                                systemReason(EISDIR));
    std::vector<Staged> staged;
    staged.reserve(chapters.size());
    try {
        // Every new text is written first and then all are flushed: the disk takes them
        // together, and still every one is on disk before any chapter is replaced.
        for (const ReplacedChapter& c : chapters) {
            Staged& s = staged.emplace_back();
            s.target = c.path;
            s.fresh = writeStagedFileUnflushed(c.path, c.path + ".tmp", c.bytes);
        }
        for (const Staged& s : staged)
            flushStagedFile(s.fresh, s.target);
        syncFolders(staged);
        for (Staged& s : staged) {
            s.kept = keepStagedCopy(s.target, s.target.string() + ".qw-old");
            s.existed = !s.kept.empty();
        }
        for (Staged& s : staged) {
            renameOver(s.fresh, s.target);
            s.fresh.clear();
            s.replaced = true;
        }
        syncFolders(staged);
    } catch (const FileError& e) {
        const std::string problems = rollBack(staged);
        throw FileError(e.what() + problems);
    }
    // Every chapter is saved; the old files now become the backups.
    std::string problem;
    for (Staged& s : staged) {
        if (s.kept.empty())
            continue;
        if (!keepBackups) {
            removeQuietly(s.kept);
            continue;
        }
        try {
            renameOver(s.kept, backups.of(s.target.string()));
        } catch (const FileError& e) {
            if (problem.empty())
                problem = std::string("The chapters were saved, but a backup could not be "
                                      "kept: ") +
                          e.what() + " (the previous text is in " + s.kept.string() + ")";
        }
    }
    return problem;
}

} // namespace qw
