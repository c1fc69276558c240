// The running recorder's web page: the listener, the sessions, and the API on the program's parts.
#pragma once

#include "web/WebSessions.h"
#include "web/WebSettings.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>

class CallLog;
class CallLogWriter;
class Catalogue;
class Config;
class HttpChannel;
class HttpListener;
class LineState;
class Logger;
class ModemController;
class VoiceRecorder;
class WebCatalogue;
class Program;
struct HttpRequest;
struct HttpResponse;

/// Serves the page (from the program's resources) and the API that docs/web-api.md describes.
/// Everything runs on the program's event loop in short steps: big answers are pulled as the socket
/// drains, password checks run on a thread of their own, and a client that cannot keep up is
/// dropped, so no client can delay the call being recorded.
class WebServer : public QObject {
    Q_OBJECT
public:
    /// What the server works on. The modem and the recorder are missing in a run without a line.
    struct Parts {
        Catalogue& catalogue;
        Config& config;
        Logger& logger;
        QString workDir;
        ModemController* modem = nullptr;
        VoiceRecorder* recorder = nullptr;
        /// The call log and its writer, missing in a run without one.
        CallLog* callLog = nullptr;
        CallLogWriter* callLogWriter = nullptr;
    };
    /// The name of the session cookie.
    static constexpr const char* kCookie = "orlamo_session";

    explicit WebServer(Parts parts, QObject* parent = nullptr);
    /// On a started program: from its Recorder step on.
    static std::unique_ptr<WebServer> forProgram(Program& program);
    /// The front ends' one call, once the program is armed: with [Web] Enabled=1 a server started on
    /// the program (its failure logged), else null. The server stops when the program closes.
    static std::unique_ptr<WebServer> startIfEnabled(Program& program);
    ~WebServer() override;

    /// Listens as [Web] says (`port` overrides the setting when not negative, 0 for any free port).
    /// The outcome goes to the event log: the address, whether a password and TLS guard it, or why it
    /// may not listen. False when it does not listen.
    bool start(int portOverride = -1);
    /// Closes the listener and every connection.
    void stop();
    quint16 port() const;
    const WebSettings& settings() const { return m_settings; }
    /// Sends the pending catalogue change at once (tests, instead of waiting for the short delay).
    void flushEvents();

private:
    void handle(const HttpRequest& request, HttpChannel& channel);
    void handleApi(const HttpRequest& request, HttpChannel& channel, const WebSessions::Session* session);
    void handleRecording(const HttpRequest& request, HttpChannel& channel, const QString& id, const QString& what);
    void handleListCommand(const HttpRequest& request, HttpChannel& channel, const QString& verb);
    void login(const HttpRequest& request, HttpChannel& channel);
    void loggedIn(const HttpRequest& request, HttpChannel& channel);
    void logout(const HttpRequest& request, HttpChannel& channel);
    void serveStatic(const HttpRequest& request, HttpChannel& channel);
    void serveAudio(const HttpRequest& request, HttpChannel& channel, const QString& file);
    void serveFile(const HttpRequest& request, HttpChannel& channel, const QString& file);
    void serveOverview(const HttpRequest& request, HttpChannel& channel, const QString& file);
    void serveCalls(const HttpRequest& request, HttpChannel& channel);
    void serveCompressedCopy(const HttpRequest& request, HttpChannel& channel, const QString& id, const QString& file);
    void openEvents(HttpChannel& channel);
    void openLive(HttpChannel& channel);
    void broadcast(const QByteArray& event, const QJsonObject& data);
    void liveSound(const QByteArray& block);
    void lineChanged();
    bool hostAllowed(const HttpRequest& request) const;

    Parts m_parts;
    WebSettings m_settings;
    WebSessions m_sessions{720 * 60};
    std::unique_ptr<WebCatalogue> m_catalogue;
    std::unique_ptr<LineState> m_line;
    std::unique_ptr<HttpListener> m_listener;
    QList<QPointer<HttpChannel>> m_events;
    QList<QPointer<HttpChannel>> m_live;
    QTimer m_catalogueChanged;
    QTimer m_keepAlive;
    QThreadPool m_passwordChecks;
    QThreadPool m_copies;
    int m_checksWaiting = 0;
};
