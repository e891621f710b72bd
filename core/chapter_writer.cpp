#include "core/chapter_writer.h"

#include "core/chapter_commit.h"
#include "core/metadata_values.h"
#include "core/progress.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <utility>

namespace qw {

namespace {

/// The number of head lines: up to the body tag's line and on to its closing ">";
/// 0 when there is no body tag.
template <typename LineList> size_t headLength(const LineList& lines) {
    size_t i = 0;
    for (; i < lines.size(); ++i)
        if (containsNoCase(lines[i], "<BODY"))
            break;
    if (i == lines.size())
        return 0;
    size_t end = i;
    const size_t tag = findNoCase(lines[i], "<BODY");
    if (std::string_view(lines[i]).find('>', tag) == std::string_view::npos) {
        end = i + 1;
        while (end < lines.size() &&
               std::string_view(lines[end]).find('>') == std::string_view::npos)
            ++end;
        if (end == lines.size())
            end = lines.size() - 1;
    }
    return end + 1;
}

/// The lines of the files the rows' content comes from: the text kept when the chapter
/// was loaded or last saved, else (a file never loaded, such as the new-topic template)
/// the file as it is now, read once. A file's lines are dropped once no later row needs
/// them, so that the next chapter's lines reuse their memory.
class SourceLines {
public:
    explicit SourceLines(const ChapterSources& sources) : m_sources(sources) {}

    const std::vector<std::string_view>& get(const std::string& path) {
        // Rows mostly take their lines from the file the row before did.
        if (m_last != nullptr && m_lastPath == path)
            return *m_last;
        auto it = m_lines.find(path);
        if (it != m_lines.end()) {
            remember(it);
            return it->second;
        }
        it = m_lines.emplace(path, std::move(m_spare)).first;
        m_spare = {};
        if (const auto* source = m_sources.find(path)) {
            source->lineViews(it->second);
        } else {
            auto read = m_read.find(path);
            if (read == m_read.end())
                read = m_read.emplace(path, readFileBytes(path)).first;
            splitLineViews(read->second, it->second);
        }
        remember(it);
        return it->second;
    }
    /// Forgets the lines of path (a later get splits its text again).
    void release(const std::string& path) {
        const auto it = m_lines.find(path);
        if (it == m_lines.end())
            return;
        if (m_last == &it->second)
            m_last = nullptr;
        if (it->second.capacity() > m_spare.capacity())
            m_spare = std::move(it->second);
        m_lines.erase(it);
    }

private:
    using LineMap = std::map<std::string, std::vector<std::string_view>, std::less<>>;
    void remember(LineMap::iterator it) {
        m_lastPath = it->first;
        m_last = &it->second;
    }

    const ChapterSources& m_sources;
    std::map<std::string, std::string, std::less<>> m_read;
    LineMap m_lines;
    std::vector<std::string_view> m_spare; ///< the memory of lines let go
    std::string_view m_lastPath;           ///< the key of m_last in m_lines
    const std::vector<std::string_view>* m_last = nullptr;
};

long long lineNumber(const std::string& cell, const std::string& path) {
    long long value = 0;
    if (!parseInt(trimView(cell), value))
        throw FileError("Invalid line number '" + cell + "' for " + path);
    return value;
}

/// The new line numbers and chapter path of one topic row.
struct RowUpdate {
    size_t row;
    std::string chapterPath;
    std::string startLine;
    std::string endLine;
};

/// Refuses the save when a chapter's file changed on disk since its text was taken and
/// the author did not choose to overwrite it.
void refuseChangedChapters(const TopicTable& table) {
    const std::vector<std::string> changed = table.sources().changedOnDisk();
    for (size_t r = 1; r < table.endRow(); ++r) {
        const std::string& path = table.cell(r, ColMainFileName);
        if (std::find(changed.begin(), changed.end(), path) != changed.end())
            throw FileError("Not saved: " + path +
                            " was changed on disk since the project was loaded; reload the "
                            "project to take those changes, or keep the program's version "
                            "when asked");
    }
}

/// Whether a chapter's new text is the very text its file holds: the text kept when it
/// was loaded or saved, with the file unchanged since and no choice of the author to
/// overwrite it. With a backup name, the backup must hold it too, as it would after
/// replacing the file by its own text. Such a chapter needs no writing.
bool isUnchanged(const TopicTable& table, const std::string& path, std::string_view text,
                 const std::string& backup) {
    const ChapterSources::Source* source = table.sources().find(path);
    if (source == nullptr || source->overwriteAllowed || *source->bytes != text ||
        fileState(path) != source->state)
        return false;
    return backup.empty() || fileHoldsBytes(backup, text);
}

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kChapterEnd = "</BODY></HTML>";

/// A topic's metadata block as pieces: three lines, each piece list ending with a line
/// end. The one description of the block, for writing it and for metadataBlock.
using BlockPieces = std::array<std::string_view, 24>;
BlockPieces blockPieces(const TopicTable& table, size_t row, std::string_view separator,
                        std::string_view br) {
    return {separator,
            "<font size=\"-2\">",
            br,
            kLineEnd,
            "Title='",
            table.cell(row, ColTitle),
            "' <br>KeyWords='",
            table.cell(row, ColKeyWords),
            " ' <!-- FileName='",
            table.cell(row, ColFileName),
            "' - Icon='",
            table.cell(row, ColIcon),
            "' - BgImage='",
            table.cell(row, ColBgImage),
            "' - BgColour='",
            table.cell(row, ColBgColour),
            "' - Related='",
            table.cell(row, ColRelated),
            "'--> ",
            kLineEnd,
            br,
            "</font>",
            separator,
            kLineEnd};
}
constexpr size_t kBlockLines = 3;

/// The line break the block puts after "<font size=...>" and before "</font>": none when
/// the separator is a horizontal rule.
std::string_view blockBreak(const std::string& separator) {
    return toUpper(separator) == "<HR>" ? std::string_view() : std::string_view("<br>");
}

/// The bytes lines[first..last] take written with CR LF ends.
size_t linesSize(const std::vector<std::string_view>& lines, size_t first, size_t last) {
    size_t size = 0;
    for (size_t i = first; i <= last; ++i)
        size += lines[i].size() + kLineEnd.size();
    return size;
}

/// Appends lines[first..last] (views into one text, as splitLineViews gives them), each
/// ended by CR LF. Neighbouring lines two bytes apart are separated by CR LF in the text
/// itself, so each such run is copied as one piece.
void appendLines(std::string& out, const std::vector<std::string_view>& lines, size_t first,
                 size_t last) {
    for (size_t i = first; i <= last;) {
        size_t j = i;
        while (j < last && lines[j + 1].data() == lines[j].data() + lines[j].size() + 2)
            ++j;
        out.append(lines[i].data(), size_t(lines[j].data() + lines[j].size() - lines[i].data()));
        out += kLineEnd;
        i = j + 1;
    }
}

/// One topic row's content: its source lines, checked to lie inside the source.
struct TopicLines {
    const std::vector<std::string_view>* lines;
    long long first;
    long long last;
    size_t count() const { return last >= first ? size_t(last - first + 1) : 0; }
};

TopicLines topicLines(const TopicTable& table, size_t row, SourceLines& sources) {
    const std::string& source = table.cell(row, ColMainFileName);
    const auto& lines = sources.get(source);
    const long long first = lineNumber(table.cell(row, ColStartLine), source);
    const long long last = lineNumber(table.cell(row, ColEndLine), source);
    if (last >= first && (first < 0 || last >= static_cast<long long>(lines.size())))
        throw FileError("Lines " + table.cell(row, ColStartLine) + " to " +
                        table.cell(row, ColEndLine) + " are not inside " + source);
    return {&lines, first, last};
}

} // namespace

MetadataBlock metadataBlock(const TopicTable& table, size_t row, const std::string& separator) {
    const BlockPieces pieces = blockPieces(table, row, separator, blockBreak(separator));
    MetadataBlock block;
    // Pieces 0-2, 4-18 and 20-22 are the three lines; 3, 19 and 23 their line ends.
    for (size_t i = 0; i < 3; ++i)
        block.opening += pieces[i];
    for (size_t i = 4; i < 19; ++i)
        block.metadata += pieces[i];
    for (size_t i = 20; i < 23; ++i)
        block.closing += pieces[i];
    return block;
}

Lines chapterHead(const Lines& lines) {
    return Lines(lines.begin(), lines.begin() + long(headLength(lines)));
}

namespace {

/// Builds the new text of one chapter after another into one text, whose memory serves
/// the next chapter when a chapter needs no writing.
class ChapterBuilder {
public:
    ChapterBuilder(const TopicTable& table, const std::string& separator)
        : m_table(table), m_separator(separator), m_break(blockBreak(separator)),
          m_sources(table.sources()) {
        // For each file, the last row that takes lines from it.
        for (size_t r = 1; r < table.endRow(); ++r)
            m_lastUse[table.cell(r, ColMainFileName)] = r;
    }

    /// The text of the chapter at chapterRow with its topic rows up to rowsEnd; appends
    /// the topic rows' new line numbers to updates. Throws FileError for a topic whose
    /// lines are not inside its file.
    const std::string& build(size_t chapterRow, size_t rowsEnd, std::vector<RowUpdate>& updates,
                             ProgressReporter* progress) {
        const std::string& path = m_table.cell(chapterRow, ColMainFileName);
        const auto& head = m_sources.get(path);
        const size_t headLines = headLength(head);
        m_text.clear();
        reserveMapped(m_text, size(chapterRow, rowsEnd, head, headLines));
        if (headLines > 0)
            appendLines(m_text, head, 0, headLines - 1);
        m_text += kLineEnd;
        size_t lineCount = headLines + 1;
        if (progress)
            progress->step();
        for (size_t r = chapterRow + 1; r < rowsEnd; ++r) {
            for (std::string_view piece : blockPieces(m_table, r, m_separator, m_break))
                m_text += piece;
            lineCount += kBlockLines;
            const TopicLines topic = topicLines(m_table, r, m_sources);
            RowUpdate& update = updates.emplace_back();
            update.row = r;
            update.chapterPath = path;
            update.startLine = std::to_string(lineCount);
            if (topic.count() > 0)
                appendLines(m_text, *topic.lines, size_t(topic.first), size_t(topic.last));
            lineCount += topic.count();
            update.endLine = std::to_string(static_cast<long long>(lineCount) - 1);
            if (progress)
                progress->step();
        }
        if (rowsEnd > chapterRow + 1) {
            m_text += kChapterEnd;
            m_text += kLineEnd;
        }
        releaseDone(chapterRow, rowsEnd);
        return m_text;
    }

    /// The text last built, to be kept: taken whole when it fills its memory, else
    /// copied at its size so that no chapter keeps a larger one's memory.
    std::string take() {
        if (m_text.capacity() - m_text.size() <= m_text.size() / 8)
            return std::exchange(m_text, std::string());
        return m_text;
    }

private:
    /// The bytes the chapter's text takes, worked out before it is built.
    size_t size(size_t chapterRow, size_t rowsEnd, const std::vector<std::string_view>& head,
                size_t headLines) {
        size_t size = (headLines ? linesSize(head, 0, headLines - 1) : 0) + kLineEnd.size();
        for (size_t r = chapterRow + 1; r < rowsEnd; ++r) {
            for (std::string_view piece : blockPieces(m_table, r, m_separator, m_break))
                size += piece.size();
            const TopicLines topic = topicLines(m_table, r, m_sources);
            if (topic.count() > 0)
                size += linesSize(*topic.lines, size_t(topic.first), size_t(topic.last));
        }
        if (rowsEnd > chapterRow + 1)
            size += kChapterEnd.size() + kLineEnd.size();
        return size;
    }

    /// Lets go of the lines of files that no row after rowsEnd takes lines from.
    void releaseDone(size_t chapterRow, size_t rowsEnd) {
        for (size_t r = chapterRow; r < rowsEnd; ++r) {
            const std::string& source = m_table.cell(r, ColMainFileName);
            if ((r == chapterRow || source != m_table.cell(r - 1, ColMainFileName)) &&
                m_lastUse[source] < rowsEnd)
                m_sources.release(source);
        }
    }

    const TopicTable& m_table;
    const std::string& m_separator;
    const std::string_view m_break;
    SourceLines m_sources;
    std::unordered_map<std::string_view, size_t> m_lastUse;
    std::string m_text;
};

} // namespace

void writeBackChapters(TopicTable& table, const std::string& separator, bool keepBackups,
                       ProgressReporter* progress) {
    checkMetadataValues(table, separator);
    refuseChangedChapters(table);
    const size_t endRow = table.endRow();
    if (progress)
        progress->begin("Saving Files. Please Wait...", int(std::max<size_t>(1, endRow - 1)),
                        false);
    std::vector<size_t> chapterRows;
    std::vector<std::string> keptPaths;
    for (size_t r = 1; r < endRow; ++r) {
        if (table.isChapterRow(r)) {
            chapterRows.push_back(r);
            keptPaths.push_back(table.cell(r, ColMainFileName));
        }
    }
    const std::vector<std::string> backups =
        keepBackups ? backupNames(keptPaths) : std::vector<std::string>(keptPaths.size());

    // Every chapter is built in memory and the table is left alone until all of them
    // have replaced their files: a failure leaves table and files as they were.
    ChapterBuilder builder(table, separator);
    std::vector<ReplacedChapter> replaced;
    std::vector<RowUpdate> updates;
    if (progress)
        for (size_t r = 1; r < (chapterRows.empty() ? endRow : chapterRows.front()); ++r)
            progress->step(); // rows before the first chapter belong to no file
    for (size_t c = 0; c < chapterRows.size(); ++c) {
        const size_t rowsEnd = c + 1 < chapterRows.size() ? chapterRows[c + 1] : endRow;
        const std::string& text = builder.build(chapterRows[c], rowsEnd, updates, progress);
        // A chapter row without topics gets no new file: its file is left alone.
        if (rowsEnd > chapterRows[c] + 1 &&
            !isUnchanged(table, keptPaths[c], text, keepBackups ? backups[c] : ""))
            replaced.push_back({keptPaths[c], builder.take()});
    }
    const std::string backupProblem = replaceChapterFiles(replaced, keptPaths, keepBackups);

    for (const RowUpdate& update : updates) {
        table.setCell(update.row, ColMainFileName, update.chapterPath);
        table.setCell(update.row, ColStartLine, update.startLine);
        table.setCell(update.row, ColEndLine, update.endLine);
    }
    for (ReplacedChapter& chapter : replaced)
        table.sources().keep(chapter.path, std::move(chapter.bytes), fileState(chapter.path));
    table.sources().retainOnly(keptPaths);
    if (progress)
        progress->finish(800);
    if (!backupProblem.empty())
        throw FileError(backupProblem);
}

void ChapterTimes::record(const TopicTable& table) {
    m_entries.clear();
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r))
            m_entries.emplace_back(table.cell(r, ColMainFileName),
                                   fileStamp(table.cell(r, ColMainFileName)));
}

bool ChapterTimes::changed() const {
    for (const auto& [path, stamp] : m_entries)
        if (fileStamp(path) != stamp)
            return true;
    return false;
}

} // namespace qw
