#pragma once

#include "core/file_io.h"

#include <string>

namespace qw {

/// The line a page of the browser document gets in its head: the viewport declaration,
/// so that a phone lays the page out at its own width, and the script that marks the
/// words a search result was found by (back leads from the page to the project folder).
std::string readerAidsLine(const std::string& back);

/// Puts readerAidsLine into a page being built: right after the line of its "<head>"
/// tag when the page's head (from line headFirst on) has one on a line of its own
/// without "<body", else at the end of the page so far.
void addReaderAids(Lines& page, size_t headFirst, const std::string& back);

} // namespace qw
