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

} // namespace

CheckFinding checkOutputs(const TopicTable& table, const OutputGuard& guard,
                          const std::vector<PlannedOutput>& files, std::string_view document) {
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.isWebTopic(r))
            continue;
        const std::string name = table.cell(r, ColFileName);
        const fs::path page = table.projectDir() + table.chapterFolder(r) + name;
        if (const std::string reason = guard.refusal(page, Replace::Own); !reason.empty())
            return {false,
                    "Warning: FileName, '" + name + "', cannot be written to " + page.string() +
                        ": " + reason + ".\r\nPlease Correct Before Creating " +
                        std::string(document) + ".",
                    r, ColFileName};
    }
    for (const PlannedOutput& file : files) {
        if (const std::string reason = guard.refusal(file.path, file.how); !reason.empty())
            return {false,
                    "Warning: '" + file.path.string() + "' cannot be written: " + reason +
                        ".\r\nPlease rename or move it before creating " + std::string(document) +
                        ".",
                    chapterRowOf(table, file.path), ColMainFileName};
    }
    return {};
}

} // namespace qw
