// Writing answers on a connection without holding the event loop.
#include "web/HttpChannel.h"

#include <QTcpSocket>

namespace {

constexpr qint64 kChunk = 64 * 1024;

} // namespace

HttpChannel::HttpChannel(QTcpSocket* socket) : QObject(socket), m_socket(socket) {
    connect(socket, &QTcpSocket::disconnected, this, &HttpChannel::closed);
}

bool HttpChannel::open() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void HttpChannel::send(const HttpResponse& response) {
    if (!open())
        return;
    m_socket->write(response.head(response.body.size(), true));
    m_socket->write(response.body);
}

void HttpChannel::stream(const HttpResponse& head, qint64 length, std::function<QByteArray(qint64)> pull) {
    if (!open())
        return;
    m_pull = std::move(pull);
    m_socket->write(head.head(length, false));
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpChannel::pullMore);
    // The first chunk alone, so the first byte goes out as soon as it is there.
    const QByteArray first = m_pull(kChunk);
    if (first.isEmpty()) {
        m_pull = nullptr;
        m_socket->disconnectFromHost();
        return;
    }
    m_socket->write(first);
}

void HttpChannel::pullMore() {
    if (!open() || !m_pull)
        return;
    // A few chunks per turn of the event loop: the rest comes when the socket has sent these.
    for (int i = 0; i < 4 && m_socket->bytesToWrite() < kHighWater; ++i) {
        const QByteArray chunk = m_pull(kChunk);
        if (chunk.isEmpty()) {
            m_pull = nullptr;
            m_socket->disconnectFromHost();
            return;
        }
        m_socket->write(chunk);
    }
}

void HttpChannel::beginPush(const HttpResponse& head) {
    if (open())
        m_socket->write(head.head(-1, false));
}

void HttpChannel::push(const QByteArray& bytes) {
    if (!open())
        return;
    if (m_socket->bytesToWrite() > kPushLimit) {
        m_socket->abort();
        return;
    }
    m_socket->write(bytes);
}

void HttpChannel::close() {
    if (m_socket)
        m_socket->disconnectFromHost();
}
