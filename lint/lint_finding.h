#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

enum class LintSeverity { Warning, Error };

/// One thing the link check found: where (a file of the project and a line counted
/// from 1, or 0 when the whole file is meant), how bad, and what.
struct LintFinding {
    std::string file; ///< relative to the project folder, with "/" separators
    size_t line = 0;
    LintSeverity severity = LintSeverity::Error;
    std::string message;
    /// The topic table row the finding belongs to (a topic or chapter row); 0 when none.
    size_t row = 0;
};

/// "file:line: error: message" (or "warning:"), with folder put in front of the file
/// (folder is empty or ends with "/"); a finding without a line leaves ":line" out.
std::string formatFinding(const LintFinding& finding, std::string_view folder = {});

/// True when at least one finding is an error.
bool hasErrors(const std::vector<LintFinding>& findings);
/// How many findings are errors.
size_t errorCount(const std::vector<LintFinding>& findings);

} // namespace qw
