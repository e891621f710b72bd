#pragma once

#include "core/file_io.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qw {

class TopicTable;
class ProgressReporter;

/// The three lines of a topic's metadata block as the write-back writes them.
struct MetadataBlock {
    std::string opening;
    std::string metadata;
    std::string closing;
};
MetadataBlock metadataBlock(const TopicTable& table, size_t row, const std::string& separator);

/// The head of a chapter file: its lines up to the body tag's closing ">".
Lines chapterHead(const Lines& lines);

/// Rewrites every chapter file from the table: head, an empty line, each topic's
/// metadata block and content lines (taken from the file its row was read from), and
/// "</BODY></HTML>". New files are written beside the chapters as ".tmp" first; only
/// when all are written is each chapter replaced (kept as ".bak" when backups is on).
/// Updates each topic's line numbers and chapter path. Throws FileError when a file
/// cannot be read or written or a topic's line numbers do not fit its file; the
/// chapter files are then untouched.
void writeBackChapters(TopicTable& table, const std::string& separator, bool keepBackups,
                       ProgressReporter* progress);

/// Modification stamps of the chapter files, recorded to notice edits made elsewhere.
class ChapterTimes {
public:
    void record(const TopicTable& table);
    /// True when any recorded file's stamp differs now, a vanished file included.
    bool changed() const;
    bool empty() const { return m_entries.empty(); }

private:
    std::vector<std::pair<std::string, int64_t>> m_entries;
};

} // namespace qw
