#pragma once

#include <string>
#include <string_view>

namespace qw {

class TopicTable;

/// Why a cell value cannot be written into a topic's metadata block without changing
/// what is read back (a single quote ends the value, a line break, the separator or
/// "</BODY>" cuts the chapter's topics, a key such as "FileName=" is read as that key);
/// empty when it can.
std::string metadataValueProblem(std::string_view value, const std::string& separator);

/// Checks every metadata cell of every topic row before anything is written. Throws
/// FileError naming the chapter file, the row, the column and the problem.
void checkMetadataValues(const TopicTable& table, const std::string& separator);

} // namespace qw
