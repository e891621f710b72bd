#pragma once

#include <QString>

#include <filesystem>

namespace qw {

class ToolMessages;
struct LaunchCommand;

/// Where the tools find their support files and the configuration file shared with the
/// main program.
struct ToolEnvironment {
    std::filesystem::path dataDir;
    std::filesystem::path configFile;

    /// Resolved from the running program's location.
    static ToolEnvironment find();
};

/// Shows a page of the programs' help (data folder "help/"), or says that the help is not
/// installed.
void openContextHelp(const ToolEnvironment& environment, const QString& page,
                     ToolMessages& messages);

/// The program to run for a command's program name: a name without a folder is looked
/// for beside this program, beside the other program of the build tree, then on PATH.
QString resolveProgram(const QString& program);
/// Starts the command detached, its arguments passed as they are; false when it cannot
/// be started.
bool launchCommand(const LaunchCommand& command);

} // namespace qw
