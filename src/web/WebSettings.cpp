// Reading [Web] with the defaults of ConfigKeys.
#include "web/WebSettings.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"

WebSettings WebSettings::read(const Config& config) {
    WebSettings settings;
    settings.enabled = config.read(ConfigKeys::kWebEnabled);
    settings.address = config.read(ConfigKeys::kWebListenAddress).trimmed();
    settings.port = config.read(ConfigKeys::kWebPort);
    settings.certificate = config.read(ConfigKeys::kWebCertificate);
    settings.privateKey = config.read(ConfigKeys::kWebPrivateKey);
    settings.allowPlainHttp = config.read(ConfigKeys::kWebAllowPlainHttp);
    settings.passwordHash = config.read(ConfigKeys::kWebPasswordHash);
    settings.sessionMinutes = qBound(1, config.read(ConfigKeys::kWebSessionMinutes), 60 * 24 * 30);
    settings.maxClients = qBound(1, config.read(ConfigKeys::kWebMaxClients), 1024);
    return settings;
}

QHostAddress WebSettings::hostAddress() const {
    if (address.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    return QHostAddress(address);
}

QString WebSettings::refusal() const {
    if (hostAddress().isNull())
        return QStringLiteral("the address \"%1\" is not an IP address").arg(address);
    if (port < 0 || port > 65535)
        return QStringLiteral("the port %1 is not a port number").arg(port);
    if (loopbackOnly())
        return {};
    if (!passwordSet())
        return QStringLiteral("listening on %1 needs a password: set one with orlamo-cli web-password").arg(address);
    if (!tls() && !allowPlainHttp)
        return QStringLiteral("listening on %1 needs TLS: name a certificate and key in [Web] Certificate and "
                              "PrivateKey, or allow plain HTTP on a trusted network with [Web] AllowPlainHttp=1")
            .arg(address);
    return {};
}
