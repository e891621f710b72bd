#pragma once

// Small projects built in a temporary directory for the page, contents and index tests.

#include "core/file_io.h"
#include "core/topic_table.h"

#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace qw::test {

namespace fs = std::filesystem;

/// One topic of a chapter built for a test; the setters chain.
struct TopicSpec {
    std::string title, fileName, start, end;
    std::string keyWords, related, icon = "10", bgImage, bgColour = "$FFFFFF", marker;

    TopicSpec(std::string t, std::string f, std::string s, std::string e)
        : title(std::move(t)), fileName(std::move(f)), start(std::move(s)), end(std::move(e)) {}
    TopicSpec& keys(std::string v) {
        keyWords = std::move(v);
        return *this;
    }
    TopicSpec& rel(std::string v) {
        related = std::move(v);
        return *this;
    }
    TopicSpec& iconIndex(std::string v) {
        icon = std::move(v);
        return *this;
    }
    TopicSpec& image(std::string v) {
        bgImage = std::move(v);
        return *this;
    }
    TopicSpec& colour(std::string v) {
        bgColour = std::move(v);
        return *this;
    }
    TopicSpec& roles(std::string v) {
        marker = std::move(v);
        return *this;
    }
};

/// A fresh project directory below the system's temporary folder, removed afterwards.
class TempProject {
public:
    explicit TempProject(const std::string& name) {
        // Test processes run side by side: the name must differ between processes too.
        std::random_device random;
        m_dir = fs::temp_directory_path() /
                ("qw_" + name + "_" + std::to_string(::getpid()) + "_" +
                 std::to_string(random()) + std::to_string(random()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_table.setProjectDir(m_dir.string() + "/");
    }
    ~TempProject() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    TempProject(const TempProject&) = delete;
    TempProject& operator=(const TempProject&) = delete;

    const fs::path& dir() const { return m_dir; }
    TopicTable& table() { return m_table; }

    /// Writes a chapter file (relative path, "/" separators) and appends its rows.
    void addChapter(const std::string& relPath, const std::string& title, const Lines& lines,
                    const std::vector<TopicSpec>& topics) {
        const fs::path path = m_dir / relPath;
        fs::create_directories(path.parent_path());
        writeLines(path, lines);
        std::vector<Row> rows;
        Row chapter{};
        chapter[ColMarker] = std::string(kChapterMarker);
        chapter[ColTitle] = title;
        chapter[ColMainFileName] = path.string();
        rows.push_back(chapter);
        for (const TopicSpec& t : topics) {
            Row row{};
            row[ColMarker] = t.marker;
            row[ColTitle] = t.title;
            row[ColFileName] = t.fileName;
            row[ColIcon] = t.icon;
            row[ColBgImage] = t.bgImage;
            row[ColBgColour] = t.bgColour;
            row[ColKeyWords] = t.keyWords;
            row[ColRelated] = t.related;
            row[ColStartLine] = t.start;
            row[ColEndLine] = t.end;
            row[ColMainFileName] = path.string();
            rows.push_back(row);
        }
        m_table.appendChapterRows(std::move(rows));
    }

    /// The lines of a generated file, which must end every line with CR LF.
    static Lines generatedLines(const fs::path& path) {
        const std::string bytes = readFileBytes(path);
        EXPECT_TRUE(bytes.empty() ||
                    (bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n"))
            << path;
        size_t lf = 0, crlf = 0;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n') {
                ++lf;
                crlf += i > 0 && bytes[i - 1] == '\r';
            }
        EXPECT_EQ(lf, crlf) << "every line of " << path << " ends with CR LF";
        return splitLines(bytes);
    }

private:
    fs::path m_dir;
    TopicTable m_table;
};

/// Compares a generated file with a golden file of helpgen/tests/data line by line.
/// With QW_UPDATE_GOLDEN set the golden file is rewritten instead (review the diff).
inline void expectMatchesGolden(const fs::path& generated, const std::string& goldenName) {
    if (std::getenv("QW_UPDATE_GOLDEN") != nullptr)
        fs::copy_file(generated, fs::path(QW_TEST_DATA_DIR) / goldenName,
                      fs::copy_options::overwrite_existing);
    const Lines actual = TempProject::generatedLines(generated);
    const Lines expected = readLines(fs::path(QW_TEST_DATA_DIR) / goldenName);
    ASSERT_EQ(actual.size(), expected.size()) << goldenName;
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << goldenName << " line " << i + 1;
}

} // namespace qw::test
