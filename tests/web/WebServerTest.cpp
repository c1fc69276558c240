// The web page's API on a real catalogue over loopback: what it lists and changes, and what it refuses.
#include "web/WebServer.h"
#include "AudioTestData.h"
#include "RawHttp.h"
#include "RecordingFixture.h"
#include "audio/drivers/GsmDriver.h"
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "library/CallLog.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "web/PasswordHash.h"

#include <QJsonArray>
#include <QProcess>
#include <QSslSocket>
#include <QStandardPaths>

namespace {

struct WebServerTest : RecordingFixture {
    std::unique_ptr<Config> config;
    Logger logger;
    std::unique_ptr<WebServer> server;
    QByteArray cookie;
    QByteArray token;

    void SetUp() override {
        RecordingFixture::SetUp();
        config = std::make_unique<Config>(QDir(work).filePath(QStringLiteral("tvk.ini")));
    }
    void startServer(CallLog* callLog = nullptr) {
        server = std::make_unique<WebServer>(
            WebServer::Parts{*catalogue, *config, logger, work, nullptr, nullptr, callLog, nullptr});
        ASSERT_TRUE(server->start(0)) << logger.lines().join(QLatin1Char('\n')).toStdString();
    }
    RawAnswer get(const QByteArray& path, qint64 maxBody = -1) {
        return rawExchange(server->port(), rawRequest("GET", path, QByteArray(), cookieHeader()), maxBody);
    }
    RawAnswer post(const QByteArray& path, const QByteArray& body, bool withToken = true) {
        QByteArray headers = cookieHeader();
        if (withToken)
            headers += "X-CSRF-Token: " + token + "\r\n";
        return rawExchange(server->port(), rawRequest("POST", path, body, headers));
    }
    QByteArray cookieHeader() const { return cookie.isEmpty() ? QByteArray() : "Cookie: " + cookie + "\r\n"; }
    RawAnswer login(const QByteArray& password) {
        const RawAnswer answer =
            rawExchange(server->port(), rawRequest("POST", "/api/login", R"({"password":")" + password + "\"}"));
        if (answer.status == 200) {
            cookie = answer.header("Set-Cookie").split(';').first();
            token = answer.json().value(QStringLiteral("csrfToken")).toString().toLatin1();
        }
        return answer;
    }
    QStringList pageIds(const QByteArray& query) {
        QStringList ids;
        for (const QJsonValue& row :
             get("/api/recordings?" + query).json().value(QStringLiteral("recordings")).toArray())
            ids.append(row.toObject().value(QStringLiteral("id")).toString());
        return ids;
    }
};

TEST_F(WebServerTest, ListsPagesNewestFirstAndSearchesMemos) {
    const QString a = record(1, QStringLiteral("Smith about the roof"));
    const QString b = record(2, QStringLiteral("dentist"));
    const QString c = record(3, QStringLiteral("SMITH again"));
    addList(QStringLiteral("Work"));
    startServer();
    login("");

    EXPECT_EQ(pageIds("limit=2"), (QStringList{c, b}));
    EXPECT_EQ(pageIds("offset=2&limit=2"), (QStringList{a}));
    EXPECT_EQ(get("/api/recordings?limit=2").json().value(QStringLiteral("total")).toInt(), 3);
    EXPECT_EQ(pageIds("q=smith"), (QStringList{c, a}));
    EXPECT_EQ(pageIds("list=Work"), QStringList());
    EXPECT_EQ(get("/api/recordings?list=Nowhere").status, 404);
    EXPECT_EQ(get("/api/recordings?offset=-1").status, 400);
    EXPECT_EQ(get("/api/recordings?limit=lots").status, 400);

    const QJsonArray lists = get("/api/lists").json().value(QStringLiteral("lists")).toArray();
    QStringList names;
    for (const QJsonValue& list : lists)
        names.append(list.toObject().value(QStringLiteral("name")).toString());
    EXPECT_TRUE(names.contains(QStringLiteral("General")) && names.contains(QStringLiteral("Work")));
}

TEST_F(WebServerTest, ChangesGoThroughTheWindowsCommandsAndReachTheDisk) {
    const QString first = record(1);
    const QString second = record(2);
    addList(QStringLiteral("Family"));
    selectList(QStringLiteral("General"));
    startServer();
    login("");

    const QByteArray memo = R"({"memo":"<script>alert(1)</script>"})";
    EXPECT_EQ(post("/api/recordings/" + first.toLatin1() + "/memo", memo).status, 200);
    EXPECT_EQ(get("/api/recordings/" + first.toLatin1()).json().value(QStringLiteral("memo")).toString(),
              QStringLiteral("<script>alert(1)</script>"));
    EXPECT_EQ(post("/api/recordings/" + second.toLatin1() + "/move", R"({"list":"Family"})").status, 200);
    EXPECT_EQ(pageIds("list=Family"), QStringList{second});
    const QString secondFile = fileOf(second);
    selectList(QStringLiteral("General"));
    EXPECT_EQ(post("/api/recordings/" + second.toLatin1() + "/delete", "{}").status, 200);
    EXPECT_EQ(idsOnDisk(), QStringList{first});
    EXPECT_FALSE(QFile::exists(secondFile));
    // The window's folder and row are where they were.
    EXPECT_EQ(catalogue->folderTree().selected()->text, QStringLiteral("General"));

    EXPECT_EQ(post("/api/lists/add", R"({"name":"Doctors","parent":"Family"})").status, 200);
    EXPECT_EQ(post("/api/lists/rename", R"({"name":"Doctors","newName":"Dentists"})").status, 200);
    EXPECT_NE(catalogue->folderTree().find(QStringLiteral("Dentists")), nullptr);
    EXPECT_EQ(post("/api/lists/delete", R"({"name":"General"})").status, 409);
    EXPECT_EQ(post("/api/lists/delete", R"({"name":"Dentists"})").status, 200);
    EXPECT_EQ(catalogue->folderTree().find(QStringLiteral("Dentists")), nullptr);
}

TEST_F(WebServerTest, RequestsThatMustNotChangeAnythingChangeNothing) {
    const QString id = record(1, QStringLiteral("kept"));
    startServer();
    login("");
    const QByteArray before = readAll(QDir(work).filePath(QStringLiteral("Recordings.d")));

    EXPECT_EQ(post("/api/recordings/" + id.toLatin1() + "/delete", "{}", false).status, 403); // no token
    token = "forged";
    EXPECT_EQ(post("/api/recordings/" + id.toLatin1() + "/delete", "{}").status, 403);
    login("");
    EXPECT_EQ(post("/api/recordings/" + id.toLatin1() + "/memo", "{not json").status, 400);
    EXPECT_EQ(post("/api/recordings/" + id.toLatin1() + "/memo", R"({"memo":5})").status, 400);
    EXPECT_EQ(post("/api/recordings/..%2F..%2Ftvk.ini/delete", "{}").status, 404);
    EXPECT_EQ(get("/api/recordings/..%2Ftvk.ini/file").status, 404);
    EXPECT_EQ(get("/api/recordings/../tvk.ini").status, 404);
    EXPECT_EQ(post("/api/recordings/" + id.toLatin1() + "/move", R"({"list":"Nowhere"})").status, 404);
    EXPECT_EQ(
        post("/api/recordings/" + id.toLatin1() + "/memo", R"({"memo":")" + QByteArray(400 * 1024, 'x') + "\"}").status,
        413);
    // Another site's name for this computer is not served.
    EXPECT_EQ(rawExchange(server->port(), "GET /api/lists HTTP/1.1\r\nHost: attacker.example\r\n\r\n").status, 403);
    EXPECT_EQ(readAll(QDir(work).filePath(QStringLiteral("Recordings.d"))), before);
}

TEST_F(WebServerTest, APasswordGuardsEverythingButTheLoginAndSlowsDownGuessing) {
    config->writeString(ConfigKeys::kWebPasswordHash, PasswordHash::make(QStringLiteral("correct horse"), 1000));
    record(1);
    startServer();

    EXPECT_EQ(get("/api/lists").status, 401);
    EXPECT_EQ(get("/").status, 200); // the login page itself
    EXPECT_FALSE(get("/api/status").json().contains(QStringLiteral("line")));
    // A thousand guesses: past the first few each is turned away without a check of the hash.
    int slowed = 0;
    for (int i = 0; i < 1000; ++i)
        slowed += login("wrong").status == 429 ? 1 : 0;
    EXPECT_GT(slowed, 990);
    EXPECT_EQ(login("correct horse").status, 429); // the wait holds for the right one too
    EXPECT_EQ(get("/api/lists").status, 401);
}

TEST_F(WebServerTest, TheSessionCookieIsHttpOnlyStrictAndEndsAtLogout) {
    config->writeString(ConfigKeys::kWebPasswordHash, PasswordHash::make(QStringLiteral("correct horse"), 1000));
    startServer();
    const RawAnswer answer = login("correct horse");
    ASSERT_EQ(answer.status, 200);
    const QByteArray setCookie = answer.header("Set-Cookie");
    EXPECT_TRUE(setCookie.contains("HttpOnly") && setCookie.contains("SameSite=Strict")) << setCookie.constData();
    EXPECT_FALSE(setCookie.contains("Secure")); // plain HTTP on loopback
    EXPECT_EQ(get("/api/lists").status, 200);
    EXPECT_EQ(post("/api/logout", "{}").status, 200);
    EXPECT_EQ(get("/api/lists").status, 401);
}

TEST_F(WebServerTest, AnotherAddressNeedsAPasswordAndTls) {
    config->writeString(ConfigKeys::kWebListenAddress, QStringLiteral("0.0.0.0"));
    server = std::make_unique<WebServer>(WebServer::Parts{*catalogue, *config, logger, work});
    EXPECT_FALSE(server->start(0));
    config->writeString(ConfigKeys::kWebPasswordHash, PasswordHash::make(QStringLiteral("correct horse"), 1000));
    EXPECT_FALSE(server->start(0));
    EXPECT_TRUE(logger.lines().join(QLatin1Char('\n')).contains(QStringLiteral("needs TLS")));
}

TEST_F(WebServerTest, PlaysAGsmRecordingDecodedWithRanges) {
    const QString id = record(1);
    const QByteArray second = audiotest::encode(audiotest::toBytes(audiotest::tone(8000)), GsmDriver::gsmFormat(8000));
    audiotest::writeWav(fileOf(id), GsmDriver::gsmFormat(8000), second + second + second);
    startServer();
    login("");

    const RawAnswer whole = get("/api/recordings/" + id.toLatin1() + "/audio");
    ASSERT_EQ(whole.status, 200);
    EXPECT_TRUE(whole.body.startsWith("RIFF"));
    EXPECT_EQ(whole.body.mid(20, 2), QByteArray("\x01\x00", 2)); // PCM
    EXPECT_GT(whole.body.size(), 3 * 8000 * 2);
    const RawAnswer part =
        rawExchange(server->port(), rawRequest("GET", "/api/recordings/" + id.toLatin1() + "/audio", QByteArray(),
                                               cookieHeader() + "Range: bytes=20001-30000\r\n"));
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.header("Content-Range"), "bytes 20001-30000/" + QByteArray::number(whole.body.size()));
    EXPECT_EQ(part.body.size(), 10000);
    // A seek restarts the codec at the block that holds the position: the sound is the same, not its bits.
    const RawAnswer aligned =
        rawExchange(server->port(), rawRequest("GET", "/api/recordings/" + id.toLatin1() + "/audio", QByteArray(),
                                               cookieHeader() + "Range: bytes=20044-30043\r\n"));
    EXPECT_GT(audiotest::snrDb(audiotest::toSamples(whole.body.mid(20044, 10000)), audiotest::toSamples(aligned.body)),
              20.0);
    const RawAnswer past =
        rawExchange(server->port(), rawRequest("GET", "/api/recordings/" + id.toLatin1() + "/audio", QByteArray(),
                                               cookieHeader() + "Range: bytes=99999999-\r\n"));
    EXPECT_EQ(past.status, 416);

    const RawAnswer stored = get("/api/recordings/" + id.toLatin1() + "/file");
    EXPECT_EQ(stored.body, readAll(fileOf(id)));
    const QJsonObject overview = get("/api/recordings/" + id.toLatin1() + "/overview?width=100&height=50").json();
    EXPECT_FALSE(overview.value(QStringLiteral("points")).toArray().isEmpty());
}

TEST_F(WebServerTest, ListsTheCallLogNewestFirstAsText) {
    CallLog log(work);
    log.open();
    const auto call = [&](int minute, CallOutcome outcome, const QString& name, const QString& id = {}) {
        log.add({QDateTime(QDate(2026, 12, 8), QTime(9, minute)), 3, QStringLiteral("0301234"), name, outcome, id});
    };
    call(1, CallOutcome::NotAnswered, QStringLiteral("Smith"));
    call(2, CallOutcome::Recorded, QStringLiteral("Jones"), QStringLiteral("r1"));
    startServer(&log);
    login("");
    const auto names = [&](const QByteArray& query) {
        QStringList seen;
        for (const QJsonValue& row : get("/api/calls?" + query).json().value(QStringLiteral("calls")).toArray())
            seen.append(row.toObject().value(QStringLiteral("name")).toString());
        return seen;
    };
    // A row logged while the page is served is in the next answer.
    call(3, CallOutcome::NotAnswered, QStringLiteral("<script>alert(1)</script>"));
    EXPECT_EQ(names(""), (QStringList{QStringLiteral("<script>alert(1)</script>"), QStringLiteral("Jones"),
                                      QStringLiteral("Smith")}));
    EXPECT_EQ(names("offset=1&limit=1"), QStringList{QStringLiteral("Jones")});
    EXPECT_EQ(names("missed=1&offset=1"), QStringList{QStringLiteral("Smith")});
    const QJsonObject recorded =
        get("/api/calls?offset=1&limit=1").json().value(QStringLiteral("calls")).toArray().at(0).toObject();
    EXPECT_EQ(recorded.value(QStringLiteral("recording")).toString(), QStringLiteral("r1"));
    EXPECT_EQ(recorded.value(QStringLiteral("date")).toString(), QStringLiteral("2026-12-08"));
    EXPECT_EQ(recorded.value(QStringLiteral("outcome")).toString(), CallLog::outcomeKey(CallOutcome::Recorded));
    EXPECT_TRUE(get("/api/calls").header("Content-Type").startsWith("application/json"));
    EXPECT_EQ(get("/api/calls?limit=0").status, 400);
}

TEST_F(WebServerTest, DownloadsACompressedCopyInTheAskedFormat) {
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (ffprobe.isEmpty())
        GTEST_SKIP() << "no ffprobe to read the copy";
    const QString id = record(1);
    const QByteArray second = audiotest::encode(audiotest::toBytes(audiotest::tone(8000)), GsmDriver::gsmFormat(8000));
    audiotest::writeWav(fileOf(id), GsmDriver::gsmFormat(8000), second + second);
    startServer();
    login("");

    const RawAnswer opus = get("/api/recordings/" + id.toLatin1() + "/file?as=opus");
    ASSERT_EQ(opus.status, 200) << opus.body.toStdString();
    EXPECT_TRUE(opus.header("Content-Disposition").endsWith(".opus\""));
    const QString copy = QDir(work).filePath(QStringLiteral("answer.opus"));
    writeFile(copy, opus.body);
    QProcess probe;
    probe.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                          QStringLiteral("stream=codec_name"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), copy});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), QByteArray("opus"));
    const RawAnswer bad = get("/api/recordings/" + id.toLatin1() + "/file?as=ogg");
    EXPECT_EQ(bad.status, 400);
    EXPECT_TRUE(bad.json().contains(QStringLiteral("error")));
}

TEST_F(WebServerTest, TheEventStreamTellsOfAChangeMadeElsewhere) {
    const QString id = record(1);
    startServer();
    login("");
    QTcpSocket events;
    events.connectToHost(QStringLiteral("127.0.0.1"), server->port());
    ASSERT_TRUE(waitUntil([&] { return events.state() == QAbstractSocket::ConnectedState; }, 5000));
    events.write(rawRequest("GET", "/api/events", QByteArray(), cookieHeader()));
    QByteArray seen;
    ASSERT_TRUE(waitUntil([&] { return (seen += events.readAll()).contains("event: line"); }, 10000));
    // The window's memo command, on the same catalogue.
    ASSERT_TRUE(catalogue->locateRecording(id, true));
    MailHandOver mail(work);
    RecordingOperations operations(*catalogue, prompter, mail);
    ASSERT_TRUE(operations.setMemo(QStringLiteral("from the window")));
    server->flushEvents();
    EXPECT_TRUE(waitUntil([&] { return (seen += events.readAll()).contains("event: catalogue"); }, 10000));
}

TEST_F(WebServerTest, UnderTlsTheCookieIsSecure) {
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        GTEST_SKIP() << "no openssl to make a certificate";
    const QString certificate = root.filePath(QStringLiteral("cert.pem"));
    const QString key = root.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=localhost"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificate});
    ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0)
        << openssl.readAllStandardError().constData();
    config->writeString(ConfigKeys::kWebCertificate, certificate);
    config->writeString(ConfigKeys::kWebPrivateKey, key);
    startServer();
    EXPECT_TRUE(logger.lines().join(QLatin1Char('\n')).contains(QStringLiteral("https://127.0.0.1:")));

    QSslSocket socket;
    socket.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), server->port());
    ASSERT_TRUE(waitUntil([&] { return socket.isEncrypted(); }, 10000)) << socket.errorString().toStdString();
    socket.write(rawRequest("POST", "/api/login", "{}"));
    QByteArray answer;
    ASSERT_TRUE(waitUntil([&] { return (answer += socket.readAll()).contains("csrfToken"); }, 10000));
    EXPECT_TRUE(answer.contains("SameSite=Strict; Max-Age=43200; Secure")) << answer.constData();
}

TEST(PasswordHashTest, DerivesTheStandardKeyAndChecksOnlyTheRightPassword) {
    // PBKDF2-HMAC-SHA256 of "passwd" with salt "salt", one iteration (RFC 7914).
    EXPECT_EQ(PasswordHash::pbkdf2("passwd", "salt", 1, 64).toHex(),
              QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                         "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"));
    const QString stored = PasswordHash::make(QStringLiteral("correct horse"), 100);
    EXPECT_TRUE(PasswordHash::matches(QStringLiteral("correct horse"), stored));
    EXPECT_FALSE(PasswordHash::matches(QStringLiteral("correct horsE"), stored));
    EXPECT_FALSE(PasswordHash::matches(QStringLiteral("correct horse"), QStringLiteral("plain text")));
    EXPECT_NE(PasswordHash::make(QStringLiteral("same"), 100), PasswordHash::make(QStringLiteral("same"), 100));
}

} // namespace
