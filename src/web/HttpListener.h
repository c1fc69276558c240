// The HTTP server library behind a class of ours: listening, TLS, the limits, and requests handed on.
#pragma once

#include "web/HttpMessage.h"

#include <QAbstractHttpServer>
#include <QSslConfiguration>
#include <functional>
#include <optional>

class HttpChannel;
class QTcpServer;

/// Turns the library's requests into HttpRequest and hands them with their connection's channel to
/// the handler. Connections past `maxClients` are closed at once, and a connection that sends more
/// than `maxRequestBytes` before its request is complete is answered 413 and closed, so no client
/// can make the program hold much for it.
class HttpListener : public QAbstractHttpServer {
    Q_OBJECT
public:
    struct Limits {
        int maxClients = 64;
        qint64 maxRequestBytes = 256 * 1024;
    };
    using Handler = std::function<void(const HttpRequest&, HttpChannel&)>;

    HttpListener(Handler handler, Limits limits, QObject* parent = nullptr);
    ~HttpListener() override;

    /// Listens on `address` and `port` (0: any free port), over TLS when `tls` is given. False with
    /// the reason in `error` when the port cannot be had.
    bool start(const QHostAddress& address, quint16 port, const std::optional<QSslConfiguration>& tls, QString* error);
    quint16 port() const;
    int clients() const { return m_clients; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    /// Counts the connection and watches its request size; false when it was turned away.
    bool admit(QTcpSocket* socket);
    HttpChannel& channelOf(QTcpSocket* socket);

    Handler m_handler;
    Limits m_limits;
    int m_clients = 0;
    QTcpServer* m_server = nullptr;
};
