// A small W3C WebDriver client for headless Chromium: open a page, find elements, click, type, run script.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>

class QNetworkAccessManager;

class WebDriver {
public:
    static QString chromium() { return QStringLiteral("/usr/bin/chromium"); }
    static QString chromedriver() { return QStringLiteral("/usr/bin/chromedriver"); }
    /// Whether both programs are installed.
    static bool available();

    WebDriver();
    ~WebDriver();

    /// Starts chromedriver and a headless browser session; false with the reason in `error`.
    bool start(QString* error);
    void open(const QString& url);
    /// The element id of the first match of a CSS selector; empty when there is none.
    QString find(const QString& css);
    void click(const QString& css);
    /// Sets the text of an input as the user's typing would.
    void type(const QString& css, const QString& text);
    QString text(const QString& css);
    /// Runs `script` as a function body in the page and returns its value.
    QJsonValue run(const QString& script, const QJsonArray& args = {});
    /// Accepts the page's confirm() box.
    void acceptAlert();
    /// The page as a PNG.
    QByteArray screenshot();
    /// Polls `script` until it returns true.
    bool waitFor(const QString& script, int timeoutMs = 20000);

private:
    QJsonValue call(const QByteArray& method, const QString& path, const QJsonObject& body = {});

    QProcess m_driver;
    quint16 m_port = 0;
    QString m_session;
    QNetworkAccessManager* m_network;
};
