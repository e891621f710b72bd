#include "app/message_routine.h"

#include <QApplication>
#include <QMessageBox>

namespace qw {

namespace {

MessageRoutine::Responder& responder() {
    static MessageRoutine::Responder instance;
    return instance;
}

int g_beeps = 0;

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

/// Closing a box with Escape or its close box gives the set's "no" answer.
Answer answerOf(int button, MessageButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::YesNo:
        return Answer::No;
    case MessageButtons::YesNoCancel:
    case MessageButtons::OkCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace

QString MessageRoutine::displayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void MessageRoutine::beep() {
    ++g_beeps;
    QApplication::beep();
}

Answer MessageRoutine::showMessage(const std::string& text, MessageKind kind,
                                   MessageButtons buttons) {
    beep();
    if (responder())
        return responder()(ShownMessage{text, kind, buttons});
    QMessageBox box(iconOf(kind), QApplication::applicationName(), displayText(text),
                    buttonsOf(buttons), m_parent);
    return answerOf(box.exec(), buttons);
}

void MessageRoutine::showPlain(const std::string& text) {
    if (responder()) {
        responder()(ShownMessage{text, MessageKind::Information, MessageButtons::Ok});
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), displayText(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

void MessageRoutine::showError(const std::string& text) {
    showMessage(text, MessageKind::Error, MessageButtons::Ok);
}

void MessageRoutine::setTestResponder(Responder responder) {
    qw::responder() = std::move(responder);
}

int MessageRoutine::beepCount() {
    return g_beeps;
}

} // namespace qw
