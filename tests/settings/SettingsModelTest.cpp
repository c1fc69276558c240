// Load rules, defaults written on a first start, the save of OK and the start-at-logon entry.
#include "settings/SettingsModel.h"
#include "audio/AudioErrors.h"
#include "audio/FormatChooser.h"
#include "base/Config.h"
#include "settings/SettingsModemAccess.h"
#include "settings/StartupRegistration.h"
#include "support/ScriptedPrompter.h"

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

TEST_F(SettingsModelTest, GainsAndCompressionChoice) {
    writeFile(iniPath, "[Modem]\r\nSpeakerVol=none\r\nRecGain=at+vgr=128\r\n");
    model.saveGains(100, 200);
    EXPECT_EQ(value("Modem", "SpeakerVol"), QStringLiteral("none"));
    EXPECT_EQ(value("Modem", "RecGain"), QStringLiteral("at+vgr=200"));
    model.saveCompressionChoice(2, QStringLiteral("at+vsm=130,8000"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=130,8000"));
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("2"));
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

namespace {

/// The modem side with a fixed answer from the codec matcher.
struct FakeModemSide : SettingsModemAccess {
    bool matches = true;
    int matchRuns = 0;
    bool voiceFeatures() const override { return true; }
    QList<CompressionChoice> compressionChoices() const override { return {}; }
    bool matchCompression() override {
        ++matchRuns;
        return matches;
    }
    int findModems() override { return 0; }
    bool reportsHandset() const override { return false; }
};

/// Gives back a fixed result and format, as the user's choice in the codec service's chooser.
struct ScriptedChooser : FormatChooser {
    int result = 0;
    WaveFormat chosen;
    QString title;
    int chooseFormat(const QString& caption, std::span<uint8_t, 128> buffer) override {
        title = caption;
        if (result == 0)
            std::copy_n(chosen.raw(), WaveFormat::kBufferSize, buffer.begin());
        return result;
    }
};

} // namespace

TEST_F(SettingsModelTest, OkStopsAtACompressionWithoutCodec) {
    writeFile(iniPath, "[Modem]\r\nport=1\r\nSpeakerVol=at+vgt=128\r\nRecGain=none\r\n"
                       "[Params]\r\nAutoRecord=1\r\nDiscTime=10\r\nTimeout=3\r\n");
    model.load();
    writeFile(model.modemCompressionPath(), QByteArray(128, '\1'));
    model.setTimeout(5);
    model.setBaudrateIndex(0);
    model.setDiscTime(20);
    FakeModemSide side;
    side.matches = false;
    SettingsConfirmation choice{40, 50, 2, QStringLiteral("at+vsm=131,8000")};
    EXPECT_FALSE(model.confirm(choice, &side));
    EXPECT_EQ(side.matchRuns, 1);
    // The gains and the choice went in before the matcher ran; the file it would replace is gone and
    // nothing after it was written.
    EXPECT_EQ(value("Modem", "SpeakerVol"), QStringLiteral("at+vgt=40"));
    EXPECT_EQ(value("Modem", "RecGain"), QStringLiteral("none"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=131,8000"));
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("2"));
    EXPECT_FALSE(QFile::exists(model.modemCompressionPath()));
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("<missing>"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("3"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("10"));

    side.matches = true;
    EXPECT_TRUE(model.confirm(choice, &side));
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("5"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("20"));

    // Without a modem section neither gains nor a compression are stored, and the matcher is not asked.
    config.eraseSection(QStringLiteral("Modem"));
    side.matches = false;
    EXPECT_TRUE(model.confirm(choice, &side));
    EXPECT_EQ(side.matchRuns, 2);
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
}

TEST_F(SettingsModelTest, ShownValuesComeFromTheConfigurationEachTime) {
    writeFile(iniPath, "[Params]\r\nAutoRecord=1\r\nCallerID=1\r\nExtPlayer=1\r\n"
                       "[Modem]\r\nbaudrate=2\r\nFlowControl=1\r\nForCallerId=NONE\r\n");
    model.load();
    model.setFont(QStringLiteral("Serif"), 12, 0);
    model.loadShownValues();
    // Without a stored time-out the dialog shows 2, not the load rules' 4.
    EXPECT_EQ(model.timeout(), 2);
    EXPECT_EQ(model.baudrate(), 128000);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Software);
    EXPECT_TRUE(model.extPlayer());
    // The modem cannot report callers: the box is unticked and OK stores that.
    EXPECT_FALSE(model.callerIdAvailable());
    EXPECT_FALSE(model.callerId());
    EXPECT_FALSE(model.fontChosen());
    model.save();
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("0"));
    EXPECT_EQ(value("Fonts", "FontName"), QStringLiteral("<missing>"));
}

TEST_F(SettingsModelTest, GainLevelsRangesAndTicks) {
    EXPECT_EQ(SettingsModel::gainLevel(QStringLiteral("at+vgt=200")), 200);
    EXPECT_EQ(SettingsModel::gainLevel(QStringLiteral("128")), 128);
    EXPECT_EQ(SettingsModel::gainLevel(QStringLiteral("at+vgr=-1")), -1);
    EXPECT_FALSE(SettingsModel::gainLevel(QStringLiteral("none")));
    EXPECT_FALSE(SettingsModel::gainLevel(QStringLiteral("at+vgt=loud")));
    // No key: the dialog's own "128".
    EXPECT_EQ(model.speakerLevel(), 128);
    writeFile(iniPath, "[Modem]\r\nSpeakerVol=none\r\nRecGain=at+vgr=7\r\nvgtMin=0\r\nvgtMax=15\r\nvgrMin=-1\r\n");
    EXPECT_FALSE(model.speakerLevel());
    EXPECT_EQ(model.recordLevel(), 7);
    EXPECT_EQ(model.speakerSpan().max, 15);
    EXPECT_EQ(model.recordSpan().min, -1);
    EXPECT_EQ(model.recordSpan().max, 255);

    const std::pair<int, int> spacing[] = {{0, 1},  {15, 1}, {16, 2}, {31, 2},  {32, 3},  {47, 3},
                                           {48, 4}, {63, 4}, {64, 4}, {127, 4}, {128, 8}, {255, 8}};
    for (const auto& [span, ticks] : spacing)
        EXPECT_EQ(SettingsModel::tickSpacing(span, 5), ticks) << span;
    EXPECT_EQ(SettingsModel::tickSpacing(256, 5), 5);
}

TEST_F(SettingsModelTest, ChosenFileCompressionIsSavedOnlyWhenAConverterOpens) {
    model.load();
    ScriptedPrompter prompter;
    ScriptedChooser chooser;
    const QByteArray before = readAll(model.fileCompressionPath());

    chooser.result = AcmResult::Cancelled;
    EXPECT_EQ(model.chooseFileCompression(chooser, prompter), SettingsModel::FormatChoice::Cancelled);
    EXPECT_EQ(chooser.title, QStringLiteral("Choose file compression format"));

    // A format no codec converts to: refused, the file and the format stay.
    chooser.result = 0;
    chooser.chosen = WaveFormat::pcm(8000, 8, 1);
    chooser.chosen.setFormatTag(0x55);
    EXPECT_EQ(model.chooseFileCompression(chooser, prompter), SettingsModel::FormatChoice::Refused);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error was created. Choose a different compression.")});
    EXPECT_EQ(readAll(model.fileCompressionPath()), before);
    EXPECT_EQ(model.fileCompression(), WaveFormat::pcm(8000, 8, 1));

    // 16-bit 11025 Hz PCM converts: saved at once.
    chooser.chosen = WaveFormat::pcm(11025, 16, 1);
    EXPECT_EQ(model.chooseFileCompression(chooser, prompter), SettingsModel::FormatChoice::Saved);
    EXPECT_EQ(readAll(model.fileCompressionPath()), chooser.chosen.bytes());
    EXPECT_EQ(model.fileCompression(), chooser.chosen);

    // The chooser itself failing is reported with its text.
    prompter.shown.clear();
    chooser.result = AcmResult::NoDriver;
    EXPECT_EQ(model.chooseFileCompression(chooser, prompter), SettingsModel::FormatChoice::Refused);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith(QStringLiteral("Error selecting format.")));
}

TEST_F(SettingsModelTest, BrowsedPlayerIsWrittenAtOnce) {
    model.load();
    QDir::setCurrent(QDir::tempPath());
    model.setBrowsedPlayer(QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(model.player(), QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(value("Params", "Player"), QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(QDir::current(), QDir(dir.path()));
}
