#pragma once

#include "core/topic_table.h"

#include <string>

namespace qw {

struct FileNameOptions;

/// A new chapter row: marker " >", the chapter's name as title and its full path.
Row newChapterRow(const std::string& name, const std::string& path);

/// A new topic row whose body is the new-topic template: lines 0 to templateLines - 1
/// of templatePath, copied into its chapter at the next save. Its file name is made
/// from the whole title by the topic file-name rule, without a prefix.
Row newTopicRow(const std::string& title, const std::string& templatePath, size_t templateLines,
                int icon, const FileNameOptions& options);

/// Adds row in front of the end-of-list row (which gets its title if it had none) and,
/// when the table then holds more than one data row, moves it just after row current.
/// Returns the row's index.
size_t insertRowAfter(TopicTable& table, Row row, size_t current);

/// The explicit file-name prefix of topics inserted into a chapter named chapterFile
/// ("intro.htm" gives "int_"; a folder part counts as part of the name).
std::string insertPrefix(const std::string& chapterFile);

/// The last row of the chapter that row belongs to (the chapter row itself when it has
/// no topics).
size_t lastRowOfChapter(const TopicTable& table, size_t row);

/// Removes a chapter row with all its topic rows and lowers the counts by them. Returns
/// the number of topic rows removed. The chapter file is left as it is.
size_t deleteChapterRows(TopicTable& table, size_t chapterRow);

} // namespace qw
