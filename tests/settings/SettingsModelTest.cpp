// Load rules, defaults written on a first start, the save of OK and the start-at-logon entry.
#include "settings/SettingsModel.h"
#include "base/Config.h"
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

struct SettingsModelTest : ::testing::Test {
    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("tvk.ini"));
    Config config{iniPath};
    StartupRegistration registration{dir.filePath(QStringLiteral("autostart/orlamo.desktop")),
                                     QStringLiteral("/opt/orlamo/orlamo")};
    SettingsModel model{config, dir.path(), &registration};

    QString value(const char* section, const char* key) {
        return config.readString(QLatin1String(section), QLatin1String(key), QStringLiteral("<missing>"));
    }
};

} // namespace

TEST_F(SettingsModelTest, FirstStartWritesTheDefaults) {
    QSignalSpy spy(&model, &SettingsModel::changed);
    model.load();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(readAll(iniPath), QByteArray("[Monitor]\r\nPlayTrace=1\r\nRecordTrace=1\r\nPoints=3\r\nBackColor=0\r\n"
                                           "TraceColor=65280\r\n\r\n[Params]\r\nAutoRecord=1\r\nDiscTime=10\r\n"
                                           "RejectCall=1\r\nRejectRings=6\r\nTimeout=4\r\nStartUp=0\r\n"
                                           "CallerID=1\r\n"));
    EXPECT_EQ(model.timeout(), 4);
    EXPECT_EQ(model.points(), 1800);
    EXPECT_EQ(model.traceColor(), 65280);
    EXPECT_TRUE(model.autoRecord());
    EXPECT_FALSE(model.recordOutgoing()); // off, and not written: files without it stay as they are
    EXPECT_TRUE(model.callerId());
    EXPECT_EQ(model.baudrate(), 115200);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Hardware);

    // FileCompression.cpn: PCM mono 8000 Hz 8-bit, 128 bytes.
    const QByteArray cpn = readAll(model.fileCompressionPath());
    ASSERT_EQ(cpn.size(), 128);
    EXPECT_EQ(cpn.left(18), QByteArray("\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00\x00\x00", 18));
    EXPECT_TRUE(model.fileCompressionStored());
}

TEST_F(SettingsModelTest, StoredValuesAreReadAndMissingOnesCompleted) {
    writeFile(iniPath, "[monitor]\r\nPoints=9\r\nBackColor=0x0000FF\r\n"
                       "[params]\r\nAutoRecord=0\r\nDiscTime=25\r\nRejectRings=3\r\nStartUp=1\r\nSystemTray=1\r\n"
                       "RecordOutgoing=1\r\n"
                       "[Modem]\r\nForCallerId=none\r\nbaudrate=3\r\nFlowControl=2\r\n");
    model.load();
    EXPECT_EQ(model.points(), 3000);
    EXPECT_EQ(model.backColor(), 255);
    EXPECT_TRUE(model.playTrace());
    EXPECT_EQ(value("Monitor", "PlayTrace"), QStringLiteral("1"));
    EXPECT_EQ(value("Monitor", "Points"), QStringLiteral("9"));
    // The AutoRecord group is present, so its other keys take read defaults and are not written.
    EXPECT_FALSE(model.autoRecord());
    EXPECT_EQ(model.discTime(), 25);
    EXPECT_TRUE(model.rejectCall());
    EXPECT_EQ(model.rejectRings(), 3);
    EXPECT_TRUE(model.recordOutgoing());
    EXPECT_EQ(model.timeout(), 4);
    EXPECT_EQ(value("Params", "RejectCall"), QStringLiteral("<missing>"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("<missing>"));
    EXPECT_TRUE(model.startUp());
    EXPECT_TRUE(model.startToTray());
    // Caller ID follows the profile's formatted caller ID command when CallerID is missing.
    EXPECT_FALSE(model.callerId());
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("0"));
    EXPECT_EQ(model.baudrate(), 256000);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::None);
}

TEST_F(SettingsModelTest, CallerIdFromACommandOrStored) {
    writeFile(iniPath, "[Modem]\r\nForCallerId=at+vcid=1\r\n");
    model.load();
    EXPECT_TRUE(model.callerId());
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("1"));
    config.writeBool(QStringLiteral("Params"), QStringLiteral("CallerID"), false);
    model.load();
    EXPECT_FALSE(model.callerId());
}

TEST_F(SettingsModelTest, OutOfRangeValuesAreKeptInTheControlsRanges) {
    writeFile(iniPath, "[Monitor]\r\nPoints=42\r\n[Params]\r\nAutoRecord=1\r\nDiscTime=500\r\nRejectRings=-1\r\n"
                       "Timeout=0\r\n[Modem]\r\nbaudrate=7\r\nFlowControl=-3\r\n");
    model.load();
    EXPECT_EQ(model.points(), 1800);
    EXPECT_EQ(model.discTime(), 30);
    EXPECT_EQ(model.rejectRings(), 2);
    EXPECT_EQ(model.timeout(), 1);
    EXPECT_EQ(model.baudrate(), 115200);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Hardware);
}

TEST_F(SettingsModelTest, ExistingFileCompressionIsLoadedNotReplaced) {
    WaveFormat ulaw = WaveFormat::pcm(8000, 8, 1);
    ulaw.setFormatTag(wavetag::Mulaw);
    ulaw.saveFormatFile(model.fileCompressionPath());
    model.load();
    EXPECT_EQ(model.fileCompression().formatTag(), wavetag::Mulaw);
    EXPECT_EQ(readAll(model.fileCompressionPath()), ulaw.bytes());

    WaveFormat gsm = WaveFormat::pcm(8000, 16, 1);
    QSignalSpy spy(&model, &SettingsModel::changed);
    model.setFileCompression(gsm);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(readAll(model.fileCompressionPath()), gsm.bytes());
}

TEST_F(SettingsModelTest, SaveWritesWhatOkWrites) {
    model.load();
    model.setTimeout(6);
    model.setPointsIndex(0);
    model.setTraceColor(0xFF);
    model.setAutoRecord(false);
    model.setDiscTime(12);
    model.setRejectCall(false);
    model.setRejectRings(9);
    model.setRecordOutgoing(true);
    model.setCallerId(false);
    model.setBaudrateIndex(0);
    model.setExtPlayer(false);
    model.setPlayer(QStringLiteral("vlc"));
    model.save();
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("6"));
    EXPECT_EQ(value("Monitor", "Points"), QStringLiteral("0"));
    EXPECT_EQ(value("Monitor", "TraceColor"), QStringLiteral("255"));
    EXPECT_EQ(value("Params", "AutoRecord"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("12"));
    EXPECT_EQ(value("Params", "RejectCall"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "RejectRings"), QStringLiteral("9"));
    EXPECT_EQ(value("Params", "RecordOutgoing"), QStringLiteral("1"));
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "ExtPlayer"), QStringLiteral("0"));
    // The player is written only with the external player ticked, serial values only with a modem section,
    // fonts only after a font was chosen.
    EXPECT_EQ(value("Params", "Player"), QStringLiteral("<missing>"));
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Fonts")));

    config.writeString(QStringLiteral("Modem"), QStringLiteral("port"), QStringLiteral("3"));
    model.setExtPlayer(true);
    model.setFont(QStringLiteral("DejaVu Sans"), 10, 0x808080);
    model.save();
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("0"));
    EXPECT_EQ(value("Modem", "FlowControl"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "Player"), QStringLiteral("vlc"));
    EXPECT_EQ(value("Fonts", "FontName"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(value("Fonts", "FontSize"), QStringLiteral("10"));

    // Cancel reloads: edits since the last save are gone.
    model.setDiscTime(3);
    model.setRecordOutgoing(false);
    model.load();
    EXPECT_EQ(model.discTime(), 12);
    EXPECT_TRUE(model.recordOutgoing());
}

TEST_F(SettingsModelTest, StartUpRegistersAndUnregisters) {
    model.load();
    const QString entry = registration.entryPath();
    model.setStartUp(true);
    model.save();
    EXPECT_EQ(value("Params", "SystemTray"), QStringLiteral("0"));
    EXPECT_TRUE(readAll(entry).contains("\nExec=/opt/orlamo/orlamo \n"));

    model.setStartToTray(true);
    model.save();
    EXPECT_EQ(value("Params", "StartUp"), QStringLiteral("1"));
    EXPECT_EQ(value("Params", "SystemTray"), QStringLiteral("1"));
    EXPECT_TRUE(readAll(entry).contains("\nExec=/opt/orlamo/orlamo STARTUP\n"));

    model.setStartUp(false);
    model.save();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(value("Params", "StartUp"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "SystemTray"), QStringLiteral("1")); // keeps its value
}

TEST_F(SettingsModelTest, UnreadableFileCompressionFallsBackWithoutFailing) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("FileCompression.cpn")));
    model.load();
    EXPECT_FALSE(model.fileCompressionStored());
    EXPECT_EQ(model.fileCompression(), WaveFormat::pcm(8000, 8, 1));
    EXPECT_TRUE(QFileInfo(model.fileCompressionPath()).isDir()); // left alone
}

TEST_F(SettingsModelTest, CancelDiscardsEditsOfKeysTheFileLacks) {
    // No speed, flow control or tray choice stored: the reload puts the design values back instead of
    // keeping what was edited in the dialog.
    writeFile(iniPath, "[Params]\r\nStartUp=0\r\n[Modem]\r\nport=1\r\n");
    model.load();
    model.setBaudrateIndex(3);
    model.setFlowControlIndex(2);
    model.setStartToTray(true);
    model.load();
    EXPECT_EQ(model.baudrate(), 115200);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Hardware);
    EXPECT_FALSE(model.startToTray());
    // A stored tray choice counts only while "Load at startup" is on.
    config.writeBool(QStringLiteral("Params"), QStringLiteral("SystemTray"), true);
    model.load();
    EXPECT_FALSE(model.startToTray());
    config.writeBool(QStringLiteral("Params"), QStringLiteral("StartUp"), true);
    model.load();
    EXPECT_TRUE(model.startToTray());
}
