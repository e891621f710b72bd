#include "core/row_move.h"

#include "core/topic_table.h"

namespace qw {

namespace {

/// Chapter rows and the end-of-list row: the rows that are not topics.
bool isBoundary(const TopicTable& table, size_t row) {
    return row >= table.rowCount() - 1 || table.isChapterRow(row);
}

/// The table moves a row in front of another; turn a final index into that form.
size_t insertBefore(size_t from, size_t to) {
    return to > from ? to + 1 : to;
}

bool chapterLostLastTopic(const TopicTable& table, size_t from) {
    if (from + 1 < table.rowCount() && isBoundary(table, from) && isBoundary(table, from + 1))
        return true;
    return from >= 2 && isBoundary(table, from - 1) && isBoundary(table, from);
}

bool moveIsRefused(const TopicTable& table, size_t from, size_t to) {
    if (isBoundary(table, to))
        return true;
    if (to == 1 || to >= table.endRow())
        return true;
    return chapterLostLastTopic(table, from);
}

} // namespace

RowMoveResult dragRow(TopicTable& table, size_t from, size_t to, RowMoveFlags flags) {
    RowMoveResult result;
    if (from == to || !table.isDataRow(from) || to < 1)
        return result;
    if (to >= table.endRow()) {
        // Dropped on the end-of-list row or below it: nothing moves, but the author hears
        // the refusal instead of the row silently joining the last chapter.
        result.refused = !flags.inserting && !flags.rowOperation;
        return result;
    }
    const bool chapter = table.isChapterRow(from);
    table.moveRow(from, insertBefore(from, to));
    result.moved = true;
    if (flags.inserting || flags.rowOperation)
        return result;
    if (!moveIsRefused(table, from, to))
        return result;
    table.moveRow(to, insertBefore(to, from));
    result.moved = false;
    result.refused = true;
    result.moveChapters = chapter && to != 1;
    return result;
}

} // namespace qw
