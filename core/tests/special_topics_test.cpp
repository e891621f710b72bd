#include "core/special_topics.h"

#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace qw {

namespace {

class QuietSessionHost : public SessionHost {
public:
    Answer showMessage(const std::string&, MessageKind, MessageButtons) override {
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    RecordingProgress recorder;
};

/// Answers the caption box from a queue (an empty queue cancels) and counts the silent
/// option runs.
class FakePrompts : public SpecialTopicPrompts {
public:
    bool askCustomButtonCaption(std::string& caption) override {
        presets.push_back(caption);
        if (answers.empty())
            return false;
        caption = answers.front();
        answers.erase(answers.begin());
        return true;
    }
    void applyProjectOptionsSilently() override { ++optionRuns; }

    std::vector<std::string> answers;
    std::vector<std::string> presets;
    int optionRuns = 0;
};

} // namespace

/// The sample: 1 chapter, 2 welcome.htm ("dw"), 3 whatsnew.htm ("n"), 4 install.htm,
/// 5 tour.htm, 6 the next chapter.
class SpecialTopicsTest : public ::testing::Test {
protected:
    SpecialTopicsTest() : session(host, QW_DATA_DIR, tmp.path() / "quirew.cfg") {}
    void SetUp() override {
        fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", tmp.path() / "sample",
                 fs::copy_options::recursive);
        ASSERT_TRUE(session.openProject(tmp.dir() + "sample/sample.qwr"));
        ASSERT_EQ(table().cell(2, ColMarker), "dw");
        ASSERT_EQ(table().cell(4, ColFileName), "install.htm");
    }
    TopicTable& table() { return session.table(); }
    std::string property(const char* key) {
        return IniFile(session.projectPath()).readString(kPropertiesSection, key, "<none>");
    }

    test::TempDir tmp;
    QuietSessionHost host;
    ProjectSession session;
    FakePrompts prompts;
};

TEST_F(SpecialTopicsTest, DefaultTopicMovesAndToggles) {
    ASSERT_TRUE(setSpecialTopic(session, prompts, 1, 4, true));
    EXPECT_EQ(property("DefaultPage"), "install.htm");
    EXPECT_EQ(session.settings().pages.defaultPage, "install.htm");
    EXPECT_EQ(table().cell(2, ColMarker), "w");
    EXPECT_EQ(table().cell(4, ColMarker), "d");
    EXPECT_EQ(prompts.optionRuns, 1);

    ASSERT_TRUE(setSpecialTopic(session, prompts, 1, 4, true));
    EXPECT_EQ(property("DefaultPage"), "");
    EXPECT_EQ(table().cell(4, ColMarker), "");
}

TEST_F(SpecialTopicsTest, HomeButtonWritesItsSwitch) {
    ASSERT_TRUE(setSpecialTopic(session, prompts, 3, 5, true));
    EXPECT_EQ(property("HomeBtnPage"), "tour.htm");
    EXPECT_EQ(property("UseHomeButton"), "1");
    ASSERT_TRUE(setSpecialTopic(session, prompts, 3, 5, true));
    EXPECT_EQ(property("HomeBtnPage"), "");
    EXPECT_EQ(property("UseHomeButton"), "0");
    EXPECT_EQ(property("CustomBtnCaption"), "<none>") << "only the custom button has a caption";
}

TEST_F(SpecialTopicsTest, CustomButtonAsksForCaption) {
    prompts.answers = {"Tour", "   "};
    ASSERT_TRUE(setSpecialTopic(session, prompts, 4, 5, true));
    EXPECT_EQ(property("CustomBtnCaption"), "Tour");
    EXPECT_EQ(property("UseCustomButton"), "1");
    EXPECT_EQ(table().cell(5, ColMarker), "c");
    ASSERT_TRUE(setSpecialTopic(session, prompts, 4, 4, true));
    EXPECT_EQ(prompts.presets.back(), "Tour");
    EXPECT_EQ(property("CustomBtnCaption"), "Custom");
    ASSERT_TRUE(setSpecialTopic(session, prompts, 4, 4, true));
    EXPECT_EQ(property("CustomBtnCaption"), "");
    EXPECT_EQ(property("UseCustomButton"), "0");
}

TEST_F(SpecialTopicsTest, CancelledCaptionChangesNothing) {
    prompts.answers = {"Tour"};
    ASSERT_TRUE(setSpecialTopic(session, prompts, 4, 5, true));
    const std::string before = readFileBytes(session.projectPath());
    EXPECT_FALSE(setSpecialTopic(session, prompts, 4, 4, true));
    EXPECT_EQ(readFileBytes(session.projectPath()), before);
    EXPECT_EQ(session.settings().pages.customButtonPage, "tour.htm");
    EXPECT_EQ(table().cell(5, ColMarker), "c");
    EXPECT_EQ(prompts.optionRuns, 1);
}

TEST_F(SpecialTopicsTest, ChapterRowsAndUnknownTagsAreIgnored) {
    const std::string before = readFileBytes(session.projectPath());
    EXPECT_FALSE(setSpecialTopic(session, prompts, 1, 1, true));
    EXPECT_FALSE(setSpecialTopic(session, prompts, 7, 4, true));
    EXPECT_EQ(readFileBytes(session.projectPath()), before);
}

TEST_F(SpecialTopicsTest, PagesFollowRenamedTopicsOnSave) {
    session.setSpecialTopicPrompts(&prompts);
    table().setCell(2, ColFileName, "hello.htm");
    table().setCell(3, ColFileName, "news.htm");
    session.markEdited();
    session.saveProject(false);
    EXPECT_EQ(property("DefaultPage"), "hello.htm");
    EXPECT_EQ(property("WelcomeFileName"), "hello.htm");
    EXPECT_EQ(property("WhatsNewPage"), "news.htm");
    EXPECT_EQ(property("CopyrightPage"), "copyright.htm");
    EXPECT_EQ(table().cell(2, ColMarker), "dw");
    EXPECT_EQ(table().cell(3, ColMarker), "n");
    EXPECT_EQ(prompts.optionRuns, 3);
}

TEST_F(SpecialTopicsTest, PagesStayWithoutPromptsOrWhenInSync) {
    table().setCell(2, ColFileName, "hello.htm");
    session.saveProject(false);
    EXPECT_EQ(property("DefaultPage"), "welcome.htm");
    session.setSpecialTopicPrompts(&prompts);
    session.saveProject(false);
    EXPECT_EQ(property("DefaultPage"), "welcome.htm");
    EXPECT_EQ(prompts.optionRuns, 0);
}

} // namespace qw
