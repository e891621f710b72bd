// Project files that are damaged, odd or not project files at all are refused before
// anything is written into them; a save holds the project's lock.
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_lock.h"
#include "core/project_session.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qw {
namespace {

using test::block;

class QuietHost : public SessionHost {
public:
    Answer showMessage(const std::string&, MessageKind, MessageButtons) override { return answer; }
    ProgressReporter& progress() override { return recorder; }
    RecordingProgress recorder;
    Answer answer = Answer::Ok;
};

class ProjectFileSafetyTest : public ::testing::Test {
protected:
    ProjectFileSafetyTest() : session(host, QW_DATA_DIR, tmp.path() / "quirew.cfg") {}
    /// Opening must fail with a message containing reason, leaving the file as it was.
    void expectRefused(const std::string& name, const std::string& bytes,
                       const std::string& reason) {
        const std::string path = tmp.write(name, bytes);
        try {
            session.openProject(path);
            ADD_FAILURE() << name << " opened";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(tmp.read(name), bytes);
        EXPECT_TRUE(session.projectPath().empty()) << "no project became current";
    }

    test::TempDir tmp;
    QuietHost host;
    ProjectSession session;
};

TEST_F(ProjectFileSafetyTest, FilesThatAreNoProjectFilesAreRefused) {
    const std::string chapter = "<html><body>\r\n" + block("Title='A'") + "text\r\n";
    expectRefused("intro.htm", chapter, "does not end in .qwr");
    expectRefused("x.prj", "[CHAPTER_FILES]\r\nNumOfChapters=0\r\n", "does not end in .qwr");
    expectRefused("chapter.qwr", chapter, "does not begin with a [section] line");
    expectRefused("junk.qwr",
                  std::string("\x7f"
                              "ELF\x02\x01\x01\0\0\0",
                              10),
                  "binary data");
    expectRefused("wide.qwr", std::string("\xff\xfe[\0C\0]\0", 8), "UTF-16");
    expectRefused("five.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=five\r\n",
                  "NumOfChapters=five is not a number of chapters");
    expectRefused("minus.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=-5\r\n",
                  "NumOfChapters=-5 is not a number of chapters");
    fs::create_directory(tmp.path() / "folder.qwr");
    EXPECT_FALSE(session.openProject(tmp.dir() + "folder.qwr")) << "a folder is no project file";
}

TEST_F(ProjectFileSafetyTest, EmptyFileIsANewProjectAndAByteOrderMarkIsKept) {
    const std::string empty = tmp.write("empty.qwr", "");
    ASSERT_TRUE(session.openProject(empty));
    EXPECT_EQ(session.commandState(), CommandState::WithoutChapters);

    tmp.write("c.htm", "<body>\r\n" + block("Title='A'") + "text\r\n");
    const std::string bom = "\xEF\xBB\xBF";
    const std::string path = tmp.write(
        "bom.qwr", bom + "[CHAPTER_FILES]\r\nNumOfChapters=1\r\nChapterTitle0=Intro\r\n"
                         "ChapterFileName0=c.htm\r\n[PROJECT_PROPERTIES]\r\nTitleBarText=T\r\n");
    ASSERT_TRUE(session.openProject(path));
    EXPECT_EQ(session.table().chapterCount(), 1);
    EXPECT_EQ(session.settings().titleBarText, "T");
    session.saveProject(false);
    const std::string saved = tmp.read("bom.qwr");
    EXPECT_TRUE(saved.starts_with(bom + "[CHAPTER_FILES]\r\n")) << saved;
    EXPECT_EQ(saved.find(bom, 1), std::string::npos);
    EXPECT_NE(saved.find("TitleBarText=T"), std::string::npos);
}

TEST_F(ProjectFileSafetyTest, HugeChapterCountIsBoundedByTheListedEntries) {
    tmp.write("c.htm", "<body>\r\n" + block("Title='A'") + "text\r\n");
    const std::string path =
        tmp.write("big.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=2147483647\r\n"
                             "ChapterTitle0=Intro\r\nChapterFileName0=c.htm\r\n");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(session.openProject(path));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(session.table().chapterCount(), 1);
    ASSERT_EQ(host.recorder.errors().size(), 1u);
    EXPECT_EQ(host.recorder.errors()[0],
              "NumOfChapters=2147483647, but the project file lists only 1 chapter files");
}

TEST_F(ProjectFileSafetyTest, ProjectFileThatCannotBeReadIsNeverWritten) {
    // Read as empty (defaults) but never written: a write would keep only its own keys.
    fs::create_directory(tmp.path() / "gone.qwr");
    EXPECT_THROW(IniFile(tmp.path() / "gone.qwr"), FileError) << "a project file is not guessed";
    IniFile unreadable(tmp.path() / "gone.qwr", IniFile::Unreadable::UseDefaults);
    EXPECT_EQ(unreadable.readString("S", "K", "default"), "default");
    try {
        unreadable.writeString(kChapterSection, "NumOfChapters", "0");
        FAIL() << "wrote into a file it could not read";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("it could not be read"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(tmp.path() / "gone.qwr"));
}

TEST_F(ProjectFileSafetyTest, LookupsDoNotCopyLongValues) {
    // A 20 MB value once made every key lookup copy it (minutes for a build).
    const std::string text = "[PROJECT_PROPERTIES]\r\nTopicFooter=" + std::string(20 << 20, 'x') +
                             "\r\nTitleBarText=T\r\n";
    const IniFile ini(tmp.path() / "p.qwr", text);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(ini.readString(kPropertiesSection, "TitleBarText", ""), "T");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ini.readString(kPropertiesSection, "TopicFooter", "").size(), 1023u);
}

TEST_F(ProjectFileSafetyTest, SaveWhileAnotherProgramHoldsTheProjectSaysBusy) {
    tmp.write("c.htm", "<body>\r\n" + block("Title='A'") + "text\r\n");
    const std::string path =
        tmp.write("p.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=1\r\nChapterFileName0=c.htm\r\n");
    ASSERT_TRUE(session.openProject(path));
    session.table().setCell(2, ColTitle, "edited");
    session.markEdited();
    const std::string before = tmp.read("c.htm");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        const int fd = ::open(ProjectLock::lockPath(path).c_str(), O_RDWR | O_CREAT, 0644);
        ::flock(fd, LOCK_EX);
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        ::sleep(30);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    try {
        session.saveProject(false);
        ADD_FAILURE() << "saved while another program held the project";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("busy"), std::string::npos);
    }
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    EXPECT_EQ(tmp.read("c.htm"), before);
    EXPECT_TRUE(session.modified());
    session.saveProject(false);
    EXPECT_NE(tmp.read("c.htm").find("Title='edited'"), std::string::npos);
}

TEST_F(ProjectFileSafetyTest, RetriedAutomaticSaveAfterAFailureKeepsEveryChapter) {
    fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", tmp.path() / "s",
             fs::copy_options::recursive);
    fs::copy(tmp.path() / "s", tmp.path() / "t", fs::copy_options::recursive);
    const auto edit = [](ProjectSession& s) {
        for (size_t r = 1; r < s.table().endRow(); ++r)
            if (s.table().isTopicRow(r))
                s.table().setCell(r, ColKeyWords, "edited " + std::to_string(r));
        s.markEdited();
    };
    // The expected result: the same edit saved on a copy without trouble.
    QuietHost otherHost;
    ProjectSession clean(otherHost, QW_DATA_DIR, tmp.path() / "quirew.cfg");
    ASSERT_TRUE(clean.openProject(tmp.dir() + "t/sample.qwr"));
    edit(clean);
    clean.saveProject(false);

    fs::permissions(tmp.path() / "s" / "sample.qwr", fs::perms(0600));
    ASSERT_TRUE(session.openProject(tmp.dir() + "s/sample.qwr"));
    edit(session);
    const std::string lastChapter = session.table().cell(
        session.table().chapterRowOf(session.table().endRow() - 1), ColMainFileName);
    fs::create_directory(changeExtension(lastChapter, ".bak")); // the backup cannot be made
    EXPECT_THROW(session.focusLost(), FileError);
    EXPECT_THROW(session.focusLost(), FileError) << "a retry fails the same way";
    fs::remove(changeExtension(lastChapter, ".bak"));
    session.focusLost();
    session.focusLost();
    EXPECT_FALSE(session.modified());
    for (const auto& entry : fs::directory_iterator(tmp.path() / "t")) {
        if (entry.path().extension() == ".htm") {
            EXPECT_EQ(readFileBytes(tmp.path() / "s" / entry.path().filename()),
                      readFileBytes(entry.path()))
                << entry.path().filename();
        }
    }
    EXPECT_EQ(fs::status(tmp.path() / "s" / "sample.qwr").permissions(), fs::perms(0600));
}

TEST_F(ProjectFileSafetyTest, KeepingTheProgramsEditsAfterAnOutsideChangeWritesThemWhole) {
    tmp.write("c.htm", "<body>\r\n" + block("Title='A'") + "line one\r\nline two\r\n");
    const std::string path =
        tmp.write("p.qwr", "[CHAPTER_FILES]\r\nNumOfChapters=1\r\nChapterFileName0=c.htm\r\n");
    ASSERT_TRUE(session.openProject(path));
    session.focusLost();
    session.table().setCell(2, ColTitle, "edited");
    session.markEdited();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tmp.write("c.htm", "<p>outside 1</p>\r\n<p>outside 2</p>\r\n<body>\r\n" + block("Title='A'") +
                           "line one\r\nline two\r\n");
    host.answer = Answer::No; // keep the program's edits
    session.focusRegained();
    EXPECT_EQ(session.table().cell(2, ColTitle), "edited");
    session.saveProject(false);
    const std::string saved = tmp.read("c.htm");
    EXPECT_EQ(saved, "<body>\r\n\r\n" +
                         block("Title='edited' <br>KeyWords=' ' <!-- FileName='" +
                               session.table().cell(2, ColFileName) +
                               "' - Icon='10' - BgImage='' - BgColour='$FFFFFF'"
                               " - Related=''--> ") +
                         "line one\r\nline two\r\n</BODY></HTML>\r\n");
}

} // namespace
} // namespace qw
