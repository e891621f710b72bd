#pragma once

#include <string>

namespace qw {

class TopicTable;

/// Writes the printable outline "Printout.Txt" (see printoutLines) into the project
/// directory, replacing the old file; returns its path. Throws FileError when it cannot be
/// written.
std::string writePrintoutFile(const TopicTable& table);

} // namespace qw
