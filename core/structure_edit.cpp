#include "core/structure_edit.h"

#include "core/latin_title.h"

#include "core/file_names.h"
#include "core/text_util.h"

namespace qw {

Row newChapterRow(const std::string& name, const std::string& path) {
    Row row;
    row[ColMarker] = std::string(kChapterMarker);
    row[ColTitle] = name;
    row[ColMainFileName] = path;
    return row;
}

Row newTopicRow(const std::string& title, const std::string& templatePath, size_t templateLines,
                int icon, const FileNameOptions& options) {
    Row row;
    row[ColTitle] = title;
    row[ColFileName] = fileNameRule(latinTitle(title, options), options) + ".htm";
    row[ColIcon] = std::to_string(icon);
    row[ColStartLine] = std::to_string(0); // not a literal: GCC 12 warns falsely (-Wrestrict)
    row[ColEndLine] = std::to_string(static_cast<long long>(templateLines) - 1);
    row[ColMainFileName] = templatePath;
    return row;
}

size_t insertRowAfter(TopicTable& table, Row row, size_t current) {
    if (table.cell(table.endRow(), ColTitle).empty())
        table.setCell(table.endRow(), ColTitle, std::string(kEndOfListTitle));
    const size_t added = table.endRow();
    table.insertRows(added, {std::move(row)});
    if (table.rowCount() <= 3 || current < 1 || current + 1 >= added)
        return added;
    table.moveRow(added, current + 1);
    return current + 1;
}

std::string insertPrefix(const std::string& chapterFile) {
    return toLower(chapterFile.substr(0, 3)) + "_";
}

size_t lastRowOfChapter(const TopicTable& table, size_t row) {
    size_t last = table.chapterRowOf(row);
    while (last + 1 < table.endRow() && !table.isChapterRow(last + 1))
        ++last;
    return last;
}

size_t deleteChapterRows(TopicTable& table, size_t chapterRow) {
    if (!table.isDataRow(chapterRow) || !table.isChapterRow(chapterRow))
        return 0;
    const size_t topics = lastRowOfChapter(table, chapterRow) - chapterRow;
    table.removeRows(chapterRow, topics + 1);
    table.updateCounts(-int(topics), -1);
    return topics;
}

} // namespace qw
