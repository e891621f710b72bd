#include "core/topic_list_choices.h"

#include "core/ini_file.h"

#include <gtest/gtest.h>

namespace qw {

using Choice = TopicListChoices::Choice;

TEST(TopicListChoicesTest, SettingsDefaultToTheRightOfTheScreen) {
    const IniFile empty("/nonexistent/quirew.cfg", "");
    EXPECT_EQ(readTflToolbarSettings(empty, 1024), (TflToolbarSettings{200, 0, 624, 34}));
    IniFile config("/nonexistent/quirew.cfg",
                   "[Topic_File_List_TB]\r\nTFL_Width=300\r\nTFL_ListSize=x\r\n");
    EXPECT_EQ(readTflToolbarSettings(config, 1024), (TflToolbarSettings{300, 0, 524, 34}));
}

TEST(TopicListChoicesTest, RecentListsLieBesideTheRecentProjects) {
    const IniFile config("/nonexistent/quirew.cfg",
                         "[MRUFiles]\r\nMRU0=/home/a/Manual/man.qwr\r\n"
                         "MRU1=<Empty>\r\nMRU2=C:\\Docs\\Guide\\g.qwr\r\n"
                         "MRU3=[none]\r\n");
    EXPECT_EQ(recentTopicLists(config),
              (std::array<std::string, 4>{"/home/a/Manual/TopicLst.tfl", "",
                                          "C:\\Docs\\Guide\\TopicLst.tfl", ""}));
    const IniFile onlyFirst("/nonexistent/quirew.cfg", "[MRUFiles]\r\nMRU0=/p/x.qwr\r\n");
    EXPECT_EQ(recentTopicLists(onlyFirst),
              (std::array<std::string, 4>{"/p/TopicLst.tfl", "", "", ""}));
}

TEST(TopicListChoicesTest, ChoosingOpensCopiesOrRefuses) {
    TopicListChoices choices;
    EXPECT_EQ(choices.lines(), std::vector<std::string>{"No File List Open"});
    EXPECT_EQ(choices.choose(0), Choice::OpenList);
    choices.load({"-Intro", "a.htm", "b.htm", "-More", "c.htm"});
    EXPECT_EQ(choices.lines(), (std::vector<std::string>{"Select Filename to Copy", "-Intro",
                                                         "a.htm", "b.htm", "-More", "c.htm"}));
    EXPECT_EQ(choices.choose(0), Choice::Nothing);
    EXPECT_EQ(choices.choose(1), Choice::ChapterTitle);
    EXPECT_EQ(choices.choose(2), Choice::Copy);
    choices.setChapterTitlesHidden(true);
    EXPECT_EQ(choices.lines(),
              (std::vector<std::string>{"Select Filename to Copy", "a.htm", "b.htm", "c.htm"}));
    EXPECT_EQ(choices.choose(3), Choice::Copy);
    choices.setChapterTitlesHidden(false);
    EXPECT_EQ(choices.lines().size(), 6u);
    choices.setChapterTitlesHidden(true);
    choices.load({"-Intro", "a.htm"}); // loading again shows the titles
    EXPECT_FALSE(choices.chapterTitlesHidden());
    EXPECT_EQ(choices.lines().size(), 3u);
}

} // namespace qw
