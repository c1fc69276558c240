// The RIFF writer's exact layout, the reader's acceptance rules and the repair of an unfinished file.
#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "audio/drivers/ImaAdpcmDriver.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

quint32 le32At(const QByteArray& b, int offset) {
    return qFromLittleEndian<quint32>(b.constData() + offset);
}
QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray writeWav(const WaveFormat& format, const QByteArray& data) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    {
        WavWriter writer(buffer);
        writer.setFormat(format);
        if (!data.isEmpty())
            writer.write(data.constData(), data.size());
    }
    return buffer.data();
}

QByteArray chunk(const char* id, const QByteArray& body) {
    return QByteArray(id, 4) + le32(body.size()) + body;
}

QByteArray pcmFmt() {
    return QByteArray(reinterpret_cast<const char*>(WaveFormat::workingFormat().raw()), 16);
}

/// Parses `bytes`; returns the reader's data or the rejection text.
struct Parsed {
    bool ok = false;
    WaveFormat format;
    qint64 size = 0;
    QByteArray data;
    QString error;
};
Parsed parse(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Parsed p;
    try {
        WavReader reader(buffer);
        p.ok = true;
        p.format = reader.format();
        p.size = reader.itemSize(0);
        p.data.resize(p.size + 10);
        p.data.resize(reader.readItem(0, p.data.data(), p.size + 10));
    } catch (const AudioReadError& e) {
        p.error = e.text();
    }
    return p;
}

} // namespace

TEST(RiffWriterTest, Pcm1000BytesGives1044ByteFile) {
    const QByteArray data(1000, '\x80');
    const QByteArray file = writeWav(WaveFormat::workingFormat(), data);
    ASSERT_EQ(file.size(), 1044);
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(le32At(file, 4), 1036u);
    EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32At(file, 16), 16u);
    EXPECT_EQ(file.mid(20, 16), pcmFmt());
    EXPECT_EQ(file.mid(36, 4), "data");
    EXPECT_EQ(le32At(file, 40), 1000u);
    EXPECT_EQ(file.mid(44), data);
}

TEST(RiffWriterTest, ExtraSizeTwoAndOddSizesWrittenAsTheyAre) {
    const WaveFormat ima = ImaAdpcmDriver::imaFormat(8000, 1);
    const QByteArray file = writeWav(ima, QByteArray(257, '\x11'));
    EXPECT_EQ(le32At(file, 16), 20u);
    EXPECT_EQ(file.mid(20, 20), QByteArray(reinterpret_cast<const char*>(ima.raw()), 20));
    EXPECT_EQ(file.mid(40, 4), "data");
    EXPECT_EQ(le32At(file, 44), 257u);
    EXPECT_EQ(file.size(), 48 + 257); // no pad byte after the odd data
    EXPECT_EQ(le32At(file, 4), static_cast<quint32>(file.size() - 8));

    WaveFormat odd = ima;
    odd.setExtraSize(3);
    const QByteArray oddFile = writeWav(odd, QByteArray(4, '\x01'));
    EXPECT_EQ(le32At(oddFile, 16), 21u);
    EXPECT_EQ(oddFile.mid(41, 4), "data");
}

TEST(RiffWriterTest, WriterWithoutDataLeavesAnEmptyFileTheReaderRejects) {
    const QByteArray file = writeWav(WaveFormat::workingFormat(), {});
    EXPECT_TRUE(file.isEmpty());
    EXPECT_EQ(parse(file).error, QStringLiteral("Invalid file format."));
}

TEST(RiffWriterTest, SeveralWritesAndAStartPositionInsideTheStream) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    buffer.write("prefix");
    {
        WavWriter writer(buffer);
        writer.setFormat(WaveFormat::workingFormat());
        writer.write("", 0); // an empty block (a converter pass that gave nothing) writes no header
        writer.write("abc", 3);
        writer.write("de", 2);
        EXPECT_EQ(writer.writtenBytes(), 5);
    }
    const QByteArray file = buffer.data().mid(6);
    EXPECT_EQ(le32At(file, 4), static_cast<quint32>(file.size() - 8));
    EXPECT_EQ(le32At(file, 40), 5u);
    EXPECT_EQ(file.mid(44), "abcde");
}

TEST(RiffReaderTest, ChunkIdentifierCases) {
    const QByteArray body = "WAVE" + chunk("FMT ", pcmFmt()) + chunk("data", "xyz");
    const Parsed upper = parse("RIFF" + le32(body.size()) + body);
    ASSERT_TRUE(upper.ok);
    EXPECT_EQ(upper.data, "xyz");
    EXPECT_EQ(upper.format.extraSize(), 0);
    EXPECT_TRUE(upper.format.sameFormat(WaveFormat::workingFormat()));

    EXPECT_FALSE(parse("riff" + le32(body.size()) + body).ok);
    QByteArray lowerWave = body;
    lowerWave.replace(0, 4, "wave");
    EXPECT_FALSE(parse("RIFF" + le32(body.size()) + lowerWave).ok);
    EXPECT_FALSE(parse("RIFF" + le32(0) + body).ok);
}

TEST(RiffReaderTest, ChunkOrderAndSkippedChunks) {
    const QByteArray listFirst = "WAVE" + chunk("LIST", "INFOabcde") + chunk("fmt ", pcmFmt()) + chunk("data", "12");
    const Parsed a = parse("RIFF" + le32(listFirst.size()) + listFirst);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.data, "12");

    const QByteArray dataFirst = "WAVE" + chunk("data", "345") + chunk("fmt ", pcmFmt());
    const Parsed b = parse("RIFF" + le32(dataFirst.size()) + dataFirst);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.data, "345");
}

TEST(RiffReaderTest, Rejections) {
    EXPECT_FALSE(parse("RIF").ok);
    EXPECT_FALSE(parse("RIFF" + le32(4) + "WAV").ok);
    const QByteArray noData = "WAVE" + chunk("fmt ", pcmFmt());
    EXPECT_FALSE(parse("RIFF" + le32(noData.size()) + noData).ok);
    const QByteArray noFmt = "WAVE" + chunk("data", "1");
    EXPECT_FALSE(parse("RIFF" + le32(noFmt.size()) + noFmt).ok);
    const QByteArray bigFmt = "WAVE" + chunk("fmt ", QByteArray(129, '\0')) + chunk("data", "1");
    EXPECT_EQ(parse("RIFF" + le32(bigFmt.size()) + bigFmt).error, QStringLiteral("Invalid file format."));
    const QByteArray maxFmt = "WAVE" + chunk("fmt ", QByteArray(128, '\x01')) + chunk("data", "1");
    EXPECT_TRUE(parse("RIFF" + le32(maxFmt.size()) + maxFmt).ok);
}

TEST(RiffReaderTest, DataSizeBeyondTheFileIsReadShort) {
    const QByteArray body = "WAVE" + chunk("fmt ", pcmFmt()) + QByteArray("data") + le32(5000) + "abc";
    const Parsed p = parse("RIFF" + le32(body.size()) + body);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.size, 5000);
    EXPECT_EQ(p.data, "abc");
}

TEST(RiffRepairTest, CompletesTheSizesOfAnUnfinishedRecording) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Recorded.wav"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    WavWriter* writer = new WavWriter(file);
    writer->setFormat(WaveFormat::workingFormat());
    writer->write(QByteArray(777, '\x80').constData(), 777);
    file.flush();
    // The program dies here: the writer never finishes, both sizes stay 0.
    QFile crashed(path);
    ASSERT_TRUE(crashed.open(QIODevice::ReadWrite));
    EXPECT_EQ(parse(crashed.readAll()).error, QStringLiteral("Invalid file format."));
    EXPECT_EQ(WavWriter::repairHeader(crashed), 777);
    crashed.seek(0);
    const Parsed p = parse(crashed.readAll());
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.size, 777);
    crashed.close();
    file.close();
    delete writer; // its late patch on a closed file must not throw
}

TEST(RiffRepairTest, RefusesFilesWithoutHeaders) {
    QBuffer junk;
    junk.setData("not a wave file at all");
    junk.open(QIODevice::ReadWrite);
    EXPECT_EQ(WavWriter::repairHeader(junk), -1);
    EXPECT_EQ(junk.data(), "not a wave file at all");
}
