#pragma once

#include "core/file_io.h"
#include "core/topic_table.h"

#include <filesystem>
#include <random>
#include <string>

namespace qw::test {

/// A fresh folder under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("qw-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// The folder as a string with a trailing "/".
    std::string dir() const { return m_path.string() + "/"; }
    /// Writes bytes to a file below the folder (creating sub-folders) and returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        const auto full = m_path / relative;
        std::filesystem::create_directories(full.parent_path());
        writeFileBytes(full, bytes);
        return full.string();
    }
    std::string read(const std::string& relative) const {
        return readFileBytes(m_path / relative);
    }

private:
    std::filesystem::path m_path;
};

/// The three metadata lines of a topic with the default separator, CR LF ended.
inline std::string block(const std::string& items) {
    const std::string sep(50, '-');
    return sep + "<font size=\"-2\"><br>\r\n" + items + "\r\n<br></font>" + sep + "\r\n";
}

/// A chapter row of the table for the chapter file at path.
inline Row chapterRow(const std::string& path) {
    Row r;
    r[ColMarker] = std::string(kChapterMarker);
    r[ColTitle] = "chapter";
    r[ColMainFileName] = path;
    return r;
}

/// A topic row with icon 10, read from the chapter file at path.
inline Row topicRow(const std::string& title, const std::string& file, const std::string& path) {
    Row r;
    r[ColTitle] = title;
    r[ColFileName] = file;
    r[ColIcon] = "10";
    r[ColMainFileName] = path;
    return r;
}

} // namespace qw::test
