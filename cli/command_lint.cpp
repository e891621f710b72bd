// The lint command: checks a project's links, files, pop-ups and markers without building.
#include "cli/command_registry.h"
#include "cli/console_host.h"
#include "core/file_io.h"
#include "core/text_util.h"
#include "lint/project_linter.h"

#include <filesystem>
#include <iostream>

namespace qw::cli {

namespace {

/// The line of the project file that lists the chapter a load error names (its text
/// ends with the chapter's file name), or 0.
size_t chapterListLine(const Lines& project, const std::string& error) {
    const size_t colon = error.rfind(": ");
    if (colon == std::string::npos)
        return 0;
    const std::string name = error.substr(colon + 2);
    for (size_t i = 0; i < project.size(); ++i)
        if (containsNoCase(project[i], "ChapterFileName") && endsWithNoCase(trim(project[i]), name))
            return i + 1;
    return 0;
}

int runLint(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::cerr << "quirew-cli: usage: quirew-cli lint PROJECT.qwr\n";
        return 2;
    }
    const std::string& projectArg = args[0];
    ConsoleHost host;
    ProjectSession session(host, dataDirectory(), configurationFile());
    if (!openForCommand(session, host, projectArg))
        return 2;
    // Findings name files as the project argument does, so that they open from here.
    std::string folder = std::filesystem::path(projectArg).parent_path().generic_string();
    if (!folder.empty())
        folder += "/";
    const std::string projectName = std::filesystem::path(projectArg).filename().string();
    std::vector<LintFinding> findings;
    if (!host.allErrors().empty()) {
        const Lines project = readLines(projectArg);
        for (const std::string& error : host.allErrors())
            findings.push_back(
                {projectName, chapterListLine(project, error), LintSeverity::Error, error, 0});
    }
    const std::vector<LintFinding> checked = lintSession(session);
    findings.insert(findings.end(), checked.begin(), checked.end());
    for (const LintFinding& finding : findings)
        std::cout << formatFinding(finding, folder) << '\n';
    const size_t errors = errorCount(findings);
    std::cerr << "quirew-cli: " << errors << " error(s), " << findings.size() - errors
              << " warning(s)\n";
    return errors > 0 ? 1 : 0;
}

const CommandRegistration lintCommand{
    {"lint",
     "lint PROJECT     check links, files, pop-ups and effect markers, one finding a line\n"
     "                   (exit status 1 on errors, 2 when the project cannot be loaded)",
     runLint}};

} // namespace

} // namespace qw::cli
