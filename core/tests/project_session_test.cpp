#include "core/project_session.h"

#include "core/ini_file.h"
#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;

namespace qw {

using test::block;

/// Answers questions from a queue and records every message it was shown.
class FakeHost : public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        messages.push_back(text);
        if (answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    ProgressReporter& progress() override { return recorder; }
    void helpProjectMissing() override { ++missingHelpProject; }

    std::vector<std::string> messages;
    std::vector<Answer> answers;
    RecordingProgress recorder;
    int missingHelpProject = 0;
};

class ProjectSessionTest : public ::testing::Test {
protected:
    ProjectSessionTest() : session(host, QW_DATA_DIR, tmp.path() / "quirew.cfg") {}
    void SetUp() override {
        fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", tmp.path() / "sample",
                 fs::copy_options::recursive);
    }
    std::string sample() const { return tmp.dir() + "sample/sample.qwr"; }

    test::TempDir tmp;
    FakeHost host;
    ProjectSession session;
};

TEST_F(ProjectSessionTest, OpensTheSampleWithRolesAndState) {
    ASSERT_TRUE(session.openProject(sample()));
    EXPECT_TRUE(host.recorder.errors().empty());
    EXPECT_EQ(host.recorder.caption(), "Loading Files. Please Wait...");
    EXPECT_EQ(session.caption(), "HTMLHelp Quirewright - sample.qwr");
    EXPECT_EQ(session.commandState(), CommandState::WithChapters);
    EXPECT_GE(session.table().chapterCount(), 4);
    EXPECT_EQ(session.table().cell(1, ColTitle), "Introduction");
    EXPECT_EQ(session.table().cell(2, ColMarker), "dw");
    EXPECT_EQ(session.recent().entries()[0], sample());
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(host.missingHelpProject, 1) << "the sample ships without a help project file";
    EXPECT_FALSE(session.openProject(tmp.dir() + "nothing.qwr"));
}

TEST_F(ProjectSessionTest, MissingChapterIsListedAndLeftOut) {
    fs::remove(tmp.path() / "sample" / "using.htm");
    ASSERT_TRUE(session.openProject(sample()));
    EXPECT_EQ(host.recorder.errors(), std::vector<std::string>{"File Not Found: using.htm"});
    EXPECT_TRUE(host.recorder.finished());
    EXPECT_FALSE(session.table().isChapterPresent(tmp.dir() + "sample/using.htm"));
    EXPECT_EQ(session.table().cell(2, ColMarker), "") << "roles are not marked after errors";
}

TEST_F(ProjectSessionTest, EmptyChapterListOpensWithoutChapters) {
    const std::string path = tmp.write("empty.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=0\r\n");
    ASSERT_TRUE(session.openProject(path));
    EXPECT_EQ(session.commandState(), CommandState::WithoutChapters);
    EXPECT_EQ(session.table().rowCount(), 2u);
    EXPECT_EQ(host.recorder.steps(), 0) << "no progress window";
}

TEST_F(ProjectSessionTest, RefusesChapterPathsOutsideTheProject) {
    tmp.write("outside.htm", "<body>\r\n" + block("Title='x'"));
    const std::string path =
        tmp.write("proj/p.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=3\r\nChapterFileName0=..\\outside.htm\r\n"
                                "ChapterFileName1=" + tmp.dir() + "outside.htm\r\n"
                                "ChapterFileName2=SUB\\Chap.HTM\r\n");
    tmp.write("proj/sub/chap.htm", "<body>\r\n" + block("Title='inside'"));
    ASSERT_TRUE(session.openProject(path));
    EXPECT_EQ(host.recorder.errors(),
              (std::vector<std::string>{"File Outside Project Folder: ..\\outside.htm",
                                        "File Outside Project Folder: " + tmp.dir() + "outside.htm"}));
    ASSERT_EQ(session.table().chapterCount(), 1) << "backslashes and case differences resolve";
    EXPECT_EQ(session.table().cell(1, ColMainFileName), tmp.dir() + "proj/sub/chap.htm");
    EXPECT_EQ(session.storedChapterName(session.table().cell(1, ColMainFileName)), "sub\\chap.htm");
}

TEST_F(ProjectSessionTest, UneditedSaveKeepsContentAndRewritesTheChapterList) {
    ASSERT_TRUE(session.openProject(sample()));
    const TopicTable before = session.table();
    session.setChaptersInSync(false);
    session.saveProject(true);
    EXPECT_EQ(host.recorder.caption(), "Saving Files. Please Wait...");
    for (size_t r = 1; r < before.endRow(); ++r) {
        if (before.isChapterRow(r))
            continue;
        const Lines now = readLines(session.table().cell(r, ColMainFileName));
        // Backups are on by default: the ".bak" file is the chapter as it was loaded.
        const Lines was = readLines(changeExtension(before.cell(r, ColMainFileName), ".bak"));
        const int s0 = std::stoi(before.cell(r, ColStartLine)), e0 = std::stoi(before.cell(r, ColEndLine));
        const int s1 = std::stoi(session.table().cell(r, ColStartLine));
        for (int i = 0; i <= e0 - s0; ++i)
            ASSERT_EQ(now[size_t(s1 + i)], was[size_t(s0 + i)]) << "row " << r << " line " << i;
    }
    const IniFile project(sample());
    EXPECT_EQ(project.readString("CHAPTER_FILES", "ChapterFileName2", ""), "reference\\commands.htm");
    EXPECT_EQ(project.readString("CHAPTER_FILES", "ChapterTitle2", ""), "Command reference");
    EXPECT_FALSE(session.modified());
}

TEST_F(ProjectSessionTest, ShrinkingChapterListLeavesOldKeysButCountsRight) {
    ASSERT_TRUE(session.openProject(sample()));
    const int chapters = session.table().chapterCount();
    TopicTable& t = session.table();
    size_t last = t.endRow() - 1;
    while (!t.isChapterRow(last))
        --last;
    t.removeRows(last, t.endRow() - last);
    session.writeChapterList();
    const IniFile project(sample());
    EXPECT_EQ(project.readInteger("CHAPTER_FILES", "NumOfChapters", -1), chapters - 1);
    EXPECT_TRUE(project.hasKey("CHAPTER_FILES", "ChapterFileName" + std::to_string(chapters - 1)));
    session.reloadProject();
    EXPECT_EQ(session.table().chapterCount(), chapters - 1);
}

TEST_F(ProjectSessionTest, AskToSaveHonoursEachAnswer) {
    ASSERT_TRUE(session.openProject(sample()));
    EXPECT_TRUE(session.askToSave("Save Changes to Project?")) << "unmodified: no question";
    EXPECT_TRUE(host.messages.empty());
    session.markEdited();
    host.answers = {Answer::Cancel, Answer::No, Answer::Yes};
    EXPECT_FALSE(session.askToSave("Save Changes to Project?"));
    EXPECT_TRUE(session.modified());
    EXPECT_TRUE(session.askToSave("Save Changes to Project?"));
    EXPECT_TRUE(session.modified());
    EXPECT_TRUE(session.askToSave("Save Changes to Project?"));
    EXPECT_FALSE(session.modified());
    EXPECT_TRUE(session.chaptersInSync());
    EXPECT_EQ(host.messages.size(), 3u);
}

TEST_F(ProjectSessionTest, NewProjectEmptiesAnExistingFile) {
    const std::string path = tmp.write("old.qwr", "[PROJECT_PROPERTIES]\r\nTitleBarText=Old\r\n");
    tmp.write("old.hhp", "[OPTIONS]\r\n");
    session.newProject(path);
    EXPECT_EQ(tmp.read("old.qwr"), "");
    EXPECT_FALSE(fileExists(tmp.path() / "old.hhp"));
    EXPECT_EQ(session.settings().titleBarText, "");
    EXPECT_EQ(session.commandState(), CommandState::WithoutChapters);
}

TEST_F(ProjectSessionTest, FocusLossSavesAndOutsideChangesReload) {
    ASSERT_TRUE(session.openProject(sample()));
    session.table().setCell(2, ColKeyWords, "edited here");
    session.markEdited();
    session.focusLost(); // AutoSaveProj is on by default
    EXPECT_FALSE(session.modified());
    EXPECT_NE(tmp.read("sample/intro.htm").find("edited here"), std::string::npos);

    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::string text = tmp.read("sample/intro.htm");
    text.replace(text.find("edited here"), 11, "edited there");
    tmp.write("sample/intro.htm", text);
    session.focusRegained(); // not modified, AutoReloadProj on: reload without asking
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(session.table().cell(2, ColKeyWords), "edited there");
}

TEST_F(ProjectSessionTest, OutsideChangesWithUnsavedEditsAsk) {
    IniFile(tmp.path() / "quirew.cfg").writeBool("ENVIRONMENT_PROPERTIES", "AutoSaveProj", false);
    ASSERT_TRUE(session.openProject(sample()));
    session.focusLost();
    session.table().setCell(2, ColKeyWords, "unsaved");
    session.markEdited();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tmp.write("sample/intro.htm", tmp.read("sample/intro.htm") + "\r\n");
    host.answers = {Answer::No};
    session.focusRegained();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("One or more HTML Chapter files have changed.The Project "
                                     "must be reloaded to reflect these changes.\r\n\r\n"
                                     "However, reloading will overwrite",
                                     0),
              0u);
    EXPECT_EQ(session.table().cell(2, ColKeyWords), "unsaved") << "No keeps the edits";
    session.setEditing(true);
    session.focusRegained();
    EXPECT_EQ(host.messages.size(), 1u) << "no question while the editor runs";
}

TEST_F(ProjectSessionTest, DefaultTopicIconIsClampedToTheStrip) {
    IniFile(tmp.path() / "quirew.cfg").writeInteger("Environment_Properties", "DefaultTopicIcon", 99);
    ASSERT_TRUE(session.openProject(sample()));
    EXPECT_EQ(session.environment().defaultTopicIcon, session.maxIconIndex());
}

} // namespace qw
