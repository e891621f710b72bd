#include "tools/tool_close_server.h"

#include "core/tool_settings.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace qw {

QString ToolCloseServer::socketName(const QString& windowTitle) {
    return QString::fromStdString(toolSocketName(windowTitle.toStdString(), getuid()));
}

ToolCloseServer::ToolCloseServer(const QString& windowTitle, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    const QString name = socketName(windowTitle);
    // Listening would take the name over from a running instance: leave it to that one.
    // A socket file left by a tool that died is replaced.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200))
        return;
    QLocalServer::removeServer(name);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(name);
    connect(m_server, &QLocalServer::newConnection, this, &ToolCloseServer::takeConnection);
}

bool ToolCloseServer::isListening() const {
    return m_server->isListening();
}

void ToolCloseServer::takeConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine().trimmed() == "close")
                    emit closeRequested();
        });
    }
}

} // namespace qw
