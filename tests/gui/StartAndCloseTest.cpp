// The windowed program's creation order, geometry, start in the tray and close sequence.
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "modem/ModemController.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "settings/gui/SettingsDialog.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct WindowedRun {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<WindowedProgram> app;

    explicit WindowedRun(const QStringList& extra = {}, const QByteArray& ini = {}) {
        if (!ini.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("tvk.ini")));
            if (f.open(QIODevice::WriteOnly))
                f.write(ini);
        }
        app =
            std::make_unique<WindowedProgram>(QStringList{QStringLiteral("--workdir"), dir.path()} + extra, &prompter);
        app->create();
    }
    ~WindowedRun() { QDir::setCurrent(QDir::tempPath()); }
    MainWindow& main() { return *app->mainWindow(); }
    QByteArray file(const QString& name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST(Start, WindowsAndControllersAreCreatedInTheProgramsOrderAndGoInReverse) {
    WindowedRun program;
    const QList<WindowedProgram::Created> created = program.app->creationOrder();
    // Each entry is the object made: its class, and for a window the objectName the files know it by.
    struct Made {
        const char* component;
        const char* className;
        const char* objectName;
    };
    const std::vector<Made> expected = {{"TfmMain", "MainWindow", "fmMain"},
                                        {"TfmSettings", "SettingsDialog", "fmSettings"},
                                        {"TfmVolLevel", "VolumeLevelDialog", "fmVolLevel"},
                                        {"TfmAbout", "AboutDialog", "fmAbout"},
                                        {"TfmAskSupport", "ReportProblemDialog", "fmAskSupport"},
                                        {"TProgressForm", "ProgressWindow", "ProgressForm"},
                                        {"TfmMonitor", "LoggerWindow", "fmMonitor"},
                                        {"TMoveToForm", "MoveToDialog", "MoveToForm"},
                                        {"TfmVoEqzer", "VoiceEqualizerDialog", "fmVoEqzer"},
                                        {"TfmQueryModem", "QueryModemWindow", "fmQueryModem"},
                                        {"TfmParse", "VoiceCapabilityProbe", ""},
                                        {"TSpecModemForm", "ModemChoiceWindow", "SpecModemForm"},
                                        {"TfmModem", "ModemController", ""},
                                        {"TfmInitTVK", "StartupConfiguration", ""},
                                        {"TfmAudio", "VoiceRecorder", ""},
                                        {"TfmCallerID", "CallerIdPopup", "fmCallerID"}};
    ASSERT_EQ(created.size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const WindowedProgram::Created& made = created[qsizetype(i)];
        EXPECT_EQ(made.component, QLatin1String(expected[i].component));
        ASSERT_TRUE(made.object) << expected[i].component;
        EXPECT_STREQ(made.object->metaObject()->className(), expected[i].className);
        if (*expected[i].objectName) {
            EXPECT_EQ(made.object->objectName(), QLatin1String(expected[i].objectName));
        }
    }
    Program& core = program.app->program();
    EXPECT_EQ(created[0].object.data(), static_cast<QObject*>(program.app->mainWindow()));
    EXPECT_EQ(created[1].object.data(), static_cast<QObject*>(program.app->settingsDialog()));
    EXPECT_EQ(created[12].object.data(), static_cast<QObject*>(&core.modem()));
    EXPECT_EQ(created[14].object.data(), static_cast<QObject*>(&core.recorder()));
    EXPECT_EQ(program.main().windowTitle(), QStringLiteral("Orlamo"));
    EXPECT_EQ(QDir::currentPath(), QDir(program.dir.path()).absolutePath()) << "the working folder is current";
    EXPECT_TRUE(program.app->program().automaticRecordingArmed()) << "armed at the end of the start, shown or not";
    // No modem is configured: the first run found none, and Record stays off.
    EXPECT_TRUE(program.prompter.shown.join(QLatin1Char('|')).contains(QStringLiteral("No modem detected")));
    EXPECT_FALSE(program.main().recordEnabled());

    // The windows go in reverse order, then the program's controllers in reverse; nothing is left.
    QStringList windows;
    QStringList controllers;
    QStringList gone;
    for (const WindowedProgram::Created& made : created) {
        (made.object->isWidgetType() ? windows : controllers).prepend(made.component);
        QObject::connect(made.object, &QObject::destroyed, [&gone, name = made.component] { gone.append(name); });
    }
    program.app.reset();
    EXPECT_EQ(gone, windows + controllers);
}

TEST(Start, GeometryComesFromLowerCaseParams) {
    WindowedRun program({}, "[params]\r\nMainLeft=30\r\nMainTop=40\r\nMainWid=600\r\nMainHeight=550\r\n");
    const QRect g = program.main().geometry();
    EXPECT_EQ(g, QRect(30, 40, 600, 550));
}

TEST(Start, StartupMinimisesOnlyWhenSystemTrayIsOn) {
    {
        WindowedRun program({QStringLiteral("STARTUP")});
        EXPECT_FALSE(program.main().windowState() & Qt::WindowMinimized);
    }
    {
        WindowedRun program({QStringLiteral("startup")}, "[Params]\r\nSystemTray=1\r\n");
        EXPECT_TRUE(program.main().windowState() & Qt::WindowMinimized);
    }
}

TEST(close, TheSequenceWritesLogAndGeometryAndRemovesWorkFiles) {
    WindowedRun program;
    QFile(program.dir.filePath(QStringLiteral("temp.wav"))).open(QIODevice::WriteOnly);
    QFile(program.dir.filePath(QStringLiteral("tempFileWav.wav"))).open(QIODevice::WriteOnly);
    program.app->program().logger().add(QStringLiteral("-- Modem on clicked"));
    program.main().show();
    program.main().setGeometry(10, 20, 500, 520);
    EXPECT_TRUE(program.main().close());
    EXPECT_FALSE(QFile::exists(program.dir.filePath(QStringLiteral("temp.wav"))));
    EXPECT_FALSE(QFile::exists(program.dir.filePath(QStringLiteral("tempFileWav.wav"))));
    EXPECT_TRUE(program.file(QStringLiteral("Events.log")).endsWith("-- Modem on clicked\r\n"));
    const QByteArray ini = program.file(QStringLiteral("tvk.ini"));
    EXPECT_TRUE(ini.contains("MainLeft=10\r\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("MainTop=20\r\n"));
    EXPECT_TRUE(ini.contains("MainWid=500\r\n"));
    EXPECT_TRUE(ini.contains("Splitter="));
    EXPECT_TRUE(ini.contains("Date=75"));
    EXPECT_FALSE(program.app->program().hasConfig()) << "the configuration is released last";
}

TEST(close, WhileRecordingNoKeepsRecordingAndYesStopsFirst) {
    WindowedRun program;
    bool recording = true;
    int stops = 0;
    program.main().isRecording = [&] { return recording; };
    program.main().stopRecording = [&] {
        ++stops;
        recording = false;
    };
    program.main().show();
    program.prompter.answers = {Prompter::Answer::No};
    EXPECT_FALSE(program.main().close());
    EXPECT_EQ(stops, 0);
    EXPECT_TRUE(recording);
    EXPECT_EQ(program.prompter.shown.last(), QStringLiteral("Exit while recording?"));
    EXPECT_EQ(program.file(QStringLiteral("Events.log")), QByteArray("<missing>"));

    program.prompter.answers = {Prompter::Answer::Yes};
    EXPECT_TRUE(program.main().close());
    EXPECT_EQ(stops, 1);
}

TEST(close, ALogoutStopsTheRecordingWithoutAsking) {
    WindowedRun program;
    bool recording = true;
    program.main().isRecording = [&] { return recording; };
    program.main().stopRecording = [&] { recording = false; };
    program.main().show();
    program.app->requestClose();
    EXPECT_FALSE(recording);
    EXPECT_FALSE(program.prompter.shown.contains(QStringLiteral("Exit while recording?")));
    EXPECT_NE(program.file(QStringLiteral("Events.log")), QByteArray("<missing>"));
}
