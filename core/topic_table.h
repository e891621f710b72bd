#pragma once

#include "core/chapter_sources.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qw {

/// Columns of the topic table.
enum Column : int {
    ColMarker = 0,
    ColTitle = 1,
    ColFileName = 2,
    ColIcon = 3,
    ColBgImage = 4,
    ColBgColour = 5,
    ColKeyWords = 6,
    ColRelated = 7,
    ColStartLine = 8,
    ColEndLine = 9,
    ColMainFileName = 10,
    ColumnCount = 11
};

using Row = std::array<std::string, ColumnCount>;

inline constexpr std::string_view kChapterMarker = " >";
inline constexpr std::string_view kEndOfListTitle = "// End Of List //";
inline constexpr std::string_view kWebPrefix = "WEB:";

/// The header titles of the eleven columns (column 0 empty).
const std::array<std::string_view, ColumnCount>& columnTitles();

/// The topic link paths of the project's special pages, as stored in the project file.
struct SpecialPages {
    std::string defaultPage;
    std::string welcomePage;
    std::string homeButtonPage;
    std::string customButtonPage;
    std::string whatsNewPage;
    std::string copyrightPage;
};

/// Told before and after every change of the table's shape and after every cell change,
/// so that a view can follow without copying the table. Nothing is told while a reset
/// (a whole load) is in progress; the view redraws once when it ends.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void beginReset() {}
    virtual void endReset() {}
    virtual void beginInsertRows(size_t /*at*/, size_t /*count*/) {}
    virtual void endInsertRows() {}
    virtual void beginRemoveRows(size_t /*at*/, size_t /*count*/) {}
    virtual void endRemoveRows() {}
    /// A move of the row at from so that it ends up in front of the row now at to.
    virtual void beginMoveRow(size_t /*from*/, size_t /*to*/) {}
    virtual void endMoveRow() {}
    virtual void cellChanged(size_t /*row*/, int /*column*/) {}
    virtual void countsChanged() {}
};

enum class DeleteResult { Deleted, RefusedChapterRow, RefusedOnlyTopic };

/// The one in-memory model of an open project: row 0 is the header, rows 1 to N-2 are
/// chapter rows (marker " >") each followed by its topic rows, row N-1 is the
/// end-of-list row. All cells are text.
class TopicTable {
public:
    TopicTable();

    void setObserver(TableObserver* observer) { m_observer = observer; }

    /// The directory of the project file with a trailing "/"; chapter folders are
    /// taken relative to it.
    void setProjectDir(std::string dir) { m_projectDir = std::move(dir); }
    const std::string& projectDir() const { return m_projectDir; }

    /// Leaves the header and an empty end-of-list row, and forgets the loaded chapter
    /// texts; the counts stay as they are.
    void clear();

    /// The chapter texts as loaded or last saved, which the rows' line numbers refer to.
    ChapterSources& sources() { return m_sources; }
    const ChapterSources& sources() const { return m_sources; }

    size_t rowCount() const { return m_rows.size(); }
    /// The index of the last data row plus one (the end-of-list row).
    size_t endRow() const { return m_rows.size() - 1; }
    const Row& row(size_t index) const { return m_rows[index]; }
    const std::string& cell(size_t row, int column) const { return m_rows[row][size_t(column)]; }
    void setCell(size_t row, int column, std::string value);

    /// Inserts rows before index at (at most endRow()).
    void insertRows(size_t at, const std::vector<Row>& rows);
    void removeRows(size_t at, size_t count);
    /// Moves the row at from so that it stands in front of the row now at to.
    void moveRow(size_t from, size_t to);

    /// Appends rows in place of the end-of-list row and adds a new end-of-list row
    /// titled "// End Of List //". Used by the chapter loader.
    void appendChapterRows(std::vector<Row> rows);
    /// Makes room for rows rows in all, so that the rows appended up to then are not
    /// moved again as the table grows. Memory that is never filled costs nothing.
    void reserveRows(size_t rows) { m_rows.reserve(rows); }

    bool isChapterRow(size_t row) const { return m_rows[row][ColMarker] == kChapterMarker; }
    bool isDataRow(size_t row) const { return row >= 1 && row + 1 < m_rows.size(); }
    bool isTopicRow(size_t row) const { return isDataRow(row) && !isChapterRow(row); }
    bool isWebTopic(size_t row) const;

    /// The chapter row above a topic row (the row itself for a chapter row); 0 when none.
    size_t chapterRowOf(size_t row) const;

    /// Title before the first "#".
    std::string displayTitle(size_t row) const;
    /// Text after the first "#", or the whole title when there is none.
    std::string hint(size_t row) const;
    /// The chapter's directory relative to the project directory with "/" separators
    /// and a trailing "/"; empty for a chapter in the project directory.
    std::string chapterFolder(size_t row) const;
    /// Web address for a web topic, else chapter folder + file name.
    std::string topicLinkPath(size_t row) const;
    /// topicLinkPath appended to out.
    void appendTopicLinkPath(size_t row, std::string& out) const;

    bool isChapterPresent(std::string_view path) const;
    std::vector<std::string> topicFileList(bool skipWebTopics) const;
    void markRoles(const SpecialPages& pages);

    /// Removes a topic row unless it is a chapter row or the only topic of its chapter;
    /// lowers the topic count by one.
    DeleteResult deleteTopicRow(size_t row);

    int topicCount() const { return m_topicCount; }
    int chapterCount() const { return m_chapterCount; }
    void resetCounts();
    void updateCounts(int topicsDelta, int chaptersDelta);
    /// "Topics: 12 , Chapters: 3"
    std::string statusText() const;

    /// Suppresses observer calls between them; the observer sees one reset.
    void beginReset();
    void endReset();

private:
    bool notifying() const { return m_observer != nullptr && m_resetDepth == 0; }
    static Row endOfListRow(bool titled);

    std::vector<Row> m_rows;
    std::string m_projectDir;
    ChapterSources m_sources;
    mutable std::unordered_set<std::string> m_chapterIndex; ///< lower-cased chapter paths
    mutable bool m_chapterIndexValid = true;
    int m_topicCount = 0;
    int m_chapterCount = 0;
    int m_resetDepth = 0;
    TableObserver* m_observer = nullptr;
};

} // namespace qw
