#pragma once

#include <filesystem>
#include <vector>

namespace qw {

class OutputGuard;

/// Writes "aboutjmp.htm" into the guarded project folder and copies the logo "quirew.gif"
/// from dataDir beside it, each only over the program's own earlier file. A missing logo is
/// skipped without failing. Returns the files written (the logo also when it was already
/// in place). Throws FileError when a file cannot be written or is refused.
std::vector<std::filesystem::path> writeAboutPage(OutputGuard& guard,
                                                  const std::filesystem::path& dataDir);

} // namespace qw
