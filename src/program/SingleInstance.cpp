// Single-instance check over a local socket.
#include "program/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kRaise = "raise\n";
}

SingleInstance::SingleInstance(const QString& workDir, QObject* parent)
    : QObject(parent), m_name(serverName(workDir)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& workDir) {
    const QByteArray hash = QCryptographicHash::hash(workDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("orlamo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::notifyRunningCopy(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that died left its socket file behind; nobody answered above, so it is stale.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    Q_EMIT raiseRequested();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}
