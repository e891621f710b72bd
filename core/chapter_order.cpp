#include "core/chapter_order.h"

#include "core/chapter_parser.h"
#include "core/progress.h"
#include "core/topic_table.h"

#include <algorithm>
#include <utility>

namespace qw {

std::vector<ChapterEntry> chapterEntries(const TopicTable& table) {
    std::vector<ChapterEntry> entries;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r))
            entries.push_back({table.cell(r, ColTitle), table.cell(r, ColMainFileName)});
    return entries;
}

int moveChapterUp(std::vector<ChapterEntry>& entries, int selected) {
    if (selected < 1 || selected >= int(entries.size()))
        return selected;
    std::swap(entries[size_t(selected)], entries[size_t(selected) - 1]);
    return selected - 1;
}

int moveChapterDown(std::vector<ChapterEntry>& entries, int selected) {
    if (selected < 0 || selected + 1 >= int(entries.size()))
        return selected;
    std::swap(entries[size_t(selected)], entries[size_t(selected) + 1]);
    return selected + 1;
}

int deleteChapterEntry(std::vector<ChapterEntry>& entries, int selected) {
    if (selected < 0 || selected >= int(entries.size()) || entries.size() <= 1)
        return selected;
    entries.erase(entries.begin() + selected);
    return std::max(selected - 1, 0);
}

void reloadChapters(TopicTable& table, const std::vector<ChapterEntry>& entries,
                    const ParseOptions& options, ProgressReporter& progress) {
    table.beginReset();
    table.clear();
    table.resetCounts();
    progress.begin("Loading Files. Please Wait...", std::max<int>(int(entries.size()), 1), false);
    try {
        for (const ChapterEntry& entry : entries) {
            const size_t before = table.rowCount();
            if (loadChapter(entry.path, table, options, progress) > 0)
                table.setCell(before - 1, ColTitle, entry.title);
        }
    } catch (...) {
        table.endReset();
        progress.finish(0);
        throw;
    }
    table.endReset();
    progress.finish(0);
}

} // namespace qw
