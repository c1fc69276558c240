// Routing the API's requests to the catalogue, the line and the sound, with the session rules.
#include "web/WebServer.h"

#include "audio/TraceGeometry.h"
#include "audio/WaveFormat.h"
#include "audio/WorkingCopyDecoder.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "export/RecordingExporter.h"
#include "library/CallLog.h"
#include "library/Catalogue.h"
#include "library/RecordingTags.h"
#include "program/CallLogWriter.h"
#include "program/Program.h"
#include "web/ByteRange.h"
#include "web/DecodedWav.h"
#include "web/HttpChannel.h"
#include "web/HttpListener.h"
#include "web/LineState.h"
#include "web/PasswordHash.h"
#include "web/WebCallLog.h"
#include "web/WebCatalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryFile>
#include <QUrlQuery>
#include <span>

namespace {

constexpr int kDefaultPageRows = 50;
constexpr int kMaxPageRows = 500;
constexpr int kMaxWaitingChecks = 4;
constexpr int kMaxLogLines = 500;
constexpr int kMaxEventClients = 32;
constexpr int kMaxLiveClients = 20;

HttpResponse jsonAnswer(const QJsonObject& object) {
    return HttpResponse::json(QJsonDocument(object));
}

HttpResponse outcomeAnswer(const WebCatalogue::Outcome& outcome) {
    if (!outcome.ok())
        return HttpResponse::error(outcome.status, outcome.error);
    return jsonAnswer({{QStringLiteral("ok"), true}});
}

/// The body of a POST as a JSON object; a form's fields are taken as the same object.
std::optional<QJsonObject> bodyObject(const HttpRequest& request) {
    if (request.body.trimmed().isEmpty())
        return QJsonObject();
    if (request.header("Content-Type").startsWith("application/x-www-form-urlencoded")) {
        QJsonObject object;
        const QUrlQuery form(QString::fromUtf8(request.body));
        for (const auto& [key, value] : form.queryItems(QUrl::FullyDecoded))
            object.insert(key, value);
        return object;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool isText(const QJsonObject& object, const QString& key) {
    return object.value(key).isString();
}

/// A non-negative number of the query, `fallback` when missing; no value when it is not a number.
std::optional<int> queryNumber(const QUrlQuery& query, const QString& key, int fallback) {
    if (!query.hasQueryItem(key))
        return fallback;
    bool ok = false;
    const int value = query.queryItemValue(key).toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

QByteArray sessionCookie(const QByteArray& value, qint64 maxAge, bool secure) {
    QByteArray cookie = QByteArray(WebServer::kCookie) + '=' + value +
                        "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" + QByteArray::number(maxAge);
    if (secure)
        cookie += "; Secure";
    return cookie;
}

QPair<QByteArray, QByteArray> contentRange(const ByteRange& part, qint64 size) {
    return {"Content-Range", "bytes " + QByteArray::number(part.first) + '-' + QByteArray::number(part.last) + '/' +
                                 QByteArray::number(size)};
}

} // namespace

WebServer::WebServer(Parts parts, QObject* parent)
    : QObject(parent), m_parts(std::move(parts)),
      m_catalogue(std::make_unique<WebCatalogue>(m_parts.catalogue, m_parts.workDir)) {
    m_passwordChecks.setMaxThreadCount(1);
    m_copies.setMaxThreadCount(1);
    if (m_parts.callLogWriter)
        connect(m_parts.callLogWriter, &CallLogWriter::callLogged, this, [this] { broadcast("calls", {}); });
    m_catalogueChanged.setSingleShot(true);
    m_catalogueChanged.setInterval(150);
    connect(&m_catalogueChanged, &QTimer::timeout, this, [this] { broadcast("catalogue", {}); });
    const auto changed = [this] { m_catalogueChanged.start(); };
    connect(&m_parts.catalogue.recordings(), &TableFile::saved, this, changed);
    connect(&m_parts.catalogue.folders(), &TableFile::saved, this, changed);
    connect(&m_parts.catalogue.folderTree(), &FolderTree::changed, this, changed);
    connect(&m_parts.logger, &Logger::appended, this, [this](const QString& line) {
        broadcast("log", {{QStringLiteral("line"), line}});
    });
    m_keepAlive.setInterval(15000);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] {
        for (const QPointer<HttpChannel>& channel : std::as_const(m_events))
            if (channel)
                channel->push(": keep-alive\n\n");
    });
    if (m_parts.modem && m_parts.recorder) {
        m_line = std::make_unique<LineState>(*m_parts.modem, *m_parts.recorder);
        connect(m_line.get(), &LineState::changed, this, &WebServer::lineChanged);
        connect(m_line.get(), &LineState::sound, this, &WebServer::liveSound);
    }
}

std::unique_ptr<WebServer> WebServer::forProgram(Program& program) {
    return std::make_unique<WebServer>(Parts{program.catalogue(), program.config(), program.logger(), program.workDir(),
                                             &program.modem(), program.hasRecorder() ? &program.recorder() : nullptr,
                                             program.hasCallLog() ? &program.callLog() : nullptr,
                                             program.hasCallLog() ? &program.callLogWriter() : nullptr});
}

std::unique_ptr<WebServer> WebServer::startIfEnabled(Program& program) {
    if (!WebSettings::read(program.config()).enabled)
        return nullptr;
    std::unique_ptr<WebServer> server = forProgram(program);
    server->start();
    WebServer* raw = server.get();
    // No request reaches the catalogue while the close sequence releases it.
    connect(&program, &Program::finished, raw, [raw] { raw->stop(); });
    return server;
}

void WebServer::stop() {
    m_keepAlive.stop();
    m_listener.reset();
    m_events.clear();
    m_live.clear();
}

WebServer::~WebServer() {
    m_passwordChecks.waitForDone();
    m_copies.waitForDone();
}

bool WebServer::start(int portOverride) {
    m_settings = WebSettings::read(m_parts.config);
    if (portOverride >= 0)
        m_settings.port = portOverride;
    m_sessions = WebSessions(qint64(m_settings.sessionMinutes) * 60);
    const QString refusal = m_settings.refusal();
    if (!refusal.isEmpty()) {
        m_parts.logger.add(QStringLiteral("Web page not started: ") + refusal);
        return false;
    }
    std::optional<QSslConfiguration> tls;
    if (m_settings.tls()) {
        QFile certificateFile(m_settings.certificate);
        QFile keyFile(m_settings.privateKey);
        const bool read = certificateFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly);
        const QList<QSslCertificate> chain =
            read ? QSslCertificate::fromData(certificateFile.readAll()) : QList<QSslCertificate>();
        QSslKey key(read ? keyFile.readAll() : QByteArray(), QSsl::Rsa);
        if (key.isNull())
            key = QSslKey(keyFile.isOpen() ? (keyFile.seek(0), keyFile.readAll()) : QByteArray(), QSsl::Ec);
        if (chain.isEmpty() || key.isNull()) {
            m_parts.logger.add(QStringLiteral("Web page not started: the certificate %1 or the key %2 cannot be read")
                                   .arg(m_settings.certificate, m_settings.privateKey));
            return false;
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(chain);
        configuration.setPrivateKey(key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls = configuration;
    }
    HttpListener::Limits limits;
    limits.maxClients = m_settings.maxClients;
    m_listener = std::make_unique<HttpListener>(
        [this](const HttpRequest& request, HttpChannel& channel) { handle(request, channel); }, limits);
    QString error;
    if (!m_listener->start(m_settings.hostAddress(), quint16(m_settings.port), tls, &error)) {
        m_parts.logger.add(QStringLiteral("Web page not started: %1 port %2: %3")
                               .arg(m_settings.address)
                               .arg(m_settings.port)
                               .arg(error));
        m_listener.reset();
        return false;
    }
    const QString scheme = tls ? QStringLiteral("https") : QStringLiteral("http");
    const QString host = m_settings.hostAddress().protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + m_settings.address + QLatin1Char(']')
                             : m_settings.address;
    QString guard = m_settings.passwordSet() ? QStringLiteral("password") : QStringLiteral("no password");
    guard += tls ? QStringLiteral(", TLS") : QStringLiteral(", plain HTTP");
    if (!tls && !m_settings.loopbackOnly())
        guard += QStringLiteral(" (allowed for a trusted network)");
    m_parts.logger.add(QStringLiteral("Web page at %1://%2:%3/ (%4)").arg(scheme, host).arg(port()).arg(guard));
    m_keepAlive.start();
    return true;
}

quint16 WebServer::port() const {
    return m_listener ? m_listener->port() : 0;
}

void WebServer::flushEvents() {
    if (m_catalogueChanged.isActive()) {
        m_catalogueChanged.stop();
        broadcast("catalogue", {});
    }
}

bool WebServer::hostAllowed(const HttpRequest& request) const {
    if (!m_settings.loopbackOnly())
        return true;
    // Served to this computer only: a page of another site that renamed itself to 127.0.0.1 (DNS
    // rebinding) still sends its own host name.
    QByteArray host = request.header("Host").trimmed().toLower();
    if (host.startsWith('[')) {
        host = host.mid(1, host.indexOf(']') - 1);
    } else if (const qsizetype colon = host.lastIndexOf(':'); colon >= 0) {
        host = host.left(colon);
    }
    return host == "localhost" || QHostAddress(QString::fromLatin1(host)).isLoopback();
}

void WebServer::handle(const HttpRequest& request, HttpChannel& channel) {
    if (!hostAllowed(request)) {
        channel.send(HttpResponse::error(403, QStringLiteral("This page is served to this computer only")));
        return;
    }
    const WebSessions::Session* session = m_sessions.find(request.cookie(kCookie), QDateTime::currentDateTimeUtc());
    if (!request.path.startsWith(QLatin1String("/api/"))) {
        serveStatic(request, channel);
        return;
    }
    if (request.method == "POST") {
        if (request.path == QLatin1String("/api/login")) {
            login(request, channel);
            return;
        }
        // A form or another site's page can make the browser post with the cookie, but it cannot
        // read the token, and it cannot set this header without our consent.
        if (!session || !WebSessions::sameToken(request.header("X-CSRF-Token"), session->csrfToken)) {
            channel.send(
                HttpResponse::error(403, QStringLiteral("Log in again: the request has no valid session token")));
            return;
        }
    } else if (request.method != "GET" && request.method != "HEAD") {
        channel.send(HttpResponse::error(405, QStringLiteral("Only GET and POST are served")));
        return;
    } else if (!session && m_settings.passwordSet() && request.path != QLatin1String("/api/status")) {
        channel.send(HttpResponse::error(401, QStringLiteral("Log in first")));
        return;
    }
    handleApi(request, channel, session);
}

void WebServer::serveStatic(const HttpRequest& request, HttpChannel& channel) {
    if (request.method != "GET" && request.method != "HEAD") {
        channel.send(HttpResponse::error(405, QStringLiteral("Only GET is served here")));
        return;
    }
    static const QList<std::pair<QString, QByteArray>> files{
        {QStringLiteral("/index.html"), "text/html; charset=utf-8"},
        {QStringLiteral("/app.js"), "text/javascript; charset=utf-8"},
        {QStringLiteral("/app.css"), "text/css; charset=utf-8"},
    };
    const QString path = request.path == QLatin1String("/") ? QStringLiteral("/index.html") : request.path;
    for (const auto& [name, type] : files) {
        if (name != path)
            continue;
        QFile file(QStringLiteral(":/web") + name);
        if (!file.open(QIODevice::ReadOnly))
            break;
        HttpResponse response;
        response.contentType = type;
        response.body = file.readAll();
        channel.send(response);
        return;
    }
    channel.send(HttpResponse::error(404, QStringLiteral("Not found")));
}

void WebServer::login(const HttpRequest& request, HttpChannel& channel) {
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body || (body->contains(QStringLiteral("password")) && !isText(*body, QStringLiteral("password")))) {
        channel.send(HttpResponse::error(400, QStringLiteral("The login takes {\"password\": text}")));
        return;
    }
    if (!m_settings.passwordSet()) {
        loggedIn(request, channel);
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 wait = m_sessions.waitBeforeLogin(request.remote, now);
    if (wait > 0 || m_checksWaiting >= kMaxWaitingChecks) {
        HttpResponse response =
            HttpResponse::error(429, QStringLiteral("Too many wrong passwords: wait and try again"));
        response.headers.append({"Retry-After", QByteArray::number(qMax<qint64>(1, wait))});
        channel.send(response);
        return;
    }
    // The slow hash runs on a thread of its own; the answer comes back to the event loop.
    ++m_checksWaiting;
    const QString password = body->value(QStringLiteral("password")).toString();
    const QString stored = m_settings.passwordHash;
    QPointer<HttpChannel> target(&channel);
    QPointer<WebServer> self(this);
    m_passwordChecks.start([self, target, password, stored, request] {
        const bool right = PasswordHash::matches(password, stored);
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self.data(),
            [self, target, right, request] {
                --self->m_checksWaiting;
                if (right) {
                    self->m_sessions.loginSucceeded(request.remote);
                    if (target)
                        self->loggedIn(request, *target);
                    return;
                }
                self->m_sessions.loginFailed(request.remote, QDateTime::currentDateTimeUtc());
                self->m_parts.logger.add(
                    QStringLiteral("Web page: a wrong password from %1").arg(request.remote.toString()));
                if (target)
                    target->send(HttpResponse::error(401, QStringLiteral("Wrong password")));
            },
            Qt::QueuedConnection);
    });
}

void WebServer::loggedIn(const HttpRequest& request, HttpChannel& channel) {
    const QByteArray cookie = m_sessions.create(QDateTime::currentDateTimeUtc());
    const WebSessions::Session* session = m_sessions.find(cookie, QDateTime::currentDateTimeUtc());
    HttpResponse response = jsonAnswer({{QStringLiteral("csrfToken"), QString::fromLatin1(session->csrfToken)}});
    response.headers.append({"Set-Cookie", sessionCookie(cookie, m_sessions.lifetimeSeconds(), request.secure)});
    channel.send(response);
}

void WebServer::logout(const HttpRequest& request, HttpChannel& channel) {
    m_sessions.end(request.cookie(kCookie));
    HttpResponse response = jsonAnswer({{QStringLiteral("ok"), true}});
    response.headers.append({"Set-Cookie", sessionCookie("", 0, request.secure)});
    channel.send(response);
}

void WebServer::handleApi(const HttpRequest& request, HttpChannel& channel, const WebSessions::Session* session) {
    const QString& path = request.path;
    const bool post = request.method == "POST";
    if (post && path == QLatin1String("/api/logout"))
        return logout(request, channel);
    if (!post && path == QLatin1String("/api/status")) {
        QJsonObject status{{QStringLiteral("passwordRequired"), m_settings.passwordSet()},
                           {QStringLiteral("loggedIn"), session != nullptr},
                           {QStringLiteral("tls"), request.secure}};
        // Only this origin can read the answer (no CORS), so the token may be handed to a reloaded page.
        if (session)
            status.insert(QStringLiteral("csrfToken"), QString::fromLatin1(session->csrfToken));
        if (session || !m_settings.passwordSet())
            status.insert(QStringLiteral("line"),
                          m_line ? m_line->toJson() : QJsonObject{{QStringLiteral("state"), QStringLiteral("none")}});
        return channel.send(jsonAnswer(status));
    }
    if (!post && path == QLatin1String("/api/log")) {
        const QStringList lines = m_parts.logger.lines();
        return channel.send(
            jsonAnswer({{QStringLiteral("lines"),
                         QJsonArray::fromStringList(lines.mid(qMax<qsizetype>(0, lines.size() - kMaxLogLines)))}}));
    }
    if (!post && path == QLatin1String("/api/lists"))
        return channel.send(jsonAnswer({{QStringLiteral("lists"), m_catalogue->lists()}}));
    if (post && path.startsWith(QLatin1String("/api/lists/")))
        return handleListCommand(request, channel, path.mid(11));
    if (!post && path == QLatin1String("/api/recordings")) {
        const std::optional<int> offset = queryNumber(request.query, QStringLiteral("offset"), 0);
        const std::optional<int> limit = queryNumber(request.query, QStringLiteral("limit"), kDefaultPageRows);
        if (!offset || !limit || *limit < 1 || *limit > kMaxPageRows)
            return channel.send(
                HttpResponse::error(400, QStringLiteral("offset and limit are numbers (limit 1 to 500)")));
        WebCatalogue::Outcome outcome;
        const WebCatalogue::Page page = m_catalogue->recordings(
            request.query.queryItemValue(QStringLiteral("list"), QUrl::FullyDecoded),
            request.query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded), *offset, *limit, &outcome);
        if (!outcome.ok())
            return channel.send(outcomeAnswer(outcome));
        return channel.send(jsonAnswer({{QStringLiteral("total"), page.total},
                                        {QStringLiteral("offset"), *offset},
                                        {QStringLiteral("limit"), *limit},
                                        {QStringLiteral("recordings"), page.rows}}));
    }
    if (!post && path == QLatin1String("/api/calls"))
        return serveCalls(request, channel);
    if (path.startsWith(QLatin1String("/api/recordings/"))) {
        const QStringList parts = path.mid(16).split(QLatin1Char('/'));
        if (parts.size() <= 2)
            return handleRecording(request, channel, parts.at(0), parts.value(1));
    }
    if (!post && path == QLatin1String("/api/events"))
        return openEvents(channel);
    if (!post && path == QLatin1String("/api/live"))
        return openLive(channel);
    channel.send(HttpResponse::error(404, QStringLiteral("Not found")));
}

void WebServer::handleRecording(const HttpRequest& request, HttpChannel& channel, const QString& id,
                                const QString& what) {
    const QString unknown = QStringLiteral("there is no recording with the id '%1'").arg(id);
    if (!WebCatalogue::plausibleId(id))
        return channel.send(HttpResponse::error(404, unknown));
    if (request.method != "POST") {
        if (what.isEmpty()) {
            const QJsonObject row = m_catalogue->recording(id);
            return channel.send(row.isEmpty() ? HttpResponse::error(404, unknown) : jsonAnswer(row));
        }
        if (what != QLatin1String("audio") && what != QLatin1String("file") && what != QLatin1String("overview"))
            return channel.send(HttpResponse::error(404, QStringLiteral("Not found")));
        const QString file = m_catalogue->wavFile(id);
        if (file.isEmpty())
            return channel.send(HttpResponse::error(404, m_catalogue->recording(id).isEmpty()
                                                             ? unknown
                                                             : QStringLiteral("The recording's file is missing")));
        if (what == QLatin1String("audio"))
            return serveAudio(request, channel, file);
        if (what == QLatin1String("file") && request.query.hasQueryItem(QStringLiteral("as")))
            return serveCompressedCopy(request, channel, id, file);
        if (what == QLatin1String("file"))
            return serveFile(request, channel, file);
        return serveOverview(request, channel, file);
    }
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body)
        return channel.send(HttpResponse::error(400, QStringLiteral("The request body is not a JSON object")));
    if (what == QLatin1String("memo")) {
        if (!isText(*body, QStringLiteral("memo")))
            return channel.send(HttpResponse::error(400, QStringLiteral("The memo takes {\"memo\": text}")));
        const QString memo = body->value(QStringLiteral("memo")).toString();
        // As in the window: an empty memo is no answer.
        if (memo.isEmpty())
            return channel.send(
                HttpResponse::error(400, QStringLiteral("a memo cannot be emptied; give a blank \" \" for none")));
        return channel.send(outcomeAnswer(m_catalogue->setMemo(id, memo)));
    }
    if (what == QLatin1String("move")) {
        if (!isText(*body, QStringLiteral("list")))
            return channel.send(HttpResponse::error(400, QStringLiteral("A move takes {\"list\": name}")));
        return channel.send(outcomeAnswer(m_catalogue->move(id, body->value(QStringLiteral("list")).toString())));
    }
    if (what == QLatin1String("delete"))
        return channel.send(outcomeAnswer(m_catalogue->remove(id)));
    channel.send(HttpResponse::error(404, QStringLiteral("Not found")));
}

void WebServer::handleListCommand(const HttpRequest& request, HttpChannel& channel, const QString& verb) {
    const std::optional<QJsonObject> body = bodyObject(request);
    if (!body)
        return channel.send(HttpResponse::error(400, QStringLiteral("The request body is not a JSON object")));
    const auto text = [&](const char* key) { return body->value(QLatin1String(key)).toString(); };
    const bool typed = isText(*body, QStringLiteral("name")) &&
                       (!body->contains(QStringLiteral("parent")) || isText(*body, QStringLiteral("parent")));
    if (verb == QLatin1String("add") && typed)
        return channel.send(outcomeAnswer(m_catalogue->addList(text("name"), text("parent"))));
    if (verb == QLatin1String("rename") && typed && isText(*body, QStringLiteral("newName")))
        return channel.send(outcomeAnswer(m_catalogue->renameList(text("name"), text("newName"))));
    if (verb == QLatin1String("delete") && typed)
        return channel.send(outcomeAnswer(m_catalogue->deleteList(text("name"))));
    channel.send(HttpResponse::error(400, QStringLiteral("The list commands are add {name, parent}, rename {name, "
                                                         "newName} and delete {name}")));
}

void WebServer::serveAudio(const HttpRequest& request, HttpChannel& channel, const QString& file) {
    std::shared_ptr<DecodedWav> wav;
    try {
        wav = std::make_shared<DecodedWav>(file);
    } catch (const std::exception& error) {
        return channel.send(HttpResponse::error(409, QString::fromUtf8(error.what())));
    }
    bool unsatisfiable = false;
    const std::optional<ByteRange> range = ByteRange::parse(request.header("Range"), wav->size(), &unsatisfiable);
    HttpResponse head;
    head.contentType = "audio/wav";
    head.headers.append({QByteArray("Accept-Ranges"), QByteArray("bytes")});
    head.headers.append({"X-Duration-Ms", QByteArray::number(wav->durationMs())});
    if (unsatisfiable) {
        head.status = 416;
        head.headers.append({"Content-Range", "bytes */" + QByteArray::number(wav->size())});
        return channel.send(head);
    }
    const ByteRange part = range.value_or(ByteRange{0, wav->size() - 1});
    if (range) {
        head.status = 206;
        head.headers.append(contentRange(part, wav->size()));
    }
    if (request.method == "HEAD")
        return channel.send(head);
    wav->seek(part.first);
    auto left = std::make_shared<qint64>(part.length());
    channel.stream(head, part.length(), [wav, left](qint64 max) {
        const QByteArray chunk = *left > 0 ? wav->read(qMin(max, *left)) : QByteArray();
        *left -= chunk.size();
        return chunk;
    });
}

void WebServer::serveFile(const HttpRequest& request, HttpChannel& channel, const QString& file) {
    auto source = std::make_shared<QFile>(file);
    if (!source->open(QIODevice::ReadOnly))
        return channel.send(HttpResponse::error(404, QStringLiteral("The recording's file is missing")));
    bool unsatisfiable = false;
    const std::optional<ByteRange> range = ByteRange::parse(request.header("Range"), source->size(), &unsatisfiable);
    HttpResponse head;
    head.contentType = "audio/wav";
    head.headers.append({QByteArray("Accept-Ranges"), QByteArray("bytes")});
    const QString name = QFileInfo(file).fileName();
    head.headers.append({"Content-Disposition", "attachment; filename=\"" + name.toLatin1() + '"'});
    if (unsatisfiable) {
        head.status = 416;
        head.headers.append({"Content-Range", "bytes */" + QByteArray::number(source->size())});
        return channel.send(head);
    }
    const ByteRange part = range.value_or(ByteRange{0, source->size() - 1});
    if (range) {
        head.status = 206;
        head.headers.append(contentRange(part, source->size()));
    }
    if (request.method == "HEAD" || source->size() == 0)
        return channel.send(head);
    source->seek(part.first);
    auto left = std::make_shared<qint64>(part.length());
    channel.stream(head, part.length(), [source, left](qint64 max) {
        const QByteArray chunk = *left > 0 ? source->read(qMin(max, *left)) : QByteArray();
        *left -= chunk.size();
        return chunk;
    });
}

void WebServer::serveCalls(const HttpRequest& request, HttpChannel& channel) {
    const std::optional<int> offset = queryNumber(request.query, QStringLiteral("offset"), 0);
    const std::optional<int> limit = queryNumber(request.query, QStringLiteral("limit"), kDefaultPageRows);
    if (!offset || !limit || *limit < 1 || *limit > kMaxPageRows)
        return channel.send(HttpResponse::error(400, QStringLiteral("offset and limit are numbers (limit 1 to 500)")));
    const bool missed = request.query.queryItemValue(QStringLiteral("missed")) == QLatin1String("1");
    const QList<CallLogRow> rows =
        m_parts.callLog && m_parts.callLog->active() ? m_parts.callLog->rows() : QList<CallLogRow>();
    channel.send(jsonAnswer(callLogPage(rows, *offset, *limit, missed)));
}

void WebServer::serveCompressedCopy(const HttpRequest& request, HttpChannel& channel, const QString& id,
                                    const QString& file) {
    const std::optional<CopyFormat> format =
        copyFormatFromName(request.query.queryItemValue(QStringLiteral("as"), QUrl::FullyDecoded));
    if (!format)
        return channel.send(HttpResponse::error(400, QStringLiteral("as is one of wav, opus, mp3 and flac")));
    if (*format == CopyFormat::Wav)
        return serveFile(request, channel, file);
    const RecordingTags tags = m_catalogue->tags(id);
    // The copy is encoded on a worker thread into a temporary file, then streamed from the event loop.
    auto copy = std::make_shared<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("orlamo-web-XXXXXX") + copyFormatExtension(*format)));
    if (!copy->open())
        return channel.send(HttpResponse::error(500, QStringLiteral("No temporary file for the copy")));
    copy->close();
    const QString target = copy->fileName();
    const QString name = withCopyExtension(QFileInfo(file).fileName(), *format);
    const bool head = request.method == "HEAD";
    QPointer<HttpChannel> channelGuard(&channel);
    QPointer<WebServer> self(this);
    m_copies.start([self, channelGuard, copy, file, target, name, format = *format, tags, head] {
        const QString error = RecordingExporter().tryExport(file, target, format, tags);
        if (!self)
            return;
        QMetaObject::invokeMethod(self.data(), [channelGuard, copy, error, name, format, head] {
            if (!channelGuard)
                return;
            if (!error.isEmpty())
                return channelGuard->send(HttpResponse::error(409, error));
            // The encoder replaced the temporary file by its own; it is read by name.
            auto encoded = std::make_shared<QFile>(copy->fileName());
            if (!encoded->open(QIODevice::ReadOnly))
                return channelGuard->send(HttpResponse::error(500, QStringLiteral("The copy cannot be read")));
            HttpResponse answer;
            answer.contentType = format == CopyFormat::Opus  ? "audio/ogg"
                                 : format == CopyFormat::Mp3 ? "audio/mpeg"
                                                             : "audio/flac";
            answer.headers.append({"Content-Disposition", "attachment; filename=\"" + name.toLatin1() + '"'});
            if (head || encoded->size() == 0)
                return channelGuard->send(answer);
            // The temporary file goes when the last chunk has been read.
            channelGuard->stream(answer, encoded->size(), [copy, encoded](qint64 max) { return encoded->read(max); });
        });
    });
}

void WebServer::serveOverview(const HttpRequest& request, HttpChannel& channel, const QString& file) {
    const std::optional<int> width = queryNumber(request.query, QStringLiteral("width"), 600);
    const std::optional<int> height = queryNumber(request.query, QStringLiteral("height"), 100);
    if (!width || !height || *width < 1 || *width > 4000 || *height < 1 || *height > 1000)
        return channel.send(HttpResponse::error(400, QStringLiteral("width is 1 to 4000 and height 1 to 1000")));
    // Decoded on the decoder's own thread; the answer goes when it is done.
    auto* decoder = new WorkingCopyDecoder(&channel);
    QPointer<HttpChannel> target(&channel);
    const int w = *width;
    const int h = *height;
    connect(decoder, &WorkingCopyDecoder::finished, &channel, [decoder, target, w, h] {
        const QByteArray& copy = decoder->copy();
        const QList<QPoint> points =
            overviewPoints({reinterpret_cast<const uint8_t*>(copy.constData()), size_t(copy.size())}, w, h);
        QJsonArray flat;
        for (const QPoint& point : points) {
            flat.append(point.x());
            flat.append(point.y());
        }
        if (target)
            target->send(jsonAnswer({{QStringLiteral("width"), w},
                                     {QStringLiteral("height"), h},
                                     {QStringLiteral("durationMs"), qint64(copy.size()) * 1000 / 8000},
                                     {QStringLiteral("points"), flat}}));
        decoder->deleteLater();
    });
    connect(decoder, &WorkingCopyDecoder::decodingFailed, &channel, [decoder, target] {
        if (target)
            target->send(HttpResponse::error(409, QStringLiteral("The recording cannot be decoded")));
        decoder->deleteLater();
    });
    decoder->start(file, 0);
}

void WebServer::openEvents(HttpChannel& channel) {
    m_events.removeAll(nullptr);
    if (m_events.size() >= kMaxEventClients)
        return channel.send(HttpResponse::error(503, QStringLiteral("Too many pages are open")));
    HttpResponse head;
    head.contentType = "text/event-stream";
    channel.beginPush(head);
    const QJsonObject line = m_line ? m_line->toJson() : QJsonObject{{QStringLiteral("state"), QStringLiteral("none")}};
    channel.push("retry: 3000\nevent: line\ndata: " + QJsonDocument(line).toJson(QJsonDocument::Compact) + "\n\n");
    m_events.append(&channel);
}

void WebServer::broadcast(const QByteArray& event, const QJsonObject& data) {
    const QByteArray message =
        "event: " + event + "\ndata: " + QJsonDocument(data).toJson(QJsonDocument::Compact) + "\n\n";
    for (const QPointer<HttpChannel>& channel : std::as_const(m_events))
        if (channel)
            channel->push(message);
}

void WebServer::lineChanged() {
    broadcast("line", m_line->toJson());
    if (!m_line->recording()) {
        for (const QPointer<HttpChannel>& channel : std::as_const(m_live))
            if (channel)
                channel->close();
        m_live.clear();
    }
}

void WebServer::openLive(HttpChannel& channel) {
    if (!m_line || !m_line->recording())
        return channel.send(HttpResponse::error(409, QStringLiteral("No call is being recorded")));
    m_live.removeAll(nullptr);
    if (m_live.size() >= kMaxLiveClients)
        return channel.send(HttpResponse::error(503, QStringLiteral("Too many listeners")));
    HttpResponse head;
    head.contentType = "audio/wav";
    channel.beginPush(head);
    // The length is not known: the header claims the most a WAV can hold, and the stream ends with the call.
    channel.push(DecodedWav::header(WaveFormat::pcm(8000, 8, 1), 0xFFFFFFFFLL - 36));
    m_live.append(&channel);
}

void WebServer::liveSound(const QByteArray& block) {
    for (const QPointer<HttpChannel>& channel : std::as_const(m_live))
        if (channel)
            channel->push(block);
}
