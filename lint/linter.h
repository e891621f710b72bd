#pragma once

// The link check's working state, shared by its source files; not for other libraries.

#include "core/file_io.h"
#include "core/topic_table.h"
#include "lint/html_scan.h"
#include "lint/project_linter.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qw::lintdetail {

inline constexpr std::string_view kPopupFile = "TxPopups.js";

inline std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

/// The path with "." and ".." steps worked out, "/" between folders.
inline std::string normalised(const std::string& relative) {
    return std::filesystem::path(relative).lexically_normal().generic_string();
}

/// Where a reference was written.
struct Place {
    size_t file; ///< index into the linter's file list
    size_t line; ///< from 1
    size_t row;
};

/// A link with a fragment, checked once every page's anchors are known.
struct AnchorCheck {
    Place place;
    std::string pageKey;
    std::string fragment;
    std::string value;
};

struct PopupSeen {
    Place place;
    std::string reference;
};

/// One run of the link check over a project: indexes the table, reads every chapter,
/// resolves what its pages refer to, then checks anchors, style sheets and pop-ups.
class Linter {
public:
    explicit Linter(const LintInput& input)
        : m_in(input), m_table(*input.table), m_dir(input.table->projectDir()) {}

    std::vector<LintFinding> run();

private:
    void indexTable();
    void lintChapter(size_t chapterRow, size_t nextChapterRow);
    void lintHead(const Lines& lines, size_t file, size_t row, const std::string& folder);
    void lintMetadata(size_t row, const Lines& lines, size_t file, size_t start,
                      const std::string& folder);
    void lintContent(size_t row, const Lines& lines, size_t file, size_t start, size_t end,
                     const std::string& folder);
    void checkReference(const LineReference& ref, const Place& place, const std::string& folder,
                        const std::string& pageKey);
    /// What a reference written in a page of folder comes to, wherever it is written.
    struct Outcome {
        std::vector<std::pair<LintSeverity, std::string>> findings;
        bool samePage = false; ///< the fragment names an anchor of the page itself
        std::string page;      ///< else the topic page whose anchors the fragment names
        std::string fragment;
    };
    Outcome resolve(const LineReference& ref, const std::string& folder);
    void checkLocal(const LineReference& ref, const Target& target, const std::string& folder,
                    Outcome& out);
    void checkRelated(size_t row, const Place& place, const std::string& folder);
    void checkAnchors();
    void checkPopups();
    void checkStyleSheets();
    /// The file's path as it is on disk, relative to the project folder; empty when
    /// there is no such file.
    const std::string& existing(const std::string& relative);
    std::string relativeOf(const std::string& path) const;
    size_t metadataLine(const Lines& lines, size_t start, std::string_view key) const;
    void report(const Place& place, LintSeverity severity, std::string message);

    const LintInput& m_in;
    const TopicTable& m_table;
    std::string m_dir;
    std::vector<std::string> m_files;
    std::unordered_map<std::string, std::pair<size_t, std::string>> m_pages; ///< key: row, path
    std::unordered_set<std::string> m_exactPages;
    std::unordered_map<size_t, size_t> m_samePage; ///< row: the earlier row of its page name
    std::unordered_set<std::string> m_chapters;
    std::unordered_set<std::string> m_additional;
    std::unordered_set<std::string> m_referenced; ///< files the pages name: the build packs them
    std::vector<std::string> m_styleSheets;       ///< as on disk, in the order first met
    std::unordered_map<std::string, std::unordered_set<std::string>> m_anchors;
    std::unordered_map<std::string, std::string> m_exists;
    std::unordered_map<std::string, Place> m_titles;
    std::vector<AnchorCheck> m_anchorChecks;
    /// Outcomes by folder, kind and value: most references repeat from page to page.
    std::unordered_map<std::string, Outcome> m_outcomes;
    std::string m_key;
    std::vector<PopupSeen> m_popups;
    std::vector<std::pair<size_t, LintFinding>> m_findings; ///< file index, finding
};

} // namespace qw::lintdetail
