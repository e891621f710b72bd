#pragma once

#include "core/file_io.h"
#include "core/safe_output.h"
#include "treegen/tree_files.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qw {

/// Writes the tree as plain HTML pages without script: the frame set "index.htm" in the
/// project directory and, in the tree directory, one contents page per open chapter
/// ("unexpand.htm" with none open, the chapter pages "fol_<chapter>.htm") and
/// "expand.htm" with every chapter open.
///
/// Every file goes through the output guard: only over the program's own earlier files,
/// never a chapter, never through a link. A page that cannot be written or is refused
/// throws FileError and ends the run; pages written before it stay. Icon sources that
/// cannot be read are reported through the context's copyFailed.
class StandardTreeWriter {
public:
    /// Without a guard the writer guards the table's project folder itself.
    explicit StandardTreeWriter(const TreeContext& context, OutputGuard* guard = nullptr);

    /// Writes every file; returns the paths written, index.htm first.
    std::vector<std::filesystem::path> write();

    /// The frame set's four lines.
    Lines frameSet() const;
    /// The contents page with chapter number open (0: none) or every chapter open.
    Lines contentsPage(size_t openChapter, bool allOpen);

private:
    struct TreeLines;
    void precompute();
    /// A contents page's lines before the tree lines (head, top line, role lines w and n)
    /// and after them (role lines r, about line, end).
    Lines pageStart(bool allOpen);
    Lines pageEnd();
    TreeLines treeLines();
    std::string chapterLine(size_t row, size_t chapterNumber, bool open, bool allOpen) const;
    std::string topicLine(size_t row) const;
    std::string roleLine(size_t row) const;
    void appendRoleLines(Lines& page, char letter);
    std::string topLine(bool allOpen) const;
    std::string aboutLine() const;
    std::string backgroundImage() const;

    const TreeContext& m_context;
    std::unique_ptr<OutputGuard> m_ownGuard;
    OutputGuard& m_guard;
    TreeFiles m_files;
    bool m_ready = false;
    std::vector<std::string> m_pageNames;  ///< per chapter number - 1
    std::vector<size_t> m_chapterOf;       ///< per row: its chapter number, 0 before any
    std::vector<std::string> m_topicLines; ///< per row: its line, empty when it gives none
};

} // namespace qw
