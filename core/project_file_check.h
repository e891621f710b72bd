#pragma once

#include <string>

namespace qw {

/// Refuses a file given as a project that is not one, before anything reads settings
/// from it or writes into it: a name without ".qwr", a folder, a file that cannot be
/// read, UTF-16 or binary data, text that does not begin with a "[section]" line, or a
/// chapter count that is not a number of chapters. An empty file is a new project.
/// Throws FileError with the file and the reason.
void checkProjectFile(const std::string& path);

} // namespace qw
