// The settings dialog's steps without the dialog: what it shows, OK with the gains and the compression
// choice, "Choose" for the file compression and "Browse" for the player.
#include "settings/SettingsEditor.h"
#include "audio/AudioErrors.h"
#include "audio/FormatChooser.h"
#include "base/Config.h"
#include "settings/SettingsModel.h"
#include "settings/SettingsModemAccess.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

struct SettingsEditorTest : ::testing::Test {
    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("tvk.ini"));
    Config config{iniPath};
    SettingsModel model{config, dir.path()};
    SettingsEditor editor{model};

    QString value(const char* section, const char* key) {
        return config.readString(QLatin1String(section), QLatin1String(key), QStringLiteral("<missing>"));
    }
};

} // namespace

TEST_F(SettingsEditorTest, GainsAndCompressionChoice) {
    writeFile(iniPath, "[Modem]\r\nSpeakerVol=none\r\nRecGain=at+vgr=128\r\n");
    editor.saveGains(100, 200);
    EXPECT_EQ(value("Modem", "SpeakerVol"), QStringLiteral("none"));
    EXPECT_EQ(value("Modem", "RecGain"), QStringLiteral("at+vgr=200"));
    editor.saveCompressionChoice(2, QStringLiteral("at+vsm=130,8000"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=130,8000"));
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("2"));
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

TEST_F(SettingsEditorTest, OkStopsAtACompressionWithoutCodec) {
    writeFile(iniPath, "[Modem]\r\nport=1\r\nSpeakerVol=at+vgt=128\r\nRecGain=none\r\n"
                       "[Params]\r\nAutoRecord=1\r\nDiscTime=10\r\nTimeout=3\r\n");
    model.load();
    writeFile(editor.modemCompressionPath(), QByteArray(128, '\1'));
    model.setTimeout(5);
    model.setBaudrateIndex(0);
    model.setDiscTime(20);
    FakeModemSide side;
    side.matches = false;
    SettingsConfirmation choice{40, 50, 2, QStringLiteral("at+vsm=131,8000")};
    EXPECT_FALSE(editor.confirm(choice, &side));
    EXPECT_EQ(side.matchRuns, 1);
    // The gains went in before the matcher ran; the refused choice is taken back with the file it
    // replaced, and nothing after it was written.
    EXPECT_EQ(value("Modem", "SpeakerVol"), QStringLiteral("at+vgt=40"));
    EXPECT_EQ(value("Modem", "RecGain"), QStringLiteral("none"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QString());
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("0"));
    EXPECT_EQ(readAll(editor.modemCompressionPath()), QByteArray(128, '\1'));
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("<missing>"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("3"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("10"));

    side.matches = true;
    EXPECT_TRUE(editor.confirm(choice, &side));
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("5"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("20"));

    // Without a modem section neither gains nor a compression are stored, and the matcher is not asked.
    config.eraseSection(QStringLiteral("Modem"));
    side.matches = false;
    EXPECT_TRUE(editor.confirm(choice, &side));
    EXPECT_EQ(side.matchRuns, 2);
    EXPECT_FALSE(config.sectionExists(QStringLiteral("Modem")));
}

TEST_F(SettingsEditorTest, ShownValuesComeFromTheConfigurationEachTime) {
    writeFile(iniPath, "[Params]\r\nAutoRecord=1\r\nCallerID=1\r\nExtPlayer=1\r\n"
                       "[Modem]\r\nbaudrate=2\r\nFlowControl=1\r\nForCallerId=NONE\r\n");
    model.load();
    model.setFont(QStringLiteral("Serif"), 12, 0);
    editor.loadShownValues();
    // Without a stored time-out the dialog shows 2, not the load rules' 4.
    EXPECT_EQ(model.timeout(), 2);
    EXPECT_EQ(model.baudrate(), 128000);
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Software);
    EXPECT_TRUE(model.extPlayer());
    // The modem cannot report callers: the box is unticked and OK stores that.
    EXPECT_FALSE(editor.callerIdAvailable());
    EXPECT_FALSE(model.callerId());
    EXPECT_FALSE(model.fontChosen());
    model.save();
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("0"));
    EXPECT_EQ(value("Fonts", "FontName"), QStringLiteral("<missing>"));
}

TEST_F(SettingsEditorTest, GainLevelsRangesAndTicks) {
    EXPECT_EQ(SettingsEditor::gainLevel(QStringLiteral("at+vgt=200")), 200);
    EXPECT_EQ(SettingsEditor::gainLevel(QStringLiteral("128")), 128);
    EXPECT_EQ(SettingsEditor::gainLevel(QStringLiteral("at+vgr=-1")), -1);
    EXPECT_FALSE(SettingsEditor::gainLevel(QStringLiteral("none")));
    EXPECT_FALSE(SettingsEditor::gainLevel(QStringLiteral("at+vgt=loud")));
    // No key: the dialog's own "128".
    EXPECT_EQ(editor.speakerLevel(), 128);
    writeFile(iniPath, "[Modem]\r\nSpeakerVol=none\r\nRecGain=at+vgr=7\r\nvgtMin=0\r\nvgtMax=15\r\nvgrMin=-1\r\n");
    EXPECT_FALSE(editor.speakerLevel());
    EXPECT_EQ(editor.recordLevel(), 7);
    EXPECT_EQ(editor.speakerSpan().max, 15);
    EXPECT_EQ(editor.recordSpan().min, -1);
    EXPECT_EQ(editor.recordSpan().max, 255);

    const std::pair<int, int> spacing[] = {{0, 1},  {15, 1}, {16, 2}, {31, 2},  {32, 3},  {47, 3},
                                           {48, 4}, {63, 4}, {64, 4}, {127, 4}, {128, 8}, {255, 8}};
    for (const auto& [span, ticks] : spacing)
        EXPECT_EQ(SettingsEditor::tickSpacing(span, 5), ticks) << span;
    EXPECT_EQ(SettingsEditor::tickSpacing(256, 5), 5);
}

TEST_F(SettingsEditorTest, ChosenFileCompressionIsSavedOnlyWhenAConverterOpens) {
    model.load();
    ScriptedPrompter prompter;
    ScriptedChooser chooser;
    const QByteArray before = readAll(model.fileCompressionPath());

    chooser.result = AcmResult::Cancelled;
    EXPECT_EQ(editor.chooseFileCompression(chooser, prompter), SettingsEditor::FormatChoice::Cancelled);
    EXPECT_EQ(chooser.title, QStringLiteral("Choose file compression format"));

    // A format no codec converts to: refused, the file and the format stay.
    chooser.result = 0;
    chooser.chosen = WaveFormat::pcm(8000, 8, 1);
    chooser.chosen.setFormatTag(0x55);
    EXPECT_EQ(editor.chooseFileCompression(chooser, prompter), SettingsEditor::FormatChoice::Refused);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error was created. Choose a different compression.")});
    EXPECT_EQ(readAll(model.fileCompressionPath()), before);
    EXPECT_EQ(model.fileCompression(), WaveFormat::pcm(8000, 8, 1));

    // 16-bit 11025 Hz PCM converts: saved at once.
    chooser.chosen = WaveFormat::pcm(11025, 16, 1);
    EXPECT_EQ(editor.chooseFileCompression(chooser, prompter), SettingsEditor::FormatChoice::Saved);
    EXPECT_EQ(readAll(model.fileCompressionPath()), chooser.chosen.bytes());
    EXPECT_EQ(model.fileCompression(), chooser.chosen);

    // The chooser itself failing is reported with its text.
    prompter.shown.clear();
    chooser.result = AcmResult::NoDriver;
    EXPECT_EQ(editor.chooseFileCompression(chooser, prompter), SettingsEditor::FormatChoice::Refused);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith(QStringLiteral("Error selecting format.")));
}

TEST_F(SettingsEditorTest, BrowsedPlayerIsWrittenAtOnce) {
    model.load();
    QDir::setCurrent(QDir::tempPath());
    editor.setBrowsedPlayer(QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(model.player(), QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(value("Params", "Player"), QStringLiteral("/usr/bin/mpv"));
    EXPECT_EQ(QDir::current(), QDir(dir.path()));
}
