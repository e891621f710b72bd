#pragma once

// Shared set-up of the main window tests: a copy of the sample project in a temporary
// folder, a configuration file of the test's own, and recorders in place of the modal
// message boxes, file dialogs and program starts.

#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "app/message_routine.h"
#include "app/program_runner.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace qw::test {

/// Records every message and answers from a queue (the set's first button when empty).
struct MessageRecorder {
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers;

    void install() {
        MessageRoutine::setTestResponder([this](const ShownMessage& message) {
            shown.push_back(message);
            if (!answers.empty()) {
                const Answer answer = answers.front();
                answers.pop_front();
                return answer;
            }
            return message.buttons == MessageButtons::Ok ||
                           message.buttons == MessageButtons::OkCancel
                       ? Answer::Ok
                       : Answer::Yes;
        });
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const ShownMessage& message : shown)
            result.push_back(message.text);
        return result;
    }
    void clear() {
        shown.clear();
        answers.clear();
    }
};

/// Answers file dialogs from a queue; an empty queue means Cancel.
struct DialogRecorder {
    std::vector<FileRequest> requests;
    std::deque<QStringList> answers;

    void install() {
        FileDialogs::setTestChooser([this](const FileRequest& request) {
            requests.push_back(request);
            if (answers.empty())
                return QStringList();
            QStringList answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
};

/// Records program starts; the tools program, the desktop's handler, the viewers and the
/// test's own fakes (named "fake-...") are never really started, everything else (an
/// editor script) runs.
struct LaunchRecorder {
    std::vector<Launch> launches;

    void install() {
        ProgramRunner::setTestObserver([this](const Launch& launch) -> std::optional<bool> {
            launches.push_back(launch);
            if (launch.kind == Launch::ShellOpen || launch.program.contains("qwrtools") ||
                launch.program.endsWith("xchm") || launch.program.endsWith("kchmviewer") ||
                QFileInfo(launch.program).fileName().startsWith("fake-"))
                return true;
            return std::nullopt;
        });
    }
};

inline void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

/// One window over a fresh copy of the sample project.
struct WindowFixture {
    QTemporaryDir dir;
    QString project;
    QString config;
    std::unique_ptr<TfrmVIRedivuv> window;

    explicit WindowFixture(const QByteArray& configText = {}) {
        copyTree(QW_SOURCE_DIR "/examples/sample", dir.filePath("sample"));
        project = dir.filePath("sample/sample.qwr");
        config = dir.filePath("quirew.cfg");
        if (!configText.isEmpty())
            writeAll(config, configText);
        window = std::make_unique<TfrmVIRedivuv>(QW_DATA_DIR, config.toStdString());
    }
    ~WindowFixture() {
        // Closing asks nothing of a test: the project is not modified by then, or the
        // test has answered.
        window.reset();
    }
    QAction* action(const char* name) const { return window->action(name); }
    void trigger(const char* name) const { action(name)->trigger(); }
};

} // namespace qw::test
