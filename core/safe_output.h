#pragma once

#include "core/file_io.h"

#include <bitset>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qw {

class TopicTable;

/// Which existing file at a target path the program may replace.
enum class Replace {
    /// Any plain file of that name: the help project, contents, index and context-ID files,
    /// the compiled document and its log, which are named after the project and always
    /// rewritten.
    Named,
    /// Only a file the program wrote itself: one that begins with the mark of a topic page
    /// or of the About page, one the record of written files lists as unchanged since, or
    /// one that already holds exactly the bytes to be written.
    Own,
};

/// The one rule by which the build, the browser document, the preview and the clean-up
/// replace or delete files. A target is refused when it lies outside the project folder,
/// is reached through a linked folder below it, is itself a link, a folder or a file with
/// other names (a hard link), is a chapter, the project file, its lock or the record, or
/// (with Replace::Own) was not written by the program. Refusals throw FileError with
/// "Unable to write to %s: <reason>" ("Unable to delete %s: ..." for deletions).
///
/// Files written with Replace::Own are noted (size, time stamp and name of each), so that a
/// later write through the same guard, or a later run, knows them as its own; with a
/// project path saveRecord() keeps the notes in "<project>.qwr.written".
class OutputGuard {
public:
    /// Guards the project folder of table; the chapters of table are protected. With a
    /// project path, the project file and its lock are protected too and the record of
    /// written files is read; without one, nothing is recorded.
    explicit OutputGuard(const TopicTable& table, const std::filesystem::path& projectPath = {});
    /// Guards projectDir, protecting the files named (and the project file, its lock and
    /// the record when a project path is given).
    OutputGuard(const std::filesystem::path& projectDir,
                const std::vector<std::filesystem::path>& protectedFiles,
                const std::filesystem::path& projectPath = {});

    const std::filesystem::path& projectDir() const { return m_projectDir; }

    /// Why path may not be written; empty when it may.
    std::string refusal(const std::filesystem::path& path, Replace how) const;
    /// refusal of a path given as text, parsed into a path object only when it is not
    /// absolute and normal already (the pages of a build are).
    std::string refusalOfText(const std::string& path, Replace how) const;
    /// Throws FileError("Unable to write to %s: <reason>") when path may not be written.
    void check(const std::filesystem::path& path, Replace how) const;

    /// Writes bytes to path when the rule allows it, without following a link. With
    /// record, a Replace::Own target is noted as the program's own; a page carrying its
    /// mark needs no note. Throws FileError.
    void write(const std::filesystem::path& path, std::string_view bytes, Replace how,
               bool record = true);
    /// write(path, bytes, Replace::Own, false) for a topic page, its path given as text
    /// (not parsed into a path object when absolute and normal, as a build's pages are).
    void writePage(const std::string& path, std::string_view bytes);
    /// The same for lines, each ended by CR LF.
    void writeLines(const std::filesystem::path& path, const Lines& lines, Replace how,
                    bool record = true);
    /// Copies a file of the program's data into the project (Replace::Own). Returns false,
    /// writing nothing, when the target already holds the same bytes. Throws FileError when
    /// the source cannot be read or the target not written.
    bool copy(const std::filesystem::path& source, const std::filesystem::path& target);
    /// Deletes a file when the rule allows it; nothing when it does not exist. Throws
    /// FileError("Unable to delete %s: <reason>") when it is refused or the deletion fails.
    void remove(const std::filesystem::path& path, Replace how);
    /// Creates one folder below the project folder when it is missing; throws FileError when
    /// it cannot be made or a link or a file stands in its place.
    void makeDirectory(const std::filesystem::path& path);

    /// True when the file at path is the program's own (see Replace::Own).
    bool isOwn(const std::filesystem::path& path) const;
    /// Another mark of the program's own files: a file that begins with start and holds
    /// within (when not empty) in its first 4,096 bytes. Generators whose files carry
    /// their own furniture (the browser document's pages) name it here, so that their
    /// files from before the record of written files count as the program's own too.
    void addMark(std::string start, std::string within = {});
    /// Writes the record of written files; throws FileError when it cannot.
    void saveRecord();
    /// The record file of a project.
    static std::filesystem::path recordPath(const std::filesystem::path& projectPath);

    /// Tests make file operations fail: the function gets the operation ("write",
    /// "delete", "mkdir") and the path and returns true to fail it. Empty to stop.
    using Fault = std::function<bool(std::string_view operation, const std::filesystem::path&)>;
    static void setFaultForTesting(Fault fault);

private:
    struct Mark {
        std::string start;
        std::string within;
    };
    struct Stamp {
        uint64_t size = 0;
        int64_t time = 0;
        bool operator==(const Stamp&) const = default;
    };
    std::string refusalOf(const std::string& absolute, Replace how) const;
    std::string linkedFolder(const std::string& absolute) const;
    /// linkedFolder, told whether the path is absolute and normal already.
    std::string linkedFolder(const std::string& absolute, bool normal) const;
    std::string recordKey(const std::filesystem::path& absolute) const;
    /// The part of a normal absolute path below the project folder, by its text; nullopt
    /// when the text does not begin with the folder's.
    std::optional<std::string_view> below(std::string_view absolute) const;
    void note(const std::filesystem::path& absolute);
    void writeNormal(const std::string& absolute, const std::string& shown, std::string_view bytes,
                     Replace how, bool record);
    void loadRecord();

    std::filesystem::path m_projectDir;
    std::filesystem::path m_record;
    std::set<std::pair<uint64_t, uint64_t>> m_protected; // device, inode
    std::set<std::string, std::less<>> m_protectedNames;
    /// A bit per hash of the protected names' file names: most pages' names find theirs
    /// clear and need no look-up among the names.
    static constexpr size_t kNameBits = 8192;
    static size_t nameBit(std::string_view path);
    void protectName(std::string name);
    std::bitset<kNameBits> m_protectedNameBits;
    std::map<std::string, Stamp> m_stamps;
    mutable std::map<std::string, Stamp> m_marked; // files found carrying a mark
    std::vector<Mark> m_marks;
    mutable std::set<std::string, std::less<>> m_plainFolders;
    mutable std::string m_lastPlainFolder; ///< the folder last found in m_plainFolders
    std::string m_compareBuffer; ///< the old file's bytes, read to compare
};

/// Saves a guard's record of written files when a run ends, also when a step failed
/// part-way, so that the next run knows the files this one wrote as its own. save() at the
/// normal end reports a failure to write it; at an early end the run's own error stands.
class OutputRecordScope {
public:
    explicit OutputRecordScope(OutputGuard& guard) : m_guard(guard) {}
    ~OutputRecordScope() {
        if (m_saved)
            return;
        try {
            m_guard.saveRecord();
        } catch (const FileError&) {
            // The run is failing already; its own error is the one to report.
        }
    }
    OutputRecordScope(const OutputRecordScope&) = delete;
    OutputRecordScope& operator=(const OutputRecordScope&) = delete;
    /// Writes the record; throws FileError when it cannot.
    void save() {
        m_saved = true;
        m_guard.saveRecord();
    }

private:
    OutputGuard& m_guard;
    bool m_saved = false;
};

/// The first line of every topic page: the mark by which the program knows its pages.
inline constexpr std::string_view kPageMark = "<!-- Extracted Using 'HTMLHelp Quirewright' -->";

} // namespace qw
