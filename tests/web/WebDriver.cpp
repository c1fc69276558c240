// WebDriver over HTTP to chromedriver on loopback.
#include "WebDriver.h"

#include "support/WaitUntil.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QThread>

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

bool WebDriver::available() {
    return QFileInfo(chromium()).isExecutable() && QFileInfo(chromedriver()).isExecutable();
}

WebDriver::WebDriver() : m_network(new QNetworkAccessManager) {}

WebDriver::~WebDriver() {
    if (!m_session.isEmpty())
        call("DELETE", QString());
    m_driver.terminate();
    m_driver.waitForFinished(5000);
    delete m_network;
}

bool WebDriver::start(QString* error) {
    m_port = freePort();
    m_driver.start(chromedriver(), {QStringLiteral("--port=%1").arg(m_port)});
    if (!m_driver.waitForStarted(10000)) {
        *error = QStringLiteral("chromedriver does not start");
        return false;
    }
    const bool ready = waitUntil(
        [&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            return probe.waitForConnected(200);
        },
        15000);
    if (!ready) {
        *error = QStringLiteral("chromedriver does not listen");
        return false;
    }
    const QJsonObject options{
        {QStringLiteral("binary"), chromium()},
        {QStringLiteral("args"), QJsonArray{QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                                            QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                                            QStringLiteral("--autoplay-policy=no-user-gesture-required"),
                                            QStringLiteral("--window-size=1100,900")}}};
    const QJsonObject capabilities{
        {QStringLiteral("capabilities"),
         QJsonObject{{QStringLiteral("alwaysMatch"), QJsonObject{{QStringLiteral("goog:chromeOptions"), options}}}}}};
    m_session =
        call("POST", QStringLiteral("/session"), capabilities).toObject().value(QStringLiteral("sessionId")).toString();
    if (m_session.isEmpty())
        *error = QStringLiteral("no browser session");
    return !m_session.isEmpty();
}

QJsonValue WebDriver::call(const QByteArray& method, const QString& path, const QJsonObject& body) {
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(m_port);
    const QString url =
        path == QLatin1String("/session") ? base + path : base + QStringLiteral("/session/") + m_session + path;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    QNetworkReply* reply = m_network->sendCustomRequest(
        request, method,
        method == "GET" || method == "DELETE" ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact));
    waitUntil([&] { return reply->isFinished(); }, 60000);
    const QJsonValue value = QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("value"));
    reply->deleteLater();
    return value;
}

void WebDriver::open(const QString& url) {
    call("POST", QStringLiteral("/url"), {{QStringLiteral("url"), url}});
}

QString WebDriver::find(const QString& css) {
    const QJsonValue found =
        call("POST", QStringLiteral("/element"),
             {{QStringLiteral("using"), QStringLiteral("css selector")}, {QStringLiteral("value"), css}});
    // The reference is the one member of the answer (its key is the protocol's element identifier).
    const QJsonObject reference = found.toObject();
    return reference.isEmpty() || reference.contains(QStringLiteral("error")) ? QString()
                                                                              : reference.begin()->toString();
}

void WebDriver::click(const QString& css) {
    call("POST", QStringLiteral("/element/%1/click").arg(find(css)));
}

void WebDriver::type(const QString& css, const QString& text) {
    // As typing ends: the value, then the input event the page listens to.
    run(QStringLiteral("const e = document.querySelector(arguments[0]); e.focus(); e.value = arguments[1]; "
                       "e.dispatchEvent(new Event('input', {bubbles: true})); return true;"),
        {css, text});
}

QString WebDriver::text(const QString& css) {
    return call("GET", QStringLiteral("/element/%1/text").arg(find(css))).toString();
}

QJsonValue WebDriver::run(const QString& script, const QJsonArray& args) {
    return call("POST", QStringLiteral("/execute/sync"),
                {{QStringLiteral("script"), script}, {QStringLiteral("args"), args}});
}

void WebDriver::acceptAlert() {
    call("POST", QStringLiteral("/alert/accept"));
}

QByteArray WebDriver::screenshot() {
    return QByteArray::fromBase64(call("GET", QStringLiteral("/screenshot")).toString().toLatin1());
}

bool WebDriver::waitFor(const QString& script, int timeoutMs) {
    return waitUntil(
        [&] {
            if (run(script).toBool())
                return true;
            QThread::msleep(100);
            return false;
        },
        timeoutMs);
}
