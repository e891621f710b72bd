#pragma once

#include "core/file_io.h"
#include "core/topic_table.h"

#include <span>
#include <string>

namespace qw {

struct EnvironmentSettings;
class ProgressReporter;

/// Results of reading one chapter besides a positive topic count.
enum ChapterResult : int {
    NoSeparators = 0,
    TooManyTopics = -1,
    UnevenSeparators = -2,
    ChapterNotFound = -3,
    DuplicateChapter = -4,
    OutsideProject = -5,
};

inline constexpr int kMaxTopicsPerChapter = 99;
inline constexpr int kBuiltInMaxIconIndex = 41;

/// What the parser needs of the environment.
struct ParseOptions {
    std::string separator = "--------------------------------------------------";
    std::string defaultBgColour = "$FFFFFF";
    int defaultTopicIcon = 10;
    int maxIconIndex = kBuiltInMaxIconIndex;
    bool addFilePrefix = true;
    bool lcaseTopicFN = true;
    bool convertSpaces = true;
    static ParseOptions from(const EnvironmentSettings& env, int maxIconIndex);
};

/// Where the topics of a chapter lie in its line list.
struct ChapterLayout {
    int separators = 0;            ///< separator lines found (the walk stops at 199)
    std::vector<size_t> openings;  ///< opening line of each pair
    std::vector<size_t> closings;  ///< closing line of each pair
    long bodyEndLine = -1;         ///< last line of the last topic
};

/// Finds the separator pairs and the end of the body. A chapter without "</BODY>"
/// ends its last topic at its last line.
ChapterLayout scanChapter(const std::vector<std::string_view>& lines, const std::string& separator);
/// scanChapter for lines that are views into text, in order and without their line ends
/// (as splitLineViews gives them): the text is searched whole, not line by line, with the
/// same result.
ChapterLayout scanChapterText(std::string_view text, const std::vector<std::string_view>& lines,
                              const std::string& separator);

/// The value of key in a joined metadata block: the text between the first two single
/// quotes after the key (found ignoring case), trimmed; empty when missing.
std::string metadataValue(std::string_view block, std::string_view key);
/// metadataValue of each key, in their order, found in one walk over the block's "="
/// signs (for keys that end with one; any other key is searched for on its own).
std::vector<std::string> metadataValues(std::string_view block,
                                        std::span<const std::string_view> keys);

/// Reads a chapter file and appends its chapter row and topic rows to the table, whose
/// sources keep the text read for the write-back. Returns the topic count, or
/// NoSeparators, TooManyTopics or UnevenSeparators with the table unchanged. Throws
/// FileError when the file cannot be read.
int parseChapter(const std::string& path, TopicTable& table, const ParseOptions& options);
/// parseChapter over the bytes of the file at path, already read. With starts, sets
/// them to where the text's lines start (see lineStarts) when the chapter has topics.
int parseChapterText(std::string_view bytes, const std::string& path, TopicTable& table,
                     const ParseOptions& options, std::vector<uint32_t>* starts = nullptr);

/// parseChapter after the checks for a duplicate and a missing file; reports a failed
/// chapter's line to the progress window, updates the counts and advances one step.
int loadChapter(const std::string& path, TopicTable& table, const ParseOptions& options,
                ProgressReporter& progress);

/// The line listed in the progress window for a failed chapter.
std::string chapterErrorText(int result, const std::string& path);

} // namespace qw
