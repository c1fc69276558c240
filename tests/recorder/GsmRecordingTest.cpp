// An automatic call stored as GSM 6.10: the file's format, its sound against what the line carried, the
// catalogue's duration.
#include "recorder/LineSound.h"
#include "recorder/RecordingTestBase.h"

#include "audio/AudioConverter.h"
#include "audio/WavReader.h"
#include "audio/drivers/GsmDriver.h"
#include "library/TableFile.h"

#include <QFile>
#include <QSignalSpy>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace {

/// Chirps of changing loudness, 300 to 1000 Hz in every quarter second: voice-like for the codec, and
/// no steady tone for the line analysis. Writes the 16-bit WAV the simulator plays and returns the
/// unsigned 8-bit samples the modem will send for it.
QByteArray writeChirps(const QString& path, int seconds) {
    QByteArray expected;
    QByteArray pcm;
    double phase = 0;
    for (int i = 0; i < seconds * 8000; ++i) {
        const double t = (i % 2000) / 8000.0; // within the quarter second
        const double f = 300 + 700 * t / 0.25;
        phase += 2 * std::numbers::pi * f / 8000.0;
        const double envelope = 0.4 + 0.6 * std::fabs(std::sin(std::numbers::pi * i / 6000.0));
        const int level = static_cast<int>(std::lround(90 * envelope * std::sin(phase)));
        const auto v = static_cast<qint16>(level * 256);
        pcm.append(static_cast<char>(v & 0xff));
        pcm.append(static_cast<char>((v >> 8) & 0xff));
        expected.append(static_cast<char>(level + 128));
    }
    return writeLinePcm16(path, pcm) ? expected : QByteArray();
}

} // namespace

TEST_F(RecordingTestBase, CallRecordedAsGsmDecodesToWhatTheLineCarried) {
    configure(2);
    const WaveFormat gsm = GsmDriver::gsmFormat(8000);
    gsm.saveFormatFile(dir.filePath(QStringLiteral("FileCompression.cpn")));
    createCore();
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    const QString source = dir.filePath(QStringLiteral("chirps.wav"));
    const QByteArray sent = writeChirps(source, 4);
    ASSERT_FALSE(sent.isEmpty());
    sim.command(
        QStringLiteral("call rings=2 interval=700 cid=5552468 audio=%1 talk=4 end=silence endfor=30").arg(source));
    ASSERT_TRUE(waitUntil([&] { return !catalogued.isEmpty(); }, 60000))
        << core->logger().lines().join('\n').toStdString();
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();

    QFile file(core->catalogue().wavPath(catalogued.first().at(0).toString()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    WavReader reader(file);
    EXPECT_EQ(reader.format().formatTag(), wavetag::Gsm610);
    EXPECT_TRUE(reader.format() == gsm);
    const qint64 size = reader.itemSize(0);
    EXPECT_EQ(size, file.size() - reader.dataPosition());
    ASSERT_GT(size, 0);
    EXPECT_EQ(size % 65, 0); // whole GSM blocks only
    QByteArray coded(size, Qt::Uninitialized);
    reader.seekItem(0);
    ASSERT_EQ(reader.readItem(0, coded.data(), size), size);

    AudioConverter decoder;
    decoder.setFormatIn(gsm);
    decoder.setFormatOut(WaveFormat::pcm(8000, 8, 1));
    QByteArray decoded;
    QObject::connect(&decoder, &AudioConverter::audioConverted, [&](const QByteArray& data) { decoded += data; });
    decoder.open();
    decoder.convert(coded.constData(), coded.size());
    decoder.flush();
    decoder.close();
    EXPECT_EQ(decoded.size(), size / 65 * 320);
    ASSERT_GE(decoded.size(), 8000 * 3);
    // Half a second from the call's sound lines up with the source, allowing for the codec's loss.
    EXPECT_GT(bestCorrelation(decoded.mid(4000, 4000), sent), 0.8);

    TableFile& calls = core->catalogue().recordings();
    ASSERT_EQ(calls.recordCount(), 1);
    calls.first();
    EXPECT_EQ(calls.fieldText(QStringLiteral("Duration")),
              Catalogue::durationText(Catalogue::durationSeconds(size, gsm.avgBytesPerSec())));
    EXPECT_EQ(calls.fieldText(QStringLiteral("Comment")), QStringLiteral("5552468"));
}
