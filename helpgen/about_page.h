#pragma once

#include <filesystem>
#include <vector>

namespace qw {

/// Writes "aboutjmp.htm" into projectDir and copies the logo "quirew.gif" from dataDir
/// beside it. A missing logo is skipped without failing. Returns the files written.
/// Throws FileError when the page cannot be written.
std::vector<std::filesystem::path> writeAboutPage(const std::filesystem::path& projectDir,
                                                  const std::filesystem::path& dataDir);

} // namespace qw
