// orlamo-cli level and equalize on files and on catalogue ids; every failure leaves the file as it was.
#include "audio/drivers/ImaAdpcmDriver.h"
#include "library/Catalogue.h"
#include "postproc/RecordingFiles.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

struct PostProcessingCli : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    CliRun cli(const QStringList& args) const {
        QProcess p;
        p.start(QProcessEnvironment::systemEnvironment().value(QStringLiteral("ORLAMO_BIN_DIR")) +
                    QStringLiteral("/orlamo-cli"),
                QStringList({QStringLiteral("--workdir"), dir.path()}) + args);
        CliRun r;
        if (!p.waitForStarted(20000) || !p.waitForFinished(120000))
            return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    /// A working-format recording: decoding and encoding it change nothing, so samples can be checked exactly.
    QString pcmRecording(const QString& name, const QByteArray& samples) const {
        const QString file = path(name);
        EXPECT_TRUE(recordings::writeWav(file, WaveFormat::workingFormat(), samples));
        return file;
    }
    static QByteArray dataOf(const QByteArray& wav) { return wav.mid(44); }

    /// One error line, a failure status and the file untouched.
    static void expectRefused(const CliRun& r, const QString& file, const QByteArray& before) {
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_EQ(readAll(file), before);
    }
};

} // namespace

TEST_F(PostProcessingCli, LevelChangesTheSamplesInPlace) {
    const QString file = pcmRecording(QStringLiteral("call.wav"), QByteArray("\x80\x7e\x82\xff\x00\x7f", 6));
    const CliRun r = cli({QStringLiteral("level"), file, QStringLiteral("--percent"), QStringLiteral("50")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(dataOf(readAll(file)), QByteArray("\x81\x7d\x83\xff\x00\x7f", 6));
    EXPECT_TRUE(r.out.contains(QStringLiteral("volume changed by 50 %"))) << r.out.toStdString();
}

TEST_F(PostProcessingCli, LevelRefusesAPercentOutOfRange) {
    const QString file = pcmRecording(QStringLiteral("call.wav"), QByteArray(400, '\x90'));
    const QByteArray before = readAll(file);
    for (const char* bad : {"101", "-51", "ten", "1.5", ""})
        expectRefused(cli({QStringLiteral("level"), file, QStringLiteral("--percent"), QString::fromLatin1(bad)}), file,
                      before);
    expectRefused(cli({QStringLiteral("level"), file}), file, before);
    EXPECT_EQ(cli({QStringLiteral("level"), file, QStringLiteral("--percent"), QStringLiteral("-50")}).code, 0);
    EXPECT_EQ(dataOf(readAll(file)), QByteArray(400, '\x87')); // 17 * 0.5 = 8.5 rounds to 8
}

TEST_F(PostProcessingCli, AFileOrlamoCannotReadIsRefused) {
    const QString text = path(QStringLiteral("notes.wav"));
    writeFile(text, "these are not sound");
    expectRefused(cli({QStringLiteral("equalize"), text}), text, "these are not sound");
    // A WAV file in a format without a decoder.
    WaveFormat mp3 = WaveFormat::pcm(8000, 16, 1);
    mp3.setFormatTag(0x55);
    const QString other = path(QStringLiteral("mp3.wav"));
    ASSERT_TRUE(recordings::writeWav(other, mp3, QByteArray(4000, '\x11')));
    const QByteArray before = readAll(other);
    const CliRun r = cli({QStringLiteral("level"), other, QStringLiteral("--percent"), QStringLiteral("10")});
    expectRefused(r, other, before);
    EXPECT_TRUE(r.err.contains(QStringLiteral("is not a recording Orlamo can read"))) << r.err.toStdString();
    expectRefused(cli({QStringLiteral("level"), path(QStringLiteral("none.wav")), QStringLiteral("--percent"),
                       QStringLiteral("10")}),
                  path(QStringLiteral("none.wav")), QByteArray());
}

TEST_F(PostProcessingCli, EqualizeWithoutVoiceChangesNothing) {
    const QString file = pcmRecording(QStringLiteral("quiet.wav"), QByteArray(8000, '\x80'));
    const QByteArray before = readAll(file);
    const CliRun r = cli({QStringLiteral("equalize"), file});
    expectRefused(r, file, before);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no voice"))) << r.err.toStdString();
}

TEST_F(PostProcessingCli, EqualizeWritesToOutAndKeepsTheFormat) {
    const QString file = path(QStringLiteral("call.wav"));
    ASSERT_TRUE(recordings::writeRecording(file, ImaAdpcmDriver::imaFormat(8000, 1), 4));
    const QByteArray before = readAll(file);
    const CliRun r = cli({QStringLiteral("equalize"), file, QStringLiteral("--out"), path(QStringLiteral("even.wav"))});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(file), before);
    const QByteArray even = readAll(path(QStringLiteral("even.wav")));
    ASSERT_GT(even.size(), 44);
    EXPECT_EQ(even.mid(20, 2), before.mid(20, 2)); // the format tag: IMA ADPCM
    EXPECT_NE(even, before);
    EXPECT_TRUE(r.out.contains(QStringLiteral("voice passages raised"))) << r.out.toStdString();
}

TEST_F(PostProcessingCli, ARecordingIsFoundByItsCatalogueId) {
    ScriptedPrompter prompter;
    QString id;
    QString name;
    {
        Catalogue catalogue(dir.path(), prompter);
        catalogue.openCatalogue();
        name = catalogue.addRecordingEntry(RecordingEntry{8000, 8000, false, {}, QDateTime::currentDateTime()});
        id = catalogue.recordings().fieldText(QStringLiteral("id"));
        catalogue.close();
    }
    ASSERT_FALSE(id.isEmpty());
    QDir(dir.path()).mkpath(QStringLiteral("wav"));
    const QString file = pcmRecording(QStringLiteral("wav/") + name + QStringLiteral(".wav"), QByteArray(800, '\x8a'));
    const CliRun r = cli({QStringLiteral("level"), id, QStringLiteral("--percent"), QStringLiteral("100")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(dataOf(readAll(file)), QByteArray(800, '\x95'));
    {
        // The row the catalogue wrote for a second now has the file's tenth of one.
        Catalogue catalogue(dir.path(), prompter);
        catalogue.openCatalogue();
        ASSERT_TRUE(catalogue.locateRecording(id, true));
        EXPECT_EQ(catalogue.recordings().fieldText(QStringLiteral("Duration")), QStringLiteral("00:00"));
        catalogue.close();
    }

    const CliRun unknown =
        cli({QStringLiteral("level"), QStringLiteral("NOSUCHID"), QStringLiteral("--percent"), QStringLiteral("10")});
    EXPECT_NE(unknown.code, 0);
    EXPECT_EQ(unknown.err.count(QLatin1Char('\n')), 1) << unknown.err.toStdString();
    EXPECT_EQ(dataOf(readAll(file)), QByteArray(800, '\x95'));
}
