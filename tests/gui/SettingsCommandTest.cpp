// "Settings..." in the windowed program on the simulated modem: the port closed while the dialog is
// open and reopened with the new line settings, the list back on its row, "Find modems" with the
// modem initialization window, and a compression without codec that keeps the dialog open.
#include "audio/WaveFormat.h"
#include "base/Config.h"
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "library/TableFile.h"
#include "modem/ModemController.h"
#include "modemsetup/CompressionFile.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "settings/gui/SettingsDialog.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

/// The speed the terminal is set to, as the program's serial port left it.
speed_t lineSpeed(const QString& device) {
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return 0;
    termios t{};
    const bool read = ::tcgetattr(fd, &t) == 0;
    ::close(fd);
    return read ? cfgetospeed(&t) : 0;
}

/// Runs `step` once on the first top-level window of type W named `name` that is visible, from the
/// event loop of whatever modal loop is running then.
template <class W> void whenShown(const char* name, std::function<void(W&)> step) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, step] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<W*>(w);
            if (window && window->objectName() == QLatin1String(name) && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                step(*window);
                return;
            }
        }
    });
    poll->start(20);
}

struct SettingsCommandTest : ::testing::Test {
    ModemSim sim;
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<WindowedProgram> app;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override {
        // OK registers or unregisters the program at logon: here, never in the real autostart folder.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("xdg")).toUtf8());
        ASSERT_TRUE(sim.start());
    }
    void start(const QByteArray& params = {}) {
        QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        QByteArray ports = "[Ports]\r\nCom1=" + sim.linkPath().toUtf8() + "\r\n";
        for (int port = 2; port <= 8; ++port)
            ports += "Com" + QByteArray::number(port) + "=" + dir.filePath(QStringLiteral("absent")).toUtf8() + "\r\n";
        ini.write(ports +
                  "[Modem]\r\nport=1\r\nModel=Simulated\r\nFlowControl=2\r\nForCallerId=at+vcid=1\r\n"
                  "VoiceMode=at+fclass=8\r\nRecGain=at+vgr=128\r\nSpeakerVol=at+vgt=128\r\n"
                  "VoiceCompression=at+vsm=1,8000\r\n[Params]\r\nVoicefeatures=1\r\nAutoRecord=1\r\n"
                  "CallerID=1\r\nTimeout=4\r\n" +
                  params);
        ini.close();
        Catalogue catalogue(dir.path(), prompter);
        catalogue.openCatalogue();
        for (int i = 0; i < 5; ++i) {
            RecordingEntry entry;
            entry.audioBytes = 8000 * (i + 1);
            entry.avgBytesPerSec = 8000;
            entry.endTime = QDateTime(QDate(2026, 3, 1), QTime(9, i));
            catalogue.addRecordingEntry(entry);
        }
        catalogue.close();
        app = std::make_unique<WindowedProgram>(QStringList{QStringLiteral("--workdir"), dir.path()}, &prompter);
        app->create();
        main().show();
        ASSERT_TRUE(waitUntil([&] { return modem().portOpen(); })) << prompter.shown.join('|').toStdString();
        prompter.shown.clear(); // a machine without a sound card is told so at start
    }
    void TearDown() override {
        app.reset();
        QDir::setCurrent(QDir::tempPath());
        sim.stop();
        if (savedConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfigHome);
    }
    MainWindow& main() { return *app->mainWindow(); }
    ModemController& modem() { return app->program().modem(); }
    TableFile& calls() { return app->program().catalogue().recordings(); }
    QString value(const char* section, const char* key) {
        return app->program().config().readString(QLatin1String(section), QLatin1String(key),
                                                  QStringLiteral("<missing>"));
    }
    void settings() { main().actions().settings->trigger(); }
    template <class W> static W* child(QWidget& window, const char* name) {
        return window.findChild<W*>(QLatin1String(name));
    }
};

} // namespace

TEST_F(SettingsCommandTest, OkReopensThePortWithTheNewSpeedAndTheListComesBackToItsRow) {
    start();
    EXPECT_EQ(lineSpeed(sim.device()), speed_t(B115200));
    EXPECT_TRUE(modem().calls().autoRecordMode());
    calls().setRecNo(3);
    // A first start (no layout stored): the folder panel is wide enough to read "General".
    EXPECT_EQ(main().splitterWidth(), MainWindow::kDesignFolderWidth);
    // What the user set during this run, written only at exit, survives the dialog.
    main().volumeSlider()->setValue(3);
    auto* splitter = main().findChild<QSplitter*>(QStringLiteral("Panel2"));
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({150, splitter->width() - 150});
    const int folderWidth = main().splitterWidth();

    // Cancel: the speed chosen is dropped, the port reopens as it was.
    bool portOpenInDialog = true;
    bool autoRecordInDialog = true;
    whenShown<QDialog>("fmSettings", [&](QDialog& dialog) {
        portOpenInDialog = modem().portOpen();
        autoRecordInDialog = modem().calls().autoRecordMode();
        child<QComboBox>(dialog, "cbBaudrate")->setCurrentIndex(0);
        child<QPushButton>(dialog, "CancelBtn")->click();
    });
    settings();
    EXPECT_FALSE(portOpenInDialog);
    EXPECT_FALSE(autoRecordInDialog);
    EXPECT_TRUE(app->program().logger().lines().contains(QStringLiteral("-- Options -> Settings clicked")));
    ASSERT_TRUE(modem().portOpen());
    EXPECT_EQ(lineSpeed(sim.device()), speed_t(B115200));
    EXPECT_EQ(calls().recNo(), 3);
    EXPECT_EQ(main().volumeSlider()->value(), 3);
    EXPECT_EQ(main().splitterWidth(), folderWidth);

    // OK: the new speed is stored and the reopened port runs at it.
    whenShown<QDialog>("fmSettings", [&](QDialog& dialog) {
        child<QComboBox>(dialog, "cbBaudrate")->setCurrentIndex(0);
        child<QPushButton>(dialog, "OKBtn")->click();
    });
    settings();
    EXPECT_EQ(value("Modem", "baudrate"), QStringLiteral("0"));
    ASSERT_TRUE(modem().portOpen()) << prompter.shown.join('|').toStdString();
    EXPECT_EQ(lineSpeed(sim.device()), speed_t(B57600));
    EXPECT_TRUE(modem().calls().autoRecordMode());
    EXPECT_EQ(calls().recNo(), 3);
    EXPECT_TRUE(main().actions().record->isEnabled());
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('|').toStdString();

    // While a recording runs the command cannot be chosen.
    main().setRecording(true);
    EXPECT_FALSE(main().actions().settings->isEnabled());
    main().setRecording(false);
    EXPECT_TRUE(main().actions().settings->isEnabled());
}

TEST_F(SettingsCommandTest, FindModemsRunsTheSearchAndTheModemInitializationWindow) {
    start();
    QString label1;
    QString label2;
    bool cancelEnabled = true;
    int compressions = 0;
    bool choiceShown = false;
    whenShown<QDialog>("fmSettings", [&](QDialog& dialog) {
        // The modem initialization window comes up inside the click; its OK writes the profile.
        whenShown<QDialog>("SpecModemForm", [&](QDialog& form) {
            choiceShown = child<QListWidget>(form, "lsbModems")->count() == 1;
            child<QPushButton>(form, "btnOk")->click();
        });
        child<QPushButton>(dialog, "btnFindModems")->click();
        cancelEnabled = child<QPushButton>(dialog, "CancelBtn")->isEnabled();
        label1 = child<QLabel>(dialog, "Label1")->text();
        label2 = child<QLabel>(dialog, "Label2")->text();
        compressions = child<QComboBox>(dialog, "cbVsm")->count();
        child<QPushButton>(dialog, "OKBtn")->click();
    });
    settings();
    EXPECT_TRUE(choiceShown);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_FALSE(label1.isEmpty());
    EXPECT_NE(label1, QStringLiteral("Simulated")); // the model the modem reported, not the old profile's
    EXPECT_EQ(label1, value("Modem", "Model"));
    EXPECT_EQ(label2, QStringLiteral("Com 1"));
    EXPECT_GT(compressions, 0);
    const QStringList log = app->program().logger().lines();
    EXPECT_TRUE(log.contains(QStringLiteral("----- finding modems -----")));
    EXPECT_TRUE(log.contains(QStringLiteral("----- finding modems finished -----")));
    // The new profile is applied: the port is open again with voice features.
    EXPECT_TRUE(modem().portOpen());
    EXPECT_TRUE(main().actions().record->isEnabled());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("ModemCompression.cpn"))));
}

TEST_F(SettingsCommandTest, ACompressionWithoutCodecKeepsTheDialogOpenUntilAnotherIsChosen) {
    CompressionFileWriter writer;
    ASSERT_TRUE(writer.recreate(CompressionFile::pathIn(dir.path())));
    CompressionRecord pcm, ulaw;
    pcm.Description = QStringLiteral("UNSIGNED PCM");
    pcm.bps = QStringLiteral("8");
    pcm.vsr = QStringLiteral("8000");
    pcm.VsmCommand = QStringLiteral("at+vsm=1,8000");
    ulaw.Description = QStringLiteral("ULAW");
    ulaw.bps = QStringLiteral("8");
    ulaw.vsr = QStringLiteral("7000");
    ulaw.VsmCommand = QStringLiteral("at+vsm=4,7000");
    ASSERT_TRUE(writer.write(0, pcm));
    ASSERT_TRUE(writer.write(1, ulaw));
    writer.close();
    start("Compression=0\r\n");
    const QString cpn = dir.filePath(QStringLiteral("ModemCompression.cpn"));
    WaveFormat::pcm(8000, 8, 1).saveFormatFile(cpn);
    const QByteArray matched = readAll(cpn);
    const QString command = value("Modem", "VoiceCompression");

    // A refused choice is taken back at once: after Cancel the recorder records as before.
    whenShown<QDialog>("fmSettings", [&](QDialog& dialog) {
        child<QComboBox>(dialog, "cbVsm")->setCurrentIndex(1);
        child<QPushButton>(dialog, "OKBtn")->click();
        child<QPushButton>(dialog, "CancelBtn")->click();
    });
    settings();
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("0"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), command);
    EXPECT_EQ(readAll(cpn), matched);
    // Settings... checks after the dialog whether the recorder can record.
    EXPECT_EQ(app->program().recorder().readinessProblem(), QString());
    prompter.shown.clear();

    bool openAfterRefusal = false;
    bool cpnAfterRefusal = false;
    QString timeoutAfterRefusal;
    whenShown<QDialog>("fmSettings", [&](QDialog& dialog) {
        child<QComboBox>(dialog, "cbVsm")->setCurrentIndex(1);
        child<QSpinBox>(dialog, "seTimeOut")->setValue(6);
        child<QPushButton>(dialog, "OKBtn")->click();
        openAfterRefusal = dialog.isVisible();
        cpnAfterRefusal = readAll(cpn) == matched;
        timeoutAfterRefusal = value("Params", "Timeout");
        child<QComboBox>(dialog, "cbVsm")->setCurrentIndex(0);
        child<QPushButton>(dialog, "OKBtn")->click();
    });
    settings();
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_TRUE(cpnAfterRefusal);
    EXPECT_EQ(timeoutAfterRefusal, QStringLiteral("4"));
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("None Codec Format found to match modem compression\r"
                                                         "Choose a different modem compression")});
    // The second choice went through with everything after it.
    EXPECT_EQ(value("Params", "Compression"), QStringLiteral("0"));
    EXPECT_EQ(value("Modem", "VoiceCompression"), QStringLiteral("at+vsm=1,8000"));
    EXPECT_EQ(value("Params", "Timeout"), QStringLiteral("6"));
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("ModemCompression.cpn"))).size(), 128);
    EXPECT_TRUE(modem().portOpen());
}
