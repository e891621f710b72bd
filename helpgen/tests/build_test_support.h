#pragma once

// Temporary folders and small in-memory tables for the help project and build tests.

#include "core/file_io.h"
#include "core/topic_table.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace qw::buildtest {

namespace fs = std::filesystem;

/// A fresh folder whose name holds a blank, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        m_path =
            fs::temp_directory_path() / ("qw build " + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }
    /// The folder with a trailing "/".
    std::string dir() const { return m_path.string() + "/"; }

private:
    fs::path m_path;
};

/// A table of chapters given as (chapter path relative to dir, topic file names), with
/// titles made from the names; nothing is written to disk.
inline void
fillTable(TopicTable& table, const std::string& dir,
          const std::vector<std::pair<std::string, std::vector<std::string>>>& chapters) {
    table.clear();
    table.setProjectDir(dir);
    for (const auto& [chapter, files] : chapters) {
        std::vector<Row> rows;
        Row head{};
        head[ColMarker] = std::string(kChapterMarker);
        head[ColTitle] = chapter;
        head[ColMainFileName] = dir + chapter;
        rows.push_back(head);
        int line = 0;
        for (const std::string& file : files) {
            Row topic{};
            topic[ColTitle] = "Topic " + file;
            topic[ColFileName] = file;
            topic[ColIcon] = "10";
            topic[ColStartLine] = std::to_string(++line);
            topic[ColEndLine] = std::to_string(++line);
            topic[ColMainFileName] = dir + chapter;
            rows.push_back(topic);
        }
        table.appendChapterRows(rows);
    }
}

} // namespace qw::buildtest
