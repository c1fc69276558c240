// Reading headers and cookies, and writing the head of an answer.
#include "web/HttpMessage.h"

#include <QJsonObject>

QByteArray HttpRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QByteArray HttpRequest::cookie(const QByteArray& name) const {
    for (const QByteArray& part : header("Cookie").split(';')) {
        const QByteArray pair = part.trimmed();
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.left(equals) == name)
            return pair.mid(equals + 1);
    }
    return {};
}

HttpResponse HttpResponse::json(const QJsonDocument& document, int status) {
    HttpResponse response;
    response.status = status;
    response.body = document.toJson(QJsonDocument::Compact);
    return response;
}

HttpResponse HttpResponse::error(int status, const QString& message) {
    return json(QJsonDocument(QJsonObject{{QStringLiteral("error"), message}}), status);
}

QByteArray HttpResponse::reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 413:
        return "Payload Too Large";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 503:
        return "Service Unavailable";
    default:
        return status < 500 ? "Error" : "Internal Server Error";
    }
}

QByteArray HttpResponse::head(qint64 contentLength, bool keepAlive) const {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    if (contentLength >= 0)
        out += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    // The page loads nothing from elsewhere and runs no inline script; no other site may frame it.
    out +=
        "Content-Security-Policy: default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
        "media-src 'self' blob:; connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'\r\n";
    out += "X-Content-Type-Options: nosniff\r\nX-Frame-Options: DENY\r\nReferrer-Policy: no-referrer\r\n";
    bool cacheControl = false;
    for (const auto& [key, value] : headers) {
        out += key + ": " + value + "\r\n";
        cacheControl = cacheControl || key.compare("Cache-Control", Qt::CaseInsensitive) == 0;
    }
    if (!cacheControl)
        out += "Cache-Control: no-store\r\n";
    return out + "\r\n";
}
