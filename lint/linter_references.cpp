// How the link check resolves what pages refer to: topic pages, their anchors, files on
// disk and the pictures named in style sheets.
#include "lint/linter.h"

#include "core/text_util.h"

namespace qw::lintdetail {

namespace fs = std::filesystem;

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

} // namespace qw::lintdetail
