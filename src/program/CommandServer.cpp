// One request and its answer per connection, on the event loop.
#include "program/CommandServer.h"

#include "program/CommandSocket.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace {

// How often a request waiting for the program's own event loop looks again.
constexpr int kBusyRetryMs = 50;

CommandProtocol::Answer refusal(const QString& reason) {
    return {2, QString(), QStringLiteral("orlamo-cli: the running recorder refused the request: %1\n").arg(reason)};
}

} // namespace

/// One client: reads its request, runs it when the program may, writes the answer, closes.
class CommandServer::Connection : public QObject {
public:
    Connection(CommandServer& server, QLocalSocket* socket)
        : QObject(&server), m_server(server), m_socket(socket), m_reader(CommandProtocol::kMaxRequestBytes) {
        socket->setParent(this);
        m_socket->setReadBufferSize(1024 * 64);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] {
            if (m_request)
                answer(refusal(QStringLiteral("busy; nothing was changed")));
            else
                drop();
        });
        m_deadline.start(kRequestTimeoutMs);
        connect(m_socket, &QLocalSocket::readyRead, this, &Connection::read);
        connect(m_socket, &QLocalSocket::disconnected, this, &Connection::drop);
        m_server.m_connections.insert(this);
        read();
    }
    ~Connection() override { m_server.m_connections.erase(this); }

    /// Closes the connection without an answer.
    void drop() {
        if (m_dropped)
            return;
        m_dropped = true;
        m_deadline.stop();
        m_socket->abort();
        deleteLater();
    }

private:
    void read() {
        if (m_request || m_answered)
            return;
        while (m_socket->bytesAvailable() > 0 && m_reader.state() == FrameReader::State::Incomplete)
            m_reader.add(m_socket->read(std::max<qint64>(1, m_reader.wanted())));
        switch (m_reader.state()) {
        case FrameReader::State::Incomplete:
            return;
        case FrameReader::State::TooLarge:
            answer(refusal(QStringLiteral("too large")));
            return;
        case FrameReader::State::Trailing:
            answer(refusal(QStringLiteral("more than one request")));
            return;
        case FrameReader::State::Complete:
            break;
        }
        // A connection carries one request.
        if (m_socket->bytesAvailable() > 0) {
            answer(refusal(QStringLiteral("more than one request")));
            return;
        }
        QString error;
        m_request = CommandProtocol::parseRequest(m_reader.body(), error);
        if (!m_request) {
            answer(refusal(error));
            return;
        }
        runWhenIdle();
    }

    void runWhenIdle() {
        if (m_server.m_closed || m_answered)
            return;
        if (!m_server.mayRunNow()) {
            QTimer::singleShot(kBusyRetryMs, this, &Connection::runWhenIdle);
            return;
        }
        m_deadline.stop();
        const CommandProtocol::Request request = *m_request;
        QPointer<Connection> alive(this);
        const CommandProtocol::Answer result = m_server.m_runner(request);
        if (alive)
            answer(result);
    }

    void answer(const CommandProtocol::Answer& result) {
        if (m_answered)
            return;
        m_answered = true;
        m_deadline.stop();
        m_socket->write(CommandProtocol::encodeAnswer(result));
        // Closes once the answer is written; a client that stops reading is dropped in time.
        m_socket->disconnectFromServer();
        m_deadline.disconnect();
        connect(&m_deadline, &QTimer::timeout, this, &Connection::drop);
        m_deadline.start(kRequestTimeoutMs);
    }

    CommandServer& m_server;
    QLocalSocket* m_socket;
    FrameReader m_reader;
    QTimer m_deadline;
    std::optional<CommandProtocol::Request> m_request;
    bool m_answered = false;
    bool m_dropped = false;
};

CommandServer::CommandServer(QString workDir, Runner runner, QObject* parent)
    : QObject(parent), m_workDir(std::move(workDir)), m_path(CommandSocket::pathFor(m_workDir)),
      m_runner(std::move(runner)), m_loopLevel(std::max(1, QThread::currentThread()->loopLevel())) {}

CommandServer::~CommandServer() {
    close();
    while (!m_connections.empty())
        delete *m_connections.begin();
}

bool CommandServer::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(kMaxConnections);
    if (!m_server->listen(m_path)) {
        // This process holds the catalogue, so a socket of this user left here has nobody behind it.
        if (!CommandSocket::isUsersOwn(m_path) || !QLocalServer::removeServer(m_path) || !m_server->listen(m_path))
            return false;
    }
    if (!CommandSocket::isUsersOwn(m_path) && !CommandSocket::restrictToUser(m_path)) {
        m_server->close();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CommandServer::acceptConnections);
    return true;
}

void CommandServer::close() {
    m_closed = true;
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    // Dropped, not answered: the tables they would run on are closing.
    const std::set<Connection*> open = m_connections;
    for (Connection* connection : open)
        connection->drop();
}

bool CommandServer::isListening() const {
    return m_server && m_server->isListening();
}

bool CommandServer::mayRunNow() const {
    return !m_closed && QThread::currentThread()->loopLevel() <= m_loopLevel;
}

void CommandServer::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= static_cast<size_t>(kMaxConnections) ||
            !CommandSocket::peerIsUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Connection(*this, socket);
    }
}
