#include "helpgen/output_check.h"

#include "core/topic_table.h"

namespace fs = std::filesystem;

namespace qw {

namespace {

/// The chapter row whose file is path, or 0.
size_t chapterRowOf(const TopicTable& table, const fs::path& path) {
    std::error_code ec;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r) && fs::equivalent(table.cell(r, ColMainFileName), path, ec))
            return r;
    return 0;
}

/// True when a plain file at target already holds the bytes of source.
bool holdsCopyOf(const OutputGuard& guard, const PlannedOutput& file) {
    if (file.source.empty() || !guard.refusal(file.path, Replace::Named).empty())
        return false;
    try {
        return readFileBytes(file.path) == readFileBytes(file.source);
    } catch (const FileError&) {
        return false;
    }
}

} // namespace

CheckFinding checkOutputs(const TopicTable& table, const OutputGuard& guard,
                          const std::vector<PlannedOutput>& files, std::string_view document) {
    std::string pagePath; // made in memory kept from page to page
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.isWebTopic(r))
            continue;
        const std::string& name = table.cell(r, ColFileName);
        pagePath.assign(table.projectDir());
        table.appendTopicLinkPath(r, pagePath);
        if (const std::string reason = guard.refusalOfText(pagePath, Replace::Own); !reason.empty())
            return {false,
                    "Warning: FileName, '" + name + "', cannot be written to " + pagePath +
                        ": " + reason + ".\r\nPlease Correct Before Creating " +
                        std::string(document) + ".",
                    r, ColFileName};
    }
    for (const PlannedOutput& file : files) {
        const std::string reason = guard.refusal(file.path, file.how);
        if (!reason.empty() && !holdsCopyOf(guard, file))
            return {false,
                    "Warning: '" + file.path.string() + "' cannot be written: " + reason +
                        ".\r\nPlease rename or move it before creating " + std::string(document) +
                        ".",
                    chapterRowOf(table, file.path), ColMainFileName};
    }
    return {};
}

} // namespace qw
