// The settings dialog over the settings model: what it shows, OK and Cancel, the buttons and the
// rules that enable its controls. The modem side and the choosers are scripted.
#include "settings/gui/SettingsDialog.h"
#include "audio/AudioErrors.h"
#include "audio/FormatChooser.h"
#include "audio/WaveFormat.h"
#include "base/Config.h"
#include "settings/SettingsModel.h"
#include "settings/StartupRegistration.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ScriptedModemSide : SettingsModemAccess {
    bool voice = true;
    bool matches = true;
    QList<CompressionChoice> choices;
    std::function<int()> search = [] { return 0; };
    int searches = 0;
    bool voiceFeatures() const override { return voice; }
    QList<CompressionChoice> compressionChoices() const override {
        return voice ? choices : QList<CompressionChoice>();
    }
    bool matchCompression() override { return matches; }
    int findModems() override {
        ++searches;
        return search();
    }
    bool handset = false;
    bool reportsHandset() const override { return handset; }
};

struct ScriptedChooser : FormatChooser {
    WaveFormat chosen;
    int chooseFormat(const QString&, std::span<uint8_t, 128> buffer) override {
        std::copy_n(chosen.raw(), WaveFormat::kBufferSize, buffer.begin());
        return AcmResult::NoError;
    }
};

struct SettingsDialogTest : ::testing::Test {
    QTemporaryDir dir;
    QString iniPath = dir.filePath(QStringLiteral("tvk.ini"));
    Config config{iniPath};
    ScriptedPrompter prompter;
    StartupRegistration registration{dir.filePath(QStringLiteral("config/autostart/orlamo.desktop")),
                                     QStringLiteral("/opt/My Programs/orlamo")};
    SettingsModel model{config, dir.path(), &registration};
    ScriptedModemSide side;
    std::unique_ptr<SettingsDialog> dialog;

    /// The program's start: the settings loaded, then the dialog created.
    void create(const QByteArray& ini = {}) {
        if (!ini.isEmpty())
            writeFile(iniPath, ini);
        model.load();
        dialog = std::make_unique<SettingsDialog>(model, prompter);
        dialog->setModemSide(&side);
    }
    void show() {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <class W> W* get(const char* name) {
        W* w = dialog->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    QString text(const char* name) { return get<QLabel>(name)->text(); }
    QString value(const char* section, const char* key) {
        return config.readString(QLatin1String(section), QLatin1String(key), QStringLiteral("<missing>"));
    }
};

const QByteArray kModemIni = "[Modem]\r\nport=3\r\nModel=Test Modem 56K\r\nForCallerId=at+vcid=1\r\n"
                             "SpeakerVol=at+vgt=128\r\nRecGain=at+vgr=128\r\n"
                             "[Params]\r\nAutoRecord=1\r\nDiscTime=10\r\nTimeout=4\r\nStartUp=0\r\nCallerID=1\r\n";

} // namespace

TEST_F(SettingsDialogTest, FirstStartWritesTheDefaultsAndShowsThem) {
    create();
    EXPECT_EQ(get<QSpinBox>("seTimeOut")->value(), 4);
    for (const auto& [section, key, stored] : {std::tuple{"Monitor", "PlayTrace", "1"},
                                               {"Monitor", "RecordTrace", "1"},
                                               {"Monitor", "Points", "3"},
                                               {"Monitor", "BackColor", "0"},
                                               {"Monitor", "TraceColor", "65280"},
                                               {"Params", "AutoRecord", "1"},
                                               {"Params", "DiscTime", "10"},
                                               {"Params", "RejectCall", "1"},
                                               {"Params", "RejectRings", "6"},
                                               {"Params", "Timeout", "4"},
                                               {"Params", "StartUp", "0"},
                                               {"Params", "CallerID", "1"}})
        EXPECT_EQ(value(section, key), QLatin1String(stored)) << section << " " << key;
    EXPECT_TRUE(QFile::exists(model.fileCompressionPath()));

    show();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(dialog->tabs()->currentIndex(), int(SettingsDialog::General));
    QStringList tabs;
    for (int i = 0; i < dialog->tabs()->count(); ++i)
        tabs << dialog->tabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"General", "Modem", "Parameters", "Media player", "Monitor", "Auto record",
                                 "Remote access"}));
    // No modem section: the time-out keeps its loaded value, the modem labels say so.
    EXPECT_EQ(get<QSpinBox>("seTimeOut")->value(), 4);
    EXPECT_EQ(text("Label1"), QStringLiteral("No modem detected"));
    EXPECT_EQ(text("Label2"), QStringLiteral("Com "));
    EXPECT_FALSE(get<QComboBox>("cbVsm")->isEnabled());
    EXPECT_EQ(text("lbFormat"), QStringLiteral("PCM: 8.000 kHz, 8 Bit, Mono"));
    EXPECT_EQ(text("lbFonts"), QString());
    EXPECT_EQ(get<QComboBox>("cbxPoints")->currentText(), QStringLiteral("1800"));
    EXPECT_EQ(get<QComboBox>("cbBaudrate")->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(get<QComboBox>("cbFlowCntr")->currentText(), QStringLiteral("Hardware"));
    EXPECT_EQ(get<QSpinBox>("seDiscTime")->value(), 10);
    EXPECT_EQ(get<QSpinBox>("seRejectRings")->value(), 6);
    // Without a caller ID command the box is off and cannot be ticked.
    EXPECT_FALSE(get<QCheckBox>("cbCallerID")->isEnabled());
    EXPECT_FALSE(get<QCheckBox>("cbCallerID")->isChecked());
}

TEST_F(SettingsDialogTest, TheModemTabShowsTheProfileAndItsCompressions) {
    side.choices = {{QStringLiteral("UNSIGNED PCM 8bit 8000Hz"), QStringLiteral("at+vsm=1,8000")},
                    {QStringLiteral("ULAW 8bit 8000Hz"), QStringLiteral("at+vsm=4,8000")}};
    create("[Modem]\r\nport=3\r\nModel=<b>Test</b> Modem\r\nbaudrate=2\r\nFlowControl=1\r\n"
           "[Params]\r\nAutoRecord=1\r\nCompression=1\r\n");
    show();
    EXPECT_EQ(text("Label1"), QStringLiteral("<b>Test</b> Modem"));
    EXPECT_EQ(get<QLabel>("Label1")->textFormat(), Qt::PlainText);
    EXPECT_EQ(text("Label2"), QStringLiteral("Com 3"));
    EXPECT_EQ(get<QComboBox>("cbBaudrate")->currentText(), QStringLiteral("128000"));
    EXPECT_EQ(get<QComboBox>("cbFlowCntr")->currentText(), QStringLiteral("Software"));
    // No stored time-out: the dialog's own 2.
    EXPECT_EQ(get<QSpinBox>("seTimeOut")->value(), 2);
    auto* vsm = get<QComboBox>("cbVsm");
    EXPECT_TRUE(vsm->isEnabled());
    ASSERT_EQ(vsm->count(), 2);
    EXPECT_EQ(vsm->currentIndex(), 1);
    dialog->hide();

    // A stored index past the list selects nothing, and OK then stores no choice.
    config.writeInteger(QStringLiteral("Params"), QStringLiteral("Compression"), 7);
    config.writeString(QStringLiteral("Modem"), QStringLiteral("VoiceCompression"), QStringLiteral("at+vsm=9"));
    show();
    EXPECT_EQ(vsm->currentIndex(), -1);
    button("OKBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=9"));
}

TEST_F(SettingsDialogTest, ASpeakerGainOfNoneKeepsTheSliderAndIsNotWritten) {
    create(kModemIni);
    get<QSlider>("SpkVolTr")->setValue(77);
    config.writeString(QStringLiteral("Modem"), QStringLiteral("SpeakerVol"), QStringLiteral("none"));
    config.writeString(QStringLiteral("Modem"), QStringLiteral("RecGain"), QStringLiteral("at+vgr=100"));
    show();
    EXPECT_EQ(get<QSlider>("SpkVolTr")->value(), 77);
    EXPECT_EQ(get<QSlider>("RecGainTr")->value(), 100);
    get<QSlider>("RecGainTr")->setValue(140);
    button("OKBtn")->click();
    EXPECT_EQ(value("Modem", "SpeakerVol"), QStringLiteral("none"));
    EXPECT_EQ(value("Modem", "RecGain"), QStringLiteral("at+vgr=140"));
}

TEST_F(SettingsDialogTest, TheParametersTabTakesTheModemsGainRanges) {
    create(kModemIni);
    for (const auto& [key, stored] : {std::pair{"vgtMin", 0}, {"vgtMax", 15}, {"vgrMin", 10}, {"vgrMax", 50}})
        config.writeInteger(QStringLiteral("Modem"), QLatin1String(key), stored);
    show();
    auto* speaker = get<QSlider>("SpkVolTr");
    auto* record = get<QSlider>("RecGainTr");
    // Until the tab is entered the sliders keep the full range.
    EXPECT_EQ(speaker->maximum(), 255);
    dialog->tabs()->setCurrentIndex(SettingsDialog::Parameters);
    EXPECT_EQ(speaker->minimum(), 0);
    EXPECT_EQ(speaker->maximum(), 15);
    EXPECT_EQ(speaker->tickInterval(), 1); // a tick at every value
    EXPECT_EQ(speaker->value(), 15);       // 128 does not fit
    EXPECT_EQ(record->minimum(), 10);
    EXPECT_EQ(record->maximum(), 50);
    EXPECT_EQ(record->tickInterval(), 3);
    EXPECT_EQ(dialog->focusWidget(), button("OKBtn"));
}

TEST_F(SettingsDialogTest, ACompressionWithoutCodecKeepsTheDialogOpenAndWritesNothingAfterIt) {
    side.choices = {{QStringLiteral("UNSIGNED PCM 8bit 8000Hz"), QStringLiteral("at+vsm=1,8000")},
                    {QStringLiteral("ULAW 8bit 7000Hz"), QStringLiteral("at+vsm=4,7000")}};
    create(kModemIni);
    writeFile(SettingsEditor(model).modemCompressionPath(), QByteArray(128, '\0'));
    show();
    get<QComboBox>("cbVsm")->setCurrentIndex(1);
    get<QComboBox>("cbBaudrate")->setCurrentIndex(0);
    get<QSpinBox>("seTimeOut")->setValue(6);
    get<QSpinBox>("seDiscTime")->setValue(25);
    side.matches = false;
    button("OKBtn")->click();
    EXPECT_TRUE(dialog->isVisible());
    // The refused choice is taken back with the file it replaced, so Cancel leaves a recorder that records.
    EXPECT_EQ(readAll(SettingsEditor(model).modemCompressionPath()), QByteArray(128, '\0'));
    EXPECT_NE(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=4,7000"));
    EXPECT_NE(value("Params", "Compression"), QStringLiteral("1"));
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("<missing>"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("4"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("10"));

    // Another compression goes through, with everything else.
    get<QComboBox>("cbVsm")->setCurrentIndex(0);
    side.matches = true;
    button("OKBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("6"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("25"));
}

TEST_F(SettingsDialogTest, CancelDropsTheEdits) {
    create(kModemIni);
    const QByteArray before = readAll(iniPath);
    show();
    get<QSpinBox>("seDiscTime")->setValue(3);
    get<QCheckBox>("cbAutoMode")->setChecked(false);
    get<QComboBox>("cbFlowCntr")->setCurrentIndex(2);
    EXPECT_EQ(model.discTime(), 3); // the controls edit the one model
    button("CancelBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(model.discTime(), 10);
    EXPECT_TRUE(model.autoRecord());
    EXPECT_EQ(model.flowControl(), SerialLine::FlowControl::Hardware);
    EXPECT_EQ(readAll(iniPath), before);
    // The controls show the reloaded values next time.
    show();
    EXPECT_EQ(get<QSpinBox>("seDiscTime")->value(), 10);
    // Escape is Cancel too.
    get<QSpinBox>("seDiscTime")->setValue(4);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(model.discTime(), 10);
}

TEST_F(SettingsDialogTest, ControlsAreEnabledByWhatTheyDependOn) {
    create(kModemIni);
    show();
    auto* startup = get<QCheckBox>("cbStartup");
    auto* tray = get<QCheckBox>("cbStartToTray");
    EXPECT_FALSE(tray->isEnabled());
    startup->click();
    EXPECT_TRUE(tray->isEnabled());
    auto* external = get<QCheckBox>("cbExtPlayer");
    EXPECT_FALSE(get<QLineEdit>("edExtPlayer")->isEnabled());
    EXPECT_FALSE(button("Button2")->isEnabled());
    external->click();
    EXPECT_TRUE(get<QLineEdit>("edExtPlayer")->isEnabled());
    EXPECT_TRUE(button("Button2")->isEnabled());
    auto* autoMode = get<QCheckBox>("cbAutoMode");
    EXPECT_TRUE(get<QSpinBox>("seDiscTime")->isEnabled());
    autoMode->click();
    EXPECT_FALSE(get<QSpinBox>("seDiscTime")->isEnabled());
    EXPECT_FALSE(get<QCheckBox>("cbRejectCall")->isEnabled());
    EXPECT_FALSE(get<QSpinBox>("seRejectRings")->isEnabled());
    EXPECT_TRUE(get<QCheckBox>("cbCallerID")->isEnabled());
    EXPECT_TRUE(get<QCheckBox>("cbCallerID")->isChecked());
    // Calls the user makes can be recorded only once the modem has shown that it reports the handset.
    auto* outgoing = get<QCheckBox>("cbRecordOutgoing");
    EXPECT_EQ(outgoing->text(), QStringLiteral("Also record calls I make"));
    EXPECT_FALSE(outgoing->isEnabled());
    dialog->reject();
    side.handset = true;
    show();
    ASSERT_TRUE(outgoing->isEnabled());
    outgoing->click();
    EXPECT_TRUE(model.recordOutgoing());
    dialog->reject();

    // A modem without voice features records nothing: no automatic recording, no gains.
    side.voice = false;
    show();
    EXPECT_FALSE(autoMode->isEnabled());
    EXPECT_FALSE(get<QGroupBox>("gbConditions")->isEnabled());
    EXPECT_FALSE(get<QSlider>("SpkVolTr")->isEnabled());
    EXPECT_FALSE(get<QSlider>("RecGainTr")->isEnabled());
    EXPECT_EQ(get<QComboBox>("cbVsm")->count(), 0);
}

TEST_F(SettingsDialogTest, LoadAtStartupWritesTheAutostartEntry) {
    create(kModemIni);
    show();
    get<QCheckBox>("cbStartup")->click();
    button("OKBtn")->click();
    EXPECT_EQ(value("Params", "StartUp"), QStringLiteral("1"));
    EXPECT_EQ(value("Params", "SystemTray"), QStringLiteral("0"));
    EXPECT_TRUE(readAll(registration.entryPath()).contains("\nExec=\"/opt/My Programs/orlamo\" \n"));

    show();
    EXPECT_TRUE(get<QCheckBox>("cbStartup")->isChecked());
    get<QCheckBox>("cbStartToTray")->click();
    button("OKBtn")->click();
    EXPECT_TRUE(readAll(registration.entryPath()).contains("\nExec=\"/opt/My Programs/orlamo\" STARTUP\n"));

    show();
    get<QCheckBox>("cbStartup")->click();
    button("OKBtn")->click();
    EXPECT_FALSE(QFile::exists(registration.entryPath()));
    EXPECT_EQ(value("Params", "StartUp"), QStringLiteral("0"));
    EXPECT_EQ(value("Params", "SystemTray"), QStringLiteral("1"));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(SettingsDialogTest, AnAutostartFolderThatCannotBeWrittenShowsNothing) {
    writeFile(dir.filePath(QStringLiteral("config")), "a file where the folder would be");
    create(kModemIni);
    show();
    get<QCheckBox>("cbStartup")->click();
    get<QSpinBox>("seDiscTime")->setValue(12);
    button("OKBtn")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(prompter.shown.isEmpty());
    // The rest of OK went on.
    EXPECT_EQ(value("Params", "StartUp"), QStringLiteral("1"));
    EXPECT_EQ(value("Params", "CallerID"), QStringLiteral("1"));
    EXPECT_EQ(value("Params", "DiscTime"), QStringLiteral("12"));
}

TEST_F(SettingsDialogTest, TheButtonsChooseFormatFontColoursAndPlayer) {
    create(kModemIni);
    ScriptedChooser chooser;
    dialog->setFormatChooser(&chooser);
    dialog->chooseFont = [](const QFont&) { return std::optional<QFont>(QFont(QStringLiteral("DejaVu Sans"), 11)); };
    dialog->chooseColour = [](const QColor&) { return std::optional<QColor>(QColor(0x11, 0x22, 0x33)); };
    prompter.texts.push_back(QStringLiteral("/usr/bin/vlc"));
    show();

    // A format no codec writes: refused, the label and the file stay.
    chooser.chosen = WaveFormat::pcm(8000, 8, 1);
    chooser.chosen.setFormatTag(0x55);
    button("BtnChoose")->click();
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Error was created. Choose a different compression.")});
    EXPECT_EQ(text("lbFormat"), QStringLiteral("PCM: 8.000 kHz, 8 Bit, Mono"));
    chooser.chosen = WaveFormat::pcm(8000, 16, 1);
    button("BtnChoose")->click();
    EXPECT_EQ(text("lbFormat"), QStringLiteral("PCM: 8.000 kHz, 16 Bit, Mono"));
    EXPECT_EQ(readAll(model.fileCompressionPath()), chooser.chosen.bytes());

    button("FontsBtn")->click();
    EXPECT_EQ(text("lbFonts"), QStringLiteral("DejaVu Sans"));
    button("FontColorBtn")->click();
    button("btnBackColor")->click();
    EXPECT_EQ(get<QLabel>("lbBackColor")->palette().color(QPalette::Window), QColor(0x11, 0x22, 0x33));
    get<QCheckBox>("cbExtPlayer")->click();
    button("Button2")->click();
    EXPECT_EQ(get<QLineEdit>("edExtPlayer")->text(), QStringLiteral("/usr/bin/vlc"));
    EXPECT_EQ(value("Params", "Player"), QStringLiteral("/usr/bin/vlc")); // at once, before OK

    button("OKBtn")->click();
    EXPECT_EQ(value("Fonts", "FontName"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(value("Fonts", "FontSize"), QStringLiteral("11"));
    EXPECT_EQ(value("Fonts", "FontColor"), QString::number(0x332211));
    EXPECT_EQ(value("Monitor", "BackColor"), QString::number(0x332211));
    EXPECT_EQ(value("Params", "ExtPlayer"), QStringLiteral("1"));
}

TEST_F(SettingsDialogTest, FindModemsDisablesCancelForThatShowing) {
    create(kModemIni);
    side.search = [this] {
        // Nothing found: the modem side has erased the profile.
        config.eraseSection(QStringLiteral("Modem"));
        side.voice = false;
        return 0;
    };
    show();
    button("btnFindModems")->click();
    EXPECT_EQ(side.searches, 1);
    EXPECT_FALSE(button("CancelBtn")->isEnabled());
    EXPECT_EQ(text("Label1"), QStringLiteral("No modem detected"));
    EXPECT_EQ(text("Label2"), QStringLiteral("Com "));
    EXPECT_FALSE(get<QSlider>("SpkVolTr")->isEnabled());
    EXPECT_FALSE(get<QCheckBox>("cbAutoMode")->isEnabled());
    // Escape and the window's close button are no way round it.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    button("OKBtn")->click();
    EXPECT_FALSE(dialog->isVisible());

    // A modem found: its model and port, and the dialog's next showing offers Cancel again.
    side.search = [this] {
        config.writeString(QStringLiteral("Modem"), QStringLiteral("Model"), QStringLiteral("Found One"));
        side.voice = true;
        return 1;
    };
    show();
    EXPECT_TRUE(button("CancelBtn")->isEnabled());
    button("btnFindModems")->click();
    EXPECT_FALSE(button("CancelBtn")->isEnabled());
    EXPECT_EQ(text("Label1"), QStringLiteral("Found One"));
    EXPECT_EQ(text("Label2"), QStringLiteral("Com 1"));
    EXPECT_TRUE(get<QSlider>("SpkVolTr")->isEnabled());
}
