#include "lint/project_linter.h"

#include "lint/tests/lint_test_support.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

using linttest::TempProject;

class ProjectLinterTest : public ::testing::Test {
protected:
    std::vector<std::string> lint(const std::string& projectPath) {
        ProjectSession session(host, project.dataDir(), project.root() / "quirew.cfg");
        EXPECT_TRUE(session.openProject(projectPath));
        EXPECT_TRUE(host.recorder.errors().empty());
        std::vector<std::string> lines;
        for (const LintFinding& finding : lintSession(session))
            lines.push_back(formatFinding(finding));
        return lines;
    }

    TempProject project;
    linttest::QuietHost host;
};

TEST_F(ProjectLinterTest, FindsOneCaseOfEachProblemAtItsChapterLine) {
    const std::string path = linttest::writeBrokenProject(project);
    EXPECT_EQ(lint(path), linttest::brokenProjectFindings());
}

TEST_F(ProjectLinterTest, FindingsKeepTheirTopicRows) {
    ProjectSession session(host, project.dataDir(), project.root() / "quirew.cfg");
    ASSERT_TRUE(session.openProject(linttest::writeBrokenProject(project)));
    const std::vector<LintFinding> findings = lintSession(session);
    ASSERT_FALSE(findings.empty());
    // The related topic of "Start" (row 2), the second topic's title (row 3), the topic
    // of the chapter in the sub-folder (row 5), and none for the pop-up file's lines.
    EXPECT_EQ(findings.front().row, 2u);
    EXPECT_EQ(session.table().cell(findings[9].row, ColFileName), "start2.htm");
    EXPECT_EQ(session.table().cell(findings[15].row, ColFileName), "next.htm");
    EXPECT_EQ(findings.back().row, 0u);
    EXPECT_TRUE(hasErrors(findings));
    EXPECT_EQ(errorCount(findings), 13u);
}

TEST_F(ProjectLinterTest, PopupsWithoutTheirFileAreOneErrorAtTheFirstUse) {
    std::string path = linttest::writeBrokenProject(project);
    std::filesystem::remove(project.dir() / "TxPopups.js");
    const std::vector<std::string> found = lint(path);
    EXPECT_EQ(std::count(found.begin(), found.end(),
                         "guide.htm:10: error: pop-up \"ebb\" is used, but the project has no "
                         "TxPopups.js"),
              1);
    EXPECT_TRUE(std::none_of(found.begin(), found.end(), [](const std::string& line) {
        return line.find("TxPopups.js:") == 0 || line.find("\"nothere\"") != std::string::npos;
    }));
}

TEST_F(ProjectLinterTest, TheSampleHasNoErrors) {
    const auto sample = std::filesystem::path(QW_SOURCE_DIR) / "examples" / "sample";
    std::filesystem::copy(sample, project.dir(), std::filesystem::copy_options::recursive);
    ProjectSession session(host, project.dataDir(), project.root() / "quirew.cfg");
    ASSERT_TRUE(session.openProject((project.dir() / "sample.qwr").string()));
    ASSERT_GT(session.table().topicCount(), 10);
    const std::vector<LintFinding> findings = lintSession(session);
    std::string listed;
    for (const LintFinding& finding : findings)
        listed += formatFinding(finding) + "\n";
    EXPECT_FALSE(hasErrors(findings)) << listed;
}

TEST_F(ProjectLinterTest, TopicsWhoseLinesAreNotInTheFileAreSkipped) {
    ProjectSession session(host, project.dataDir(), project.root() / "quirew.cfg");
    ASSERT_TRUE(session.openProject(linttest::writeBrokenProject(project)));
    // Topics inserted in the grid and not saved yet: lines beyond the file, at its very
    // end, or none that can be read.
    const size_t fileLines = readLines(project.dir() / "guide.htm").size();
    const std::vector<std::pair<std::string, std::string>> ranges = {
        {"900", "950"},
        {std::to_string(fileLines), std::to_string(fileLines + 5)},
        {std::to_string(fileLines - 1), std::to_string(fileLines + 5)},
        {"x", "3"}};
    std::vector<Row> added;
    for (const auto& [start, end] : ranges) {
        Row row = session.table().row(2);
        row[ColStartLine] = start;
        row[ColEndLine] = end;
        row[ColFileName] = "added" + start + ".htm";
        row[ColTitle] = "Added " + start;
        row[ColRelated] = "";
        added.push_back(row);
    }
    session.table().insertRows(3, added);
    std::vector<std::string> found;
    for (const LintFinding& finding : lintSession(session))
        found.push_back(formatFinding(finding));
    EXPECT_EQ(found, linttest::brokenProjectFindings());
}

} // namespace
} // namespace qw
