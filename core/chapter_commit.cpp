#include "core/chapter_commit.h"

#include "core/file_io.h"

#include <algorithm>
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

std::string backupName(const std::string& path, const std::vector<std::string>& chapterPaths) {
    const std::string plain = changeExtension(path, ".bak");
    bool shared = plain == path;
    for (const std::string& other : chapterPaths)
        if (other != path && (other == plain || changeExtension(other, ".bak") == plain))
            shared = true;
    if (!shared)
        return plain;
    std::string name = path + ".bak";
    while (std::find(chapterPaths.begin(), chapterPaths.end(), name) != chapterPaths.end())
        name += ".bak";
    return name;
}

std::string replaceChapterFiles(const std::vector<ReplacedChapter>& chapters,
                                const std::vector<std::string>& chapterPaths, bool keepBackups) {
    if (keepBackups)
        for (const ReplacedChapter& c : chapters)
            if (isFolder(backupName(c.path, chapterPaths)))
                throw FileError("Unable to write to " + backupName(c.path, chapterPaths) + ": " +
                                systemReason(EISDIR));
    std::vector<Staged> staged;
    staged.reserve(chapters.size());
    try {
        for (const ReplacedChapter& c : chapters) {
            Staged& s = staged.emplace_back();
            s.target = c.path;
            s.fresh = writeStagedFile(c.path, c.path + ".tmp", c.bytes);
        }
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
            renameOver(s.kept, backupName(s.target.string(), chapterPaths));
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
