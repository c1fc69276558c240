// The connection a request came in on, as the handlers answer on it: whole answers, pulled streams, pushed events.
#pragma once

#include "web/HttpMessage.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QTcpSocket;

/// Lives as long as its connection (a child of the socket). A whole answer is written at once; a
/// stream is pulled a chunk at a time as the socket drains, so a big answer never sits in memory and
/// the event loop is never held for long; pushed data (events, live sound) goes to a client that
/// keeps up, and a client that falls far behind is dropped rather than buffered.
class HttpChannel : public QObject {
    Q_OBJECT
public:
    /// Bytes waiting in the socket before a pulled stream waits for it to drain.
    static constexpr qint64 kHighWater = 256 * 1024;
    /// Bytes waiting before a client of pushed data counts as gone.
    static constexpr qint64 kPushLimit = 4 * 1024 * 1024;

    explicit HttpChannel(QTcpSocket* socket);

    bool open() const;
    /// The whole answer; the connection stays open for the next request.
    void send(const HttpResponse& response);
    /// The head with `length` (or none, below zero), then `pull(max)` called while the socket drains
    /// until it returns an empty array; the connection closes after the body.
    void stream(const HttpResponse& head, qint64 length, std::function<QByteArray(qint64 max)> pull);
    /// The head without a length; the body is what `push` sends until the channel closes.
    void beginPush(const HttpResponse& head);
    void push(const QByteArray& bytes);
    void close();

Q_SIGNALS:
    /// The connection is gone (closed by either side).
    void closed();

private:
    void pullMore();

    QPointer<QTcpSocket> m_socket;
    std::function<QByteArray(qint64)> m_pull;
};
