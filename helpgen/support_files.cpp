#include "helpgen/support_files.h"

#include "core/file_io.h"
#include "core/safe_output.h"

namespace fs = std::filesystem;

namespace qw {

namespace {

/// True when the program may put the master copy at target: no file there yet, or its own
/// earlier copy, or a file that already holds the master's bytes. An author's own file (or
/// link) is kept; a folder in its place throws FileError, as the copy cannot be made.
bool mayRefresh(const OutputGuard& guard, const fs::path& target, const fs::path& master) {
    if (!pathExists(target))
        return true;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (!fs::is_regular_file(status) && !fs::is_symlink(status))
        throw FileError("Unable to write to " + target.string() + ": it is not a plain file");
    if (guard.refusal(target, Replace::Own).empty())
        return true;
    return guard.refusal(target, Replace::Named).empty() &&
           readFileBytes(target) == readFileBytes(master);
}

} // namespace

std::vector<fs::path> copySupportFiles(OutputGuard& guard, const fs::path& dataDir,
                                       bool useStyleSheet, bool searchForEffects) {
    std::vector<fs::path> copied;
    const std::pair<bool, const char*> wanted[] = {{useStyleSheet, "quirew.css"},
                                                   {searchForEffects, "quirew.js"}};
    for (const auto& [on, name] : wanted) {
        const fs::path target = guard.projectDir() / name;
        const fs::path master = dataDir / "xFiles" / name;
        if (!on || !pathExists(master) || !mayRefresh(guard, target, master))
            continue;
        if (guard.copy(master, target))
            copied.push_back(target);
    }
    return copied;
}

} // namespace qw
