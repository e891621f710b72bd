// A real manual turned into a project: the valgrind manual's HTML pages, each page a
// chapter of one topic whose page keeps the original name, so that the manual's own
// links between pages and to their anchors are links between topic pages.
#include "core/text_util.h"
#include "lint/project_linter.h"
#include "lint/tests/lint_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace qw {
namespace {

namespace fs = std::filesystem;

const fs::path kManual = "/usr/share/doc/valgrind/html";
/// The manual's examples hold lines of hyphens, so the project uses a separator of its own.
const std::string kSeparator = "<!-- qw:topic -->";

/// The page's title from its <title> element, or its file name.
std::string titleOf(const Lines& lines, const std::string& fallback) {
    for (const std::string& line : lines) {
        const size_t open = findNoCase(line, "<title>");
        const size_t close = findNoCase(line, "</title>");
        if (open != std::string::npos && close != std::string::npos && close > open)
            return trim(line.substr(open + 7, close - open - 7));
    }
    return fallback;
}

/// Writes the page as a chapter: its head and body tag, a separator block naming the
/// topic's page, then the rest. False when the page has no body tag.
bool writeChapter(const fs::path& page, const fs::path& chapter) {
    Lines lines = readLines(page);
    size_t body = 0;
    while (body < lines.size() && !containsNoCase(lines[body], "<body"))
        ++body;
    while (body < lines.size() && lines[body].find('>') == std::string::npos)
        ++body;
    if (body >= lines.size())
        return false;
    std::string title = titleOf(lines, page.stem().string());
    title.erase(std::remove(title.begin(), title.end(), '\''), title.end());
    const std::vector<std::string> block = {
        kSeparator, "Title='" + title + "' <!-- FileName='" + page.filename().string() + "' -->",
        kSeparator};
    lines.insert(lines.begin() + long(body) + 1, block.begin(), block.end());
    writeLines(chapter, lines);
    return true;
}

TEST(RealManualTest, TheValgrindManualIsCheckedWithFindingsInsideItsChapters) {
    if (!fs::is_directory(kManual))
        GTEST_SKIP() << kManual << " is missing: scripts/setup.sh installs valgrind";
    linttest::TempProject project;
    std::vector<std::string> chapterLines = {"[CHAPTER_FILES]"};
    std::vector<fs::path> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(kManual))
        if (entry.path().extension() == ".html")
            pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    int chapters = 0;
    for (const fs::path& page : pages) {
        // Numbered: the manual has pages whose names differ only in case.
        const std::string name = "ch" + std::to_string(chapters) + "_" + page.filename().string();
        if (!writeChapter(page, project.dir() / name))
            continue;
        chapterLines.push_back("ChapterFileName" + std::to_string(chapters++) + "=" + name);
    }
    chapterLines.insert(chapterLines.begin() + 1, "NumOfChapters=" + std::to_string(chapters));
    fs::copy(kManual / "images", project.dir() / "images", fs::copy_options::recursive);
    fs::copy(kManual / "vg_basic.css", project.dir() / "vg_basic.css");
    const std::string projectPath = project.write("valgrind.qwr", chapterLines);
    ASSERT_GT(chapters, 20);

    writeFileBytes(project.root() / "quirew.cfg",
                   "[ENVIRONMENT_PROPERTIES]\r\nTopicSeparator=" + kSeparator + "\r\n");
    linttest::QuietHost host;
    ProjectSession session(host, project.dataDir(), project.root() / "quirew.cfg");
    ASSERT_TRUE(session.openProject(projectPath));
    ASSERT_TRUE(host.recorder.errors().empty()) << host.recorder.errors().front();
    ASSERT_EQ(session.table().topicCount(), chapters);
    const std::vector<LintFinding> findings = lintSession(session);
    std::cout << "valgrind manual: " << chapters << " chapters, " << findings.size()
              << " findings, " << errorCount(findings) << " errors\n";
    RecordProperty("findings", int(findings.size()));
    // A manual that works in a browser has few real faults: a flood of findings would be
    // the check misreading ordinary HTML (code examples, comments, long tags).
    EXPECT_LT(findings.size(), size_t(chapters));
    // Every finding points at a line of a chapter, or of a style sheet the pages link
    // (the manual's own names a picture the package leaves out).
    for (const LintFinding& finding : findings) {
        const bool chapter = startsWith(finding.file, "ch");
        ASSERT_TRUE(chapter || endsWithNoCase(finding.file, ".css")) << formatFinding(finding);
        const size_t lines = readLines(project.dir() / finding.file).size();
        EXPECT_GE(finding.line, 1u) << formatFinding(finding);
        EXPECT_LE(finding.line, lines) << formatFinding(finding);
        if (chapter) {
            EXPECT_TRUE(finding.row >= 1 && finding.row < session.table().endRow());
        }
    }
}

} // namespace
} // namespace qw
