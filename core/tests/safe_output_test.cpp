#include "core/safe_output.h"

#include "core/project_lock.h"
#include "core/tests/test_util.h"

#include <chrono>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// A project folder with one chapter, a project file, a folder outside and a guard over it.
class OutputGuardTest : public ::testing::Test {
protected:
    OutputGuardTest() {
        tmp.write("proj/chap.htm", "<p>chapter</p>");
        tmp.write("proj/p.qwr", "[CHAPTER_FILES]\r\n");
        tmp.write("outside/secret.htm", "secret");
        fs::create_directories(dir / "sub");
    }
    OutputGuard guard() const { return OutputGuard(dir, {dir / "chap.htm"}, dir / "p.qwr"); }

    test::TempDir tmp;
    fs::path dir = tmp.path() / "proj";
    fs::path outside = tmp.path() / "outside";
};

} // namespace

TEST_F(OutputGuardTest, RefusesEveryTargetThatIsNotItsOwn) {
    fs::create_symlink(outside / "secret.htm", dir / "link.htm");
    fs::create_hard_link(outside / "secret.htm", dir / "hard.htm");
    fs::create_directory_symlink(outside, dir / "linked");
    fs::create_symlink(dir / "chap.htm", dir / "alias.htm");
    tmp.write("proj/mine.htm", "<p>the author's</p>");
    const OutputGuard g = guard();
    const std::vector<std::pair<fs::path, std::string>> cases = {
        {outside / "x.htm", "it lies outside the project folder"},
        {dir / "sub" / ".." / ".." / "outside" / "x.htm", "it lies outside the project folder"},
        {dir, "it lies outside the project folder"},
        {dir / "linked" / "x.htm", "it lies in the linked folder 'linked'"},
        {dir / "link.htm", "it is a link"},
        {dir / "alias.htm", "it is a link"},
        {dir / "hard.htm", "it has other names (a hard link)"},
        {dir / "sub", "it is not a plain file"},
        {dir / "chap.htm", "it is a chapter or a file of the project"},
        {dir / "sub" / ".." / "chap.htm", "it is a chapter or a file of the project"},
        {dir / "p.qwr", "it is a chapter or a file of the project"},
        {ProjectLock::lockPath(dir / "p.qwr"), "it is a chapter or a file of the project"},
        {OutputGuard::recordPath(dir / "p.qwr"), "it is a chapter or a file of the project"},
        {dir / "mine.htm", "it was not written by HTMLHelp Quirewright"},
    };
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(g.refusal(path, Replace::Own), reason) << path;
        if (reason != "it was not written by HTMLHelp Quirewright") {
            EXPECT_EQ(g.refusal(path, Replace::Named), reason) << path;
        }
    }
    EXPECT_EQ(g.refusal(dir / "mine.htm", Replace::Named), "");
    EXPECT_EQ(g.refusal(dir / "sub" / "new.htm", Replace::Own), "");
    EXPECT_EQ(readFileBytes(outside / "secret.htm"), "secret");
}

TEST_F(OutputGuardTest, KnowsItsOwnFilesByMarkRecordOrSameBytes) {
    tmp.write("proj/page.htm", std::string(kPageMark) + "\r\n<p>old</p>\r\n");
    tmp.write("proj/aboutjmp.htm", "<HTML><HEAD><TITLE>About HTMLHelp Quirewright</TITLE>x");
    tmp.write("proj/same.css", "body{}");
    {
        OutputGuard g = guard();
        EXPECT_TRUE(g.isOwn(dir / "page.htm"));
        EXPECT_TRUE(g.isOwn(dir / "aboutjmp.htm"));
        g.write(dir / "page.htm", "new", Replace::Own);
        g.write(dir / "index.htm", "<frameset>", Replace::Own);
        g.write(dir / "same.css", "body{}", Replace::Own); // no change, and now its own
        g.saveRecord();
    }
    OutputGuard later = guard();
    EXPECT_TRUE(later.isOwn(dir / "index.htm"));
    EXPECT_TRUE(later.isOwn(dir / "same.css"));
    EXPECT_TRUE(later.isOwn(dir / "page.htm")); // recorded, though its mark is gone
    writeFileBytes(dir / "index.htm", "<p>edited by the author</p>");
    EXPECT_FALSE(later.isOwn(dir / "index.htm"));
    try {
        later.write(dir / "index.htm", "<frameset>", Replace::Own);
        ADD_FAILURE() << "an edited file was replaced";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + (dir / "index.htm").string() +
                                                 ": it was not written by HTMLHelp Quirewright");
    }
    EXPECT_EQ(readFileBytes(dir / "index.htm"), "<p>edited by the author</p>");
}

TEST_F(OutputGuardTest, DeletesOnlyWhatItMayAndReportsFailures) {
    OutputGuard g = guard();
    g.write(dir / "sub" / "t.htm", "x", Replace::Own);
    g.remove(dir / "sub" / "t.htm", Replace::Own);
    EXPECT_FALSE(fs::exists(dir / "sub" / "t.htm"));
    g.remove(dir / "gone.htm", Replace::Own); // nothing to do
    EXPECT_THROW(g.remove(dir / "chap.htm", Replace::Named), FileError);
    fs::create_symlink(outside / "secret.htm", dir / "link.htm");
    EXPECT_THROW(g.remove(dir / "link.htm", Replace::Named), FileError);
    EXPECT_TRUE(fs::is_symlink(dir / "link.htm"));
    EXPECT_EQ(readFileBytes(dir / "chap.htm"), "<p>chapter</p>");

    g.write(dir / "t.htm", "x", Replace::Own);
    OutputGuard::setFaultForTesting(
        [](std::string_view operation, const fs::path&) { return operation == "delete"; });
    EXPECT_THROW(g.remove(dir / "t.htm", Replace::Own), FileError);
    OutputGuard::setFaultForTesting({});
    EXPECT_TRUE(fs::exists(dir / "t.htm"));

    fs::create_directory_symlink(outside, dir / "treehtml");
    EXPECT_THROW(g.makeDirectory(dir / "treehtml"), FileError);
    g.makeDirectory(dir / "fresh");
    g.makeDirectory(dir);
    EXPECT_TRUE(fs::is_directory(dir / "fresh"));
}

TEST_F(OutputGuardTest, LeavesFilesHoldingTheSameBytesAloneAndStillRefusesTheRest) {
    const auto stamp = [](const fs::path& path) {
        const FileState state = fileState(path);
        return std::make_pair(state.inode, state.modified);
    };
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    OutputGuard g = guard();
    g.write(dir / "sub" / "page.htm", std::string(kPageMark) + "\r\nsame", Replace::Own, false);
    fs::last_write_time(dir / "sub" / "page.htm", old);
    const auto before = stamp(dir / "sub" / "page.htm");
    g.write(dir / "sub" / "page.htm", std::string(kPageMark) + "\r\nsame", Replace::Own, false);
    EXPECT_EQ(stamp(dir / "sub" / "page.htm"), before); // not written again
    g.write(dir / "sub" / "page.htm", std::string(kPageMark) + "\r\nsamE", Replace::Own, false);
    EXPECT_NE(stamp(dir / "sub" / "page.htm").second, before.second);
    EXPECT_EQ(readFileBytes(dir / "sub" / "page.htm"), std::string(kPageMark) + "\r\nsamE");
    // A longer or shorter text is no match either.
    g.write(dir / "sub" / "page.htm", std::string(kPageMark) + "\r\nsamE!", Replace::Own);
    EXPECT_EQ(readFileBytes(dir / "sub" / "page.htm"), std::string(kPageMark) + "\r\nsamE!");

    // The same bytes make no exception for a chapter, a link, a file with other names or
    // a file outside the folder: each is refused as before, and stays as it was.
    tmp.write("outside/same.htm", "<p>chapter</p>");
    fs::create_symlink(outside / "same.htm", dir / "link.htm");
    fs::create_hard_link(outside / "same.htm", dir / "hard.htm");
    for (const fs::path& target : {dir / "chap.htm", dir / "link.htm", dir / "hard.htm",
                                   outside / "same.htm", dir / "sub" / ".." / "chap.htm"})
        EXPECT_THROW(g.write(target, "<p>chapter</p>", Replace::Own), FileError) << target;
    // The author's file with other bytes is still not the program's to replace.
    tmp.write("proj/mine.htm", "<p>the author's</p>");
    EXPECT_THROW(g.write(dir / "mine.htm", "<p>the program's</p>", Replace::Own), FileError);
    EXPECT_EQ(readFileBytes(dir / "mine.htm"), "<p>the author's</p>");
    EXPECT_TRUE(fs::is_symlink(dir / "link.htm"));
}

} // namespace qw
