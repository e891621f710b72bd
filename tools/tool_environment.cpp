#include "tools/tool_environment.h"

#include "core/configuration.h"
#include "core/tool_settings.h"
#include "tools/tool_messages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace qw {

ToolEnvironment ToolEnvironment::find() {
    ToolEnvironment environment;
    environment.dataDir = findDataDirectory(QCoreApplication::applicationFilePath().toStdString());
    environment.configFile = findConfigurationFile(environment.dataDir);
    return environment;
}

void openContextHelp(const ToolEnvironment& environment, const QString& page,
                     ToolMessages& messages) {
    const QDir help(QString::fromStdString((environment.dataDir / "help").string()));
    const QString file = help.filePath(page);
    if (QFileInfo::exists(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;
    messages.show(ToolMessages::Kind::Information,
                  "The help of HTMLHelp Quirewright is not installed.");
}

QString resolveProgram(const QString& program) {
    if (program.contains('/'))
        return program;
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(program), here.filePath("../app/" + program),
                                     here.filePath("../tools/" + program)}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath();
    }
    const QString onPath = QStandardPaths::findExecutable(program);
    return onPath.isEmpty() ? program : onPath;
}

bool launchCommand(const LaunchCommand& command) {
    QStringList arguments;
    for (const std::string& argument : command.arguments)
        arguments << QString::fromStdString(argument);
    const QString program = resolveProgram(QString::fromStdString(command.program));
    return QProcess::startDetached(program, arguments,
                                   QString::fromStdString(command.workingDirectory));
}

} // namespace qw
