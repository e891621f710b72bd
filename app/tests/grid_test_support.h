#pragma once

// Shared by the grid's Qt tests: a session host and grid host that record what the grid
// asked of the window, and a copy of the sample project with its own configuration.

#include "app/grid_host.h"
#include "core/messages.h"
#include "core/progress.h"
#include "core/project_session.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace qw::test {

struct RecordedMessage {
    std::string text;
    MessageKind kind;
    MessageButtons buttons;
};

/// Answers every question with OK (or the queued answers) and records everything.
class RecordingHost : public SessionHost, public GridHost {
public:
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override {
        messages.push_back({text, kind, buttons});
        return Answer::Ok;
    }
    ProgressReporter& progress() override { return recorder; }
    void beep() override { ++beeps; }
    Messenger& messenger() override { return *this; }
    void projectEdited() override { ++edits; }
    bool askText(const QString& title, const QString& prompt, QString& text) override {
        questions.push_back(title + "|" + prompt + "|" + text);
        if (textAnswers.empty())
            return false;
        text = textAnswers.front();
        textAnswers.erase(textAnswers.begin());
        return true;
    }
    void applyProjectOptionsSilently() override { ++optionRuns; }

    RecordingProgress recorder;
    std::vector<RecordedMessage> messages;
    std::vector<QString> questions;
    std::vector<QString> textAnswers;
    int beeps = 0;
    int edits = 0;
    int optionRuns = 0;
};

/// Copies a folder tree; false when a file could not be copied.
inline bool copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

/// A copy of examples/sample in a temporary folder, opened in a session whose
/// configuration file lies in the same folder.
class SampleProject {
public:
    SampleProject() : session(host, QW_DATA_DIR, (dir.path() + "/quirew.cfg").toStdString()) {
        copied = copyTree(QString(QW_SOURCE_DIR) + "/examples/sample", dir.path() + "/sample");
    }
    std::string projectPath() const { return (dir.path() + "/sample/sample.qwr").toStdString(); }
    QString file(const QString& relative) const { return dir.path() + "/sample/" + relative; }
    QByteArray read(const QString& relative) const {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    RecordingHost host;
    ProjectSession session;
    bool copied = false;
};

} // namespace qw::test
