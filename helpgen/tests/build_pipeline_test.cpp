#include "helpgen/build_pipeline.h"

#include "build_test_support.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "core/text_util.h"
#include "helpgen/chm_directory.h"
#include "helpgen/compiled_document.h"
#include "helpgen/project_options.h"

#include <chrono>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace fs = std::filesystem;

namespace qw {

using buildtest::TempFolder;

namespace {

/// Records every call of the build in one list and answers from scripted values.
class FakeBuildHost : public BuildHost, public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        calls.push_back("message: " + text);
        if (answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    ProgressReporter& progress() override { return recorder; }
    bool askBuildOptions(CompileOptions& choices, bool& setAsDefault) override {
        calls.push_back("options");
        if (!optionsOk)
            return false;
        choices.cleanUpFiles = cleanUp;
        setAsDefault = makeDefault;
        return true;
    }
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    void setBusyCaption(const std::string& caption) override {
        calls.push_back("caption: " + caption);
    }
    void closeHelpViewers() override { calls.push_back("close viewers"); }
    void optionsBuilt() override { calls.push_back("options built"); }
    bool editContents(const std::string& path) override {
        calls.push_back("edit " + fs::path(path).filename().string());
        return true;
    }
    void showLog(const std::string& path) override {
        calls.push_back("log " + fs::path(path).filename().string());
    }
    bool viewDocument(const std::string& path) override {
        calls.push_back("view " + fs::path(path).filename().string());
        return true;
    }
    bool openLog(const std::string& path) override {
        calls.push_back("open log " + fs::path(path).filename().string());
        return true;
    }
    std::string askDocumentCopyPath() override {
        calls.push_back("ask copy path");
        return copyPath;
    }
    void showCheckFinding(const std::string& message, size_t row, int) override {
        calls.push_back("finding row " + std::to_string(row) + ": " + message);
    }

    std::vector<std::string> calls;
    std::vector<Answer> answers;
    RecordingProgress recorder;
    bool optionsOk = true;
    bool cleanUp = true;
    bool makeDefault = false;
    std::string copyPath;
};

/// Every file below a folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), dir).string()] = readFileBytes(entry.path());
    return files;
}

} // namespace

class BuildPipelineTest : public ::testing::Test {
protected:
    BuildPipelineTest() : session(host, QW_DATA_DIR, tmp.path() / "quirew.cfg") {}

    void SetUp() override {
        fs::copy(fs::path(QW_SOURCE_DIR) / "examples" / "sample", project,
                 fs::copy_options::recursive);
        setCompiler(std::string("exec '") + QW_FAKE_CHMCMD + "' \"$1\"");
    }
    /// A fake chmcmd running the given shell lines, named by the environment setting.
    void setCompiler(const std::string& body) {
        const std::string program = tmp.dir() + "tools/chmcmd";
        fs::create_directories(tmp.dir() + "tools");
        writeFileBytes(program, "#!/bin/sh\n" + body + "\n");
        fs::permissions(program, fs::perms::owner_all);
        IniFile config(tmp.path() / "quirew.cfg");
        config.writeString("ENVIRONMENT_PROPERTIES", "HHWorkShopPath", program);
    }
    void open() { ASSERT_TRUE(session.openProject((project / "sample.qwr").string())); }
    std::string base() const { return (project / "sample").string(); }
    /// Everything the author had: the sample's own files.
    std::map<std::string, std::string> authorFiles() const {
        return snapshot(fs::path(QW_SOURCE_DIR) / "examples" / "sample");
    }
    void expectAuthorFilesIntact() const {
        const auto now = snapshot(project);
        for (const auto& [name, bytes] : authorFiles()) {
            ASSERT_TRUE(now.count(name)) << name << " was deleted";
            EXPECT_EQ(now.at(name), bytes) << name << " was changed";
        }
    }

    TempFolder tmp;
    fs::path project = tmp.path() / "my project";
    FakeBuildHost host;
    ProjectSession session;
};

TEST_F(BuildPipelineTest, RunsTheStepsInOrderAndCleansUp) {
    open();
    const BuildResult result = createHelpDocument(session, host);
    ASSERT_EQ(result.outcome, BuildOutcome::Compiled) << result.message;
    const std::vector<std::string> expected = {
        "busy",
        "idle",
        "options",
        "options built",
        "busy",
        "close viewers",
        "idle",
        "caption: HTMLHelp Quirewright is DISABLED while Compiling the Project. Please Wait...",
        "caption: ",
        "busy",
        "idle",
        "caption: HTMLHelp Quirewright is DISABLED while viewing Compile Log. Close Notepad to "
        "continue.",
        "log sample_log.txt",
        "caption: ",
        "view sample.chm"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.recorder.caption(), "Preparing To Create. Please Wait...");
    EXPECT_EQ(host.recorder.steps(), 5);
    EXPECT_EQ(host.recorder.stepsDone(), 5);
    EXPECT_TRUE(host.recorder.finished());

    EXPECT_FALSE(result.pagesWritten.empty());
    for (const std::string& page : result.pagesWritten)
        EXPECT_FALSE(fileExists(page)) << page;
    for (const char* gone : {"_toc.hhc", "_indx.hhk"})
        EXPECT_FALSE(fileExists(base() + gone));
    EXPECT_FALSE(fileExists(project / "aboutjmp.htm"));
    EXPECT_FALSE(fileExists(project / "quirew.css")); // copied by this build, so removed
    EXPECT_TRUE(fileExists(base() + ".hhp"));
    EXPECT_TRUE(fileExists(base() + ".chm"));
    EXPECT_EQ(readFileBytes(base() + "_log.txt"), "compiled\n");
    expectAuthorFilesIntact();
}

TEST_F(BuildPipelineTest, KeepsTheAuthorsFilesOfTheSameNames) {
    open();
    writeFileBytes(project / "quirew.css", "/* mine */");
    writeFileBytes(project / "STARS.GIF", "GIF89a");
    const BuildResult result = createHelpDocument(session, host);
    ASSERT_TRUE(result.succeeded()) << result.message;
    EXPECT_EQ(readFileBytes(project / "quirew.css"), "/* mine */");
    EXPECT_TRUE(fileExists(project / "STARS.GIF"));
    for (const std::string& gone : result.deleted)
        EXPECT_TRUE(isInsideDirectory(gone, project)) << gone;
    expectAuthorFilesIntact();
}

TEST_F(BuildPipelineTest, CancelAtTheSavePromptChangesNothing) {
    open();
    session.setModified(true);
    host.answers = {Answer::Cancel};
    const auto before = snapshot(project);
    const BuildResult result = createHelpDocument(session, host);
    EXPECT_EQ(result.outcome, BuildOutcome::Cancelled);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{
                  "message: Save Changes to Project before creating HTMLHelp eDocument?"}));
    EXPECT_EQ(snapshot(project), before);
}

TEST_F(BuildPipelineTest, CancelInTheOptionsDialogChangesNothing) {
    open();
    host.optionsOk = false;
    const auto before = snapshot(project);
    EXPECT_EQ(createHelpDocument(session, host).outcome, BuildOutcome::Cancelled);
    EXPECT_EQ(host.calls.back(), "options");
    EXPECT_EQ(snapshot(project), before);
}

TEST_F(BuildPipelineTest, MissingCompilerStopsBeforeAnythingIsWritten) {
    // The setting names a compiler that is not there.
    IniFile(tmp.path() / "quirew.cfg")
        .writeString("ENVIRONMENT_PROPERTIES", "HHWorkShopPath", tmp.dir() + "gone/chmcmd");
    open();
    const auto before = snapshot(project);
    const BuildResult result = createHelpDocument(session, host);
    EXPECT_EQ(result.outcome, BuildOutcome::CompilerMissing);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"message: " + compilerNotSetMessage()}));
    EXPECT_EQ(snapshot(project), before);
}

TEST_F(BuildPipelineTest, CheckFailureStopsBeforeAnythingIsWritten) {
    open();
    const TopicTable& table = session.table();
    size_t second = 0;
    for (size_t r = 1; r < table.endRow() && second == 0; ++r)
        if (table.isTopicRow(r) && r > 2 && !table.isWebTopic(r))
            second = r;
    session.table().setCell(second, ColFileName, table.cell(2, ColFileName));
    const auto before = snapshot(project);
    const BuildResult result = createHelpDocument(session, host);
    EXPECT_EQ(result.outcome, BuildOutcome::CheckFailed);
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_TRUE(startsWith(host.calls[2], "finding row " + std::to_string(second) +
                                              ": Warning: Duplicate FileName"));
    EXPECT_EQ(snapshot(project), before);
}

TEST_F(BuildPipelineTest, FailingCompilerIsReportedAndKeepsTheAuthorsFiles) {
    setCompiler("echo 'Error: broken'; exit 3");
    open();
    const BuildResult result = createHelpDocument(session, host);
    EXPECT_EQ(result.outcome, BuildOutcome::CompileFailed);
    EXPECT_EQ(result.compilerStatus, 3);
    EXPECT_NE(result.message.find("exit status 3"), std::string::npos);
    // The log is shown; there is no document to view.
    EXPECT_EQ(host.calls.end()[-2], "log sample_log.txt");
    EXPECT_EQ(host.calls.back(), "caption: ");
    EXPECT_EQ(readFileBytes(base() + "_log.txt"), "Error: broken\n");
    expectAuthorFilesIntact();
}

TEST_F(BuildPipelineTest, SecondBuildKeepsHandEditsAndRefreshesTheFileList) {
    open();
    BuildRequest request;
    request.compile = false;
    ASSERT_EQ(createHelpDocument(session, host, request).outcome, BuildOutcome::ProjectWritten);
    Lines hhp = readLines(base() + ".hhp");
    ASSERT_EQ(hhp[0], "[OPTIONS]");
    hhp.insert(hhp.begin() + 1, "Title=Edited by hand");
    hhp.push_back("gone.htm");
    hhp.insert(hhp.end(), {"[INFOTYPES]", "Kind=1"});
    writeLines(base() + ".hhp", hhp);

    host.cleanUp = false;
    ASSERT_TRUE(createHelpDocument(session, host, request).succeeded());
    const Lines after = readLines(base() + ".hhp");
    EXPECT_EQ(after[1], "Title=Edited by hand");
    const auto files = std::find(after.begin(), after.end(), "[FILES]");
    ASSERT_NE(files, after.end());
    EXPECT_EQ(std::count(after.begin(), after.end(), "[FILES]"), 1);
    EXPECT_EQ(std::find(after.begin(), after.end(), "gone.htm"), after.end());
    EXPECT_EQ(after.end()[-2], "[INFOTYPES]");
    EXPECT_EQ(*(files + 1), session.table().topicLinkPath(2));
    // The About page goes into the document with the topics, once.
    EXPECT_EQ(std::count(files, after.end(), "aboutjmp.htm"), 1);
    // Without a compile run nothing is cleaned up.
    for (const std::string& page : createHelpDocument(session, host, request).pagesWritten)
        EXPECT_TRUE(fileExists(page));
}

TEST_F(BuildPipelineTest, DocumentIsMendedCheckedAndHoldsEveryReferencedFile) {
    // A page that refers to a missing picture (written before loading: pages are made
    // from the chapter text as it was loaded).
    Lines intro = readLines(project / "intro.htm");
    ASSERT_TRUE(startsWith(intro.at(11), "<p>Tidewater Notes keeps"));
    intro[11] += "<img src=\"images/missing.gif\">";
    writeLines(project / "intro.htm", intro);
    open();
    host.cleanUp = false;
    const BuildResult result = createHelpDocument(session, host);
    ASSERT_EQ(result.outcome, BuildOutcome::Compiled) << result.message;

    // The fake compiler wrote the wrong first listing chunk; the build mended it.
    const ChmDirectory dir = readChmDirectory(readFileBytes(base() + ".chm"));
    EXPECT_TRUE(dir.headerMatchesChain());
    const Lines hhp = readLines(base() + ".hhp");
    const std::vector<std::string> listed = listedFiles(hhp);
    EXPECT_EQ(dir.names.size(), listed.size());
    // The background image that only background= names is listed, once.
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "images/paper.gif"), 1) << join(listed, " ");
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "TxPopups.js"), 1) << join(listed, " ");
    const std::string warning = "welcome.htm refers to 'images/missing.gif', which does not exist";
    EXPECT_NE(std::find(result.warnings.begin(), result.warnings.end(), warning),
              result.warnings.end());
    EXPECT_NE(readFileBytes(base() + "_log.txt").find("Warning: " + warning), std::string::npos);
    // With chmcmd the pages' body tags are bare.
    for (const std::string& page : result.pagesWritten) {
        const std::string bytes = readFileBytes(page);
        EXPECT_NE(bytes.find("<body>"), std::string::npos) << page;
        EXPECT_EQ(findNoCase(bytes, "<body "), std::string::npos) << page;
    }
}

TEST_F(BuildPipelineTest, DocumentLackingAListedFileIsAFailedBuild) {
    open();
    setenv("QW_FAKE_CHM_OMIT", "aboutjmp.htm", 1);
    const BuildResult result = createHelpDocument(session, host);
    unsetenv("QW_FAKE_CHM_OMIT");
    EXPECT_EQ(result.outcome, BuildOutcome::CompileFailed);
    EXPECT_EQ(result.message, "The compiled document lacks 1 of the listed files: aboutjmp.htm");
    EXPECT_NE(readFileBytes(base() + "_log.txt").find("Error: " + result.message),
              std::string::npos);
    EXPECT_EQ(std::find(host.calls.begin(), host.calls.end(), "view sample.chm"), host.calls.end());
}

TEST_F(BuildPipelineTest, WithoutADefaultPageTheFirstPageOfTheContentsOpens) {
    open();
    IniFile(project / "sample.qwr").writeString("PROJECT_PROPERTIES", "DefaultPage", "");
    fs::remove(base() + ".hhp");
    ASSERT_TRUE(session.openProject((project / "sample.qwr").string()));
    BuildRequest request;
    request.compile = false;
    ASSERT_TRUE(createHelpDocument(session, host, request).succeeded());
    const Lines hhp = readLines(base() + ".hhp");
    EXPECT_NE(
        std::find(hhp.begin(), hhp.end(), "Default topic=" + session.settings().pages.welcomePage),
        hhp.end());
}

TEST_F(BuildPipelineTest, DefaultChoicesAreStoredWhenAsked) {
    open();
    host.cleanUp = false;
    host.makeDefault = true;
    BuildRequest request;
    request.neverView = true;
    const BuildResult result = createHelpDocument(session, host, request);
    ASSERT_TRUE(result.succeeded()) << result.message;
    EXPECT_FALSE(session.configuration().readCompileOptions().cleanUpFiles);
    EXPECT_TRUE(result.deleted.empty());
    EXPECT_FALSE(result.choices.viewLog);
    for (const std::string& call : host.calls)
        EXPECT_FALSE(startsWith(call, "view") || startsWith(call, "log")) << call;
    for (const std::string& page : result.pagesWritten)
        EXPECT_TRUE(fileExists(page));
}

TEST_F(BuildPipelineTest, ViewLogAndSaveAsReportAMissingDocument) {
    open();
    EXPECT_FALSE(viewHelpDocument(session, host, false));
    viewHelpLog(session, host);
    EXPECT_EQ(saveHelpDocumentAs(session, host), "");
    EXPECT_EQ(
        host.calls,
        (std::vector<std::string>{
            "message: No 'HTML Help' file exists, please create HTMLHelp eDocument first.",
            "message: No 'HTML Help' log file exists, please create HTMLHelp eDocument first.",
            "message: No HTML Help file found.\r\nPlease create HTMLHelp eDocument first."}));
}

TEST_F(BuildPipelineTest, ViewAsksToRebuildAChangedProjectAndSaveAsCopies) {
    open();
    writeFileBytes(base() + ".chm", "ITSF");
    writeFileBytes(base() + "_log.txt", "log");
    session.setModified(true);
    host.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(viewHelpDocument(session, host, false));
    session.setModified(false);
    EXPECT_FALSE(viewHelpDocument(session, host, true));
    viewHelpLog(session, host);
    host.copyPath = tmp.dir() + "copy of.chm";
    EXPECT_EQ(saveHelpDocumentAs(session, host), host.copyPath);
    EXPECT_EQ(readFileBytes(host.copyPath), "ITSF");
    const std::vector<std::string> expected = {
        "message: Project has changed.\r\nRecreate HTMLHelp eDocument before viewing?",
        "message: Project has changed.\r\nRecreate HTMLHelp eDocument before viewing?",
        "view sample.chm",
        "open log sample_log.txt",
        "ask copy path",
        "busy",
        "idle"};
    EXPECT_EQ(host.calls, expected);
}

TEST_F(BuildPipelineTest, OptionsAppliedSilentlyWriteTheDialogsHelpProject) {
    open();
    session.settings().contentsOptVal = "stale";
    const ProjectOptions options = applyProjectOptionsSilently(session);
    EXPECT_EQ(options.fontSpec(), "DEFAULT_FONT,8,0,PLAIN");
    EXPECT_EQ(session.settings().contentsOptVal, "0x800227");
    const IniFile stored(project / "sample.qwr");
    EXPECT_EQ(stored.readString("PROJECT_PROPERTIES", "ContentsOptVal", ""), "0x800227");
    EXPECT_EQ(stored.readString("PROJECT_PROPERTIES", "WelcomeFileName", ""), "welcome.htm");
    const Lines hhp = readLines(base() + ".hhp");
    const std::string main = R"(Main="Tidewater Notes Help","sample_toc.hhc","sample_indx.hhk",)"
                             R"("welcome.htm","","","Custom","AboutJmp.htm","About",0x003520,220,)"
                             R"(0x083006,[0,0,640,480],,,,,,,0)";
    EXPECT_NE(std::find(hhp.begin(), hhp.end(), main), hhp.end());

    // The build keeps that file and only fills in its list of files.
    BuildRequest request;
    request.compile = false;
    ASSERT_TRUE(createHelpDocument(session, host, request).succeeded());
    const Lines built = readLines(base() + ".hhp");
    const auto files = std::find(built.begin(), built.end(), "[FILES]");
    ASSERT_NE(files, built.end());
    EXPECT_EQ(Lines(built.begin(), files), Lines(hhp.begin(), hhp.end() - 1));
}

TEST_F(BuildPipelineTest, RebuildAfterOneEditRewritesOnlyThatPage) {
    open();
    BuildRequest request;
    request.compile = false;
    const BuildResult first = createHelpDocument(session, host, request);
    ASSERT_EQ(first.outcome, BuildOutcome::ProjectWritten) << first.message;
    ASSERT_GT(first.pagesWritten.size(), 3u);
    // Every page gets a time a day old: a page written again gets the present one.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::map<std::string, FileState> before;
    for (const std::string& page : first.pagesWritten) {
        fs::last_write_time(page, old);
        before[page] = fileState(page);
    }

    // The author edits the text of one topic in its chapter.
    const TopicTable& table = session.table();
    size_t row = 1;
    while (!table.isTopicRow(row) || table.isWebTopic(row))
        ++row;
    const std::string edited =
        (fs::path(table.projectDir()) / table.chapterFolder(row) / table.cell(row, ColFileName))
            .string();
    const std::string chapter = table.cell(row, ColMainFileName);
    Lines lines = readLines(chapter);
    const size_t line = std::stoul(table.cell(row, ColEndLine));
    lines[line] += " (edited)";
    writeLines(chapter, lines);
    open();

    const BuildResult second = createHelpDocument(session, host, request);
    ASSERT_EQ(second.outcome, BuildOutcome::ProjectWritten) << second.message;
    EXPECT_EQ(second.pagesWritten, first.pagesWritten);
    ASSERT_TRUE(before.count(edited)) << edited;
    for (const std::string& page : second.pagesWritten) {
        const FileState now = fileState(page);
        if (page == edited) {
            EXPECT_NE(now.modified, before[page].modified) << page;
            EXPECT_NE(readFileBytes(page).find("(edited)"), std::string::npos);
        } else {
            EXPECT_EQ(now, before[page]) << page << " was written again";
        }
    }
}

} // namespace qw

namespace qw {

TEST_F(BuildPipelineTest, BuiltInCompilerIsTheDefaultAndReportsItsSteps) {
    IniFile(tmp.path() / "quirew.cfg").writeString("ENVIRONMENT_PROPERTIES", "HHWorkShopPath", "");
    // No outside compiler is needed: PATH holds none.
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", tmp.dir().c_str(), 1);
    open();
    host.cleanUp = false;
    const BuildResult result = createHelpDocument(session, host);
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_EQ(result.outcome, BuildOutcome::Compiled) << result.message;
    EXPECT_EQ(result.compilerStatus, 0);
    EXPECT_EQ(host.recorder.caption(), "Compiling HTMLHelp eDocument. Please Wait...");
    EXPECT_EQ(host.recorder.steps(), 3);
    EXPECT_EQ(host.recorder.stepsDone(), 3);
    EXPECT_TRUE(host.recorder.finished());
    const std::string log = readFileBytes(base() + "_log.txt");
    EXPECT_TRUE(startsWith(log, "Writing CHM sample.chm\n")) << log;
    EXPECT_EQ(log.find("Warning"), std::string::npos) << log;

    // Every listed file is in the document, with the contents and index files.
    const ChmDirectory dir = readChmDirectory(readFileBytes(base() + ".chm"));
    EXPECT_TRUE(dir.headerMatchesChain());
    for (std::string name : listedFiles(readLines(base() + ".hhp")))
        EXPECT_NE(std::find_if(dir.names.begin(), dir.names.end(),
                               [&](const std::string& n) { return equalsNoCase(n, "/" + name); }),
                  dir.names.end())
            << name;
    for (const char* name :
         {"/sample_toc.hhc", "/sample_indx.hhk", "/#SYSTEM", "/#WINDOWS", "/$FIftiMain"})
        EXPECT_NE(std::find(dir.names.begin(), dir.names.end(), name), dir.names.end()) << name;
    // Only chmcmd needs bare body tags: the pages keep theirs.
    bool attributed = false;
    for (const std::string& page : result.pagesWritten)
        attributed = attributed || findNoCase(readFileBytes(page), "<body ") != std::string::npos;
    EXPECT_TRUE(attributed);
}

} // namespace qw
