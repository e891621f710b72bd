// Confirming the project options: the project file, the session and the help project.
#include "core/ini_file.h"
#include "core/project_session.h"
#include "helpgen/help_project.h"
#include "helpgen/project_options.h"

namespace qw {

void confirmProjectOptions(ProjectSession& session, const ProjectOptions& options) {
    IniFile project(session.projectPath());
    options.write(project);
    options.applyTo(session.settings());
    session.markRoles();
    writeHelpProjectDialog(session.projectPath(), options);
}

ProjectOptions applyProjectOptionsSilently(ProjectSession& session) {
    ProjectOptions options;
    options.load(IniFile(session.projectPath()));
    confirmProjectOptions(session, options);
    return options;
}

} // namespace qw
