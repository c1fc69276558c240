// Null sinks and monitor recordings through PulseAudio's command-line programs.
#include "SoundServer.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <atomic>

namespace {

QString run(const QString& program, const QStringList& args, bool* ok) {
    QProcess process;
    process.start(program, args);
    *ok = process.waitForStarted(10000) && process.waitForFinished(20000) &&
          process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (!*ok)
        return process.errorString() + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError());
    return out;
}

std::atomic<int> g_sinks{0};

} // namespace

std::unique_ptr<NullSink> NullSink::create(QString* reason) {
    bool ok = false;
    const QString info = run(QStringLiteral("pactl"), {QStringLiteral("info")}, &ok);
    if (!ok) {
        *reason = QStringLiteral("pactl info failed (") + info.trimmed() +
                  QStringLiteral("); start one with: source scripts/sound-server && start_sound_server");
        return nullptr;
    }
    const QByteArray name =
        "orlamo_test_" + QByteArray::number(QCoreApplication::applicationPid()) + '_' + QByteArray::number(++g_sinks);
    const QString module = run(QStringLiteral("pactl"),
                               {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                QStringLiteral("sink_name=") + QString::fromLatin1(name), QStringLiteral("rate=8000"),
                                QStringLiteral("channels=1"), QStringLiteral("format=s16le"),
                                QStringLiteral("sink_properties=device.description=") + QString::fromLatin1(name)},
                               &ok);
    if (!ok) {
        *reason = QStringLiteral("cannot load a null sink: ") + module;
        return nullptr;
    }
    return std::unique_ptr<NullSink>(new NullSink(name, module));
}

NullSink::~NullSink() {
    bool ok = false;
    run(QStringLiteral("pactl"), {QStringLiteral("unload-module"), m_module}, &ok);
}

MonitorRecording::MonitorRecording(const QByteArray& sink) : m_sink(sink) {
    QObject::connect(&m_parec, &QProcess::readyReadStandardOutput,
                     [this] { m_bytes += m_parec.readAllStandardOutput(); });
}

MonitorRecording::~MonitorRecording() {
    for (QProcess* process : {&m_parec, &m_keeper}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

bool MonitorRecording::start(QString* reason) {
    const QStringList format = {QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                                QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")};
    m_keeper.setStandardInputFile(QStringLiteral("/dev/zero"));
    m_keeper.start(QStringLiteral("pacat"),
                   QStringList{QStringLiteral("--playback"), QStringLiteral("-d"), QString::fromLatin1(m_sink)} +
                       format);
    m_parec.start(QStringLiteral("parec"),
                  QStringList{QStringLiteral("-d"), QString::fromLatin1(m_sink + ".monitor")} + format);
    if (!m_keeper.waitForStarted(10000) || !m_parec.waitForStarted(10000)) {
        *reason = QStringLiteral("cannot start pacat and parec: ") + m_parec.errorString();
        return false;
    }
    if (!waitForSize(MonitorRecording::kRate / 10, 20000)) {
        *reason = QStringLiteral("the monitor of ") + QString::fromLatin1(m_sink) + QStringLiteral(" records nothing");
        return false;
    }
    return true;
}

std::vector<int16_t> MonitorRecording::samples() const {
    std::vector<int16_t> out(static_cast<size_t>(size()));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(static_cast<uint8_t>(m_bytes[2 * i]) |
                                      (static_cast<uint8_t>(m_bytes[2 * i + 1]) << 8));
    return out;
}

bool MonitorRecording::waitForMore(qint64 count, int timeoutMs) {
    return waitForSize(size() + count, timeoutMs);
}

bool MonitorRecording::waitForSize(qint64 total, int timeoutMs) {
    return waitUntil([this, total] { return size() >= total; }, timeoutMs);
}
