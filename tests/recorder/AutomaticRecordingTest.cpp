// The first complete call: rings with caller ID, the handset lifted, speech, then silence ends it.
#include "recorder/LineSound.h"
#include "recorder/RecordingTestBase.h"

#include "audio/WavReader.h"
#include "library/TableFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <cmath>
#include <iostream>

namespace {

double deviation(const QByteArray& samples) {
    if (samples.size() < 2)
        return 0;
    double sum = 0;
    for (const char s : samples)
        sum += static_cast<unsigned char>(s);
    const double mean = sum / static_cast<double>(samples.size());
    double squares = 0;
    for (const char s : samples)
        squares += std::pow(static_cast<unsigned char>(s) - mean, 2);
    return std::sqrt(squares / static_cast<double>(samples.size() - 1));
}

} // namespace

TEST_F(RecordingTestBase, CallIsRecordedEndedBySilenceAndCatalogued) {
    configure(2);
    createCore();
    ASSERT_TRUE(modem().portOpen());
    ASSERT_TRUE(modem().calls().autoRecordMode());
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    const QString noise = dir.filePath(QStringLiteral("noise.wav"));
    const QByteArray sent = writeLineNoise(noise, 4);
    ASSERT_FALSE(sent.isEmpty());
    sim.command(
        QStringLiteral("call rings=2 interval=700 cid=5551234 audio=%1 talk=4 end=silence endfor=30").arg(noise));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000))
        << core->logger().lines().join('\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return logged(QStringLiteral("Enabling autoRecord mode")) >= 2; }));
    if (qEnvironmentVariableIsSet("RECORDING_TRACE"))
        std::cerr << core->logger().lines().join(QLatin1Char(10)).toStdString() << std::endl;
    EXPECT_TRUE(prompter.shown.isEmpty())
        << (prompter.shown + core->logger().lines()).join(QLatin1Char('\n')).toStdString();

    // The file has its final name and the temporary one is gone.
    const QString baseName = catalogued.first().at(0).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^1_\\d{8}_\\d{6}$")).match(baseName).hasMatch())
        << baseName.toStdString();
    EXPECT_EQ(recordings(), QStringList{baseName + QStringLiteral(".wav")});

    // The sound: speech first, silence at the end; about talk + disconnect time long.
    QFile file(dir.filePath(QStringLiteral("wav/") + baseName + QStringLiteral(".wav")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    WavReader reader(file);
    EXPECT_TRUE(reader.format() == WaveFormat::pcm(8000, 8, 1));
    const qint64 size = reader.itemSize(0);
    EXPECT_EQ(size, file.size() - reader.dataPosition());
    EXPECT_GE(size, 8000 * 3);
    EXPECT_LE(size, 8000 * 12);
    QByteArray data(size, Qt::Uninitialized);
    reader.seekItem(0);
    ASSERT_EQ(reader.readItem(0, data.data(), size), size);
    EXPECT_GT(deviation(data.first(8000 * 2)), 5.0); // the call's sound
    // It is what the modem sent: a second of it lines up with the noise (no DLE shielding left in it).
    EXPECT_GT(bestCorrelation(data.mid(4000, 8000), sent), 0.9);
    EXPECT_LT(deviation(data.last(8000)), 1.0); // the silence that ended it
    // No "CONNECT" reply and no DLE event leaked into the sound.
    EXPECT_FALSE(data.contains("CONNECT"));

    // The catalogue row: the caller's number as memo, the duration of the bytes written.
    TableFile& calls = core->catalogue().recordings();
    ASSERT_EQ(calls.recordCount(), 1);
    calls.first();
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral("5551234"));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Duration")),
              Catalogue::durationText(Catalogue::durationSeconds(size, 8000)));

    // The log: ended by silence, then the stop sequence and the modem made ready again.
    const QStringList lines = core->logger().lines();
    const qsizetype started = lines.indexOf(QStringLiteral("-- Recording started"));
    const qsizetype silence = lines.indexOf(QStringLiteral("Silence..."));
    const qsizetype disconnect = lines.indexOf(QStringLiteral("Disconnect line..."));
    const qsizetype stopped = lines.indexOf(QStringLiteral("-- Recording stopped"));
    ASSERT_GE(started, 0);
    EXPECT_LT(started, silence);
    EXPECT_LT(silence, disconnect);
    EXPECT_EQ(stopped, disconnect + 1);
    const QString port = modem().portText();
    const QStringList after = lines.mid(stopped);
    EXPECT_TRUE(after.contains(QStringLiteral("Com port ") + port + QStringLiteral(" closed...")));
    EXPECT_TRUE(after.contains(QStringLiteral("Com port ") + port + QStringLiteral(" opened...")));
    EXPECT_EQ(after.last(), QStringLiteral("Enabling autoRecord mode"));
    EXPECT_TRUE(lines.mid(started).contains(QStringLiteral("Receiving data...")));
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(modem().calls().autoRecordMode());
    EXPECT_FALSE(recorder().recording());
}
