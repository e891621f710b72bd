#pragma once

#include <array>
#include <string>

namespace qw {

class TopicTable;

/// How the grid's pop-up menu looks for the current cell.
struct GridMenuState {
    bool projectOpen = false;  ///< enables chapter items, Copy and View In WYSIWYG Editor
    bool chapterItems = false; ///< Delete Selected Chapter, Insert New Chapter, View In WYSIWYG
    bool topicItems = false;   ///< Delete/Insert topic and the six special topics
    std::array<bool, 6> specialChecked{}; ///< by tag - 1
    bool copyEnabled = false;
    bool pasteEnabled = false;
    bool setAllItems = false;
    std::string setAllCaption; ///< "Set ALL Icons As"
    std::string setAllStatus;
    std::string chapterEndCaption; ///< "Set All Icons To Chapter End As"
    std::string chapterEndStatus;
};

/// Fits the pop-up menu to the cell at row, column; copiedColumn is -1 when nothing was
/// copied.
GridMenuState fitGridMenu(const TopicTable& table, size_t row, int column, int copiedColumn,
                          bool projectOpen);

/// Writes the cell's text into the same column of every topic row of the project.
void setAllTopics(TopicTable& table, size_t row, int column);
/// Writes the cell's text into the same column of the following topic rows of its
/// chapter. Returns the last row written.
size_t setToChapterEnd(TopicTable& table, size_t row, int column);

} // namespace qw
