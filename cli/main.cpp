// quirew-cli: runs the project jobs of HTMLHelp Quirewright without a window.
#include "cli/command_registry.h"
#include "core/file_io.h"

#include <iostream>

namespace qw::cli {
std::vector<Command>& commands() {
    static std::vector<Command> list;
    return list;
}
} // namespace qw::cli

namespace {

void printHelp() {
    std::cout << "Usage: quirew-cli COMMAND PROJECT.qwr [OPTIONS]\n\nCommands:\n";
    for (const auto& c : qw::cli::commands())
        std::cout << "  " << c.usage << '\n';
    std::cout << "\n  --help     show this text\n  --version  show the version\n";
}

/// Status 1 with a reason when what was printed never reached its reader (a full disk,
/// a closed pipe); else status.
int checkedOutput(int status) {
    if (std::cout.flush())
        return status;
    std::cerr << "quirew-cli: unable to write to standard output\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        printHelp();
        return checkedOutput(args.empty() ? 2 : 0);
    }
    if (args[0] == "--version") {
        std::cout << "quirew-cli (HTMLHelp Quirewright) " << QW_VERSION << '\n';
        return checkedOutput(0);
    }
    for (const auto& c : qw::cli::commands()) {
        if (c.name != args[0])
            continue;
        try {
            return checkedOutput(c.run({args.begin() + 1, args.end()}));
        } catch (const qw::FileError& e) {
            std::cerr << "quirew-cli: " << e.what() << '\n';
        } catch (const std::exception& e) {
            std::cerr << "quirew-cli: unexpected failure: " << e.what() << '\n';
        }
        return 1;
    }
    std::cerr << "quirew-cli: unknown command '" << args[0] << "' (try --help)\n";
    return 2;
}
