// The sound path without a modem: chunking, the flush at the end, the sign fix, the trace frames, a failing
// file and a recording that got no sound.
#include "recorder/RecordingPath.h"

#include "audio/WavReader.h"
#include "audio/drivers/GsmDriver.h"
#include "base/Logger.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

/// Unsigned 8-bit samples of a changing waveform with many DLE (0x10) bytes among them.
QByteArray samples(int count) {
    QByteArray out;
    quint32 seed = 777;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out.append(i % 9 == 0 ? char(0x10) : static_cast<char>((seed >> 20) & 0xff));
    }
    return out;
}

/// The bytes as the modem sends them after +VRX: the reply, then the data with DLE doubled.
QByteArray modemStream(const QByteArray& audio) {
    QByteArray out = QByteArrayLiteral("\r\nCONNECT\r\n");
    for (const char c : audio) {
        out.append(c);
        if (c == DleFilter::kDle)
            out.append(c);
    }
    return out;
}

struct Recording {
    Logger logger;
    QBuffer buffer;
    std::unique_ptr<RecordingFileWriter> writer;
    RecordingPath path{logger};

    explicit Recording(const WaveFormat& fileFormat, bool signFix = false,
                       const WaveFormat& modemFormat = WaveFormat::pcm(8000, 8, 1)) {
        buffer.open(QIODevice::ReadWrite);
        writer = std::make_unique<RecordingFileWriter>(buffer);
        writer->setFormat(fileFormat);
        path.start(modemFormat, writer.get(), signFix, 2);
    }
    /// The data chunk of the finished file.
    QByteArray data() {
        buffer.seek(0);
        WavReader reader(buffer);
        const qint64 size = reader.itemSize(0);
        QByteArray out(size, Qt::Uninitialized);
        reader.seekItem(0);
        out.resize(reader.readItem(0, out.data(), size));
        return out;
    }
};

void feedInChunks(RecordingPath& path, const QByteArray& stream, std::initializer_list<int> sizes) {
    qsizetype at = 0;
    while (at < stream.size()) {
        for (const int n : sizes) {
            path.feed(QByteArrayView(stream).sliced(at, std::min<qsizetype>(n, stream.size() - at)));
            at += n;
            if (at >= stream.size())
                break;
        }
    }
}

/// A device that takes writes up to a capacity, like a file system that fills up: beyond it, nothing.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::ReadWrite); }
    QByteArray content;
    int refusedWrites = 0;
    int writesAfterRefusal = 0;
    bool isSequential() const override { return false; }
    qint64 size() const override { return content.size(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::max<qint64>(0, std::min<qint64>(maxSize, content.size() - pos()));
        memcpy(data, content.constData() + pos(), static_cast<size_t>(n));
        return n;
    }
    qint64 writeData(const char* data, qint64 count) override {
        const qint64 at = pos();
        if (refusedWrites > 0 && at + count > content.size())
            ++writesAfterRefusal;
        if (at + count > m_capacity) {
            ++refusedWrites;
            return -1;
        }
        if (at + count > content.size())
            content.resize(at + count);
        memcpy(content.data() + at, data, static_cast<size_t>(count));
        return count;
    }

private:
    qint64 m_capacity;
};

} // namespace

TEST(RecordingPath, ChunkingOfTheSerialLineDoesNotChangeTheFile) {
    const QByteArray audio = samples(23456);
    const QByteArray stream = modemStream(audio);
    for (const WaveFormat& format : {WaveFormat::pcm(8000, 8, 1), GsmDriver::gsmFormat(8000)}) {
        Recording whole(format);
        whole.path.feed(stream);
        whole.path.finish(true);
        Recording split(format);
        // Odd sizes: a DLE pair and the CONNECT reply are cut at every position somewhere.
        feedInChunks(split.path, stream, {1, 7, 3, 256, 13, 2, 1001});
        split.path.finish(true);
        EXPECT_EQ(whole.buffer.data(), split.buffer.data()) << format.formatTag();
        EXPECT_GT(whole.writer->writtenBytes(), 0);
    }
    Recording pcm(WaveFormat::pcm(8000, 8, 1));
    feedInChunks(pcm.path, stream, {5, 1});
    pcm.path.finish(true);
    EXPECT_EQ(pcm.data(), audio); // neither the reply nor the shielding is left in the sound
}

TEST(RecordingPath, FlushPutsThePartialBlocksIntoTheFile) {
    // 5000 samples: two whole file blocks and a rest of 904; GSM frames of 320 samples.
    const QByteArray audio = samples(5000);
    Recording gsm(GsmDriver::gsmFormat(8000));
    gsm.path.feed(modemStream(audio));
    gsm.path.finish(true);
    EXPECT_EQ(gsm.writer->writtenBytes(), (5000 + 319) / 320 * 65); // only the last frame padded
    EXPECT_EQ(gsm.data().size(), gsm.writer->writtenBytes());

    Recording wide(WaveFormat::pcm(8000, 16, 1));
    wide.path.feed(modemStream(audio));
    wide.path.finish(true);
    EXPECT_EQ(wide.writer->writtenBytes(), 10000);

    // Without the flush (a reception cut off) the rest stays out.
    Recording cut(WaveFormat::pcm(8000, 8, 1));
    cut.path.feed(modemStream(audio));
    cut.path.finish(false);
    EXPECT_EQ(cut.writer->writtenBytes(), 2 * RecordingPath::kFileBlock);
}

TEST(RecordingPath, SignFixOnlyForSignedEightBitPcm) {
    EXPECT_TRUE(RecordingPath::needsSignFix(QStringLiteral("8"), QStringLiteral("SIGNED PCM")));
    EXPECT_FALSE(RecordingPath::needsSignFix(QStringLiteral("16"), QStringLiteral("SIGNED PCM")));
    EXPECT_FALSE(RecordingPath::needsSignFix(QStringLiteral("8"), QStringLiteral("UNSIGNED PCM")));
    EXPECT_FALSE(RecordingPath::needsSignFix(QStringLiteral("8"), QStringLiteral("IMA ADPCM")));

    const QByteArray audio = samples(3000);
    QByteArray flipped = audio;
    for (char& c : flipped)
        c = static_cast<char>(c ^ 0x80);
    Recording fixed(WaveFormat::pcm(8000, 8, 1), true);
    QSignalSpy frames(&fixed.path, &RecordingPath::displayFrame);
    fixed.path.feed(modemStream(audio));
    fixed.path.finish(true);
    EXPECT_EQ(fixed.data(), flipped);
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0][0].toByteArray(), flipped.first(RecordingPath::kDisplayBlock)); // the trace too

    Recording plain(WaveFormat::pcm(8000, 8, 1), false);
    plain.path.feed(modemStream(audio));
    plain.path.finish(true);
    EXPECT_EQ(plain.data(), audio);
}

TEST(RecordingPath, DisplayFramesFollowEachOtherWithoutAGap) {
    const QByteArray audio = samples(RecordingPath::kDisplayBlock * 7 + 100);
    Recording r(WaveFormat::pcm(8000, 8, 1));
    QByteArray shown;
    int count = 0;
    QObject::connect(&r.path, &RecordingPath::displayFrame, [&](const QByteArray& frame) {
        EXPECT_EQ(frame.size(), RecordingPath::kDisplayBlock);
        shown += frame;
        ++count;
    });
    feedInChunks(r.path, modemStream(audio), {333, 1, 1700, 64});
    EXPECT_EQ(count, 7);
    EXPECT_EQ(shown, audio.first(RecordingPath::kDisplayBlock * 7));

    // From a modem format of another rate the trace is still whole frames of the working format.
    Recording fast(WaveFormat::pcm(8000, 8, 1), false, WaveFormat::pcm(11025, 8, 1));
    QSignalSpy frames(&fast.path, &RecordingPath::displayFrame);
    fast.path.feed(modemStream(samples(11025 * 2)));
    EXPECT_GE(frames.size(), 9); // 2 s at 8 kHz is 10.4 frames; the converter may hold a block back
    for (const QList<QVariant>& f : frames)
        EXPECT_EQ(f[0].toByteArray().size(), RecordingPath::kDisplayBlock);
}

TEST(RecordingPath, SilenceEndsTheLineOnce) {
    Recording r(WaveFormat::pcm(8000, 8, 1));
    QSignalSpy ended(&r.path, &RecordingPath::lineEnded);
    r.path.feed(modemStream(samples(8000)));
    EXPECT_FALSE(r.path.callEnded());
    for (int i = 0; i < 10; ++i)
        r.path.feed(QByteArray(8000, char(0x80)));
    EXPECT_TRUE(r.path.callEnded());
    EXPECT_EQ(ended.size(), 1);
    EXPECT_TRUE(r.logger.lines().contains(QStringLiteral("Silence...")));

    // The analysis off (a manual recording under settings without AutoRecord): the line never ends.
    Recording manual(WaveFormat::pcm(8000, 8, 1));
    manual.path.setAnalyse(false);
    for (int i = 0; i < 10; ++i)
        manual.path.feed(QByteArray(8000, char(0x80)));
    EXPECT_FALSE(manual.path.callEnded());
}

TEST(RecordingPath, DleEventsAreReportedAndLeaveTheSound) {
    Recording r(WaveFormat::pcm(8000, 8, 1));
    QSignalSpy events(&r.path, &RecordingPath::dleEvent);
    QByteArray stream = modemStream(QByteArray(100, char(0x70)));
    stream += QByteArray("\x10"
                         "b",
                         2) +
              QByteArray(100, char(0x70));
    r.path.feed(stream);
    r.path.finish(true);
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0][0].value<char>(), 'b');
    EXPECT_EQ(r.data(), QByteArray(200, char(0x70)));
}

TEST(RecordingPath, WriteFailureIsReportedOnceAndEndsTheWriting) {
    FillingDevice device(5000);
    Logger logger;
    RecordingFileWriter writer(device);
    writer.setFormat(WaveFormat::pcm(8000, 8, 1));
    RecordingPath path(logger);
    path.start(WaveFormat::pcm(8000, 8, 1), &writer, false, 2);
    QSignalSpy failures(&path, &RecordingPath::writeFailure);
    const QByteArray audio = samples(20000);
    path.feed(modemStream(audio));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0][0].toString(), QStringLiteral("Stream write error"));
    EXPECT_TRUE(path.writeFailed());
    path.feed(samples(9000));
    path.finish(true);
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(device.refusedWrites, 1);
    EXPECT_EQ(device.writesAfterRefusal,
              0); // after the refused write, nothing was appended (the sizes are patched in place)
    // Two whole blocks fit behind the header; the file says so and holds exactly them.
    EXPECT_EQ(writer.writtenBytes(), 2 * RecordingPath::kFileBlock);
    EXPECT_EQ(device.content.size(), 44 + writer.writtenBytes());
    EXPECT_EQ(qFromLittleEndian<quint32>(device.content.constData() + 40), writer.writtenBytes());
    EXPECT_EQ(device.content.mid(44), audio.first(2 * RecordingPath::kFileBlock));
}

TEST(RecordingPath, RecordingWithoutSoundIsAnEmptyValidWav) {
    for (const WaveFormat& format : {WaveFormat::pcm(8000, 8, 1), GsmDriver::gsmFormat(8000)}) {
        Recording r(format);
        r.path.feed(QByteArrayLiteral("\r\nCONN")); // the reply, not yet complete: no sound
        r.path.finish(true);
        const QByteArray file = r.buffer.data();
        ASSERT_GE(file.size(), 44);
        EXPECT_TRUE(file.startsWith("RIFF"));
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), file.size() - 8);
        EXPECT_EQ(file.mid(8, 4), "WAVE");
        EXPECT_EQ(file.mid(file.size() - 8, 4), "data");
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + file.size() - 4), 0u);
        r.buffer.seek(0);
        WavReader reader(r.buffer);
        EXPECT_TRUE(reader.format() == format);
        EXPECT_EQ(reader.itemSize(0), 0);
    }
}
