#include "core/chapter_writer.h"

#include "core/progress.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// The source file of the current rows, read again only when the rows' file changes.
/// Every chapter file is still as it was before the run, so any re-read is exact.
class SourceCache {
public:
    const Lines& get(const std::string& path) {
        if (path != m_path) {
            m_lines = readLines(path);
            m_path = path;
        }
        return m_lines;
    }

private:
    std::string m_path;
    Lines m_lines;
};

long long lineNumber(const std::string& cell, const std::string& path) {
    long long value = 0;
    if (!parseInt(trim(cell), value))
        throw FileError("Invalid line number '" + cell + "' for " + path);
    return value;
}

std::string tmpName(const std::string& path) { return changeExtension(path, ".tmp"); }
std::string bakName(const std::string& path) { return changeExtension(path, ".bak"); }

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
    Lines head;
    size_t i = 0;
    for (; i < lines.size(); ++i)
        if (containsNoCase(lines[i], "<BODY"))
            break;
    if (i == lines.size())
        return head;
    size_t end = i;
    const size_t tag = findNoCase(lines[i], "<BODY");
    if (lines[i].find('>', tag) == std::string::npos) {
        end = i + 1;
        while (end < lines.size() && lines[end].find('>') == std::string::npos)
            ++end;
        if (end == lines.size())
            end = lines.size() - 1;
    }
    head.assign(lines.begin(), lines.begin() + long(end + 1));
    return head;
}

void writeBackChapters(TopicTable& table, const std::string& separator, bool keepBackups,
                       ProgressReporter* progress) {
    const size_t endRow = table.endRow();
    if (progress)
        progress->begin("Saving Files. Please Wait...", int(std::max<size_t>(1, endRow - 1)), false);
    SourceCache sources;
    Lines output;
    std::string chapterPath;
    std::vector<std::string> written; // chapters whose ".tmp" file is complete
    for (size_t r = 1; r < endRow; ++r) {
        if (table.isChapterRow(r)) {
            chapterPath = table.cell(r, ColMainFileName);
            output = chapterHead(sources.get(chapterPath));
            output.emplace_back();
        } else {
            const MetadataBlock block = metadataBlock(table, r, separator);
            output.push_back(block.opening);
            output.push_back(block.metadata);
            output.push_back(block.closing);
            const std::string source = table.cell(r, ColMainFileName);
            const Lines& lines = sources.get(source);
            const long long firstLine = lineNumber(table.cell(r, ColStartLine), source);
            const long long lastLine = lineNumber(table.cell(r, ColEndLine), source);
            if (lastLine >= firstLine &&
                (firstLine < 0 || lastLine >= static_cast<long long>(lines.size())))
                throw FileError("Lines " + table.cell(r, ColStartLine) + " to " +
                                table.cell(r, ColEndLine) + " are not inside " + source);
            table.setCell(r, ColMainFileName, chapterPath);
            table.setCell(r, ColStartLine, std::to_string(output.size()));
            for (long long i = firstLine; i <= lastLine; ++i)
                output.push_back(lines[size_t(i)]);
            table.setCell(r, ColEndLine, std::to_string(long(output.size()) - 1));
            if (r + 1 == endRow || table.isChapterRow(r + 1)) {
                output.emplace_back("</BODY></HTML>");
                writeLines(tmpName(chapterPath), output);
                written.push_back(chapterPath);
            }
        }
        if (progress)
            progress->step();
    }
    // Only now are the chapters replaced; a chapter without a new file is left alone.
    // The backup is made as a second name (or copy) of the old file, and the new file
    // replaces the chapter by one rename, so the chapter's name never points nowhere.
    for (const std::string& path : written) {
        std::error_code ec;
        fs::remove(bakName(path), ec);
        if (keepBackups) {
            ec.clear();
            fs::create_hard_link(path, bakName(path), ec);
            if (ec) {
                ec.clear();
                fs::copy_file(path, bakName(path), ec);
            }
            if (ec)
                continue; // the chapter stays as it was, its ".tmp" beside it
        }
        fs::rename(tmpName(path), path, ec);
    }
    if (progress)
        progress->finish(800);
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
