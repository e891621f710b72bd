#pragma once

#include <QString>

namespace qw {

class Messenger;

/// What the topic grid needs from the window that holds it. The main window implements
/// it; tests implement it with a recorder.
class GridHost {
public:
    virtual ~GridHost() = default;
    /// The system beep for a refused key or a refused row move.
    virtual void beep() = 0;
    /// The message routine: beep, then a modal box.
    virtual Messenger& messenger() = 0;
    /// Called after the grid marked the project edited (modified, chapters out of sync),
    /// so the window can refresh its Save command and status.
    virtual void projectEdited() {}
    /// An input box; returns false when the author cancels.
    virtual bool askText(const QString& title, const QString& prompt, QString& text) = 0;
    /// Applies and stores the project options without showing the options dialog, as
    /// after a special topic was set.
    virtual void applyProjectOptionsSilently() {}
};

} // namespace qw
