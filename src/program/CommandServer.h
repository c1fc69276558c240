// The command socket of the process that holds the catalogue.
#pragma once

#include "program/CommandProtocol.h"

#include <QObject>
#include <QString>
#include <functional>
#include <set>

class QLocalServer;
class QLocalSocket;

/// Listens on the working folder's command socket (CommandSocket) and answers each request with
/// `runner`. Everything happens on the event loop without waiting: a connection of another user
/// is closed unread, a request is read as its bytes come (at most kMaxRequestBytes, within
/// kRequestTimeoutMs), and one that is not well formed is answered with the reason and runs
/// nothing. A request is run only from the program's own event loop, never inside a wait for
/// the modem or a dialog: until then it waits, and when the time is up it is answered "busy".
///
///     CommandServer server(workDir, [&](const CommandProtocol::Request& r) { return commands.run(r); });
///     server.listen();
///     ...
///     server.close(); // before the catalogue closes
class CommandServer : public QObject {
    Q_OBJECT
public:
    using Runner = std::function<CommandProtocol::Answer(const CommandProtocol::Request&)>;

    static constexpr int kRequestTimeoutMs = 10000;
    static constexpr int kMaxConnections = 8;

    CommandServer(QString workDir, Runner runner, QObject* parent = nullptr);
    ~CommandServer() override;

    /// Starts listening; false when the socket cannot be made the user's own (commands are then
    /// refused as without a running recorder). A socket file left by a process that ended is replaced.
    bool listen();
    /// Stops listening and drops the connections; nothing runs afterwards.
    void close();
    QString path() const { return m_path; }
    bool isListening() const;

    /// Whether a request may run now: only at the event loop level the server was made at, or
    /// the first one when it was made before any ran.
    bool mayRunNow() const;

private:
    class Connection;
    friend class Connection;

    void acceptConnections();

    QString m_workDir;
    QString m_path;
    Runner m_runner;
    QLocalServer* m_server = nullptr;
    std::set<Connection*> m_connections;
    int m_loopLevel = 1;
    bool m_closed = false;
};
