#pragma once

#include <QObject>

class QLocalServer;

namespace qw {

/// Listens on the per-user local socket named after a tool's window title; a "close"
/// message from the main program emits closeRequested, upon which the tool closes as if
/// the author closed it.
class ToolCloseServer : public QObject {
    Q_OBJECT
public:
    explicit ToolCloseServer(const QString& windowTitle, QObject* parent = nullptr);
    /// False when another instance already listens (it keeps taking the requests).
    bool isListening() const;
    static QString socketName(const QString& windowTitle);

signals:
    void closeRequested();

private:
    void takeConnection();
    QLocalServer* m_server;
};

} // namespace qw
