#include "app/wait_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace qw {

void waitProcessingEvents(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (timer.elapsed() >= milliseconds)
            break;
        QThread::msleep(10);
    } while (timer.elapsed() < milliseconds);
}

} // namespace qw
