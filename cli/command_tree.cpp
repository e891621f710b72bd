// The tree command: writes the browser document with its contents tree.
#include "cli/command_registry.h"
#include "cli/console_host.h"
#include "core/file_io.h"
#include "core/project_lock.h"
#include "treegen/tree_command.h"

#include <iostream>
#include <optional>

namespace qw::cli {

namespace {

/// Runs the create command headless: the stored options (with the format given on the
/// command line) stand in for the dialog, and nothing is opened in a browser.
class ConsoleTreeHost : public TreeHost {
public:
    ConsoleTreeHost(ConsoleHost& console, std::optional<TreeFormat> format)
        : m_console(console), m_format(format) {}
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override {
        return m_console.showMessage(text, kind, buttons);
    }
    ProgressReporter& progress() override { return m_console.progress(); }
    bool askTreeOptions(TreeOptions& options) override {
        if (m_format)
            options.format = *m_format;
        return true;
    }

private:
    ConsoleHost& m_console;
    std::optional<TreeFormat> m_format;
};

bool parseFormat(const std::string& text, TreeFormat& format) {
    if (text == "standard")
        format = TreeFormat::Standard;
    else if (text == "applet")
        format = TreeFormat::Applet;
    else if (text == "script")
        format = TreeFormat::Script;
    else
        return false;
    return true;
}

int usage() {
    std::cerr << "quirew-cli: usage: quirew-cli tree PROJECT.qwr "
                 "[--format standard|applet|script]\n";
    return 2;
}

int runTree(const std::vector<std::string>& args) {
    std::string projectPath;
    std::optional<TreeFormat> format;
    for (size_t i = 0; i < args.size(); ++i) {
        TreeFormat chosen{};
        if (args[i] == "--format" && i + 1 < args.size() && parseFormat(args[i + 1], chosen)) {
            format = chosen;
            ++i;
        } else if (args[i].rfind("--format=", 0) == 0 && parseFormat(args[i].substr(9), chosen)) {
            format = chosen;
        } else if (projectPath.empty() && args[i].rfind("--", 0) != 0) {
            projectPath = args[i];
        } else {
            return usage();
        }
    }
    if (projectPath.empty())
        return usage();

    // The project is saved without asking only if it was changed, which a fresh load
    // never is; Yes keeps a headless run from stopping at a question.
    ConsoleHost host(Answer::Yes);
    ProjectSession session(host, dataDirectory(), configurationFile());
    // Held from the load on, so that no other program saves the chapters between the load
    // and the pages cut from them.
    std::optional<ProjectLock> lock;
    if (fileExists(projectPath))
        lock.emplace(projectPath);
    if (!openForCommand(session, host, projectPath))
        return 1;
    if (!host.allErrors().empty()) {
        std::cerr << "quirew-cli: no tree: the project did not load cleanly\n";
        return 1;
    }
    ConsoleTreeHost treeHost(host, format);
    try {
        const TreeResult result = createTreeDocument(session, treeHost);
        if (!result.succeeded()) {
            std::string reason = result.message.empty() ? "cancelled" : result.message;
            for (char& c : reason)
                if (c == '\r' || c == '\n')
                    c = ' ';
            std::cerr << "quirew-cli: no tree: " << reason << '\n';
            return 1;
        }
        if (result.copyFailures > 0) {
            // The window beeps; here the document is incomplete and the run says so.
            std::cerr << "quirew-cli: " << result.copyFailures
                      << " icon or template files could not be copied into the tree folder\n";
            return 1;
        }
        std::cout << result.indexPath.string() << '\n';
    } catch (const FileError& error) {
        std::cerr << "quirew-cli: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

const CommandRegistration treeCommand{
    {"tree",
     "tree PROJECT     write the browser document with its contents tree (the project's\n"
     "                   stored tree options); prints the path of index.htm\n"
     "                   [--format standard|applet|script] the tree's format",
     runTree}};

} // namespace

} // namespace qw::cli
