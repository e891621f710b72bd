// The build never replaces or deletes what it did not write, never writes through a link,
// and ends with a failure whenever a step failed.
#include "helpgen/build_pipeline.h"

#include "core/progress.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "core/text_util.h"
#include "hostile_project.h"

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// Answers every question with OK and records the findings of the checks.
class QuietBuildHost : public BuildHost, public SessionHost {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        messages.push_back(text);
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    bool askBuildOptions(CompileOptions& choices, bool& setAsDefault) override {
        choices.cleanUpFiles = cleanUp;
        setAsDefault = false;
        return true;
    }
    void showCheckFinding(const std::string& message, size_t row, int) override {
        findings.push_back(message);
        findingRows.push_back(row);
    }

    bool cleanUp = true;
    std::vector<std::string> messages;
    std::vector<std::string> findings;
    std::vector<size_t> findingRows;
    RecordingProgress recorder;
};

/// How one build ended: its result, or the error that ended it.
struct Outcome {
    BuildResult result;
    std::string error;
    bool succeeded() const { return error.empty() && result.succeeded(); }
};

/// One project, one session, one build at a time.
class Builder {
public:
    explicit Builder(test::HostileProject& project, fs::path dataDir = QW_DATA_DIR)
        : m_session(host, std::move(dataDir), project.config) {
        EXPECT_TRUE(m_session.openProject(project.projectPath()));
    }
    Outcome build(bool compile = true) {
        Outcome outcome;
        BuildRequest request;
        request.compile = compile;
        request.neverView = true;
        try {
            outcome.result = createHelpDocument(m_session, host, request);
        } catch (const FileError& error) {
            outcome.error = error.what();
        }
        return outcome;
    }
    size_t rowOf(const std::string& fileName) const {
        const TopicTable& table = m_session.table();
        for (size_t r = 1; r < table.endRow(); ++r)
            if (table.cell(r, ColFileName) == fileName)
                return r;
        return 0;
    }

    QuietBuildHost host;

private:
    ProjectSession m_session;
};

/// Stops injecting faults when the test ends, also on a failed assertion.
struct FaultScope {
    explicit FaultScope(OutputGuard::Fault fault) { OutputGuard::setFaultForTesting(fault); }
    ~FaultScope() { OutputGuard::setFaultForTesting({}); }
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(BuildSafetyTest, AuthorsFileNamedLikeATopicPageIsNeitherReplacedNorDeleted) {
    test::HostileProject project;
    writeFileBytes(project.dir / "tour.htm", "<p>the author's own tour</p>");
    Builder builder(project);
    const Outcome refused = builder.build();
    EXPECT_EQ(refused.result.outcome, BuildOutcome::CheckFailed);
    ASSERT_EQ(builder.host.findings.size(), 1u);
    EXPECT_EQ(builder.host.findings[0],
              "Warning: FileName, 'tour.htm', cannot be written to " +
                  (project.dir / "tour.htm").string() +
                  ": it was not written by HTMLHelp Quirewright.\r\nPlease Correct Before "
                  "Creating HTMLHelp eDocument.");
    EXPECT_EQ(builder.host.findingRows[0], builder.rowOf("tour.htm"));
    EXPECT_EQ(readFileBytes(project.dir / "tour.htm"), "<p>the author's own tour</p>");
    EXPECT_FALSE(fs::exists(project.dir / "sample.chm"));
    EXPECT_FALSE(fs::exists(project.dir / "welcome.htm"));

    // Pages left by an earlier build are the program's own: replaced, then cleaned up.
    fs::remove(project.dir / "tour.htm");
    builder.host.cleanUp = false;
    ASSERT_TRUE(builder.build().succeeded());
    builder.host.cleanUp = true;
    const Outcome again = builder.build();
    ASSERT_TRUE(again.succeeded()) << again.error << again.result.message;
    EXPECT_FALSE(fs::exists(project.dir / "tour.htm"));
}

TEST(BuildSafetyTest, OutputsOfARunWithoutTheRecordStillCountAsItsOwn) {
    // As left by a release that kept no record: marked pages, the About page, the logo and
    // support files as shipped.
    test::HostileProject project;
    Builder builder(project);
    builder.host.cleanUp = false;
    ASSERT_TRUE(builder.build().succeeded());
    ASSERT_TRUE(fs::remove(OutputGuard::recordPath(project.projectPath())));
    const Outcome again = builder.build();
    EXPECT_TRUE(again.succeeded()) << again.error << again.result.message;
}

TEST(BuildSafetyTest, ChaptersNamedLikeGeneratedOrLeftoverFilesAreKept) {
    test::HostileProject project;
    project.addChapter("aboutjmp.htm", "jump.htm");
    const auto before = project.chapters();
    Builder refusing(project);
    EXPECT_EQ(refusing.build().result.outcome, BuildOutcome::CheckFailed);
    ASSERT_EQ(refusing.host.findings.size(), 1u);
    EXPECT_TRUE(contains(refusing.host.findings[0], "aboutjmp.htm' cannot be written: it is a "
                                                    "chapter or a file of the project"))
        << refusing.host.findings[0];
    EXPECT_EQ(refusing.host.findingRows[0], refusing.rowOf("jump.htm") - 1);
    EXPECT_EQ(project.chapters(), before);

    test::HostileProject leftovers;
    for (const char* name : {"TmpTopic.htm", "TempCont.htm", "TempFram.htm"})
        leftovers.addChapter(name, "page_" + toLower(name));
    const auto chapters = leftovers.chapters();
    const Outcome built = Builder(leftovers).build();
    ASSERT_TRUE(built.succeeded()) << built.error << built.result.message;
    EXPECT_EQ(leftovers.chapters(), chapters);
    for (const std::string& gone : built.result.deleted)
        EXPECT_FALSE(contains(gone, "Temp") || contains(gone, "TmpTopic")) << gone;
}

TEST(BuildSafetyTest, PlantedLinksAreRefusedAndNothingOutsideChanges) {
    struct Case {
        const char* name;
        std::function<void(const test::HostileProject&)> plant;
    };
    auto symlink = [](const char* at, const char* to, bool outside) {
        return [=](const test::HostileProject& p) {
            fs::create_symlink(outside ? p.outside / to : p.dir / to, p.dir / at);
        };
    };
    auto hardlink = [](const char* at, const char* to, bool outside) {
        return [=](const test::HostileProject& p) {
            fs::create_hard_link(outside ? p.outside / to : p.dir / to, p.dir / at);
        };
    };
    const std::vector<Case> cases = {
        {"page linked to a chapter", symlink("tour.htm", "intro.htm", false)},
        {"page hard-linked to a chapter", hardlink("tour.htm", "intro.htm", false)},
        {"welcome page linked outside", symlink("welcome.htm", "secret.htm", true)},
        {"page hard-linked outside", hardlink("welcome.htm", "secret.htm", true)},
        {"About page linked outside", symlink("aboutjmp.htm", "secret.htm", true)},
        {"logo linked outside", symlink("quirew.gif", "secret.htm", true)},
        {"contents linked to a chapter", symlink("sample_toc.hhc", "intro.htm", false)},
        {"new help project linked to a chapter", symlink("sample.hhp.qw-new", "using.htm", false)},
        {"new index linked outside", symlink("sample_indx.hhk.qw-new", "secret.htm", true)},
        {"compiled document linked outside", symlink("sample.chm", "secret.htm", true)},
        {"compiled document hard-linked outside", hardlink("sample.chm", "secret.htm", true)},
        {"log linked outside", symlink("sample_log.txt", "secret.htm", true)},
        {"linked subfolder",
         [](const test::HostileProject& p) {
             fs::copy(p.dir / "reference", p.outside / "reference", fs::copy_options::recursive);
             fs::remove_all(p.dir / "reference");
             fs::create_directory_symlink(p.outside / "reference", p.dir / "reference");
         }},
    };
    for (const Case& c : cases) {
        test::HostileProject project;
        c.plant(project);
        const auto chapters = project.chapters();
        const auto outside = project.outsideFiles();
        Builder builder(project);
        const Outcome outcome = builder.build();
        EXPECT_FALSE(outcome.succeeded()) << c.name;
        EXPECT_EQ(outcome.result.outcome, BuildOutcome::CheckFailed) << c.name;
        EXPECT_EQ(project.chapters(), chapters) << c.name;
        EXPECT_EQ(project.outsideFiles(), outside) << c.name;
        EXPECT_FALSE(fs::exists(project.dir / "welcome.htm") &&
                     fs::is_regular_file(fs::symlink_status(project.dir / "welcome.htm")) &&
                     startsWith(readFileBytes(project.dir / "welcome.htm"), kPageMark))
            << c.name << ": pages were written before the refusal";
    }
}

TEST(BuildSafetyTest, SupportFilesOfAnEarlierRunAreRefreshedAndTheAuthorsAreKept) {
    test::HostileProject project;
    const fs::path shipped = fs::path(QW_DATA_DIR);
    test::TempDir older;
    for (const auto& entry : fs::directory_iterator(shipped))
        if (entry.path().filename() != "xFiles" && entry.path().filename() != "quirew.cfg")
            fs::create_symlink(entry.path(), older.path() / entry.path().filename());
    older.write("xFiles/quirew.js", "// the script of an older release\n");
    older.write("xFiles/quirew.css", "/* the style sheet of an older release */\n");
    fs::copy_file(shipped / "xFiles" / "Effects.sfx", older.path() / "xFiles" / "Effects.sfx");

    ASSERT_TRUE(Builder(project, older.path()).build(false).succeeded());
    EXPECT_EQ(readFileBytes(project.dir / "quirew.js"), "// the script of an older release\n");
    // The author edits the style sheet copy: from now on it is the author's.
    writeFileBytes(project.dir / "quirew.css", "/* mine */\n");

    const Outcome updated = Builder(project).build(false);
    ASSERT_TRUE(updated.succeeded()) << updated.error << updated.result.message;
    EXPECT_EQ(readFileBytes(project.dir / "quirew.js"),
              readFileBytes(shipped / "xFiles" / "quirew.js"));
    EXPECT_EQ(readFileBytes(project.dir / "quirew.css"), "/* mine */\n");
}

TEST(BuildSafetyTest, UnreadableEffectsDefinitionsEndTheBuild) {
    test::HostileProject project;
    test::TempDir data;
    for (const auto& entry : fs::directory_iterator(fs::path(QW_DATA_DIR)))
        if (entry.path().filename() != "xFiles" && entry.path().filename() != "quirew.cfg")
            fs::create_symlink(entry.path(), data.path() / entry.path().filename());
    for (const char* name : {"quirew.css", "quirew.js"})
        data.write(std::string("xFiles/") + name, "x");
    fs::create_directories(data.path() / "xFiles" / "Effects.sfx");
    const Outcome outcome = Builder(project, data.path()).build();
    EXPECT_EQ(outcome.error, "Unable to read " + (data.path() / "xFiles" / "Effects.sfx").string());
    EXPECT_FALSE(fs::exists(project.dir / "welcome.htm"));
}

TEST(BuildSafetyTest, FailedDeletionEndsTheBuildAfterTryingTheRest) {
    test::HostileProject project;
    Builder builder(project);
    const FaultScope fault([](std::string_view operation, const fs::path& path) {
        return operation == "delete" && path.filename() == "tour.htm";
    });
    const Outcome outcome = builder.build();
    EXPECT_EQ(outcome.error, "Unable to delete " + (project.dir / "tour.htm").string());
    EXPECT_TRUE(fs::exists(project.dir / "tour.htm"));
    EXPECT_FALSE(fs::exists(project.dir / "welcome.htm"));
    EXPECT_FALSE(fs::exists(project.dir / "sample_toc.hhc"));
}

TEST(BuildSafetyTest, AnotherProgramHoldingTheProjectStopsTheBuildBeforeAnyPage) {
    test::HostileProject project;
    Builder builder(project);
    const test::LockHolder other(project.projectPath());
    ASSERT_TRUE(other.held());
    const Outcome outcome = builder.build();
    EXPECT_EQ(outcome.error, ProjectLock::busyText(project.projectPath()));
    EXPECT_FALSE(fs::exists(project.dir / "welcome.htm"));
    EXPECT_FALSE(fs::exists(project.dir / "quirew.js"));
}

TEST(BuildSafetyTest, AFolderInPlaceOfAnyOutputEndsTheBuildWithAFailure) {
    for (const char* name :
         {"welcome.htm", "reference/tidetable.htm", "aboutjmp.htm", "quirew.gif", "quirew.js",
          "sample_toc.hhc", "sample_indx.hhk", "sample_indx.hhk.qw-new", "sample.hhp",
          "sample.hhp.qw-new", "sample.chm", "sample_log.txt", "sample.qwr.written"}) {
        test::HostileProject project;
        fs::create_directories(project.dir / name);
        const auto chapters = project.chapters();
        const Outcome outcome = Builder(project).build();
        EXPECT_FALSE(outcome.succeeded()) << name;
        EXPECT_TRUE(fs::is_directory(project.dir / name)) << name;
        EXPECT_EQ(project.chapters(), chapters) << name;
    }
}

TEST(BuildSafetyTest, EveryFailingFileOperationEndsTheBuildWithAFailure) {
    std::vector<std::string> operations;
    {
        test::HostileProject project;
        Builder builder(project);
        const FaultScope count([&](std::string_view operation, const fs::path& path) {
            operations.push_back(std::string(operation) + " " + path.filename().string());
            return false;
        });
        ASSERT_TRUE(builder.build().succeeded());
    }
    ASSERT_GT(operations.size(), 40u); // pages, About page, support files and their deletion
    for (size_t failing = 0; failing < operations.size(); ++failing) {
        test::HostileProject project;
        const auto chapters = project.chapters();
        const auto outside = project.outsideFiles();
        Builder builder(project);
        size_t seen = 0;
        const FaultScope fault(
            [&](std::string_view, const fs::path&) { return seen++ == failing; });
        const Outcome outcome = builder.build();
        EXPECT_FALSE(outcome.succeeded()) << operations[failing];
        EXPECT_TRUE(startsWith(outcome.error, "Unable to ")) << operations[failing];
        EXPECT_EQ(project.chapters(), chapters) << operations[failing];
        EXPECT_EQ(project.outsideFiles(), outside) << operations[failing];
    }
}

} // namespace qw
