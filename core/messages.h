#pragma once

#include <string>

namespace qw {

/// The four kinds of message box.
enum class MessageKind { Warning, Error, Information, Confirmation };
/// The four button sets.
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
/// The button the author chose.
enum class Answer { Ok, Yes, No, Cancel };

/// Shows a message to the author (after the default beep) and returns the answer.
/// The GUI shows a modal box; the CLI and tests answer without asking.
class Messenger {
public:
    virtual ~Messenger() = default;
    virtual Answer showMessage(const std::string& text, MessageKind kind,
                               MessageButtons buttons) = 0;
};

} // namespace qw
