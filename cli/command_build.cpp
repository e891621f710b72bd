// The build command: the whole HTML Help build without a window.
#include "cli/command_registry.h"
#include "cli/console_host.h"
#include "core/file_io.h"
#include "core/project_lock.h"
#include "helpgen/build_pipeline.h"

#include <iostream>
#include <optional>

namespace qw::cli {

namespace {

/// The build's questions on a console: messages go to the console host; the build
/// options are the stored ones, with clean-up as the command line says.
class ConsoleBuildHost : public BuildHost {
public:
    ConsoleBuildHost(ConsoleHost& console, bool keepFiles)
        : m_console(console), m_keep(keepFiles) {}
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override {
        return m_console.showMessage(text, kind, buttons);
    }
    ProgressReporter& progress() override { return m_console.progress(); }
    bool askBuildOptions(CompileOptions& choices, bool& setAsDefault) override {
        if (m_keep)
            choices.cleanUpFiles = false;
        setAsDefault = false;
        return true;
    }
    void showCheckFinding(const std::string& message, size_t row, int /*column*/) override {
        m_console.showMessage(message + "\r\n(row " + std::to_string(row) + ")",
                              MessageKind::Warning, MessageButtons::Ok);
    }

private:
    ConsoleHost& m_console;
    bool m_keep;
};

struct BuildArgs {
    std::string project;
    bool compile = true;
    bool cleanUp = true;
};

bool parseArgs(const std::vector<std::string>& args, BuildArgs& out) {
    for (const std::string& arg : args) {
        if (arg == "--no-compile")
            out.compile = false;
        else if (arg == "--no-clean-up")
            out.cleanUp = false;
        else if (!arg.empty() && arg[0] == '-')
            return false;
        else if (out.project.empty())
            out.project = arg;
        else
            return false;
    }
    return !out.project.empty();
}

int runBuild(const std::vector<std::string>& args) {
    BuildArgs options;
    if (!parseArgs(args, options)) {
        std::cerr
            << "quirew-cli: usage: quirew-cli build PROJECT.qwr [--no-compile] [--no-clean-up]\n";
        return 2;
    }
    ConsoleHost host;
    ProjectSession session(host, dataDirectory(), configurationFile());
    host.attachSession(&session);
    // Held from the load on, so that no other program saves the chapters between the load
    // and the pages cut from them.
    std::optional<ProjectLock> lock;
    if (fileExists(options.project))
        lock.emplace(options.project);
    if (!openForCommand(session, host, options.project))
        return 1;
    if (!host.allErrors().empty()) {
        std::cerr << "quirew-cli: not built: the project did not load cleanly\n";
        return 1;
    }
    ConsoleBuildHost buildHost(host, !options.cleanUp);
    BuildRequest request;
    request.compile = options.compile;
    request.neverView = true;
    request.navigatorFontSpec = host.navigatorFontSpec();
    const BuildResult result = createHelpDocument(session, buildHost, request);
    for (const std::string& warning : result.warnings)
        std::cerr << "quirew-cli: warning: " << warning << '\n';
    if (result.outcome == BuildOutcome::ProjectWritten) {
        std::cout << session.basePath() << ".hhp\n";
        return 0;
    }
    if (result.outcome == BuildOutcome::Compiled) {
        std::cout << result.chmPath << '\n' << result.logPath << '\n';
        return 0;
    }
    std::string reason = result.message.empty() ? "cancelled" : result.message;
    for (char& c : reason)
        if (c == '\r' || c == '\n')
            c = ' ';
    std::cerr << "quirew-cli: not built: " << reason << '\n';
    return 1;
}

const CommandRegistration buildCommand{
    {"build",
     "build PROJECT    generate the pages, contents, index and help project and compile them\n"
     "                   [--no-compile] stop after the help project file\n"
     "                   [--no-clean-up] keep the generated pages and files",
     runBuild}};

} // namespace

} // namespace qw::cli
