#include "app/program_runner.h"

#include "app/wait_loop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace qw {

namespace {

ProgramRunner::Observer& observer() {
    static ProgramRunner::Observer instance;
    return instance;
}

std::optional<bool> observed(const Launch& launch) {
    if (!observer())
        return std::nullopt;
    return observer()(launch);
}

bool runAndWait(QProcess& process) {
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    while (process.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(10);
    }
    return true;
}

} // namespace

void ProgramRunner::setTestObserver(Observer newObserver) {
    observer() = std::move(newObserver);
}

std::optional<bool> ProgramRunner::observe(const Launch& launch) {
    return observed(launch);
}

bool ProgramRunner::run(const QString& program, const QStringList& arguments, bool wait,
                        const QString& workingFolder) {
    if (auto answer = observed(Launch{Launch::Run, program, arguments, workingFolder, wait}))
        return *answer;
    if (program.trimmed().isEmpty())
        return false;
    if (!wait)
        return QProcess::startDetached(program, arguments, workingFolder);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    return runAndWait(process);
}

bool ProgramRunner::shellOpen(const QString& document, const QString& workingFolder) {
    if (auto answer = observed(Launch{Launch::ShellOpen, document, {}, workingFolder, false}))
        return *answer;
    QFileInfo info(document);
    if (info.isRelative() && !workingFolder.isEmpty())
        info = QFileInfo(QDir(workingFolder), document);
    if (!info.exists())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool ProgramRunner::viewInBrowser(const std::string& browserPath, const QString& file) {
    const QString browser = QString::fromStdString(browserPath).trimmed();
    if (!browser.isEmpty())
        return run(browser, {file}, false);
    return shellOpen(file);
}

QString ProgramRunner::toolsProgram() {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {here.filePath("qwrtools"), here.filePath("../tools/qwrtools")}) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QStandardPaths::findExecutable("qwrtools");
}

bool ProgramRunner::startTools(const QStringList& arguments) {
    QString program = toolsProgram();
    if (program.isEmpty())
        program = "qwrtools";
    return run(program, arguments, false, QCoreApplication::applicationDirPath());
}

QString ProgramRunner::toolSocketName(const QString& windowTitle) {
    QString name = windowTitle.toLower();
    name.replace(' ', '-');
    return QStringLiteral("quirew-%1-%2").arg(name).arg(getuid());
}

bool ProgramRunner::isToolRunning(const QString& windowTitle) {
    QLocalSocket socket;
    socket.connectToServer(toolSocketName(windowTitle));
    return socket.waitForConnected(200);
}

void ProgramRunner::sendCloseRequest(const QString& windowTitle) {
    QLocalSocket socket;
    socket.connectToServer(toolSocketName(windowTitle));
    if (!socket.waitForConnected(200))
        return;
    socket.write("close\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
}

} // namespace qw
