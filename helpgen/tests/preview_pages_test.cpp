#include "helpgen/preview_pages.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/safe_output.h"
#include "core/tests/test_util.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace qw {

class PreviewPagesTest : public ::testing::Test {
protected:
    fs::path dir() const { return tmp.path(); }
    OutputGuard guard() const { return OutputGuard(dir(), {}); }
    test::TempDir tmp;
};

TEST_F(PreviewPagesTest, FramePageGivesTheNavigatorStandInItsWidthAndShowsTheTopic) {
    writeFileBytes(dir() / "p.qwr", "[PROJECT_PROPERTIES]\r\nNavPaneWidth=220\r\n");
    const PreviewSettings settings = PreviewSettings::read(IniFile(dir() / "p.qwr"));
    EXPECT_EQ(settings.frameWidth(), 216);
    EXPECT_EQ(settings.windowWidth, 640);
    EXPECT_EQ(settings.windowHeight, 480);
    OutputGuard g = guard();
    const fs::path frames =
        writePreviewPages(g, "/home/a/ch 1/TmpTopic.htm", settings.frameWidth());
    EXPECT_EQ(frames, dir() / "TempFram.htm");
    EXPECT_EQ(readFileBytes(frames),
              "<HTML><HEAD><TITLE>Help</TITLE></HEAD><FRAMESET COLS=\"216,*\">\r\n"
              "<FRAME src=\"TempCont.htm\"><FRAME src=\"/home/a/ch 1/TmpTopic.htm\">"
              "</FRAMESET></HTML>\r\n");
    const std::string contents = readFileBytes(dir() / "TempCont.htm");
    EXPECT_EQ(contents.substr(0, 47), "<HTML><HEAD></HEAD><BODY rightmargin=\"0\"><b>Con");
    EXPECT_NE(contents.find("\r\nThis window and the 'Navigator Pane' are both set to the size & "
                            "position specified in the 'Project Options'.\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(contents.begin(), contents.end(), '\n'), 4);
}

TEST_F(PreviewPagesTest, SecondPreviewRewritesFramesButKeepsTheAuthorsContentsPage) {
    {
        OutputGuard g = guard();
        writePreviewPages(g, "/a/TmpTopic.htm", 216);
    }
    writeFileBytes(dir() / "TempCont.htm", "<p>my own contents</p>");
    // A later run, with a guard of its own, knows the frame page as the program's.
    OutputGuard g = guard();
    writePreviewPages(g, "/b/TmpTopic.htm", 296);
    EXPECT_NE(readFileBytes(dir() / "TempFram.htm").find("COLS=\"296,*\""), std::string::npos);
    EXPECT_NE(readFileBytes(dir() / "TempFram.htm").find("/b/TmpTopic.htm"), std::string::npos);
    EXPECT_EQ(readFileBytes(dir() / "TempCont.htm"), "<p>my own contents</p>");
}

TEST_F(PreviewPagesTest, AnAuthorsFileNamedLikeTheFramePageIsNotOverwritten) {
    writeFileBytes(dir() / "TempFram.htm", "<html>notes of mine</html>");
    OutputGuard g = guard();
    EXPECT_THROW(writePreviewPages(g, "/a/TmpTopic.htm", 216), FileError);
    EXPECT_EQ(readFileBytes(dir() / "TempFram.htm"), "<html>notes of mine</html>");
}

} // namespace qw
