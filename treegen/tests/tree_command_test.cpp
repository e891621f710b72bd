#include "treegen/tree_command.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "core/tests/test_util.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// Records every call; answers questions with Ok/Yes and the dialog with `create`.
class FakeTreeHost : public TreeHost, public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        messages.push_back(text);
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    bool askTreeOptions(TreeOptions& options) override {
        ++dialogs;
        shownOptions = options;
        if (edit)
            edit(options);
        return create;
    }
    void viewInBrowser(const fs::path& page) override { viewed.push_back(page); }
    void setBusy(bool busy) override { busyCalls.push_back(busy); }

    bool create = true;
    std::function<void(TreeOptions&)> edit;
    TreeOptions shownOptions;
    int dialogs = 0;
    std::vector<std::string> messages;
    std::vector<fs::path> viewed;
    std::vector<bool> busyCalls;
    RecordingProgress recorder;
};

} // namespace

class TreeCommandTest : public ::testing::Test {
protected:
    TreeCommandTest() : session(host, QW_DATA_DIR, tmp.path() / "quirew.cfg") {}
    void SetUp() override {
        fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", tmp.path() / "sample",
                 fs::copy_options::recursive);
        ASSERT_TRUE(session.openProject(project()));
    }
    std::string project() const { return tmp.dir() + "sample/sample.qwr"; }
    fs::path dir() const { return tmp.path() / "sample"; }

    test::TempDir tmp;
    FakeTreeHost host;
    ProjectSession session;
};

TEST_F(TreeCommandTest, CancelledDialogLeavesProjectAndTreeUntouched) {
    const std::string before = readFileBytes(project());
    host.create = false;
    const TreeResult result = createTreeDocument(session, host);
    EXPECT_EQ(result.outcome, TreeOutcome::Cancelled);
    EXPECT_EQ(host.dialogs, 1);
    EXPECT_EQ(host.shownOptions.treeTitle, "MyContent");
    EXPECT_EQ(readFileBytes(project()), before);
    EXPECT_FALSE(fs::exists(dir() / "index.htm"));
    EXPECT_FALSE(fs::exists(dir() / "treehtml"));
}

TEST_F(TreeCommandTest, CreateWritesPagesAboutTreeSavesOptionsAndViews) {
    host.edit = [](TreeOptions& o) { o.treeTitle = "Tide Notes"; };
    const TreeResult result = createTreeDocument(session, host);
    ASSERT_EQ(result.outcome, TreeOutcome::Created);
    EXPECT_EQ(host.recorder.caption(), "Creating HTML Tree. Please Wait...");
    EXPECT_EQ(host.recorder.steps(), 4);
    EXPECT_EQ(host.recorder.stepsDone(), 4);
    EXPECT_EQ(host.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(result.pages.empty());
    EXPECT_TRUE(fs::exists(dir() / "notebooks.htm"));
    // Pages of the tree carry no keyword object.
    EXPECT_EQ(readFileBytes(dir() / "notebooks.htm").find("<param name=\"Keyword\""),
              std::string::npos);
    EXPECT_TRUE(fs::exists(dir() / "aboutjmp.htm"));
    EXPECT_TRUE(fs::exists(dir() / "quirew.gif"));
    EXPECT_TRUE(fs::exists(dir() / "sample.hhp"));
    EXPECT_TRUE(fs::exists(dir() / "treehtml" / "unexpand.htm"));
    EXPECT_NE(readFileBytes(dir() / "treehtml" / "expand.htm").find("Tide Notes"),
              std::string::npos);
    EXPECT_EQ(TreeOptions::read(IniFile(project())).treeTitle, "Tide Notes");
    ASSERT_EQ(host.viewed.size(), 1u);
    EXPECT_EQ(host.viewed[0], dir() / "index.htm");
}

TEST_F(TreeCommandTest, MissingTemplateIsReportedAndOptionsAreStillSaved) {
    host.edit = [](TreeOptions& o) {
        o.format = TreeFormat::Applet;
        o.viewWhenCreated = false;
    };
    // A data directory without templates: the session's is the repository's, so copy it.
    const fs::path data = tmp.path() / "data";
    fs::copy(QW_DATA_DIR, data, fs::copy_options::recursive);
    fs::remove(data / "TScripts" / "JavaApp.hts");
    ProjectSession other(host, data, tmp.path() / "quirew.cfg");
    ASSERT_TRUE(other.openProject(project()));
    const TreeResult result = createTreeDocument(other, host);
    EXPECT_EQ(result.outcome, TreeOutcome::TemplateMissing);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back(), "Cannot find required file, 'JavaApp.hts'.\r\n"
                                    "Reinstall HTMLHelp Quirewright to restore this file.");
    EXPECT_EQ(TreeOptions::read(IniFile(project())).format, TreeFormat::Applet);
    EXPECT_FALSE(fs::exists(dir() / "index.htm"));
    EXPECT_TRUE(host.viewed.empty());
}

TEST_F(TreeCommandTest, ViewWithoutIndexTellsTheAuthor) {
    EXPECT_FALSE(viewTreeDocument(session, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "DOVAZaze 'Index' file cannot be found.\r\nPlease create DOVAZaze first.");
    writeFileBytes(dir() / "INDEX.HTM", "x");
    EXPECT_TRUE(viewTreeDocument(session, host));
    EXPECT_EQ(host.viewed.back(), dir() / "INDEX.HTM");
}

TEST_F(TreeCommandTest, EachTemplateFormatWritesItsTreeFile) {
    for (const auto& [format, file] :
         {std::pair{TreeFormat::Script, "tree.js"}, std::pair{TreeFormat::Applet, "appltree.js"}}) {
        host.edit = [format = format](TreeOptions& o) { o.format = format; };
        const TreeResult result = createTreeDocument(session, host);
        EXPECT_EQ(result.outcome, TreeOutcome::Created) << file;
        const std::string tree = readFileBytes(dir() / "treehtml" / file);
        EXPECT_NE(tree.find("qwTree.beginChapter('Introduction'"), std::string::npos) << file;
        EXPECT_NE(tree.find("'../aboutjmp.htm', 'aboutqwr.gif');"), std::string::npos) << file;
        EXPECT_TRUE(fs::exists(dir() / "treehtml" / "qwtree.js")) << file;
        EXPECT_TRUE(fs::exists(dir() / "treehtml" / "contents.htm")) << file;
    }
}

TEST_F(TreeCommandTest, UnwritableTreePageEndsTheCommandWithoutSavingOptions) {
    host.edit = [](TreeOptions& o) { o.treeTitle = "Never stored"; };
    // A folder in a page's place is found before anything is written.
    fs::create_directories(dir() / "treehtml" / "unexpand.htm");
    const TreeResult refused = createTreeDocument(session, host);
    EXPECT_EQ(refused.outcome, TreeOutcome::CheckFailed);
    EXPECT_EQ(refused.message, "Warning: '" + (dir() / "treehtml" / "unexpand.htm").string() +
                                   "' cannot be written: it is not a plain file.\r\nPlease rename "
                                   "or move it before creating DOVAZaze eDocument.");
    EXPECT_FALSE(fs::exists(dir() / "index.htm"));
    EXPECT_TRUE(host.busyCalls.empty());

    // A write that fails part-way ends the command with the file layer's error.
    fs::remove(dir() / "treehtml" / "unexpand.htm");
    OutputGuard::setFaultForTesting(
        [](std::string_view, const fs::path& path) { return path.filename() == "unexpand.htm"; });
    EXPECT_THROW(createTreeDocument(session, host), FileError);
    OutputGuard::setFaultForTesting({});
    EXPECT_EQ(host.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(fs::exists(dir() / "index.htm"));
    EXPECT_EQ(TreeOptions::read(IniFile(project())).treeTitle, "MyContent");
    EXPECT_TRUE(host.viewed.empty());
}

} // namespace qw

namespace qw {

TEST_F(TreeCommandTest, EveryFormatGetsTheSearchIndexScriptsAndReadablePages) {
    for (const TreeFormat format : {TreeFormat::Standard, TreeFormat::Applet, TreeFormat::Script}) {
        SCOPED_TRACE(int(format));
        fs::remove_all(dir() / "treehtml");
        host.edit = [format](TreeOptions& o) {
            o.format = format;
            o.viewWhenCreated = false;
        };
        const TreeResult result = createTreeDocument(session, host);
        ASSERT_EQ(result.outcome, TreeOutcome::Created);
        const std::string index = readFileBytes(dir() / "treehtml" / "qwsearchidx.js");
        // A word that stands only in the text of "Stations and tides", and its link.
        EXPECT_NE(index.find("metres"), std::string::npos);
        EXPECT_NE(index.find("\\u0009../stations.htm\\u0009"), std::string::npos);
        // The page kept out of the contents is not offered by the search either.
        EXPECT_EQ(index.find("translators"), std::string::npos);
        for (const char* script : {"treehtml/qwsearch.js", "treehtml/qwframe.js", "qwfind.js"})
            EXPECT_TRUE(fs::exists(dir() / script)) << script;
        const std::string frames = readFileBytes(dir() / "index.htm");
        EXPECT_NE(frames.find("name=\"viewport\""), std::string::npos);
        EXPECT_NE(frames.find("src=\"treehtml/qwframe.js\""), std::string::npos);
        const std::string contents = readFileBytes(
            dir() / "treehtml" / (format == TreeFormat::Standard ? "unexpand.htm" : "contents.htm"));
        EXPECT_NE(contents.find("<script src=\"qwsearch.js\"></script>"), std::string::npos);
        EXPECT_NE(contents.find("name=\"viewport\""), std::string::npos);
    }
    // The topic pages declare the viewport in their head and load the marking script.
    const Lines page = readLines(dir() / "stations.htm");
    const auto head = std::find(page.begin(), page.end(), "<head>");
    ASSERT_NE(head, page.end());
    EXPECT_EQ(*(head + 1), "<meta name=\"viewport\" content=\"width=device-width, "
                           "initial-scale=1\"><script src=\"qwfind.js\" defer></script>");
    EXPECT_NE(readFileBytes(dir() / "reference" / "tidetable.htm")
                  .find("<script src=\"../qwfind.js\" defer></script>"),
              std::string::npos);
}

} // namespace qw
