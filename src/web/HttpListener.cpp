// Qt HttpServer's abstract server with our own listening sockets in front of it.
#include "web/HttpListener.h"

#include "web/HttpChannel.h"

#include <QHttpServerRequest>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr const char* kReceived = "orlamoReceivedBytes";
constexpr const char* kRefused = "orlamoRefused";

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Options:
        return "OPTIONS";
    case QHttpServerRequest::Method::Patch:
        return "PATCH";
    default:
        return "OTHER";
    }
}

/// A plain listening socket that lets the listener look at each connection before the library does.
class AdmittingTcpServer : public QTcpServer {
public:
    AdmittingTcpServer(std::function<bool(QTcpSocket*)> admit, QObject* parent)
        : QTcpServer(parent), m_admit(std::move(admit)) {}

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        if (m_admit(socket))
            addPendingConnection(socket);
    }

private:
    std::function<bool(QTcpSocket*)> m_admit;
};

} // namespace

HttpListener::HttpListener(Handler handler, Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_handler(std::move(handler)), m_limits(limits) {}

HttpListener::~HttpListener() = default;

bool HttpListener::admit(QTcpSocket* socket) {
    if (m_clients >= m_limits.maxClients) {
        socket->abort();
        socket->deleteLater();
        return false;
    }
    ++m_clients;
    connect(socket, &QObject::destroyed, this, [this] { --m_clients; });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->setProperty(kReceived, qint64(0));
    // Connected before the library's own reader, so this sees every byte first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket->property(kRefused).toBool()) {
            socket->readAll();
            return;
        }
        const qint64 received = socket->property(kReceived).toLongLong() + socket->bytesAvailable();
        socket->setProperty(kReceived, received);
        if (received > m_limits.maxRequestBytes) {
            socket->setProperty(kRefused, true);
            socket->readAll();
            channelOf(socket).send(HttpResponse::error(413, QStringLiteral("The request is too large")));
            socket->disconnectFromHost();
        }
    });
    return true;
}

bool HttpListener::start(const QHostAddress& address, quint16 port, const std::optional<QSslConfiguration>& tls,
                         QString* error) {
    QTcpServer* server = nullptr;
    if (tls) {
        auto* ssl = new QSslServer(this);
        ssl->setSslConfiguration(*tls);
        connect(ssl, &QSslServer::startedEncryptionHandshake, this, [this](QSslSocket* socket) {
            if (!admit(socket))
                return;
        });
        server = ssl;
    } else {
        server = new AdmittingTcpServer([this](QTcpSocket* socket) { return admit(socket); }, this);
    }
    if (!server->listen(address, port)) {
        if (error)
            *error = server->errorString();
        delete server;
        return false;
    }
    bind(server);
    m_server = server;
    return true;
}

quint16 HttpListener::port() const {
    return m_server ? m_server->serverPort() : 0;
}

HttpChannel& HttpListener::channelOf(QTcpSocket* socket) {
    if (auto* channel = socket->findChild<HttpChannel*>(QString(), Qt::FindDirectChildrenOnly))
        return *channel;
    return *new HttpChannel(socket);
}

bool HttpListener::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (socket->property(kRefused).toBool())
        return true;
    socket->setProperty(kReceived, qint64(0)); // the next request counts from here
    HttpRequest ours;
    ours.method = methodName(request.method());
    ours.path = request.url().path();
    ours.query = request.query();
    ours.headers = request.headers();
    ours.body = request.body();
    ours.remote = request.remoteAddress();
    ours.secure = qobject_cast<QSslSocket*>(socket) != nullptr;
    m_handler(ours, channelOf(socket));
    return true;
}

void HttpListener::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
    channelOf(socket).send(HttpResponse::error(404, QStringLiteral("Not found")));
}
