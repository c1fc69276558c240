// One HTTP request as the web area sees it, and the answer to it, independent of the server library.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonDocument>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

struct HttpRequest {
    QByteArray method; ///< "GET", "POST", ...
    QString path;      ///< decoded, e.g. "/api/recordings/12/audio"
    QUrlQuery query;
    HttpHeaders headers;
    QByteArray body;
    QHostAddress remote;
    bool secure = false; ///< arrived over TLS

    /// The first header of that name, compared without regard to case; empty when missing.
    QByteArray header(const QByteArray& name) const;
    /// The value of one cookie of the Cookie header; empty when missing.
    QByteArray cookie(const QByteArray& name) const;
};

struct HttpResponse {
    int status = 200;
    QByteArray contentType = "application/json";
    HttpHeaders headers;
    QByteArray body;

    static HttpResponse json(const QJsonDocument& document, int status = 200);
    /// {"error": message} with the status.
    static HttpResponse error(int status, const QString& message);

    /// The status line and headers, the security headers every answer carries included. A
    /// `contentLength` below zero leaves the length out: the body then ends when the connection closes.
    QByteArray head(qint64 contentLength, bool keepAlive) const;
    static QByteArray reasonPhrase(int status);
};
