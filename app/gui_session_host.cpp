#include "app/gui_session_host.h"

#include "app/message_routine.h"
#include "app/progress_window.h"
#include "app/wait_loop.h"

namespace qw {

Answer GuiSessionHost::showMessage(const std::string& text, MessageKind kind,
                                   MessageButtons buttons) {
    return m_messages.showMessage(text, kind, buttons);
}

ProgressReporter& GuiSessionHost::progress() {
    return m_progress;
}

void GuiSessionHost::pause(int milliseconds) {
    waitProcessingEvents(milliseconds);
}

void GuiSessionHost::commandStateChanged(CommandState state) {
    if (onCommandState)
        onCommandState(state);
}

void GuiSessionHost::captionChanged(const std::string& caption) {
    if (onCaption)
        onCaption(caption);
}

void GuiSessionHost::modifiedChanged(bool modified) {
    if (onModified)
        onModified(modified);
}

void GuiSessionHost::helpProjectMissing() {
    if (onHelpProjectMissing)
        onHelpProjectMissing();
}

} // namespace qw
