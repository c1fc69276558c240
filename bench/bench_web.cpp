// The web page's server on loopback: a page of a 100 000-row list and a memo search, and the first
// byte of a one-hour GSM recording's decoded audio, from its start and after a seek, timed as a
// browser would wait for them (request sent to answer read).
#include "BenchCatalogue.h"
#include "audio/AudioConverter.h"
#include "audio/WavWriter.h"
#include "audio/drivers/GsmDriver.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "web/WebServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kRows = 100000;

/// Sends one request and reads until `enough` bytes of the answer (head included) or its end.
qint64 exchange(quint16 port, const QByteArray& request, qint64 enough) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    QDeadlineTimer deadline(10000);
    while (socket.state() != QAbstractSocket::ConnectedState && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    socket.write(request);
    QByteArray data;
    qsizetype length = -1;
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        data += socket.readAll();
        const qsizetype head = data.indexOf("\r\n\r\n");
        if (head >= 0 && length < 0) {
            const qsizetype at = data.indexOf("Content-Length: ");
            length = at >= 0 && at < head ? data.mid(at + 16, data.indexOf('\r', at) - at - 16).toLongLong() : 0;
            length += head + 4;
        }
        if ((length >= 0 && data.size() >= qMin<qint64>(length, enough)) ||
            socket.state() != QAbstractSocket::ConnectedState)
            break;
    }
    return data.size();
}

QByteArray get(const QByteArray& path, const QByteArray& cookie, const QByteArray& extra = {}) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: " + cookie + "\r\n" + extra + "\r\n";
}

void writeGsmHour(const QString& path) {
    QByteArray pcm(8000 * 10 * 2, '\0');
    for (int i = 0; i < 8000 * 10; ++i) {
        const auto s = static_cast<int16_t>(9000 * std::sin(2 * M_PI * 440 * i / 8000.0));
        pcm[2 * i] = static_cast<char>(s & 0xFF);
        pcm[2 * i + 1] = static_cast<char>((s >> 8) & 0xFF);
    }
    AudioConverter converter;
    converter.setFormatIn(WaveFormat::pcm(8000, 16, 1));
    converter.setFormatOut(GsmDriver::gsmFormat(8000));
    QByteArray gsm;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&gsm](const QByteArray& d) { gsm += d; });
    converter.open();
    converter.convert(pcm.constData(), pcm.size());
    converter.close();
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    WavWriter writer(file);
    writer.setFormat(GsmDriver::gsmFormat(8000));
    for (int i = 0; i < 360; ++i)
        writer.write(gsm.constData(), gsm.size());
}

/// One working folder for all the benchmarks: the catalogue, the hour of GSM and the server on it.
struct Site {
    QTemporaryDir dir;
    SilentPrompter prompter;
    std::unique_ptr<Catalogue> catalogue;
    std::unique_ptr<Config> config;
    Logger logger;
    std::unique_ptr<WebServer> server;
    QByteArray cookie;
    QByteArray hourId;

    Site() {
        QDir().mkpath(dir.filePath(QStringLiteral("wav")));
        catalogue = std::make_unique<Catalogue>(dir.path(), prompter);
        catalogue->openCatalogue();
        fillCatalogue(*catalogue, kRows, [](int i) {
            return i % 97 == 0 ? QStringLiteral("Smith about the roof %1").arg(i) : QStringLiteral("caller %1").arg(i);
        });
        RecordingEntry entry;
        entry.audioBytes = 3600 * 1625;
        entry.avgBytesPerSec = 1625;
        writeGsmHour(catalogue->wavPath(catalogue->addRecordingEntry(entry)));
        hourId = catalogue->recordings().fieldText(QStringLiteral("id")).toLatin1();
        config = std::make_unique<Config>(dir.filePath(QStringLiteral("tvk.ini")));
        server = std::make_unique<WebServer>(WebServer::Parts{*catalogue, *config, logger, dir.path()});
        server->start(0);
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), server->port());
        socket.waitForConnected(5000);
        socket.write("POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\nContent-Length: "
                     "2\r\n\r\n{}");
        QByteArray answer;
        QDeadlineTimer deadline(10000);
        while (!answer.contains("csrfToken") && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            answer += socket.readAll();
        }
        const qsizetype at = answer.indexOf("orlamo_session=");
        cookie = answer.mid(at, answer.indexOf(';', at) - at);
    }
};

Site* g_site = nullptr;

void BM_PageOfList(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            exchange(g_site->server->port(), get("/api/recordings?limit=50", g_site->cookie), 1 << 30));
}
BENCHMARK(BM_PageOfList)->Unit(benchmark::kMillisecond);

void BM_SearchMemos(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            exchange(g_site->server->port(), get("/api/recordings?q=smith&limit=50", g_site->cookie), 1 << 30));
}
BENCHMARK(BM_SearchMemos)->Unit(benchmark::kMillisecond);

void BM_FirstAudioByteOfAnHour(benchmark::State& state) {
    const QByteArray request = get("/api/recordings/" + g_site->hourId + "/audio", g_site->cookie);
    for (auto _ : state)
        benchmark::DoNotOptimize(exchange(g_site->server->port(), request, 1024));
}
BENCHMARK(BM_FirstAudioByteOfAnHour)->Unit(benchmark::kMillisecond);

void BM_SeekIntoAnHour(benchmark::State& state) {
    const QByteArray request = get("/api/recordings/" + g_site->hourId + "/audio", g_site->cookie,
                                   "Range: bytes=" + QByteArray::number(44 + 2LL * 8000 * 2700) + "-\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(exchange(g_site->server->port(), request, 1024));
}
BENCHMARK(BM_SeekIntoAnHour)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Site site;
    g_site = &site;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
