// Compressed copies of a GSM recording, checked by programs that share no code with ours.
#include "audio/WavFileConverter.h"
#include "audio/WavWriter.h"
#include "audio/drivers/GsmDriver.h"
#include "export/CompressedCopies.h"
#include "export/ExportError.h"
#include "export/RecordingDecoder.h"
#include "export/RecordingExporter.h"
#include "library/MailHandOver.h"
#include "library/RecordingFixture.h"
#include "library/RecordingOperations.h"
#include "library/RecordingTags.h"
#include "support/SoundAnalysis.h"
#include "support/XdgEmailStandIn.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

constexpr int kRate = 8000;
constexpr int kSeconds = 6;

struct ToolRun {
    int code = -1;
    QByteArray out;
    QString err;
};

ToolRun run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ToolRun result;
    if (!process.waitForFinished(60000))
        return result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A GSM 6.10 recording of the test signal, as a modem's compression stores it.
void writeGsmRecording(const QString& path) {
    const QString pcm = path + QStringLiteral(".pcm.wav");
    {
        QFile file(pcm);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        WavWriter writer(file);
        writer.setFormat(WaveFormat::pcm(kRate, 16, 1));
        const QByteArray bytes = sound::toBytes(sound::testSignal(kRate * kSeconds));
        writer.write(bytes.constData(), bytes.size());
        writer.finish();
    }
    convertWavFile(pcm, path, GsmDriver::gsmFormat(kRate));
    QFile::remove(pcm);
}

std::vector<int16_t> decodedByUs(const QString& path) {
    RecordingDecoder decoder(path);
    std::vector<int16_t> all;
    for (std::vector<int16_t> block; decoder.next(block);)
        all.insert(all.end(), block.begin(), block.end());
    return all;
}

// The tags and the duration as ffprobe reads them; tag names in lower case.
QMap<QString, QString> probe(const QString& path) {
    const ToolRun probed =
        run(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                        QStringLiteral("format=duration:format_tags:stream_tags"),
                                        QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path});
    EXPECT_EQ(probed.code, 0) << probed.err.toStdString();
    QMap<QString, QString> fields;
    for (const QString& line : QString::fromUtf8(probed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QString key = line.section(QLatin1Char('='), 0, 0).toLower();
        key.remove(QStringLiteral("tag:"));
        fields.insert(key, line.section(QLatin1Char('='), 1));
    }
    return fields;
}

struct ExportTest : RecordingFixture {
    QString recording;
    RecordingTags tags;

    void SetUp() override {
        RecordingFixture::SetUp();
        recording = root.filePath(QStringLiteral("call.wav"));
        writeGsmRecording(recording);
        tags.when = QDateTime(QDate(2026, 12, 8), QTime(10, 0, 3));
        tags.caller = QStringLiteral("+44 20 7946 0958 Zoë");
        tags.memo = QStringLiteral("about the invoice");
    }
};

struct FormatCase {
    CopyFormat format;
    double minimumCorrelation;
    /// Seconds a reader may add: MP3 readers count the encoder's delay and last frame, as with `lame`'s files.
    double lengthTolerance;
};

} // namespace

TEST_F(ExportTest, CopiesAreReadByOtherProgramsWithTheirLengthTagsAndSound) {
    const std::vector<int16_t> recorded = decodedByUs(recording);
    ASSERT_EQ(recorded.size(), size_t(kRate * kSeconds));
    const RecordingExporter exporter;
    // FLAC is lossless; the lossy coders keep the waveform close at the voice bit rates.
    for (const FormatCase& c : {FormatCase{CopyFormat::Opus, 0.95, 0.02}, FormatCase{CopyFormat::Mp3, 0.95, 0.3},
                                FormatCase{CopyFormat::Flac, 0.9999, 0.001}}) {
        const QString name = copyFormatName(c.format);
        SCOPED_TRACE(name.toStdString());
        const QString copy = root.filePath(QStringLiteral("call") + copyFormatExtension(c.format));
        exporter.exportRecording(recording, copy, c.format, tags);
        EXPECT_FALSE(QFile::exists(copy + QStringLiteral(".part")));

        const QMap<QString, QString> fields = probe(copy);
        EXPECT_NEAR(fields.value(QStringLiteral("duration")).toDouble(), kSeconds, c.lengthTolerance);
        EXPECT_EQ(fields.value(QStringLiteral("title")), QStringLiteral("2026-12-08 10:00:03"));
        EXPECT_TRUE(fields.value(QStringLiteral("date")).startsWith(QStringLiteral("2026-12-08")))
            << fields.value(QStringLiteral("date")).toStdString();
        EXPECT_EQ(fields.value(QStringLiteral("artist")), tags.caller);
        EXPECT_EQ(fields.value(QStringLiteral("comment")), tags.memo);

        // Each format's own tool takes the file.
        if (c.format == CopyFormat::Opus) {
            const ToolRun info = run(QStringLiteral("opusinfo"), {copy});
            EXPECT_EQ(info.code, 0) << info.err.toStdString();
            EXPECT_TRUE(info.out.contains("ARTIST=" + tags.caller.toUtf8())) << info.out.constData();
            EXPECT_EQ(run(QStringLiteral("opusdec"), {QStringLiteral("--quiet"), copy, root.filePath("o.wav")}).code,
                      0);
        } else if (c.format == CopyFormat::Flac) {
            EXPECT_EQ(run(QStringLiteral("flac"), {QStringLiteral("-t"), QStringLiteral("-s"), copy}).code, 0);
        }
        if (c.format != CopyFormat::Opus) {
            const ToolRun length = run(QStringLiteral("sox"), {QStringLiteral("--i"), QStringLiteral("-D"), copy});
            EXPECT_EQ(length.code, 0) << length.err.toStdString();
            EXPECT_NEAR(length.out.trimmed().toDouble(), kSeconds, c.lengthTolerance);
        }

        const ToolRun decoded =
            run(QStringLiteral("ffmpeg"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), copy, QStringLiteral("-f"),
                 QStringLiteral("s16le"), QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-ar"),
                 QString::number(kRate), QStringLiteral("-")});
        ASSERT_EQ(decoded.code, 0) << decoded.err.toStdString();
        const std::vector<int16_t> heard = sound::fromBytes(decoded.out);
        const std::vector<sound::Piece> pieces = sound::follow(heard, recorded, 300);
        EXPECT_GT(sound::meanCorrelation(pieces, recorded), c.minimumCorrelation);
    }
}

TEST_F(ExportTest, AFailedCopyLeavesTheTargetAsItWasAndNoPartFile) {
    const RecordingExporter exporter;
    const QString target = root.filePath(QStringLiteral("call.opus"));
    writeFile(target, "the copy made last week");
    const QString notSound = root.filePath(QStringLiteral("notes.wav"));
    writeFile(notSound, "RIFF and nothing more");
    const QString missing = root.filePath(QStringLiteral("gone.wav"));

    for (const QString& source : {missing, notSound}) {
        // A WAV copy is the stored file as it is, whatever it holds.
        for (CopyFormat format : {CopyFormat::Opus, CopyFormat::Mp3, CopyFormat::Flac, CopyFormat::Wav}) {
            if (format == CopyFormat::Wav && source == notSound)
                continue;
            const QString why = exporter.tryExport(source, target, format, tags);
            EXPECT_TRUE(why.startsWith(QStringLiteral("Cannot read ") + source)) << why.toStdString();
            EXPECT_FALSE(why.contains(QLatin1Char('\n')));
            EXPECT_EQ(readAll(target), "the copy made last week");
            EXPECT_FALSE(QFile::exists(target + QStringLiteral(".part")));
        }
    }
    // An encoder that cannot create its file.
    for (CopyFormat format : {CopyFormat::Opus, CopyFormat::Mp3, CopyFormat::Flac}) {
        const QString nowhere = root.filePath(QStringLiteral("no folder/call") + copyFormatExtension(format));
        const QString why = exporter.tryExport(recording, nowhere, format, tags);
        EXPECT_TRUE(why.startsWith(QStringLiteral("Cannot encode ") + nowhere)) << why.toStdString();
        EXPECT_FALSE(QFile::exists(nowhere));
    }
}

TEST_F(ExportTest, CopyToFolderAndMailWriteTheChosenFormat) {
    const QString id = record(3, QStringLiteral("+1 555 0100"));
    ASSERT_TRUE(QFile::copy(recording, fileOf(id)) ||
                (QFile::remove(fileOf(id)) && QFile::copy(recording, fileOf(id))));
    XdgEmailStandIn standIn;
    ASSERT_TRUE(standIn.valid());
    standIn.put();
    MailHandOver mail(work);
    RecordingOperations operations(*catalogue, prompter, mail);
    operations.setCopyWriter(compressedCopyWriter());
    const QString base = QFileInfo(fileOf(id)).completeBaseName();

    // The type the dialog gives decides the format; the name typed does not.
    const QString out = root.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    prompter.texts.push_back(QDir(out).filePath(QStringLiteral("anything.mp3")));
    EXPECT_TRUE(operations.copyToFolder({}));
    const QString mp3 = QDir(out).filePath(base + QStringLiteral(".mp3"));
    EXPECT_EQ(probe(mp3).value(QStringLiteral("artist")), QStringLiteral("+1 555 0100"));
    prompter.texts.push_back(QDir(out).filePath(QStringLiteral("anything")));
    EXPECT_TRUE(operations.copyToFolder({}));
    EXPECT_EQ(readAll(QDir(out).filePath(base + QStringLiteral(".wav"))), readAll(fileOf(id)));

    operations.setAttachFormat(CopyFormat::Opus);
    EXPECT_TRUE(operations.emailRecordings({}));
    const QString attached = QDir(work).filePath(QStringLiteral("mail-") + base + QStringLiteral(".opus"));
    EXPECT_EQ(standIn.arguments().mid(3), (QStringList{QStringLiteral("--attach"), attached}));
    EXPECT_EQ(run(QStringLiteral("opusinfo"), {attached}).code, 0);

    // Without an encoder only WAV copies can be made.
    RecordingOperations plain(*catalogue, prompter, mail);
    plain.setAttachFormat(CopyFormat::Mp3);
    standIn.clear();
    EXPECT_FALSE(plain.emailRecordings({}));
    EXPECT_FALSE(standIn.ran());
    EXPECT_TRUE(prompter.shown.last().contains(QStringLiteral("no encoder for mp3")));
}
