#include "tools/tool_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace qw {

namespace {

QString withLineBreaks(const QString& text) {
    QString shown = text;
    return shown.replace("\r\n", "\n");
}

std::function<void()>& beepHook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void toolBeep() {
    if (beepHook())
        beepHook()();
    else
        toolBeep();
}

void setBeepForTesting(std::function<void()> beep) {
    beepHook() = std::move(beep);
}

void BoxMessages::show(Kind kind, const QString& text) {
    toolBeep();
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case Kind::Error:
        QMessageBox::critical(nullptr, title, withLineBreaks(text));
        break;
    case Kind::Warning:
        QMessageBox::warning(nullptr, title, withLineBreaks(text));
        break;
    case Kind::Information:
        QMessageBox::information(nullptr, title, withLineBreaks(text));
        break;
    }
}

ToolMessages::Answer BoxMessages::askYesNoCancel(const QString& text) {
    toolBeep();
    const auto button = QMessageBox::question(
        nullptr, QApplication::applicationDisplayName(), withLineBreaks(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return button == QMessageBox::Yes  ? Answer::Yes
           : button == QMessageBox::No ? Answer::No
                                       : Answer::Cancel;
}

} // namespace qw
