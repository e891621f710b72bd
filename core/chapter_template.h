#pragma once

#include "core/file_io.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace qw {

struct EnvironmentSettings;
class TopicTable;

/// The new-topic template: "newtopic.tem" in the "xFiles" folder of the data directory.
std::filesystem::path newTopicTemplatePath(const std::filesystem::path& dataDir);

/// Creates the new-topic template with its three default lines when it does not exist
/// and returns the number of lines it holds. Throws FileError when it cannot be read or
/// written (a data directory the author may not write to).
size_t ensureNewTopicTemplate(const std::filesystem::path& path);

/// The eight lines of a new chapter file, with the environment's replacement texts for
/// the title, the background colour and the background image.
Lines newChapterLines(const EnvironmentSettings& env);

/// Writes a new chapter file at path, replacing any file of that name, and keeps its text
/// among the table's chapter texts: the next save takes the head from it even when a
/// chapter of that path was loaded (and removed) before. Throws FileError.
void writeNewChapterFile(TopicTable& table, const std::string& path,
                         const EnvironmentSettings& env);

/// The number of topics typed into the new-chapter dialog: a whole number from 1 to 90,
/// anything else gives 1.
int newChapterTopicCount(std::string_view text);

/// The path of a chosen chapter file relative to the project directory (which ends in
/// "/"); empty when the path does not begin with it (compared with case) or does not
/// end in ".htm" or ".html" (a typed name such as the project file's own is never
/// replaced by a chapter).
std::string chapterFileInProject(const std::string& chosen, const std::string& projectDir);

/// Whether a file name ends in ".htm" or ".html", in any case.
bool isHtmlFileName(std::string_view name);

/// The name a new chapter takes from its file: the file name without folder and extension.
std::string chapterNameFromFile(const std::string& file);

} // namespace qw
