#pragma once

#include "core/project_session.h"

#include <functional>

namespace qw {

class MessageRoutine;
class TfrmProgress;

/// The project session's link to the window: messages through the message routine,
/// runs in the progress window, pauses that keep the window painting, and the state
/// changes the window shows (command state, caption, Save).
class GuiSessionHost : public SessionHost {
public:
    GuiSessionHost(MessageRoutine& messages, TfrmProgress& progress)
        : m_messages(messages), m_progress(progress) {}

    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override;
    ProgressReporter& progress() override;
    void pause(int milliseconds) override;
    void commandStateChanged(CommandState state) override;
    void captionChanged(const std::string& caption) override;
    void modifiedChanged(bool modified) override;
    void helpProjectMissing() override;

    std::function<void(CommandState)> onCommandState;
    std::function<void(const std::string&)> onCaption;
    std::function<void(bool)> onModified;
    std::function<void()> onHelpProjectMissing;

private:
    MessageRoutine& m_messages;
    TfrmProgress& m_progress;
};

} // namespace qw
