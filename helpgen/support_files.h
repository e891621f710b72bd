#pragma once

#include <filesystem>
#include <vector>

namespace qw {

class OutputGuard;

/// Copies the style sheet "quirew.css" (when useStyleSheet) and the effects script
/// "quirew.js" (when searchForEffects) from dataDir/xFiles into the guarded project folder.
/// A file of that name that the program wrote earlier is refreshed when the shipped copy
/// differs; an author's own file of that name (not written by the program, or edited since)
/// is kept as it is. A missing master copy is skipped. Returns the files this call wrote.
/// Throws FileError when a copy cannot be written.
std::vector<std::filesystem::path> copySupportFiles(OutputGuard& guard,
                                                    const std::filesystem::path& dataDir,
                                                    bool useStyleSheet, bool searchForEffects);

} // namespace qw
