// The [Web] settings and whether they are safe enough to listen with.
#pragma once

#include <QHostAddress>
#include <QString>

class Config;

struct WebSettings {
    bool enabled = false;
    QString address;
    int port = 0;
    QString certificate;
    QString privateKey;
    bool allowPlainHttp = false;
    QString passwordHash;
    int sessionMinutes = 0;
    int maxClients = 0;

    static WebSettings read(const Config& config);

    bool passwordSet() const { return !passwordHash.trimmed().isEmpty(); }
    bool tls() const { return !certificate.trimmed().isEmpty() && !privateKey.trimmed().isEmpty(); }
    /// The address as a host address; null for a text that is none.
    QHostAddress hostAddress() const;
    bool loopbackOnly() const { return hostAddress().isLoopback(); }
    /// Why the page may not listen with these settings; empty when it may. Past loopback it needs a
    /// password, and TLS unless plain HTTP is allowed.
    QString refusal() const;
};
