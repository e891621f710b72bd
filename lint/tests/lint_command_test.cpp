// The lint command of quirew-cli: its output, exit status and failures.
#include "lint/tests/lint_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace qw {
namespace {

using linttest::TempProject;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs quirew-cli with args in folder, with its own data folder; stdout and stderr are
/// caught in files.
CliRun runCli(const TempProject& project, const std::vector<std::string>& args,
              const std::filesystem::path& folder) {
    const std::string outFile = (project.root() / "out.txt").string();
    const std::string errFile = (project.root() / "err.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> argStrings = {QW_CLI_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = {"QUIREW_DATA_DIR=" + project.dataDir().string()};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string_view(*e).substr(0, 16) != "QUIREW_DATA_DIR=")
            envStrings.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    CliRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFileBytes(outFile);
    run.err = readFileBytes(errFile);
    return run;
}

std::string joinedLines(const std::vector<std::string>& lines, const std::string& folder) {
    std::string text;
    for (const std::string& line : lines)
        text += folder + line + "\n";
    return text;
}

TEST(LintCommandTest, PrintsFindingsWithPathsFromTheCurrentFolderAndFailsOnErrors) {
    TempProject project;
    linttest::writeBrokenProject(project);
    const CliRun run = runCli(project, {"lint", "my proj/broken.qwr"}, project.root());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, joinedLines(linttest::brokenProjectFindings(), "my proj/"));
    EXPECT_EQ(run.err, "quirew-cli: 13 error(s), 8 warning(s)\n");
}

TEST(LintCommandTest, WarningsAloneAndChapterErrorsDecideTheStatus) {
    TempProject project;
    const std::string sep(50, '-');
    project.write("a.htm",
                  {"<html><body>", sep, "Title='A' <!-- FileName='a.htm' -->", sep,
                   "<p>[*gone*]x(*)</p>", "<p><a href='b.htm'>b</a></p>", "</body></html>"});
    project.write("b.htm", {"<html><body>", sep, "Title='A' <!-- FileName='b1.htm' -->", sep,
                            "</body></html>"});
    project.write("TxPopups.js", {"gone=\"x\""});
    project.write("p.qwr", {"[CHAPTER_FILES]", "NumOfChapters=1", "ChapterFileName0=a.htm"});
    // b.htm is a file that exists, if no topic page: the link stands.
    const CliRun clean = runCli(project, {"lint", "p.qwr"}, project.dir());
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out, "");

    project.write("p.qwr", {"[CHAPTER_FILES]", "NumOfChapters=3", "ChapterFileName0=a.htm",
                            "ChapterFileName1=b.htm", "ChapterFileName2=none.htm"});
    const CliRun withErrors = runCli(project, {"lint", "p.qwr"}, project.dir());
    EXPECT_EQ(withErrors.status, 1);
    EXPECT_EQ(
        withErrors.out,
        "p.qwr:5: error: File Not Found: none.htm\n"
        "a.htm:6: error: link to the chapter file \"b.htm\" instead of one of its topic pages\n"
        "b.htm:3: warning: duplicate title \"A\", also used at a.htm:3\n");
}

TEST(LintCommandTest, AProjectThatCannotBeLoadedGivesOneLineAndStatusTwo) {
    TempProject project;
    const CliRun missing = runCli(project, {"lint", "nothing.qwr"}, project.dir());
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "quirew-cli: project file not found: nothing.qwr\n");
    const CliRun usage = runCli(project, {"lint"}, project.dir());
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "quirew-cli: usage: quirew-cli lint PROJECT.qwr\n");
}

} // namespace
} // namespace qw
