#pragma once

#include <string>
#include <string_view>

namespace qw {

class TopicTable;
struct EnvironmentSettings;

/// The options that shape generated topic file names.
struct FileNameOptions {
    bool lowerCase = true;     ///< LCaseTopicFN
    bool convertSpaces = true; ///< ConvertSpaces
    bool addPrefix = true;     ///< AddFilePrefix
    static FileNameOptions from(const EnvironmentSettings& env);
};

/// Turns a title into a safe file name: keeps blank, ".", digits, letters and "_";
/// lower-cases when asked; blanks become "_" (a blank after a blank or "_" is dropped).
std::string fileNameRule(std::string_view text, const FileNameOptions& options);

/// First three characters of the chapter file's name and "_" when prefixes are on.
std::string chapterPrefix(std::string_view chapterPath, const FileNameOptions& options);

/// What the check found: ok, or the warning to show and the cell to select.
struct CheckFinding {
    bool ok = true;
    std::string message;
    size_t row = 0;
    int column = 0;
};

/// Sets the file name of a topic row from its display title while the title is typed.
/// prefix is the lower-cased chapter prefix or empty to take it from the chapter.
void nameWhileTyping(TopicTable& table, size_t row, std::string_view prefix,
                     const FileNameOptions& options);

/// Makes every non-web topic's file name anew from prefix + display title + ".htm".
void recalculateTopicFileNames(TopicTable& table, const FileNameOptions& options);

/// Fills empty names, trims names and gives every name the extension ".htm".
void normaliseTopicFileNames(TopicTable& table, const FileNameOptions& options);

/// Normalises the names, then refuses forbidden characters, duplicate names, and pages
/// that would overwrite a chapter file; reports the first problem found.
CheckFinding checkProject(TopicTable& table, const FileNameOptions& options);

} // namespace qw
