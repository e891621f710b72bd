#pragma once

#include <filesystem>

namespace qw {

/// The number of 16-pixel icons in a ".bmp" icon strip, from its header; 0 when the
/// file is missing or not a bitmap.
int iconStripCount(const std::filesystem::path& bmp);

/// The highest icon index of a project: its own strip (CustomIconsBMP, relative to the
/// project directory) when that exists, else "deficons.bmp" in the data directory, else
/// the built-in strip of 42 icons.
int maxIconIndex(const std::filesystem::path& projectDir, const std::string& customIconsBmp,
                 const std::filesystem::path& dataDir);

} // namespace qw
