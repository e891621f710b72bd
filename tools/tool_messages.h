#pragma once

#include <QString>

#include <functional>

namespace qw {

/// How the tools speak to the author: a beep and a modal message box. Tests replace it
/// with a recorder.
class ToolMessages {
public:
    enum class Kind { Error, Information, Warning };
    enum class Answer { Yes, No, Cancel, Ok };
    virtual ~ToolMessages() = default;
    virtual void show(Kind kind, const QString& text) = 0;
    /// A Yes/No/Cancel confirmation.
    virtual Answer askYesNoCancel(const QString& text) = 0;
};

/// The default beep; tests count beeps through setBeepForTesting.
void toolBeep();
void setBeepForTesting(std::function<void()> beep);

class BoxMessages : public ToolMessages {
public:
    void show(Kind kind, const QString& text) override;
    Answer askYesNoCancel(const QString& text) override;
};

} // namespace qw
