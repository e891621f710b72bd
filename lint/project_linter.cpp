#include "lint/project_linter.h"

#include "core/chapter_parser.h"
#include "core/file_io.h"
#include "core/popup_text_file.h"
#include "core/project_session.h"
#include "core/related_topics.h"
#include "core/text_util.h"
#include "helpgen/effects_expander.h"
#include "lint/effect_markers.h"
#include "lint/html_scan.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

namespace qw {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPopupFile = "TxPopups.js";

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string normalised(const std::string& relative) {
    return fs::path(relative).lexically_normal().generic_string();
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

std::string Linter::relativeOf(const std::string& path) const {
    const std::string slashed = toSlashes(path);
    if (!m_dir.empty() && startsWith(slashed, m_dir))
        return normalised(slashed.substr(m_dir.size()));
    return normalised(slashed);
}

void Linter::report(const Place& place, LintSeverity severity, std::string message) {
    m_findings.push_back(
        {place.file, {m_files[place.file], place.line, severity, std::move(message), place.row}});
}

const std::string& Linter::existing(const std::string& relative) {
    const std::string key = toLower(relative);
    if (const auto it = m_exists.find(key); it != m_exists.end())
        return it->second;
    std::error_code ec;
    const fs::path onDisk = resolveCase(fs::path(m_dir) / relative);
    std::string found;
    if (fs::is_regular_file(onDisk, ec))
        found = fs::path(onDisk).lexically_relative(m_dir).generic_string();
    return m_exists.emplace(key, std::move(found)).first->second;
}

void Linter::indexTable() {
    for (const std::string& file : m_in.additionalFiles)
        m_additional.insert(toLower(normalised(toSlashes(trim(file)))));
    for (size_t r = 1; r < m_table.endRow(); ++r) {
        if (m_table.isChapterRow(r)) {
            m_chapters.insert(toLower(relativeOf(m_table.cell(r, ColMainFileName))));
        } else if (!m_table.isWebTopic(r)) {
            const std::string page = normalised(toSlashes(m_table.topicLinkPath(r)));
            const auto [it, added] = m_pages.emplace(toLower(page), std::make_pair(r, page));
            if (!added)
                m_samePage.emplace(r, it->second.first);
            m_exactPages.insert(page);
        }
    }
}

std::vector<LintFinding> Linter::run() {
    indexTable();
    for (size_t r = 1; r < m_table.endRow();) {
        size_t next = r + 1;
        while (next < m_table.endRow() && !m_table.isChapterRow(next))
            ++next;
        if (m_table.isChapterRow(r))
            lintChapter(r, next);
        r = next;
    }
    checkAnchors();
    checkStyleSheets();
    checkPopups();
    std::stable_sort(m_findings.begin(), m_findings.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.line < b.second.line;
    });
    std::vector<LintFinding> findings;
    findings.reserve(m_findings.size());
    for (auto& [file, finding] : m_findings)
        findings.push_back(std::move(finding));
    return findings;
}

void Linter::lintChapter(size_t chapterRow, size_t nextChapterRow) {
    const std::string path = m_table.cell(chapterRow, ColMainFileName);
    const size_t file = m_files.size();
    m_files.push_back(relativeOf(path));
    Lines lines;
    try {
        lines = m_table.sources().lines(path);
    } catch (const FileError& e) {
        report({file, 0, chapterRow}, LintSeverity::Error, e.what());
        return;
    }
    const std::string folder = m_table.chapterFolder(chapterRow);
    lintHead(lines, file, chapterRow, folder);
    for (size_t r = chapterRow + 1; r < nextChapterRow; ++r) {
        long long start = 0;
        long long end = 0;
        if (!parseInt(m_table.cell(r, ColStartLine), start) ||
            !parseInt(m_table.cell(r, ColEndLine), end) || start < 0 ||
            size_t(start) > lines.size())
            continue; // a topic not saved yet: its lines are not in the file
        lintMetadata(r, lines, file, size_t(start), folder);
        // A last line beyond the file (a chapter without "</BODY>") ends at the file's end.
        const long long last = std::min(end, static_cast<long long>(lines.size()) - 1);
        if (!m_table.isWebTopic(r) && last >= start)
            lintContent(r, lines, file, size_t(start), size_t(last), folder);
    }
}

void Linter::lintHead(const Lines& lines, size_t file, size_t row, const std::string& folder) {
    size_t body = 0;
    while (body < lines.size() && !containsNoCase(lines[body], "<body"))
        ++body;
    if (body == lines.size())
        return;
    while (body + 1 < lines.size() && lines[body].find('>') == std::string::npos)
        ++body;
    std::vector<LineReference> refs;
    HtmlScanner scanner;
    for (size_t i = 0; i <= body; ++i) {
        refs.clear();
        scanner.scanLine(lines[i], refs, nullptr);
        for (const LineReference& ref : refs) {
            const bool filled = std::any_of(
                m_in.headTokens.begin(), m_in.headTokens.end(), [&](const std::string& token) {
                    return !token.empty() && containsNoCase(ref.value, token);
                });
            if (!filled)
                checkReference(ref, {file, i + 1, row}, folder, {});
        }
    }
}

size_t Linter::metadataLine(const Lines& lines, size_t start, std::string_view key) const {
    if (start == 0)
        return 1;
    size_t opening = start - 1; // the closing separator line
    while (opening > 0 &&
           (m_in.separator.empty() || lines[opening - 1].find(m_in.separator) == std::string::npos))
        --opening;
    opening = opening > 0 ? opening - 1 : 0;
    for (size_t i = opening; i < start && i < lines.size(); ++i)
        if (containsNoCase(lines[i], key))
            return i + 1;
    return opening + 1;
}

void Linter::lintMetadata(size_t row, const Lines& lines, size_t file, size_t start,
                          const std::string& folder) {
    const std::string title = trim(m_table.displayTitle(row));
    const Place titlePlace{file, metadataLine(lines, start, "Title="), row};
    if (!title.empty()) {
        const auto [it, added] = m_titles.emplace(toLower(title), titlePlace);
        if (!added)
            report(titlePlace, LintSeverity::Warning,
                   "duplicate title " + inQuotes(title) + ", also used at " +
                       m_files[it->second.file] + ":" + std::to_string(it->second.line));
    }
    if (const auto same = m_samePage.find(row); same != m_samePage.end())
        report({file, metadataLine(lines, start, "FileName="), row}, LintSeverity::Error,
               "page name " + inQuotes(m_table.cell(row, ColFileName)) +
                   " is already the page of the topic " +
                   inQuotes(m_table.displayTitle(same->second)) +
                   " (letter case aside): the .chm holds only one of them");
    const std::string& image = m_table.cell(row, ColBgImage);
    if (!trim(image).empty())
        checkReference({image, ReferenceKind::File},
                       {file, metadataLine(lines, start, "BgImage="), row}, folder, {});
    if (!trim(m_table.cell(row, ColRelated)).empty())
        checkRelated(row, {file, metadataLine(lines, start, "Related="), row}, folder);
}

void Linter::checkRelated(size_t row, const Place& place, const std::string& folder) {
    for (const RelatedEntry& entry : splitRelatedTopics(m_table.cell(row, ColRelated))) {
        const Target target = classifyReference(entry.fileName);
        if (target.kind != TargetKind::Local)
            continue;
        const std::string relative = normalised(folder + target.path);
        if (m_pages.count(toLower(relative)) != 0 || !existing(relative).empty())
            continue;
        const std::string name = entry.description.empty() ? entry.fileName : entry.description;
        report(place, LintSeverity::Error,
               "related topic " + inQuotes(name) + " points to " + inQuotes(entry.fileName) +
                   ", which is no topic page");
    }
}

void Linter::lintContent(size_t row, const Lines& lines, size_t file, size_t start, size_t end,
                         const std::string& folder) {
    const auto first = lines.begin() + long(start);
    const auto last = lines.begin() + long(end) + 1;
    const bool markers =
        m_in.effects != nullptr && std::any_of(first, last, [](const std::string& line) {
            return line.find('[') != std::string::npos;
        });
    const std::string pageKey = toLower(normalised(toSlashes(m_table.topicLinkPath(row))));
    Lines expanded;
    if (markers) {
        const TopicText text(first, last);
        std::vector<MarkerProblem> problems;
        for (int n = 1; m_in.effects->hasScript(n); ++n)
            checkEffectMarkers(text, m_in.effects->tokens(n), problems);
        for (const MarkerProblem& problem : problems)
            report({file, start + problem.line + 1, row}, LintSeverity::Error, problem.message);
        if (const auto& popup = m_in.effects->tokens(1); popup.size() >= 2)
            for (PopupUse& use : popupUses(text, popup[0], popup[1]))
                m_popups.push_back({{file, start + use.line + 1, row}, std::move(use.reference)});
        if (m_in.expandPopups || m_in.expandEffects) {
            expanded.assign(first, last);
            if (m_in.replaceQuotes)
                for (std::string& line : expanded)
                    replaceAllNoCase(line, "&quot;", "\"");
            m_in.effects->expand(expanded, m_in.expandPopups ? 1 : 2, m_in.expandEffects ? 50 : 1);
        }
    }
    std::vector<LineReference> refs;
    std::vector<std::string> anchors;
    HtmlScanner scanner;
    for (size_t i = 0; i <= end - start; ++i) {
        refs.clear();
        anchors.clear();
        scanner.scanLine(expanded.empty() ? lines[start + i] : expanded[i], refs, &anchors);
        if (!anchors.empty())
            m_anchors[pageKey].insert(anchors.begin(), anchors.end());
        for (const LineReference& ref : refs)
            checkReference(ref, {file, start + i + 1, row}, folder, pageKey);
    }
}

void Linter::checkReference(const LineReference& ref, const Place& place, const std::string& folder,
                            const std::string& pageKey) {
    m_key.assign(folder);
    m_key += '\n';
    m_key += char('0' + int(ref.kind));
    m_key += ref.value;
    auto it = m_outcomes.find(m_key);
    if (it == m_outcomes.end())
        it = m_outcomes.emplace(m_key, resolve(ref, folder)).first;
    const Outcome& outcome = it->second;
    for (const auto& [severity, message] : outcome.findings)
        report(place, severity, message);
    const std::string& page = outcome.samePage ? pageKey : outcome.page;
    if (!outcome.fragment.empty() && !page.empty())
        m_anchorChecks.push_back({place, page, outcome.fragment, ref.value});
}

Linter::Outcome Linter::resolve(const LineReference& ref, const std::string& folder) {
    Outcome out;
    const Target target = classifyReference(ref.value);
    switch (target.kind) {
    case TargetKind::Ignored:
        break;
    case TargetKind::SamePage:
        out.samePage = true;
        out.fragment = target.fragment;
        break;
    case TargetKind::Absolute:
        out.findings.emplace_back(LintSeverity::Warning, inQuotes(ref.value) +
                                                             " is an absolute path: the .chm "
                                                             "will not hold it");
        break;
    case TargetKind::Local:
        checkLocal(ref, target, folder, out);
        break;
    }
    return out;
}

void Linter::checkLocal(const LineReference& ref, const Target& target, const std::string& folder,
                        Outcome& out) {
    const auto add = [&](LintSeverity severity, std::string message) {
        out.findings.emplace_back(severity, std::move(message));
    };
    const std::string relative = normalised(folder + target.path);
    const std::string key = toLower(relative);
    const bool outside = startsWith(relative, "..");
    if (const auto page = m_pages.find(key);
        page != m_pages.end() && ref.kind != ReferenceKind::Bitmap) {
        if (m_exactPages.count(relative) == 0)
            add(LintSeverity::Warning, inQuotes(ref.value) +
                                           " differs in letter case from the topic page " +
                                           inQuotes(page->second.second));
        out.page = key;
        out.fragment = target.fragment;
        return;
    }
    if (m_chapters.count(key) != 0) {
        add(LintSeverity::Error, "link to the chapter file " + inQuotes(ref.value) +
                                     " instead of one of its topic pages");
        return;
    }
    static const std::unordered_set<std::string> kWrittenByBuild = {"quirew.css", "quirew.js",
                                                                    "aboutjmp.htm", "quirew.gif"};
    const std::string& onDisk = existing(relative);
    if (onDisk.empty() && kWrittenByBuild.count(key) == 0) {
        const char* what = ref.kind == ReferenceKind::Link     ? "link to "
                           : ref.kind == ReferenceKind::Bitmap ? "button picture "
                                                               : "file ";
        add(LintSeverity::Error,
            what + inQuotes(ref.value) +
                (ref.kind == ReferenceKind::Link ? ", which is no topic page and no file"
                                                 : ", which does not exist"));
        return;
    }
    if (outside) {
        add(LintSeverity::Warning,
            inQuotes(ref.value) + " lies outside the project folder: the .chm will not hold it");
        return;
    }
    if (!onDisk.empty() && ref.kind != ReferenceKind::Bitmap &&
        m_referenced.insert(toLower(onDisk)).second && endsWithNoCase(onDisk, ".css"))
        m_styleSheets.push_back(onDisk);
    if (!onDisk.empty() && onDisk != relative)
        add(LintSeverity::Warning,
            inQuotes(ref.value) + " differs in letter case from the file " + inQuotes(onDisk));
    if (ref.kind == ReferenceKind::Bitmap && m_additional.count(key) == 0)
        add(LintSeverity::Warning,
            "button picture " + inQuotes(ref.value) +
                " is not among the additional files: the .chm will not hold it");
}

void Linter::checkAnchors() {
    for (const AnchorCheck& check : m_anchorChecks) {
        const auto anchors = m_anchors.find(check.pageKey);
        if (anchors != m_anchors.end() && anchors->second.count(check.fragment) != 0)
            continue;
        report(check.place, LintSeverity::Error,
               "link to " + inQuotes(check.value) + ", whose page has no anchor " +
                   inQuotes(check.fragment));
    }
}

void Linter::checkStyleSheets() {
    // The build packs what the pages name, but never looks inside their style sheets.
    for (const std::string& sheet : m_styleSheets) {
        const size_t index = m_files.size();
        m_files.push_back(sheet);
        Lines lines;
        try {
            lines = readLines(fs::path(m_dir) / sheet);
        } catch (const FileError& e) {
            report({index, 0, 0}, LintSeverity::Error, e.what());
            continue;
        }
        const std::string folder = fs::path(sheet).parent_path().generic_string();
        std::vector<LineReference> refs;
        for (size_t i = 0; i < lines.size(); ++i) {
            refs.clear();
            scanLine(lines[i], refs, nullptr);
            for (const LineReference& ref : refs) {
                const Target target = classifyReference(ref.value);
                if (target.kind != TargetKind::Local)
                    continue;
                const std::string relative =
                    normalised((folder.empty() ? "" : folder + "/") + target.path);
                const std::string& onDisk = existing(relative);
                if (onDisk.empty())
                    report({index, i + 1, 0}, LintSeverity::Error,
                           "file " + inQuotes(ref.value) + ", which does not exist");
                else if (m_referenced.count(toLower(onDisk)) == 0 &&
                         m_additional.count(toLower(onDisk)) == 0)
                    report({index, i + 1, 0}, LintSeverity::Warning,
                           inQuotes(ref.value) +
                               " is named only in a style sheet: the .chm will not hold it "
                               "unless it is among the additional files");
            }
        }
    }
}

void Linter::checkPopups() {
    const std::string& file = existing(std::string(kPopupFile));
    if (file.empty()) {
        if (!m_popups.empty())
            report(m_popups.front().place, LintSeverity::Error,
                   "pop-up " + inQuotes(m_popups.front().reference) +
                       " is used, but the project has no " + std::string(kPopupFile));
        return;
    }
    const size_t index = m_files.size();
    m_files.push_back(file);
    Lines lines;
    try {
        lines = readLines(fs::path(m_dir) / file);
    } catch (const FileError& e) {
        report({index, 0, 0}, LintSeverity::Error, e.what());
        return;
    }
    std::unordered_map<std::string, size_t> entries; // reference: line
    std::vector<std::pair<std::string, size_t>> inOrder;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t eq = lines[i].find('=');
        const std::string reference = eq == std::string::npos ? "" : trim(lines[i].substr(0, eq));
        if (reference.empty() || reference == "MyFont")
            continue;
        if (!isUsablePopupReference(reference))
            report({index, i + 1, 0}, LintSeverity::Error,
                   "pop-up reference " + inQuotes(reference) +
                       " cannot be read by the pages' script");
        if (entries.emplace(reference, i + 1).second)
            inOrder.emplace_back(reference, i + 1);
    }
    std::unordered_set<std::string> used;
    for (const PopupSeen& seen : m_popups) {
        used.insert(seen.reference);
        if (entries.count(seen.reference) == 0)
            report(seen.place, LintSeverity::Error,
                   "pop-up " + inQuotes(seen.reference) + " is not in " + file);
    }
    for (const auto& [reference, line] : inOrder)
        if (used.count(reference) == 0)
            report({index, line, 0}, LintSeverity::Warning,
                   "pop-up " + inQuotes(reference) + " is never used");
}

} // namespace

std::vector<LintFinding> lintProject(const LintInput& input) {
    if (input.table == nullptr)
        return {};
    return Linter(input).run();
}

std::vector<LintFinding> lintSession(const ProjectSession& session) {
    const EnvironmentSettings& env = session.environment();
    const EffectsExpander effects =
        EffectsExpander::load(session.dataDir() / "xFiles" / "Effects.sfx");
    LintInput input;
    input.table = &session.table();
    input.additionalFiles = session.settings().additionalFiles;
    input.effects = &effects;
    input.expandPopups = env.searchForPopups;
    input.expandEffects = env.searchForEffects;
    input.replaceQuotes = env.replaceQuotes;
    input.separator = ParseOptions::from(env, session.maxIconIndex()).separator;
    input.headTokens = {env.replaceTitleText, env.replaceBgImgText, env.replaceColorText};
    return lintProject(input);
}

} // namespace qw
