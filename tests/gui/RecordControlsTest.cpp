// The main window's Record and Stop controls driving a real recording on the simulated modem.
#include "audio/WaveFormat.h"
#include "gui/MainWindow.h"
#include "gui/TrayIcon.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "library/TableFile.h"
#include "library/gui/RecordingsListView.h"
#include "modem/AtExchange.h"
#include "modem/ModemController.h"
#include "modemsetup/DiagnosticsReport.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "recorder/gui/SignalTrace.h"
#include "support/ModemSim.h"
#include "support/ScriptedPrompter.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString firstPanel(MainWindow& main) {
    const auto labels = main.statusBar()->findChildren<QLabel*>();
    return labels.isEmpty() ? QString() : labels.first()->text();
}

struct WindowedRecorder : ::testing::Test {
    void restart(const QStringList& arguments, const QByteArray& params, bool show) {
        app.reset();
        sim.stop();
        start(arguments, params, show);
    }
    ModemSim sim;
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<WindowedProgram> app;

    void SetUp() override { start(); }
    /// The program on the simulated modem; `params` goes into section Params.
    void start(const QStringList& arguments = {}, const QByteArray& params = "AutoRecord=0\r\nVoicefeatures=1\r\n",
               bool show = true) {
        ASSERT_TRUE(sim.start());
        QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Ports]\r\nCom1=" + sim.linkPath().toUtf8() +
                  "\r\n[Modem]\r\nport=1\r\nModel=Simulated\r\nFlowControl=2\r\nForCallerId=at+vcid=1\r\n"
                  "VoiceMode=at+fclass=8\r\nRecGain=at+vgr=128\r\nSilenceTimer=none\r\n"
                  "VoiceCompression=at+vsm=1,8000\r\n[Params]\r\nUseLine=at+vls=1\r\nUseLineRes=OK\r\n"
                  "CallerID=1\r\nRejectCall=0\r\n" +
                  params + "[Monitor]\r\nBackColor=0\r\nTraceColor=65280\r\nRecordTrace=1\r\n");
        ini.close();
        WaveFormat::pcm(8000, 8, 1).saveFormatFile(dir.filePath(QStringLiteral("ModemCompression.cpn")));
        app = std::make_unique<WindowedProgram>(QStringList{QStringLiteral("--workdir"), dir.path()} + arguments,
                                                &prompter);
        app->create();
        if (show)
            main().show();
    }
    void TearDown() override {
        app.reset();
        QDir::setCurrent(QDir::tempPath());
        sim.stop();
    }
    MainWindow& main() { return *app->mainWindow(); }
    VoiceRecorder& recorder() { return app->program().recorder(); }
};

} // namespace

TEST_F(WindowedRecorder, RecordAndStopFollowTheRecordingAndTheTraceShowsTheSound) {
    ASSERT_TRUE(waitUntil([&] { return main().actions().record->isEnabled(); }))
        << prompter.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(main().actions().record->isChecked());
    EXPECT_TRUE(main().actions().modemOff->isEnabled());

    main().actions().record->trigger();
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); })) << prompter.shown.join('|').toStdString();
    // Down and locked while recording; the modem cannot be switched under it.
    EXPECT_TRUE(main().actions().record->isChecked());
    EXPECT_FALSE(main().actions().record->isEnabled());
    EXPECT_FALSE(main().actions().modemOn->isEnabled());
    EXPECT_FALSE(main().actions().modemOff->isEnabled());
    EXPECT_TRUE(main().actions().stop->isEnabled());
    // A second Record does not start a second recording.
    main().actions().record->trigger();

    // The elapsed time appears in the first panel; the trace draws the line's sound.
    ASSERT_TRUE(waitUntil([&] { return firstPanel(main()).startsWith(QStringLiteral(" 00:00:0")); }))
        << firstPanel(main()).toStdString();
    const QColor traceColour(0, 255, 0);
    auto tracePixels = [&] {
        const QImage& image = main().trace()->bitmap();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == traceColour ? 1 : 0;
        return count;
    };
    ASSERT_TRUE(waitUntil([&] { return tracePixels() > 0; }));

    main().actions().stop->trigger();
    ASSERT_TRUE(waitUntil([&] { return !recorder().recording() && main().actions().record->isEnabled(); }))
        << prompter.shown.join('|').toStdString();
    EXPECT_FALSE(main().actions().record->isChecked());
    EXPECT_TRUE(main().actions().modemOff->isEnabled());
    EXPECT_EQ(tracePixels(), 0) << "the trace is cleared at the stop";
    TableFile& calls = app->program().catalogue().recordings();
    EXPECT_EQ(calls.recordCount(), 1);
    // The list shows the new row with the table's texts, under the titles of its columns.
    const QAbstractItemModel* list = main().recordingsList()->model();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->rowCount(), 1);
    calls.first();
    EXPECT_EQ(list->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Memo"));
    EXPECT_EQ(list->index(0, 0).data().toString(), calls.fieldText(QStringLiteral("DateS")));
    EXPECT_EQ(list->index(0, 2).data().toString(), calls.fieldText(QStringLiteral("Duration")));
    const QAbstractItemModel* tree = main().tree()->model();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->index(0, 0).data().toString(), QStringLiteral("General"));
    const QStringList files = QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("1_*.wav")});
    EXPECT_EQ(files.size(), 1);
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('|').toStdString();

    // A second call with a recording in the view: while it records nothing else may use the modem or the
    // sound, and Stop stays when the view empties under it.
    const MainActions& a = main().actions();
    EXPECT_TRUE(a.play->isEnabled());
    EXPECT_TRUE(a.volumeLevel->isEnabled());
    a.record->trigger();
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); })) << prompter.shown.join('|').toStdString();
    for (QAction* locked : {a.play, a.pause, a.rewind, a.fastForward, a.volumeLevel, a.voiceEqualizer, a.settings,
                            a.diagnostics, a.modemOn, a.modemOff})
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    QList<QMenu*> modemMenus;
    for (QMenu* menu : main().findChildren<QMenu*>() + main().tray()->menu()->findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("Modem"))
            modemMenus << menu;
    EXPECT_EQ(modemMenus.size(), 2);
    for (QMenu* menu : modemMenus)
        EXPECT_FALSE(menu->menuAction()->isEnabled());
    // Nor in the code: the diagnostics' questions and any other command are refused, and the sound goes on.
    EXPECT_FALSE(app->program().diagnostics().runDiagnostics());
    EXPECT_EQ(prompter.shown.value(0), QString::fromLatin1(DiagnosticsReport::kWhileRecording));
    QString reply;
    EXPECT_EQ(app->program().modem().exchange().sendQuery(QStringLiteral("ATI3"), reply), AtResult::Busy);
    EXPECT_TRUE(recorder().receiving());
    prompter.shown.clear();
    prompter.answers.push_back(Prompter::Answer::Ok);
    a.deleteRecordings->trigger();
    ASSERT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(a.stop->isEnabled());
    a.stop->trigger();
    ASSERT_TRUE(waitUntil([&] { return !recorder().recording() && a.record->isEnabled(); }));
    EXPECT_TRUE(a.settings->isEnabled());
    EXPECT_TRUE(a.diagnostics->isEnabled());
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_TRUE(a.play->isEnabled());
}

TEST_F(WindowedRecorder, ARecorderThatCannotRecordSaysSoInTheStatusBarAndTheTrayUntilItCan) {
    EXPECT_TRUE(main().recordingProblem().isEmpty());
    const QString cpn = dir.filePath(QStringLiteral("ModemCompression.cpn"));
    const QString kept = cpn + QStringLiteral(".kept");
    ASSERT_TRUE(QFile::rename(cpn, kept));
    recorder().checkReadiness();
    EXPECT_EQ(main().recordingProblem(), QStringLiteral("Cannot record: None Codec found to match modem compression"));
    EXPECT_EQ(main().tray()->toolTip(),
              QStringLiteral("Orlamo cannot record: None Codec found to match modem compression"));
    ASSERT_TRUE(QFile::rename(kept, cpn));
    recorder().checkReadiness();
    EXPECT_TRUE(main().recordingProblem().isEmpty());
    EXPECT_EQ(main().tray()->toolTip(), QStringLiteral("Orlamo"));
}

TEST_F(WindowedRecorder, ModemOffLeavesRecordOfferedAndRecordOpensThePortItself) {
    ASSERT_TRUE(waitUntil([&] { return main().actions().record->isEnabled(); }));
    auto* on1 = main().findChild<QAction*>(QStringLiteral("On1"));
    auto* off1 = main().findChild<QAction*>(QStringLiteral("Off1"));
    auto* trayOn = main().findChild<QAction*>(QStringLiteral("TrayModemOn"));
    auto* trayOff = main().findChild<QAction*>(QStringLiteral("TrayModemOff"));
    ASSERT_TRUE(on1 && off1 && trayOn && trayOff);
    EXPECT_TRUE(on1->isChecked() && trayOn->isChecked());
    EXPECT_FALSE(off1->isChecked() || trayOff->isChecked());

    off1->trigger();
    ASSERT_TRUE(waitUntil([&] { return !app->program().modem().portOpen(); }));
    EXPECT_TRUE(off1->isChecked() && trayOff->isChecked());
    EXPECT_FALSE(on1->isChecked() || trayOn->isChecked());
    EXPECT_TRUE(main().actions().record->isEnabled()) << "Record stays offered with the modem off";

    main().actions().record->trigger();
    ASSERT_TRUE(waitUntil([&] { return recorder().receiving(); })) << prompter.shown.join('|').toStdString();
    EXPECT_TRUE(on1->isChecked());
    main().actions().stop->trigger();
    ASSERT_TRUE(waitUntil([&] { return !recorder().recording() && main().actions().record->isEnabled(); }));
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('|').toStdString();
}

TEST_F(WindowedRecorder, AModemWithoutVoiceFeaturesNeverOffersRecord) {
    restart({}, "AutoRecord=0\r\nVoicefeatures=0\r\n", true);
    ASSERT_TRUE(waitUntil([&] { return app->program().modem().portOpen(); }));
    EXPECT_TRUE(prompter.shown.contains(QStringLiteral("Your modem does not support V.253/IS-101 standard")));
    EXPECT_FALSE(main().actions().record->isEnabled());
    // Neither switching the modem off and on again nor its reopening offers Record.
    main().actions().modemOff->trigger();
    main().actions().modemOn->trigger();
    ASSERT_TRUE(waitUntil([&] { return app->program().modem().portOpen(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(main().actions().record->isEnabled());
    EXPECT_FALSE(app->program().recordAvailable());
}

TEST_F(WindowedRecorder, StartedAtLogonIntoTheTrayItRecordsACallWithTheWindowNeverShown) {
    restart({QStringLiteral("STARTUP")}, "AutoRecord=1\r\nVoicefeatures=1\r\nSystemTray=1\r\nDiscTime=2\r\n", false);
    ASSERT_TRUE(main().windowState() & Qt::WindowMinimized);
    ASSERT_FALSE(main().isVisible());
    ASSERT_TRUE(waitUntil([&] { return app->program().modem().calls().autoRecordMode(); }))
        << prompter.shown.join('|').toStdString();
    ASSERT_TRUE(sim.command(
        QStringLiteral("call rings=2 interval=1500 cid=5550142 audio=speech talk=2 end=silence endfor=20")));
    ASSERT_TRUE(waitUntil([&] { return app->program().catalogue().recordings().recordCount() == 1; }, 60000))
        << (prompter.shown + app->program().logger().lines()).join('\n').toStdString();
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(app->program().modem().calls().autoStarted()) << "the automatic recording ended as one";
}
