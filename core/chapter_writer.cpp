#include "core/chapter_writer.h"

#include "core/chapter_commit.h"
#include "core/metadata_values.h"
#include "core/progress.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <algorithm>
#include <map>

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
/// the file as it is now, read once.
class SourceLines {
public:
    explicit SourceLines(const ChapterSources& sources) : m_sources(sources) {}

    const std::vector<std::string_view>& get(const std::string& path) {
        auto it = m_lines.find(path);
        if (it != m_lines.end())
            return it->second;
        std::string_view bytes;
        if (const auto* source = m_sources.find(path)) {
            bytes = *source->bytes;
        } else {
            auto& read = m_read[path];
            read = readFileBytes(path);
            bytes = read;
        }
        return m_lines.emplace(path, splitLineViews(bytes)).first->second;
    }

private:
    const ChapterSources& m_sources;
    std::map<std::string, std::string> m_read;
    std::map<std::string, std::vector<std::string_view>> m_lines;
};

long long lineNumber(const std::string& cell, const std::string& path) {
    long long value = 0;
    if (!parseInt(trim(cell), value))
        throw FileError("Invalid line number '" + cell + "' for " + path);
    return value;
}

/// A chapter file being built in memory, counting its lines.
struct ChapterText {
    std::string path;
    std::string bytes;
    size_t lines = 0;
    bool hasTopics = false;
    void append(std::string_view line) {
        bytes += line;
        bytes += "\r\n";
        ++lines;
    }
};

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
bool isUnchanged(const TopicTable& table, const ChapterText& chapter, const std::string& backup) {
    const ChapterSources::Source* source = table.sources().find(chapter.path);
    if (source == nullptr || source->overwriteAllowed || *source->bytes != chapter.bytes ||
        fileState(chapter.path) != source->state)
        return false;
    if (backup.empty())
        return true;
    const FileState state = fileState(backup);
    if (!state.exists || state.size != chapter.bytes.size())
        return false;
    try {
        return readFileBytes(backup) == chapter.bytes;
    } catch (const FileError&) {
        return false;
    }
}

} // namespace

MetadataBlock metadataBlock(const TopicTable& table, size_t row, const std::string& separator) {
    const std::string br = toUpper(separator) == "<HR>" ? "" : "<br>";
    MetadataBlock block;
    block.opening = separator + "<font size=\"-2\">" + br;
    block.metadata = "Title='" + table.cell(row, ColTitle) + "' <br>" + "KeyWords='" +
                     table.cell(row, ColKeyWords) + " ' " + "<!-- FileName='" +
                     table.cell(row, ColFileName) + "' - " + "Icon='" + table.cell(row, ColIcon) +
                     "' - " + "BgImage='" + table.cell(row, ColBgImage) + "' - " + "BgColour='" +
                     table.cell(row, ColBgColour) + "' - " + "Related='" +
                     table.cell(row, ColRelated) + "'--> ";
    block.closing = br + "</font>" + separator;
    return block;
}

Lines chapterHead(const Lines& lines) {
    return Lines(lines.begin(), lines.begin() + long(headLength(lines)));
}

void writeBackChapters(TopicTable& table, const std::string& separator, bool keepBackups,
                       ProgressReporter* progress) {
    checkMetadataValues(table, separator);
    refuseChangedChapters(table);
    const size_t endRow = table.endRow();
    if (progress)
        progress->begin("Saving Files. Please Wait...", int(std::max<size_t>(1, endRow - 1)),
                        false);

    // Every chapter is built in memory and the table is left alone until all of them
    // have replaced their files: a failure leaves table and files as they were.
    SourceLines sources(table.sources());
    std::vector<ChapterText> chapters;
    std::vector<RowUpdate> updates;
    for (size_t r = 1; r < endRow; ++r) {
        if (table.isChapterRow(r)) {
            ChapterText& chapter = chapters.emplace_back();
            chapter.path = table.cell(r, ColMainFileName);
            const auto& lines = sources.get(chapter.path);
            for (size_t i = 0, n = headLength(lines); i < n; ++i)
                chapter.append(lines[i]);
            chapter.append("");
        } else if (!chapters.empty()) {
            ChapterText& chapter = chapters.back();
            chapter.hasTopics = true;
            const MetadataBlock block = metadataBlock(table, r, separator);
            chapter.append(block.opening);
            chapter.append(block.metadata);
            chapter.append(block.closing);
            const std::string& source = table.cell(r, ColMainFileName);
            const auto& lines = sources.get(source);
            const long long first = lineNumber(table.cell(r, ColStartLine), source);
            const long long last = lineNumber(table.cell(r, ColEndLine), source);
            if (last >= first && (first < 0 || last >= static_cast<long long>(lines.size())))
                throw FileError("Lines " + table.cell(r, ColStartLine) + " to " +
                                table.cell(r, ColEndLine) + " are not inside " + source);
            RowUpdate& update = updates.emplace_back();
            update.row = r;
            update.chapterPath = chapter.path;
            update.startLine = std::to_string(chapter.lines);
            for (long long i = first; i <= last; ++i)
                chapter.append(lines[size_t(i)]);
            update.endLine = std::to_string(static_cast<long long>(chapter.lines) - 1);
            if (r + 1 == endRow || table.isChapterRow(r + 1))
                chapter.append("</BODY></HTML>");
        }
        if (progress)
            progress->step();
    }
    // A chapter row without topics gets no new file: its file is left alone.
    std::vector<ReplacedChapter> replaced;
    std::vector<std::string> keptPaths;
    for (const ChapterText& chapter : chapters)
        keptPaths.push_back(chapter.path);
    const std::vector<std::string> backups =
        keepBackups ? backupNames(keptPaths) : std::vector<std::string>(keptPaths.size());
    for (size_t c = 0; c < chapters.size(); ++c) {
        ChapterText& chapter = chapters[c];
        if (chapter.hasTopics && !isUnchanged(table, chapter, keepBackups ? backups[c] : ""))
            replaced.push_back({chapter.path, std::move(chapter.bytes)});
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
