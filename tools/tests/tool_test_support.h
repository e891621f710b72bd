#pragma once

#include "tools/key_typer.h"
#include "tools/tool_messages.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace qw::test {

/// Records what a tool would type, answering as the test says.
class RecordingTyper : public KeyTyper {
public:
    Result typeText(std::string_view targetTitle, std::string_view text) override {
        targets.emplace_back(targetTitle);
        texts.emplace_back(text);
        return result;
    }
    std::string unavailableReason() const override { return "no X11 here"; }

    Result result = Result::Typed;
    std::vector<std::string> targets;
    std::vector<std::string> texts;
};

/// Records the messages a tool shows instead of opening message boxes.
class RecordingMessages : public ToolMessages {
public:
    void show(Kind kind, const QString& text) override {
        kinds.push_back(kind);
        texts << text;
    }
    Answer askYesNoCancel(const QString& text) override {
        texts << text;
        return answer;
    }

    Answer answer = Answer::Yes;
    std::vector<Kind> kinds;
    QStringList texts;
};

/// Runs `drive` on the next modal window that opens (a dialog the code under test is
/// about to exec).
inline void onNextModal(std::function<void(QWidget*)> drive) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, drive] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            drive(modal);
        }
    });
    timer->start();
}

} // namespace qw::test
