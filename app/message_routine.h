#pragma once

#include "core/messages.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace qw {

/// One message as the author saw it: its text (line breaks as "\r\n"), kind and buttons.
struct ShownMessage {
    std::string text;
    MessageKind kind;
    MessageButtons buttons;
};

/// Every message of the main program goes through here: the default beep, then a modal
/// box of one of four kinds with one of four button sets; returns the button pressed.
/// Tests install a responder that sees each message and answers it instead of a box.
class MessageRoutine : public Messenger {
public:
    using Responder = std::function<Answer(const ShownMessage&)>;

    explicit MessageRoutine(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override;
    /// A plain box without beep or icon, with OK only.
    void showPlain(const std::string& text);
    /// The general error display: the error's text under the application title with a
    /// stop icon and OK; the program then goes on.
    void showError(const std::string& text);
    /// The system beep without a box (refused keys, a finished run with errors).
    void beep();

    /// Replaces the modal box for every routine in the program (nullptr restores it).
    static void setTestResponder(Responder responder);
    /// Beeps heard so far, boxes included; for tests.
    static int beepCount();

    /// The text as a box shows it: "\r\n" becomes a line break.
    static QString displayText(const std::string& text);

private:
    QWidget* m_parent;
};

} // namespace qw
