#pragma once

#include <filesystem>
#include <vector>

namespace qw {

/// Copies the style sheet "quirew.css" (when useStyleSheet) and the effects script
/// "quirew.js" (when searchForEffects) from dataDir/xFiles into projectDir, each only
/// when the project directory has no file of that name yet, so an author's own edited
/// copy is kept. A missing master copy is skipped. Returns the files this call wrote.
/// Throws FileError when a copy cannot be written.
std::vector<std::filesystem::path> copySupportFiles(const std::filesystem::path& projectDir,
                                                    const std::filesystem::path& dataDir,
                                                    bool useStyleSheet, bool searchForEffects);

} // namespace qw
