#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace qw {

/// One running QuireW per user: the first start listens on a local socket named after
/// the user; a later start connects, hands over its project argument and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// The socket name for the current user.
    static QString defaultName();

    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Hands the argument (possibly empty) to a running instance. True when one was
    /// running and took it: this start must then end.
    bool passToRunningInstance(const QString& projectArgument, int timeoutMs = 1000);
    /// Starts listening; a socket file left by a crashed run is replaced. False when the
    /// socket cannot be created (the program then runs without the single-instance check).
    bool listen();

signals:
    /// A later start handed over its argument (empty when it had none).
    void projectHandedOver(const QString& projectArgument);

private:
    void readConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace qw
