// orlamo-cli settings: the settings listed with the dialog's texts, changed as OK changes them
// (start at logon included), and refused values that leave the file alone.
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

struct CliSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString work = dir.filePath(QStringLiteral("work"));
    QString configHome = dir.filePath(QStringLiteral("xdg"));

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(work)); }
    CliRun run(const QStringList& args) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli"),
                      QStringList{QStringLiteral("--workdir"), work, QStringLiteral("settings")} + args);
        CliRun result;
        if (!process.waitForFinished(60000))
            return result;
        result.code = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    QByteArray ini() { return readAll(QDir(work).filePath(QStringLiteral("tvk.ini"))); }
    QString entry() { return QDir(configHome).filePath(QStringLiteral("autostart/orlamo.desktop")); }
};

} // namespace

TEST_F(CliSettingsTest, AFirstRunListsTheDefaults) {
    const CliRun r = run({});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{"StartUp=0",
                                  "SystemTray=0",
                                  "CallerID=1",
                                  "Timeout=4",
                                  "baudrate=115200",
                                  "FlowControl=Hardware",
                                  "ExtPlayer=0",
                                  "Player=wmPlayer.exe",
                                  "PlayTrace=1",
                                  "RecordTrace=1",
                                  "Points=1800",
                                  "BackColor=0",
                                  "TraceColor=65280",
                                  "AutoRecord=1",
                                  "DiscTime=10",
                                  "RejectCall=1",
                                  "RejectRings=6",
                                  "MirrorFolder=",
                                  "FloorMB=0",
                                  "HomeCountry=",
                                  "AttachAs=wav",
                                  "Web.Enabled=0",
                                  "Web.Address=127.0.0.1",
                                  "Web.Port=8478",
                                  "Web.Certificate=",
                                  "Web.PrivateKey=",
                                  "Web.AllowPlainHttp=0",
                                  "FileCompression=PCM: 8.000 kHz, 8 Bit, Mono"}));
    // The load rules wrote their defaults, as the program's start does.
    EXPECT_TRUE(ini().contains("TraceColor=65280"));
    EXPECT_TRUE(QFile::exists(QDir(work).filePath(QStringLiteral("FileCompression.cpn"))));
    EXPECT_FALSE(QFile::exists(entry()));
}

TEST_F(CliSettingsTest, ChangesAreStoredAsOkStoresThem) {
    const CliRun r = run(
        {QStringLiteral("discTime=25"), QStringLiteral("Points=3000"), QStringLiteral("BackColor=0xFF"),
         QStringLiteral("ExtPlayer=1"), QStringLiteral("Player=/usr/bin/mpv"), QStringLiteral("FlowControl=None"),
         QStringLiteral("StartUp=1"), QStringLiteral("MirrorFolder=/mnt/share/calls"), QStringLiteral("AttachAs=opus"),
         QStringLiteral("HomeCountry=de"), QStringLiteral("Web.Enabled=1"), QStringLiteral("Web.Port=9000")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("DiscTime=25\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("AttachAs=opus\n")));
    const QByteArray stored = ini();
    EXPECT_TRUE(stored.contains("DiscTime=25\r\n"));
    EXPECT_TRUE(stored.contains("Points=9\r\n"));
    EXPECT_TRUE(stored.contains("BackColor=255\r\n"));
    EXPECT_TRUE(stored.contains("Player=/usr/bin/mpv\r\n"));
    EXPECT_TRUE(stored.contains("StartUp=1\r\n"));
    EXPECT_TRUE(stored.contains("MirrorFolder=/mnt/share/calls\r\n"));
    EXPECT_TRUE(stored.contains("[Mail]\r\nAttachAs=opus\r\n"));
    EXPECT_TRUE(stored.contains("[Contacts]\r\nHomeCountry=DE\r\n"));
    EXPECT_TRUE(stored.contains("[Web]\r\nEnabled=1\r\nAddress=127.0.0.1\r\nPort=9000\r\n")) << stored.constData();
    // No modem is configured, so the serial settings have nowhere to go yet.
    EXPECT_FALSE(stored.contains("FlowControl="));
    // Start at logon: the windowed program beside orlamo-cli on the same working folder, without the
    // tray argument.
    const QString orlamo = QDir(qEnvironmentVariable("ORLAMO_BIN_DIR")).filePath(QStringLiteral("orlamo"));
    EXPECT_TRUE(readAll(entry()).contains(("\nExec=" + orlamo + " --workdir " + work + " \n").toUtf8()))
        << readAll(entry()).constData();

    ASSERT_EQ(run({QStringLiteral("StartUp=0")}).code, 0);
    EXPECT_FALSE(QFile::exists(entry()));
}

TEST_F(CliSettingsTest, RefusedNamesAndValuesChangeNothing) {
    ASSERT_EQ(run({}).code, 0);
    const QByteArray before = ini();
    for (const QString& arg :
         {QStringLiteral("DiscTime=31"), QStringLiteral("Timeout=x"), QStringLiteral("Points=1300"),
          QStringLiteral("AutoRecord=yes"), QStringLiteral("Volume=3"), QStringLiteral("StartUp"),
          QStringLiteral("FileCompression=mp3"), QStringLiteral("FileCompression=gsm:8000:16"),
          QStringLiteral("MirrorFolder=relative/calls"), QStringLiteral("AttachAs=ogg"),
          QStringLiteral("HomeCountry=Germany"), QStringLiteral("Web.Port=0"), QStringLiteral("Web.Address=my.home")}) {
        const CliRun r = run({QStringLiteral("RejectRings=9"), arg});
        EXPECT_EQ(r.code, 2) << arg.toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(ini(), before) << arg.toStdString();
    }
}

TEST_F(CliSettingsTest, TheFileCompressionIsChosenByTheNamesConvertTakes) {
    const CliRun r = run({QStringLiteral("FileCompression=gsm")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("FileCompression=GSM 6.10: 8.000 kHz, Mono\n"))) << r.out.toStdString();
    // Stored where a recording takes its format from, as the dialog's Choose stores it.
    const QByteArray stored = readAll(QDir(work).filePath(QStringLiteral("FileCompression.cpn")));
    ASSERT_GE(stored.size(), 2);
    EXPECT_EQ(uint8_t(stored[0]) | (uint8_t(stored[1]) << 8), 0x31); // WAVE_FORMAT_GSM610
    // A rate and size of their own.
    EXPECT_EQ(run({QStringLiteral("FileCompression=pcm:11025:8")}).code, 0);
    EXPECT_TRUE(run({}).out.contains(QStringLiteral("11.025 kHz, 8 Bit, Mono"))) << run({}).out.toStdString();
}
