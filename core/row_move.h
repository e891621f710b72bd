#pragma once

#include <cstddef>

namespace qw {

class TopicTable;

/// What became of a row dragged in the topic grid.
struct RowMoveResult {
    bool moved = false;        ///< the row stands at its new place
    bool refused = false;      ///< the move was undone; the program beeps
    bool moveChapters = false; ///< a chapter row was dragged: run Move / Delete Chapters
};

/// The program's own flags while it moves rows.
struct RowMoveFlags {
    bool inserting = false;    ///< inserting rows: the move is not checked
    bool rowOperation = false; ///< deleting rows: the move is never refused
};

/// Moves the row at from so that it stands at index to (both table rows; to counts in
/// the table after the move), then checks the move: a chapter row or the end-of-list
/// row may not move, a topic may not land before the first chapter or on the end-of-list
/// row (or below it), and no chapter may lose its last topic. A refused move is undone
/// at once.
RowMoveResult dragRow(TopicTable& table, size_t from, size_t to, RowMoveFlags flags = {});

} // namespace qw
