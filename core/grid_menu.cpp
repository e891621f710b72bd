#include "core/grid_menu.h"

#include "core/topic_table.h"

namespace qw {

namespace {

/// "Icons", "Background Images" or "Background Colours"; empty for other columns.
std::string setAllNoun(int column) {
    switch (column) {
    case ColIcon:
        return "Icons";
    case ColBgImage:
        return "Background Images";
    case ColBgColour:
        return "Background Colours";
    default:
        return {};
    }
}

constexpr std::string_view kLetters = "dwhcnr";

} // namespace

GridMenuState fitGridMenu(const TopicTable& table, size_t row, int column, int copiedColumn,
                          bool projectOpen) {
    GridMenuState state;
    state.projectOpen = projectOpen;
    const bool topic = table.isTopicRow(row);
    state.topicItems = topic;
    state.chapterItems = !topic;
    state.copyEnabled = projectOpen;
    // Derived and computed cells (role letters, line numbers, chapter path) never take
    // pasted text: a pasted line number would make the next save cut the wrong lines.
    state.pasteEnabled = column == copiedColumn && column >= ColTitle && column <= ColRelated;
    if (!topic && column != ColTitle) {
        state.copyEnabled = false;
        state.pasteEnabled = false;
    }
    if (topic) {
        const std::string& marker = table.cell(row, ColMarker);
        for (size_t i = 0; i < kLetters.size(); ++i)
            state.specialChecked[i] = marker.find(kLetters[i]) != std::string::npos;
    }
    const std::string noun = setAllNoun(column);
    if (topic && !noun.empty()) {
        state.setAllItems = true;
        state.setAllCaption = "Set ALL " + noun + " As";
        state.setAllStatus = "Set The " + noun + " For ALL Topics To The Currently Selected";
        state.chapterEndCaption = "Set All " + noun + " To Chapter End As";
        state.chapterEndStatus =
            "Set The " + noun +
            " For The Remaining Topics In This Chapter To The Currently Selected";
    }
    return state;
}

void setAllTopics(TopicTable& table, size_t row, int column) {
    const std::string text = table.cell(row, column);
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (!table.isChapterRow(r))
            table.setCell(r, column, text);
    }
}

size_t setToChapterEnd(TopicTable& table, size_t row, int column) {
    const std::string text = table.cell(row, column);
    size_t r = row;
    for (; r < table.endRow() && !table.isChapterRow(r); ++r)
        table.setCell(r, column, text);
    return r - 1;
}

} // namespace qw
