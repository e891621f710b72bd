// The browser document never replaces what the program did not write, never writes through
// a link, and ends with a failure whenever a step failed.
#include "treegen/tree_command.h"

#include "core/progress.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "helpgen/tests/hostile_project.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// Creates the tree in the format asked, answers every question with OK and never views.
class QuietTreeHost : public TreeHost, public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        messages.push_back(text);
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    bool askTreeOptions(TreeOptions& options) override {
        options.format = format;
        options.viewWhenCreated = false;
        return true;
    }

    TreeFormat format = TreeFormat::Standard;
    std::vector<std::string> messages;
    RecordingProgress recorder;
};

/// How one run ended: its result, or the error that ended it.
struct Outcome {
    TreeResult result;
    std::string error;
    bool succeeded() const { return error.empty() && result.succeeded(); }
};

Outcome createTree(test::HostileProject& project, TreeFormat format = TreeFormat::Standard) {
    QuietTreeHost host;
    host.format = format;
    ProjectSession session(host, QW_DATA_DIR, project.config);
    EXPECT_TRUE(session.openProject(project.projectPath()));
    Outcome outcome;
    try {
        outcome.result = createTreeDocument(session, host);
    } catch (const FileError& error) {
        outcome.error = error.what();
    }
    return outcome;
}

struct FaultScope {
    explicit FaultScope(OutputGuard::Fault fault) { OutputGuard::setFaultForTesting(fault); }
    ~FaultScope() { OutputGuard::setFaultForTesting({}); }
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;
};

} // namespace

TEST(TreeSafetyTest, ChaptersNamedLikeTreeFilesAreNeverReplaced) {
    struct Case {
        std::string chapter;
        TreeFormat format;
    };
    for (const Case& c :
         {Case{"index.htm", TreeFormat::Standard}, Case{"index.htm", TreeFormat::Script},
          Case{"treehtml/unexpand.htm", TreeFormat::Standard},
          Case{"treehtml/contents.htm", TreeFormat::Script},
          Case{"aboutjmp.htm", TreeFormat::Standard}}) {
        test::HostileProject project;
        project.addChapter(c.chapter, "added_page.htm");
        const auto chapters = project.chapters();
        const Outcome outcome = createTree(project, c.format);
        EXPECT_EQ(outcome.result.outcome, TreeOutcome::CheckFailed) << c.chapter;
        EXPECT_EQ(outcome.result.message,
                  "Warning: '" + (project.dir / c.chapter).string() +
                      "' cannot be written: it is a chapter or a file of the project.\r\n"
                      "Please rename or move it before creating DOVAZaze eDocument.")
            << c.chapter;
        EXPECT_EQ(project.chapters(), chapters) << c.chapter;
    }
}

TEST(TreeSafetyTest, AuthorsOwnIndexIsKeptAndTheProgramsOwnIsReplaced) {
    test::HostileProject project;
    writeFileBytes(project.dir / "index.htm", "<p>my landing page</p>");
    const Outcome refused = createTree(project);
    EXPECT_EQ(refused.result.outcome, TreeOutcome::CheckFailed);
    EXPECT_NE(refused.result.message.find("not written by HTMLHelp Quirewright"),
              std::string::npos);
    EXPECT_EQ(readFileBytes(project.dir / "index.htm"), "<p>my landing page</p>");
    EXPECT_FALSE(fs::exists(project.dir / "treehtml"));

    fs::remove(project.dir / "index.htm");
    ASSERT_TRUE(createTree(project).succeeded());
    // The next run knows every file of the first as its own, in either format.
    const Outcome again = createTree(project);
    EXPECT_TRUE(again.succeeded()) << again.error << again.result.message;
    const Outcome script = createTree(project, TreeFormat::Script);
    EXPECT_TRUE(script.succeeded()) << script.error << script.result.message;
    EXPECT_TRUE(createTree(project).succeeded());

    // Files of a release that kept no record: the standard tree's pages are known by their
    // furniture, a template's files when they hold the very bytes to be written.
    for (const TreeFormat format : {TreeFormat::Standard, TreeFormat::Script}) {
        ASSERT_TRUE(createTree(project, format).succeeded());
        ASSERT_TRUE(fs::remove(OutputGuard::recordPath(project.projectPath())));
        const Outcome unrecorded = createTree(project, format);
        EXPECT_TRUE(unrecorded.succeeded()) << unrecorded.error << unrecorded.result.message;
    }
}

TEST(TreeSafetyTest, PlantedLinksAreRefusedAndNothingOutsideChanges) {
    struct Case {
        const char* name;
        TreeFormat format;
        std::function<void(const test::HostileProject&)> plant;
    };
    const std::vector<Case> cases = {
        {"index linked outside", TreeFormat::Standard,
         [](const test::HostileProject& p) {
             fs::create_symlink(p.outside / "secret.htm", p.dir / "index.htm");
         }},
        {"index hard-linked to a chapter", TreeFormat::Script,
         [](const test::HostileProject& p) {
             fs::create_hard_link(p.dir / "intro.htm", p.dir / "index.htm");
         }},
        {"tree folder linked outside", TreeFormat::Standard,
         [](const test::HostileProject& p) {
             fs::create_directory_symlink(p.outside, p.dir / "treehtml");
         }},
        {"tree folder linked outside, script", TreeFormat::Script,
         [](const test::HostileProject& p) {
             fs::create_directory_symlink(p.outside, p.dir / "treehtml");
         }},
        {"contents page hard-linked outside", TreeFormat::Standard,
         [](const test::HostileProject& p) {
             fs::create_directories(p.dir / "treehtml");
             fs::create_hard_link(p.outside / "secret.htm", p.dir / "treehtml" / "expand.htm");
         }},
        {"contents page linked to a chapter", TreeFormat::Standard,
         [](const test::HostileProject& p) {
             fs::create_directories(p.dir / "treehtml");
             fs::create_symlink(p.dir / "using.htm", p.dir / "treehtml" / "unexpand.htm");
         }},
        {"tree file linked outside", TreeFormat::Script,
         [](const test::HostileProject& p) {
             fs::create_directories(p.dir / "treehtml");
             fs::create_symlink(p.outside / "secret.htm", p.dir / "treehtml" / "tree.js");
         }},
        {"icon linked outside", TreeFormat::Standard,
         [](const test::HostileProject& p) {
             fs::create_directories(p.dir / "treehtml");
             fs::create_symlink(p.outside / "secret.htm", p.dir / "treehtml" / "plus.gif");
         }},
    };
    for (const Case& c : cases) {
        test::HostileProject project;
        c.plant(project);
        const auto chapters = project.chapters();
        const auto outside = project.outsideFiles();
        const Outcome outcome = createTree(project, c.format);
        EXPECT_FALSE(outcome.succeeded()) << c.name;
        EXPECT_EQ(project.chapters(), chapters) << c.name;
        EXPECT_EQ(project.outsideFiles(), outside) << c.name;
    }
}

TEST(TreeSafetyTest, AnotherProgramHoldingTheProjectStopsTheTreeBeforeAnyPage) {
    test::HostileProject project;
    const test::LockHolder other(project.projectPath());
    ASSERT_TRUE(other.held());
    const Outcome outcome = createTree(project);
    EXPECT_EQ(outcome.error, ProjectLock::busyText(project.projectPath()));
    EXPECT_FALSE(fs::exists(project.dir / "welcome.htm"));
    EXPECT_FALSE(fs::exists(project.dir / "index.htm"));
}

TEST(TreeSafetyTest, EveryFailingFileOperationEndsTheTreeWithAFailure) {
    for (const TreeFormat format : {TreeFormat::Standard, TreeFormat::Script}) {
        size_t operations = 0;
        {
            test::HostileProject project;
            const FaultScope count([&](std::string_view, const fs::path&) {
                ++operations;
                return false;
            });
            ASSERT_TRUE(createTree(project, format).succeeded());
        }
        ASSERT_GT(operations, 30u); // pages, About page, support files, tree pages, icons
        for (size_t failing = 0; failing < operations; ++failing) {
            test::HostileProject project;
            const auto chapters = project.chapters();
            const auto outside = project.outsideFiles();
            size_t seen = 0;
            const FaultScope fault(
                [&](std::string_view, const fs::path&) { return seen++ == failing; });
            const Outcome outcome = createTree(project, format);
            EXPECT_FALSE(outcome.succeeded()) << "operation " << failing;
            EXPECT_EQ(project.chapters(), chapters) << "operation " << failing;
            EXPECT_EQ(project.outsideFiles(), outside) << "operation " << failing;
        }
    }
}

} // namespace qw
