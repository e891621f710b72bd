#pragma once

#include "core/file_io.h"

#include <string>

namespace qw {

class TopicTable;

/// The lines of "TopicLst.tfl": "-" + display title for each chapter row and the
/// "FileName" cell as it stands for each topic row, in table order.
Lines topicListLines(const TopicTable& table);

/// The lines of the printable outline "Printout.Txt": "|" and "|- " + title for each
/// chapter, "|    |- " + file name for each topic.
Lines printoutLines(const TopicTable& table);

/// Writes "TopicLst.tfl" into the project directory, replacing the old file; returns its
/// path. Throws FileError when it cannot be written.
std::string writeTopicListFile(const TopicTable& table);

} // namespace qw
