#pragma once

#include "core/file_names.h"
#include "core/safe_output.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace qw {

class TopicTable;

/// A file a run will write beside the topic pages, and which existing file it may replace.
struct PlannedOutput {
    std::filesystem::path path;
    Replace how = Replace::Own;
    /// For a copy: the file copied. A plain file that already holds its bytes passes, as
    /// the copy then changes nothing.
    std::filesystem::path source = {};
};

/// Checks, before anything is written, that the guard lets the run write every topic page
/// and every planned file. The first refusal comes back as a finding: for a page it names
/// the topic's file name, the file and the reason, with the topic's row; for another file
/// it names the file and the reason, with the row of the chapter it would replace (or 0).
/// document is the name of what is being created ("HTMLHelp eDocument").
CheckFinding checkOutputs(const TopicTable& table, const OutputGuard& guard,
                          const std::vector<PlannedOutput>& files, std::string_view document);

} // namespace qw
