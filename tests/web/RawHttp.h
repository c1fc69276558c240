// A bare HTTP/1.1 client over loopback, so a test can send exactly the bytes it means.
#pragma once

#include "support/WaitUntil.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QTcpSocket>

struct RawAnswer {
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        for (const auto& [key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

/// Sends `request` on a new connection and reads one answer: up to its Content-Length, or until the
/// server closes. `maxBody` stops reading a stream that does not end by itself.
inline RawAnswer rawExchange(quint16 port, const QByteArray& request, qint64 maxBody = -1) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    RawAnswer answer;
    if (!waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000))
        return answer;
    socket.write(request);
    QByteArray data;
    qsizetype headEnd = -1;
    qint64 length = -1;
    waitUntil(
        [&] {
            data += socket.readAll();
            if (headEnd < 0 && (headEnd = data.indexOf("\r\n\r\n")) >= 0) {
                const QList<QByteArray> lines = data.left(headEnd).split('\n');
                answer.status = lines.value(0).split(' ').value(1).toInt();
                for (qsizetype i = 1; i < lines.size(); ++i) {
                    const QByteArray line = lines.at(i).trimmed();
                    const qsizetype colon = line.indexOf(':');
                    if (colon > 0)
                        answer.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
                }
                if (!answer.header("Content-Length").isEmpty())
                    length = answer.header("Content-Length").toLongLong();
            }
            if (headEnd < 0)
                return socket.state() != QAbstractSocket::ConnectedState;
            const qint64 body = data.size() - headEnd - 4;
            return (length >= 0 && body >= length) || (maxBody >= 0 && body >= maxBody) ||
                   socket.state() != QAbstractSocket::ConnectedState;
        },
        20000);
    if (headEnd >= 0)
        answer.body = data.mid(headEnd + 4, length >= 0 ? length : -1);
    return answer;
}

/// A request with the headers a browser of this origin sends.
inline QByteArray rawRequest(const QByteArray& method, const QByteArray& path, const QByteArray& body = {},
                             const QByteArray& extraHeaders = {}) {
    QByteArray out = method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders;
    if (!body.isNull() || method == "POST")
        out += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    return out + "\r\n" + body;
}
