#pragma once

#include <string>
#include <vector>

namespace qw {

/// A chapter file's new text, ready to replace the file.
struct ReplacedChapter {
    std::string path;
    std::string bytes;
};

/// The backup name of a chapter: its name with the extension ".bak", unless that name
/// is a chapter of the project, the chapter itself or another chapter's backup name;
/// then the whole name + ".bak" (for "a.htm" and "a.html": "a.htm.bak", "a.html.bak").
std::string backupName(const std::string& path, const std::vector<std::string>& chapterPaths);
/// backupName of every one of chapterPaths, in their order, worked out together.
std::vector<std::string> backupNames(const std::vector<std::string>& chapterPaths);

/// Replaces the chapter files all together or not at all. Each new text is written
/// beside its chapter under a name of its own and flushed to disk; then every chapter
/// is replaced by rename, the old file kept under a further name until all are done. A
/// failure puts back the chapters already replaced, removes what this run wrote, and
/// throws FileError naming the file and the system's reason. Afterwards the old files
/// become the backups when keepBackups is on, else they are removed; a backup that
/// cannot be made is returned as a message (the chapters are saved), else "".
std::string replaceChapterFiles(const std::vector<ReplacedChapter>& chapters,
                                const std::vector<std::string>& chapterPaths, bool keepBackups);

} // namespace qw
