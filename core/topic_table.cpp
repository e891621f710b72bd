#include "core/topic_table.h"

#include "core/file_io.h"
#include "core/text_util.h"

#include <algorithm>
#include <cassert>

namespace qw {

const std::array<std::string_view, ColumnCount>& columnTitles() {
    static const std::array<std::string_view, ColumnCount> titles = {
        "",         "Title (#Hint)",  "FileName",   "Icon",     "BgImage",     "BgColour",
        "KeyWords", "Related Topics", "Start Line", "End Line", "MainFileName"};
    return titles;
}

TopicTable::TopicTable() {
    Row header;
    for (size_t c = 0; c < ColumnCount; ++c)
        header[c] = std::string(columnTitles()[c]);
    m_rows.push_back(header);
    m_rows.push_back(endOfListRow(false));
}

Row TopicTable::endOfListRow(bool titled) {
    Row row;
    row[ColMarker] = std::string(kChapterMarker);
    if (titled)
        row[ColTitle] = std::string(kEndOfListTitle);
    return row;
}

void TopicTable::clear() {
    beginReset();
    m_rows.resize(1);
    m_rows.push_back(endOfListRow(false));
    m_sources.clear();
    m_chapterIndex.clear();
    m_chapterIndexValid = true;
    endReset();
}

void TopicTable::setCell(size_t row, int column, std::string value) {
    std::string& cell = m_rows[row][size_t(column)];
    if (cell == value)
        return;
    cell = std::move(value);
    if (column == ColMarker || column == ColMainFileName)
        m_chapterIndexValid = false;
    if (notifying())
        m_observer->cellChanged(row, column);
}

void TopicTable::insertRows(size_t at, const std::vector<Row>& rows) {
    assert(at >= 1 && at <= endRow());
    if (rows.empty())
        return;
    if (notifying())
        m_observer->beginInsertRows(at, rows.size());
    m_rows.insert(m_rows.begin() + long(at), rows.begin(), rows.end());
    m_chapterIndexValid = false;
    if (notifying())
        m_observer->endInsertRows();
}

void TopicTable::removeRows(size_t at, size_t count) {
    assert(at >= 1 && at + count <= endRow());
    if (count == 0)
        return;
    if (notifying())
        m_observer->beginRemoveRows(at, count);
    m_rows.erase(m_rows.begin() + long(at), m_rows.begin() + long(at + count));
    m_chapterIndexValid = false;
    if (notifying())
        m_observer->endRemoveRows();
}

void TopicTable::moveRow(size_t from, size_t to) {
    assert(isDataRow(from) && to >= 1 && to <= endRow());
    if (to == from || to == from + 1)
        return;
    if (notifying())
        m_observer->beginMoveRow(from, to);
    Row moved = std::move(m_rows[from]);
    m_rows.erase(m_rows.begin() + long(from));
    const size_t target = to > from ? to - 1 : to;
    m_rows.insert(m_rows.begin() + long(target), std::move(moved));
    if (notifying())
        m_observer->endMoveRow();
}

void TopicTable::appendChapterRows(std::vector<Row> rows) {
    if (rows.empty())
        return;
    const size_t at = endRow();
    if (notifying())
        m_observer->beginInsertRows(at, rows.size());
    m_rows.pop_back();
    for (auto& r : rows) {
        if (m_chapterIndexValid && r[ColMarker] == kChapterMarker)
            m_chapterIndex.insert(toLower(r[ColMainFileName]));
        m_rows.push_back(std::move(r));
    }
    m_rows.push_back(endOfListRow(true));
    if (notifying())
        m_observer->endInsertRows();
}

bool TopicTable::isWebTopic(size_t row) const {
    return startsWith(m_rows[row][ColFileName], kWebPrefix);
}

size_t TopicTable::chapterRowOf(size_t row) const {
    while (row >= 1 && !isChapterRow(row))
        --row;
    return row;
}

std::string TopicTable::displayTitle(size_t row) const {
    const std::string& title = m_rows[row][ColTitle];
    return title.substr(0, title.find('#'));
}

std::string TopicTable::hint(size_t row) const {
    const std::string& title = m_rows[row][ColTitle];
    const size_t hash = title.find('#');
    return hash == std::string::npos ? title : title.substr(hash + 1);
}

namespace {

/// The folder part of a chapter path below the project directory, as stored ("" or
/// "sub\\" or "sub/"). Asked for every row by every generated file: no copy.
std::string_view storedFolder(std::string_view path, size_t projectDirSize) {
    if (path.size() < projectDirSize)
        return {};
    const std::string_view rest = path.substr(projectDirSize);
    size_t end = rest.size();
    while (end > 0 && rest[end - 1] != '/' && rest[end - 1] != '\\')
        --end;
    return rest.substr(0, end);
}

/// Appends a stored folder with "/" between its names.
void appendSlashed(std::string& out, std::string_view folder) {
    const size_t at = out.size();
    out += folder;
    std::replace(out.begin() + long(at), out.end(), '\\', '/');
}

} // namespace

std::string TopicTable::chapterFolder(size_t row) const {
    std::string folder;
    appendSlashed(folder, storedFolder(m_rows[row][ColMainFileName], m_projectDir.size()));
    return folder;
}

std::string TopicTable::topicLinkPath(size_t row) const {
    std::string path;
    appendTopicLinkPath(row, path);
    return path;
}

void TopicTable::appendTopicLinkPath(size_t row, std::string& out) const {
    const std::string& name = m_rows[row][ColFileName];
    if (startsWith(name, kWebPrefix)) {
        out.append(std::string_view(name).substr(kWebPrefix.size()));
        return;
    }
    appendSlashed(out, storedFolder(m_rows[row][ColMainFileName], m_projectDir.size()));
    out += name;
}

bool TopicTable::isChapterPresent(std::string_view path) const {
    // An index of the chapter paths, kept while chapters are appended and made again
    // after any other change: a load asks once per chapter, and a scan of all rows
    // each time grew with the square of the project.
    if (!m_chapterIndexValid) {
        m_chapterIndex.clear();
        for (size_t r = 1; r < endRow(); ++r)
            if (isChapterRow(r))
                m_chapterIndex.insert(toLower(m_rows[r][ColMainFileName]));
        m_chapterIndexValid = true;
    }
    return m_chapterIndex.count(toLower(path)) != 0;
}

std::vector<std::string> TopicTable::topicFileList(bool skipWebTopics) const {
    std::vector<std::string> list;
    for (size_t r = 1; r < endRow(); ++r) {
        if (isChapterRow(r) || (skipWebTopics && isWebTopic(r)))
            continue;
        list.push_back(topicLinkPath(r));
    }
    return list;
}

void TopicTable::markRoles(const SpecialPages& pages) {
    const std::string props[] = {toLower(pages.defaultPage),    toLower(pages.welcomePage),
                                 toLower(pages.homeButtonPage), toLower(pages.customButtonPage),
                                 toLower(pages.whatsNewPage),   toLower(pages.copyrightPage)};
    const char letters[] = {'d', 'w', 'h', 'c', 'n', 'r'};
    // The path of each row is made in memory kept from row to row.
    std::string folder, path;
    for (size_t r = 1; r < endRow(); ++r) {
        if (isChapterRow(r)) {
            folder = toLower(chapterFolder(r));
            continue;
        }
        const std::string& name = m_rows[r][ColFileName];
        path.clear();
        if (startsWithNoCase(name, kWebPrefix)) {
            appendLowered(path, std::string_view(name).substr(kWebPrefix.size()));
        } else {
            path += folder;
            appendLowered(path, name);
        }
        std::string marker;
        for (size_t i = 0; i < 6; ++i)
            if (!props[i].empty() && props[i] == path)
                marker += letters[i];
        setCell(r, ColMarker, marker);
    }
}

DeleteResult TopicTable::deleteTopicRow(size_t row) {
    if (!isDataRow(row) || isChapterRow(row))
        return DeleteResult::RefusedChapterRow;
    const bool aboveIsChapter = isChapterRow(row - 1);
    const bool belowIsChapter = row + 1 >= endRow() || isChapterRow(row + 1);
    if (aboveIsChapter && belowIsChapter)
        return DeleteResult::RefusedOnlyTopic;
    removeRows(row, 1);
    updateCounts(-1, 0);
    return DeleteResult::Deleted;
}

void TopicTable::resetCounts() {
    m_topicCount = 0;
    m_chapterCount = 0;
    if (notifying())
        m_observer->countsChanged();
}

void TopicTable::updateCounts(int topicsDelta, int chaptersDelta) {
    m_topicCount += topicsDelta;
    m_chapterCount += chaptersDelta;
    if (notifying())
        m_observer->countsChanged();
}

std::string TopicTable::statusText() const {
    return "Topics: " + std::to_string(m_topicCount) +
           " , Chapters: " + std::to_string(m_chapterCount);
}

void TopicTable::beginReset() {
    if (m_resetDepth++ == 0 && m_observer)
        m_observer->beginReset();
}

void TopicTable::endReset() {
    if (--m_resetDepth == 0 && m_observer) {
        m_observer->endReset();
        m_observer->countsChanged();
    }
}

} // namespace qw
