#include "core/latin_title.h"

#include "core/chapter_parser.h"
#include "core/file_names.h"
#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <set>

namespace qw {

namespace {

std::string nameOf(const std::string& title) {
    const FileNameOptions on;
    return fileNameRule("int_" + latinTitle(title, on) + ".htm", on);
}

} // namespace

TEST(LatinTitleTest, TitlesInOtherScriptsGetReadableNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Введение", "int_vvedenie.htm"}, {"Общие сведения", "int_obsie_svedenia.htm"},
        {"Глава 2", "int_glava_2.htm"},   {"Εισαγωγή", "int_eisagoge.htm"},
        {"简介", "int_jian_jie.htm"},     {"快速入门", "int_kuai_su_ru_men.htm"},
    };
    std::set<std::string> names;
    for (const auto& [title, name] : cases) {
        EXPECT_EQ(nameOf(title), name) << title;
        EXPECT_EQ(nameOf(title), nameOf(title)) << "stable: " << title;
        names.insert(nameOf(title));
    }
    EXPECT_EQ(names.size(), cases.size()) << "every title a name of its own";
}

TEST(LatinTitleTest, TitlesThatAlreadyGiveANameKeepIt) {
    const FileNameOptions on;
    for (const std::string title : {"My First Topic", "Caf\xc3\xa9 #1", "Q&A - Part 2", "Caf\xe9",
                                    "Zürich Введение", "2", "   ", ""})
        EXPECT_EQ(fileNameRule("int_" + latinTitle(title, on) + ".htm", on),
                  fileNameRule("int_" + title + ".htm", on))
            << title;
}

TEST(LatinTitleTest, ChaptersWithCyrillicTitlesLoadWithDistinctNames) {
    test::TempDir tmp;
    TopicTable table;
    table.setProjectDir(tmp.dir());
    RecordingProgress progress;
    const std::string chapter = "<body>\r\n" + test::block("Title='Введение'") + "a\r\n" +
                                test::block("Title='Установка'") + "b\r\n";
    ASSERT_EQ(loadChapter(tmp.write("rus.htm", chapter), table, ParseOptions{}, progress), 2);
    EXPECT_EQ(table.cell(2, ColFileName), "rus_vvedenie.htm");
    EXPECT_EQ(table.cell(3, ColFileName), "rus_ustanovka.htm");
}

} // namespace qw
