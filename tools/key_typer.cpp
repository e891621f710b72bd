#include "tools/key_typer.h"

#include "tools/keysender/x11_key_platform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

namespace qw {

void waitProcessingEvents(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents,
                                        int(std::max<qint64>(1, deadline.remainingTime())));
        QThread::msleep(1);
    }
}

X11KeyTyper::X11KeyTyper() = default;
X11KeyTyper::~X11KeyTyper() = default;

KeyTyper::Result X11KeyTyper::typeText(std::string_view targetTitle, std::string_view text) {
    if (!m_platform)
        m_platform = keys::X11KeyPlatform::open(m_error);
    if (!m_platform)
        return Result::Unavailable;
    keys::KeySender sender(*m_platform, waitProcessingEvents);
    if (sender.typeText(targetTitle, text) == keys::TypeResult::TargetNotFound)
        return Result::TargetNotFound;
    return Result::Typed;
}

} // namespace qw
