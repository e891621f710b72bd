#include "lint/project_linter.h"

#include "core/chapter_parser.h"
#include "core/project_session.h"
#include "core/related_topics.h"
#include "core/text_util.h"
#include "helpgen/effects_expander.h"
#include "lint/effect_markers.h"
#include "lint/linter.h"

#include <algorithm>

namespace qw {

namespace lintdetail {

namespace fs = std::filesystem;

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

} // namespace lintdetail

std::vector<LintFinding> lintProject(const LintInput& input) {
    if (input.table == nullptr)
        return {};
    return lintdetail::Linter(input).run();
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
