// The link check's pop-up references against the project's pop-up text file.
#include "lint/linter.h"

#include "core/popup_text_file.h"
#include "core/text_util.h"

namespace qw::lintdetail {

namespace fs = std::filesystem;

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

} // namespace qw::lintdetail
