#include "core/topic_list_file.h"

#include "core/topic_table.h"

namespace qw {

namespace {

template <typename ChapterLine, typename TopicLine>
Lines walkRows(const TopicTable& table, ChapterLine chapterLine, TopicLine topicLine) {
    Lines lines;
    for (size_t row = 1; row < table.endRow(); ++row) {
        if (table.isChapterRow(row))
            chapterLine(lines, table.displayTitle(row));
        else
            topicLine(lines, table.cell(row, ColFileName));
    }
    return lines;
}

} // namespace

Lines topicListLines(const TopicTable& table) {
    return walkRows(
        table, [](Lines& lines, const std::string& title) { lines.push_back("-" + title); },
        [](Lines& lines, const std::string& name) { lines.push_back(name); });
}

Lines printoutLines(const TopicTable& table) {
    return walkRows(
        table,
        [](Lines& lines, const std::string& title) {
            lines.push_back("|");
            lines.push_back("|- " + title);
        },
        [](Lines& lines, const std::string& name) { lines.push_back("|    |- " + name); });
}

std::string writeTopicListFile(const TopicTable& table) {
    const std::string path = table.projectDir() + "TopicLst.tfl";
    writeLines(path, topicListLines(table));
    return path;
}

} // namespace qw
