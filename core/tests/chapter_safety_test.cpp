// The write-back under failures, odd names and outside edits: a chapter is always its
// old or its new text, and the table always matches the files.
#include "core/chapter_commit.h"
#include "core/chapter_parser.h"
#include "core/chapter_writer.h"
#include "core/metadata_values.h"
#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace qw {

using test::block;

class ChapterSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { table.setProjectDir(tmp.dir()); }
    int load(const std::string& name, const std::string& bytes) {
        return loadChapter(tmp.write(name, bytes), table, options, progress);
    }
    void save(bool backups = true) {
        writeBackChapters(table, options.separator, backups, nullptr);
    }
    std::vector<Row> rows() const {
        std::vector<Row> all;
        for (size_t r = 0; r < table.rowCount(); ++r)
            all.push_back(table.row(r));
        return all;
    }
    /// Every file in the folder, sorted, with its bytes (folders as "<folder>").
    std::map<std::string, std::string> folder() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(tmp.path()))
            files[fs::relative(e.path(), tmp.path()).string()] =
                e.is_directory() ? "<folder>" : readFileBytes(e.path());
        return files;
    }

    test::TempDir tmp;
    TopicTable table;
    ParseOptions options;
    RecordingProgress progress;
};

std::string chapter(const std::string& title, const std::string& text) {
    return "<body>\r\n" + block("Title='" + title + "'") + text + "\r\n";
}

TEST_F(ChapterSafetyTest, FailedReplacementPutsBackEveryChapterAndTheTable) {
    const std::string a = chapter("A", "a text"), b = chapter("B", "b text");
    ASSERT_EQ(load("a.htm", a), 1);
    ASSERT_EQ(load("b.htm", b), 1);
    table.setCell(2, ColTitle, "A edited");
    table.setCell(4, ColTitle, "B edited");
    // b.htm turns into a folder: a.htm is replaced first, then b.htm cannot be.
    fs::remove(tmp.path() / "b.htm");
    fs::create_directory(tmp.path() / "b.htm");
    table.sources().allowOverwriteOfChanged();
    const auto before = rows();
    const auto filesBefore = folder();
    EXPECT_THROW(save(), FileError);
    EXPECT_EQ(folder(), filesBefore) << "a.htm put back, nothing left beside the chapters";
    EXPECT_EQ(rows(), before) << "the table still points at the old lines";

    // Retrying after the cause is gone saves both from the text loaded at first.
    fs::remove(tmp.path() / "b.htm");
    save();
    save(); // a second save must not cut the files by numbers of a failed run
    EXPECT_NE(tmp.read("a.htm").find("Title='A edited'"), std::string::npos);
    EXPECT_NE(tmp.read("a.htm").find("a text"), std::string::npos);
    EXPECT_NE(tmp.read("b.htm").find("Title='B edited'"), std::string::npos);
    EXPECT_NE(tmp.read("b.htm").find("b text"), std::string::npos);
    EXPECT_NE(tmp.read("a.bak").find("Title='A edited'"), std::string::npos);
}

TEST_F(ChapterSafetyTest, FailureWhileBuildingLeavesTableAsItWas) {
    ASSERT_EQ(load("a.htm", chapter("A", "a text")), 1);
    ASSERT_EQ(load("b.htm", chapter("B", "b text")), 1);
    table.setCell(4, ColEndLine, "500"); // the second chapter fails after the first was built
    const auto before = rows();
    EXPECT_THROW(save(), FileError);
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(fileExists(tmp.path() / "a.htm.tmp"));
}

TEST_F(ChapterSafetyTest, ChaptersWhoseNamesShareTemporaryOrBackupNamesStayApart) {
    const std::vector<std::string> names = {"a.htm",     "a.html", "guide.htm", "guide",
                                            "notes.bak", "x.htm",  "x.tmp"};
    for (const auto& name : names)
        ASSERT_EQ(load(name, chapter(name, "text of " + name)), 1) << name;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (!table.isChapterRow(r))
            table.setCell(r, ColKeyWords, "edited");
    save();
    save();
    for (const auto& name : names) {
        const std::string text = tmp.read(name);
        EXPECT_NE(text.find("text of " + name), std::string::npos) << name;
        EXPECT_EQ(text.find("text of ", text.find("text of ") + 1), std::string::npos) << name;
        EXPECT_NE(text.find("KeyWords='edited '"), std::string::npos) << name;
    }
    std::vector<std::string> paths;
    for (const auto& name : names)
        paths.push_back(tmp.dir() + name);
    std::set<std::string> backups;
    for (const auto& path : paths) {
        const std::string bak = backupName(path, paths);
        EXPECT_TRUE(std::find(paths.begin(), paths.end(), bak) == paths.end()) << bak;
        EXPECT_TRUE(backups.insert(bak).second) << "shared backup " << bak;
        EXPECT_NE(readFileBytes(bak).find("text of " + fileNameOf(path)), std::string::npos);
    }
    EXPECT_EQ(backupName(tmp.dir() + "solo.htm", {tmp.dir() + "solo.htm"}), tmp.dir() + "solo.bak");
    for (const auto& [name, bytes] : folder())
        EXPECT_FALSE(name.ends_with(".tmp") && name != "x.tmp") << name << " left behind";
}

TEST_F(ChapterSafetyTest, BackupThatIsAFolderStopsTheSaveBeforeAnythingChanges) {
    const std::string a = chapter("A", "a text");
    ASSERT_EQ(load("a.htm", a), 1);
    fs::create_directory(tmp.path() / "a.bak");
    table.setCell(2, ColTitle, "A edited");
    const auto before = rows();
    try {
        save();
        FAIL() << "saved although the backup could not be made";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + tmp.dir() + "a.bak: Is a directory");
    }
    EXPECT_EQ(tmp.read("a.htm"), a);
    EXPECT_EQ(rows(), before);
    save(false); // without backups the folder is no obstacle
    EXPECT_NE(tmp.read("a.htm").find("A edited"), std::string::npos);
}

TEST_F(ChapterSafetyTest, OutsideEditIsNeverMixedWithTheProgramsVersion) {
    const std::string a = chapter("A", "first line\r\nsecond line");
    ASSERT_EQ(load("a.htm", a), 1);
    table.setCell(2, ColTitle, "A edited");
    // The author's editor adds lines at the top: the old line numbers now point elsewhere.
    const std::string outside = "<!-- added -->\r\n<!-- added -->\r\n<!-- added -->\r\n" + a;
    tmp.write("a.htm", outside);
    try {
        save();
        FAIL() << "saved over a chapter changed on disk";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("changed on disk"), std::string::npos);
    }
    EXPECT_EQ(tmp.read("a.htm"), outside);

    // The author keeps the program's version: it is written whole, from the loaded text.
    table.sources().allowOverwriteOfChanged();
    save(false);
    const Lines saved = splitLines(tmp.read("a.htm"));
    const Lines expected = {"<body>", "", std::string(50, '-') + "<font size=\"-2\"><br>"};
    EXPECT_EQ(Lines(saved.begin(), saved.begin() + 3), expected);
    EXPECT_EQ(saved[5], "first line");
    EXPECT_EQ(saved[6], "second line");
    EXPECT_EQ(tmp.read("a.htm").find("added"), std::string::npos);
}

TEST_F(ChapterSafetyTest, ValuesThatWouldNotReadBackAreRefusedWithTheirRow) {
    const std::string a = chapter("A", "a text");
    ASSERT_EQ(load("a.htm", a), 1);
    const std::string sep(50, '-');
    const std::vector<std::pair<int, std::string>> bad = {
        {ColTitle, "What's new"},         {ColKeyWords, "one\r\ntwo"},
        {ColRelated, "x" + sep},          {ColFileName, "a</body>.htm"},
        {ColTitle, "Set FileName=x.htm"}, {ColBgImage, "paper.gif' FileName='evil.htm"}};
    for (const auto& [column, value] : bad) {
        table.setCell(2, column, value);
        try {
            save();
            ADD_FAILURE() << "saved " << value;
        } catch (const FileError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Not saved: row 2 of a.htm ("))
                << e.what();
            EXPECT_NE(std::string(e.what()).find(std::string(columnTitles()[size_t(column)])),
                      std::string::npos);
        }
        EXPECT_EQ(tmp.read("a.htm"), a) << value;
        table.setCell(2, column, column == ColTitle ? "A" : "");
    }
    EXPECT_EQ(metadataValueProblem("Caf\xc3\xa9 & <b>bold</b>, \"quoted\" #hint", sep), "");
    EXPECT_NE(metadataValueProblem("a </Body > b", sep), "") << "the body end is found in any case";
    EXPECT_NE(metadataValueProblem("rule <HR> here", "<HR>"), "");
    EXPECT_EQ(metadataValueProblem("rule <hr> here", "<HR>"), "") << "separators compare exactly";
}

TEST(MetadataValueProblemTest, EveryKeyAndBodyEndIsFoundWhereverItStandsInAnyCase) {
    const std::string sep(50, '-');
    // Each key and the body end, cut short or not, at the start, middle and end.
    for (const char* key : {"title=", "KEYWORDS=", "FileName=", "icon=", "bgimage=", "BgColour=",
                            "related=", "</body", "</BODY"})
        for (const std::string& value :
             {std::string(key), "x " + std::string(key), std::string(key) + " x"})
            EXPECT_NE(metadataValueProblem(value, sep), "") << value;
    for (const char* fine : {"a=b", "Title = x", "<body>", "x </bod", "2 < 3 = true", ""})
        EXPECT_EQ(metadataValueProblem(fine, sep), "") << fine;
}

TEST_F(ChapterSafetyTest, ReplacedChaptersKeepTheirPermissions) {
    ASSERT_EQ(load("private.htm", chapter("P", "p")), 1);
    ASSERT_EQ(load("locked.htm", chapter("L", "l")), 1);
    fs::permissions(tmp.path() / "private.htm", fs::perms(0600));
    fs::permissions(tmp.path() / "locked.htm", fs::perms(0444));
    table.sources().allowOverwriteOfChanged(); // a mode change counts as no change of text
    table.setCell(2, ColTitle, "P edited");
    table.setCell(4, ColTitle, "L edited");
    save();
    EXPECT_EQ(fs::status(tmp.path() / "private.htm").permissions(), fs::perms(0600));
    EXPECT_EQ(fs::status(tmp.path() / "locked.htm").permissions(), fs::perms(0444));
    EXPECT_NE(tmp.read("locked.htm").find("L edited"), std::string::npos);
}

TEST_F(ChapterSafetyTest, ChaptersWhoseTextIsTheSameAreNotWrittenAgain) {
    ASSERT_EQ(load("a.htm", chapter("A", "a text")), 1);
    ASSERT_EQ(load("b.htm", chapter("B", "b text")), 1);
    ASSERT_EQ(load("c.htm", chapter("C", "c text")), 1);
    const auto stampOf = [&](const std::string& name) {
        const FileState state = fileState(tmp.path() / name);
        return std::make_pair(state.inode, state.modified);
    };
    save(false); // the first save writes every chapter in the program's form
    const auto a = stampOf("a.htm"), b = stampOf("b.htm"), c = stampOf("c.htm");
    table.setCell(4, ColTitle, "B edited");
    save(false);
    EXPECT_EQ(stampOf("a.htm"), a);
    EXPECT_EQ(stampOf("c.htm"), c);
    EXPECT_NE(stampOf("b.htm"), b); // replaced by rename: a new file
    EXPECT_NE(tmp.read("b.htm").find("Title='B edited'"), std::string::npos);

    // With backups the backup must end up holding the text before the save: a chapter
    // is left alone only when its backup already holds that very text.
    save(true);
    EXPECT_NE(stampOf("a.htm"), a) << "a.htm has no backup yet";
    EXPECT_EQ(tmp.read("a.bak"), tmp.read("a.htm"));
    const auto withBackup = stampOf("a.htm");
    writeFileBytes(tmp.path() / "c.bak", "an older version");
    table.setCell(2, ColKeyWords, "new");
    save(true);
    EXPECT_EQ(tmp.read("c.bak"), tmp.read("c.htm")) << "the backup holds the text before";
    EXPECT_NE(stampOf("a.htm"), withBackup);
    EXPECT_NE(tmp.read("a.bak").find("Title='A'"), std::string::npos);
    EXPECT_EQ(tmp.read("a.bak").find("KeyWords='new"), std::string::npos);
    const auto b2 = stampOf("b.htm");
    save(true);
    EXPECT_EQ(stampOf("b.htm"), b2);

    // A file changed outside that the author chose to overwrite is written, even when
    // the program's text is what was loaded.
    writeFileBytes(tmp.path() / "b.htm", "<p>edited outside</p>");
    table.sources().allowOverwriteOfChanged();
    save(true);
    EXPECT_NE(tmp.read("b.htm").find("Title='B edited'"), std::string::npos);
    EXPECT_EQ(tmp.read("b.bak"), "<p>edited outside</p>");
}

TEST(BackupNameTest, NamesWorkedOutTogetherFollowTheRuleForEveryChapter) {
    // The rule, chapter by chapter: the ".bak" name unless it is the chapter itself,
    // another chapter or another chapter's ".bak" name; then the whole name + ".bak",
    // lengthened while a chapter has it.
    const auto byRule = [](const std::string& path, const std::vector<std::string>& paths) {
        const std::string plain = changeExtension(path, ".bak");
        bool shared = plain == path;
        for (const std::string& other : paths)
            if (other != path && (other == plain || changeExtension(other, ".bak") == plain))
                shared = true;
        if (!shared)
            return plain;
        std::string name = path + ".bak";
        while (std::find(paths.begin(), paths.end(), name) != paths.end())
            name += ".bak";
        return name;
    };
    std::mt19937 random(3);
    const std::vector<std::string> stems = {"a", "b", "a.htm", "a.bak", "x/a"};
    const std::vector<std::string> endings = {".htm", ".html", ".bak", "", ".htm.bak"};
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> paths;
        const size_t count = 1 + random() % 6;
        while (paths.size() < count) {
            const std::string path =
                "/p/" + stems[random() % stems.size()] + endings[random() % endings.size()];
            if (std::find(paths.begin(), paths.end(), path) == paths.end())
                paths.push_back(path);
        }
        const std::vector<std::string> together = backupNames(paths);
        for (size_t i = 0; i < paths.size(); ++i) {
            ASSERT_EQ(together[i], byRule(paths[i], paths)) << paths[i];
            ASSERT_EQ(backupName(paths[i], paths), byRule(paths[i], paths)) << paths[i];
        }
    }
}

} // namespace qw
