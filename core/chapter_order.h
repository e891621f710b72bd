#pragma once

#include <string>
#include <vector>

namespace qw {

class ProgressReporter;
class TopicTable;
struct ParseOptions;

/// One chapter as the move/delete dialog lists it.
struct ChapterEntry {
    std::string title;
    std::string path; ///< the chapter row's MainFileName
    bool operator==(const ChapterEntry&) const = default;
};

/// The chapter rows of the table, in table order.
std::vector<ChapterEntry> chapterEntries(const TopicTable& table);

/// The list operations of the move/delete dialog. Each returns the entry to select
/// afterwards and leaves the list alone (returning selected) when it cannot act: Up on
/// the first entry, Down on the last, Delete on the last entry left.
int moveChapterUp(std::vector<ChapterEntry>& entries, int selected);
int moveChapterDown(std::vector<ChapterEntry>& entries, int selected);
int deleteChapterEntry(std::vector<ChapterEntry>& entries, int selected);

/// Empties the table and loads every entry's chapter file afresh in list order; each
/// chapter row then takes its entry's title. A chapter that fails to load is reported
/// to the progress window (which the author closes) and left out. Throws FileError when
/// a file cannot be read.
void reloadChapters(TopicTable& table, const std::vector<ChapterEntry>& entries,
                    const ParseOptions& options, ProgressReporter& progress);

} // namespace qw
