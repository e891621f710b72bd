#include "lint/lint_finding.h"

#include <algorithm>

namespace qw {

std::string formatFinding(const LintFinding& finding, std::string_view folder) {
    std::string text(folder);
    text += finding.file;
    if (finding.line > 0)
        text += ":" + std::to_string(finding.line);
    text += finding.severity == LintSeverity::Error ? ": error: " : ": warning: ";
    text += finding.message;
    return text;
}

size_t errorCount(const std::vector<LintFinding>& findings) {
    return size_t(std::count_if(findings.begin(), findings.end(), [](const LintFinding& f) {
        return f.severity == LintSeverity::Error;
    }));
}

bool hasErrors(const std::vector<LintFinding>& findings) {
    return errorCount(findings) > 0;
}

} // namespace qw
