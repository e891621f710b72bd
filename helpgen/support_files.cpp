#include "helpgen/support_files.h"

#include "core/file_io.h"

namespace fs = std::filesystem;

namespace qw {

std::vector<fs::path> copySupportFiles(const fs::path& projectDir, const fs::path& dataDir,
                                       bool useStyleSheet, bool searchForEffects) {
    std::vector<fs::path> copied;
    const std::pair<bool, const char*> wanted[] = {{useStyleSheet, "quirew.css"},
                                                   {searchForEffects, "quirew.js"}};
    for (const auto& [on, name] : wanted) {
        const fs::path target = projectDir / name;
        const fs::path master = dataDir / "xFiles" / name;
        if (!on || fileExists(target) || !fileExists(master))
            continue;
        writeFileBytes(target, readFileBytes(master));
        copied.push_back(target);
    }
    return copied;
}

} // namespace qw
