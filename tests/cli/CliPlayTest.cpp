// orlamo-cli play as a separate process: a file or a catalogued recording heard to its end on the
// output device, Ctrl+C silencing it, and its errors as one line with a failing status.
#include "library/Catalogue.h"
#include "support/ScriptedPrompter.h"
#include "support/SoundAnalysis.h"
#include "support/SoundServer.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kLoud = 1500;

QString cli() {
    return qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli");
}

/// A WAV file of 8 kHz mono 16-bit samples.
QByteArray pcmWav(const std::vector<int16_t>& samples) {
    const QByteArray data = sound::toBytes(samples);
    QByteArray wav("RIFF....WAVEfmt ");
    auto put32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    put32(qToLittleEndian<quint32>(16));
    put16(qToLittleEndian<quint16>(1));
    put16(qToLittleEndian<quint16>(1));
    put32(qToLittleEndian<quint32>(8000));
    put32(qToLittleEndian<quint32>(16000));
    put16(qToLittleEndian<quint16>(2));
    put16(qToLittleEndian<quint16>(16));
    wav.append("data");
    put32(qToLittleEndian<quint32>(static_cast<quint32>(data.size())));
    wav.append(data);
    qToLittleEndian<quint32>(static_cast<quint32>(wav.size() - 8), wav.data() + 4);
    return wav;
}

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runPlay(const QString& workDir, const QStringList& args, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(cli(), QStringList{QStringLiteral("--workdir"), workDir, QStringLiteral("play")} + args);
    CliRun result;
    if (process.waitForStarted(10000) && process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

class CliPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir(QStringLiteral("wav"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    /// A sink of the test's own for the program to play on, and its monitor.
    bool listen() {
        QString reason;
        sink = NullSink::create(&reason);
        if (sink) {
            env.insert(QStringLiteral("ORLAMO_OUTPUT_DEVICE"), QString::fromLatin1(sink->name()));
            monitor = std::make_unique<MonitorRecording>(sink->name());
            if (monitor->start(&reason))
                return true;
        }
        m_reason = reason;
        return false;
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<NullSink> sink;
    std::unique_ptr<MonitorRecording> monitor;
    QString m_reason;
};

} // namespace

TEST_F(CliPlayTest, AFileIsHeardToItsEndAfterItsLengthIsPrinted) {
    if (!listen())
        ORLAMO_REQUIRE_SOUND(m_reason);
    const std::vector<int16_t> signal = sound::testSignal(12000);
    writeFile(dir.filePath(QStringLiteral("call.wav")), pcmWav(signal));
    const qint64 start = monitor->size();
    const CliRun result = runPlay(dir.path(), {dir.filePath(QStringLiteral("call.wav"))}, env);
    ASSERT_EQ(result.status, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("length: 1.500 s\n"));
    EXPECT_TRUE(result.err.isEmpty()) << result.err.constData();
    ASSERT_TRUE(monitor->waitForMore(2000));
    const auto sent = static_cast<double>(sound::loudDuration(signal, kLoud));
    EXPECT_NEAR(static_cast<double>(sound::loudDuration(monitor->samples(), kLoud, start)), sent, 0.05 * sent);
}

TEST_F(CliPlayTest, ARecordingIsFoundByItsIdAndTheVolumeScalesIt) {
    if (!listen())
        ORLAMO_REQUIRE_SOUND(m_reason);
    QString id;
    {
        ScriptedPrompter prompter;
        Catalogue catalogue(dir.path(), prompter);
        catalogue.openCatalogue();
        RecordingEntry entry;
        entry.audioBytes = 16000;
        entry.avgBytesPerSec = 16000;
        const QString name = catalogue.addRecordingEntry(entry);
        id = catalogue.recordings().fieldText(QStringLiteral("id"));
        writeFile(catalogue.wavPath(name), pcmWav(sound::testSignal(8000)));
        catalogue.close();
    }
    const qint64 start = monitor->size();
    const CliRun result = runPlay(dir.path(), {id, QStringLiteral("--volume"), QStringLiteral("8")}, env);
    ASSERT_EQ(result.status, 0) << result.err.constData();
    EXPECT_EQ(result.out, QByteArray("length: 1.000 s\n"));
    ASSERT_TRUE(monitor->waitForMore(2000));
    const std::vector<int16_t> heard = monitor->samples();
    const sound::Span loud = sound::loudSpan(heard, 500, start);
    ASSERT_FALSE(loud.empty());
    // Slider 8 is 32767 of 65535: half the amplitude of the 9000 the file holds at its loudest.
    int peak = 0;
    for (qint64 i = loud.first; i <= loud.last; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(heard[static_cast<size_t>(i)])));
    EXPECT_NEAR(peak, 4500, 300);
}

TEST_F(CliPlayTest, CtrlCSilencesThePlaybackAtOnce) {
    if (!listen())
        ORLAMO_REQUIRE_SOUND(m_reason);
    writeFile(dir.filePath(QStringLiteral("long.wav")), pcmWav(sound::testSignal(8000 * 20)));
    QProcess player;
    player.setProcessEnvironment(env);
    const qint64 start = monitor->size();
    player.start(cli(), {QStringLiteral("--workdir"), dir.path(), QStringLiteral("play"),
                         dir.filePath(QStringLiteral("long.wav"))});
    ASSERT_TRUE(player.waitForStarted(10000));
    // Half a second of sound heard, then Ctrl+C.
    ASSERT_TRUE(waitUntil([&] {
        const sound::Span loud = sound::loudSpan(monitor->samples(), kLoud, start);
        return loud.length() >= 4000;
    }));
    const qint64 interruptedAt = monitor->size();
    ::kill(static_cast<pid_t>(player.processId()), SIGINT);
    ASSERT_TRUE(player.waitForFinished(20000));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 130);
    ASSERT_TRUE(monitor->waitForMore(8000));
    const sound::Span loud = sound::loudSpan(monitor->samples(), kLoud, start);
    EXPECT_LE((loud.last - interruptedAt) / 8, 500) << "ms of sound after Ctrl+C, of a 20-second file";
}

TEST_F(CliPlayTest, ErrorsAreOneLineOnStandardErrorWithAFailingStatus) {
    CliRun result = runPlay(dir.path(), {QStringLiteral("nothing-by-this-name")}, env);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, QByteArray("orlamo-cli play: there is no file or recording nothing-by-this-name\n"));
    EXPECT_TRUE(result.out.isEmpty());

    writeFile(dir.filePath(QStringLiteral("text.wav")), "not a sound at all");
    result = runPlay(dir.path(), {dir.filePath(QStringLiteral("text.wav"))}, env);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    EXPECT_TRUE(result.err.startsWith("orlamo-cli play: ")) << result.err.constData();
    EXPECT_TRUE(result.err.contains("not a WAV file")) << result.err.constData();

    result = runPlay(dir.path(), {QStringLiteral("a.wav"), QStringLiteral("--volume"), QStringLiteral("17")}, env);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.count('\n'), 1);

    // A sound server that cannot be reached leaves no output device.
    writeFile(dir.filePath(QStringLiteral("call.wav")), pcmWav(sound::testSignal(800)));
    QProcessEnvironment noServer = env;
    noServer.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + dir.filePath(QStringLiteral("none")));
    result = runPlay(dir.path(), {dir.filePath(QStringLiteral("call.wav"))}, noServer);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, QByteArray("orlamo-cli play: there is no sound output device\n"));
}
