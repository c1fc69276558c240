// Takes the README's pictures of the main window: idle on a catalogue of a few recordings, and while
// a simulated call is being recorded; and one of each tab of the settings dialog.
// Usage: orlamo-screenshot OUTPUT_FOLDER [SETTINGS_FOLDER] (under an X server).
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/UnattendedPrompter.h"
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "settings/gui/SettingsDialog.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void settle(int ms) {
    waitFor([] { return false; }, ms);
}

bool fail(const char* why) {
    std::fprintf(stderr, "orlamo-screenshot: %s\n", why);
    return false;
}

/// A few recordings of an ordinary week, with memos, in General and a list of their own.
void fillCatalogue(const QString& folder, Prompter& prompter) {
    Catalogue catalogue(folder, prompter);
    catalogue.openCatalogue();
    const QStringList memos = {QStringLiteral("5551234 Dentist, moved to Thursday"),
                               QStringLiteral("5559876 Mum"),
                               QStringLiteral("5550042 Insurance claim 4711"),
                               QStringLiteral("5553311 Landlord about the heating"),
                               QStringLiteral("5557000"),
                               QStringLiteral("5552468 Pizza order")};
    QDateTime end(QDate(2026, 12, 7), QTime(9, 12, 5));
    for (qsizetype i = 0; i < memos.size(); ++i) {
        RecordingEntry entry;
        entry.audioBytes = 8000 * (47 + 83 * i);
        entry.avgBytesPerSec = 8000;
        entry.callerIdEnabled = true;
        entry.endTime = end.addSecs(i * 16021);
        catalogue.addRecordingEntry(entry);
        TableFile& calls = catalogue.recordings();
        calls.edit();
        calls.setFieldValue(QStringLiteral("Comment"), memos[i]);
        calls.post();
        calls.saveTable();
    }
    catalogue.saveTree();
    catalogue.close();
}

/// settings-general.png, settings-modem.png, ... : the dialog as "Settings..." shows it, tab by tab.
bool takeSettings(SettingsDialog& dialog, const QString& folder) {
    const char* names[] = {"general", "modem", "parameters", "media-player", "monitor", "auto-record"};
    dialog.show();
    settle(500);
    for (int tab = 0; tab < dialog.tabs()->count(); ++tab) {
        dialog.tabs()->setCurrentIndex(tab);
        settle(300);
        if (!dialog.grab().save(folder + QStringLiteral("/settings-%1.png").arg(QLatin1String(names[tab]))))
            return fail("cannot write a settings picture");
    }
    dialog.reject();
    return true;
}

bool run(const QString& outFolder, const QString& settingsFolder) {
    QTemporaryDir work;
    QProcess sim;
    const auto stopSimulator = qScopeGuard([&sim] {
        sim.kill();
        sim.waitForFinished(5000);
    });
    const QString link = work.filePath(QStringLiteral("modem"));
    sim.start(QApplication::applicationDirPath() + QStringLiteral("/modemsim"),
              {QStringLiteral("--link"), link, QStringLiteral("--profile"), QStringLiteral("cx93001")});
    if (!sim.waitForStarted(10000) || !waitFor([&] { return QFile::exists(link); }, 10000))
        return fail("the modem simulator did not start");
    {
        Config config(work.filePath(QStringLiteral("tvk.ini")));
        config.writeString(ConfigKeys::kPortsSection, ConfigKeys::portKey(1), link);
        for (int port = 2; port <= 8; ++port)
            config.writeString(ConfigKeys::kPortsSection, ConfigKeys::portKey(port), QString());
        config.writeInteger(ConfigKeys::kMainWidth, 640);
        config.writeInteger(ConfigKeys::kMainHeight, 520);
        config.writeInteger(ConfigKeys::kSplitter, 130);
    }
    UnattendedPrompter prompter;
    fillCatalogue(work.path(), prompter);

    WindowedProgram program({QStringLiteral("--unattended"), QStringLiteral("--workdir"), work.path()}, &prompter);
    program.create();
    MainWindow& main = *program.mainWindow();
    main.show();
    settle(1500);
    if (!main.grab().save(outFolder + QStringLiteral("/main-window.png")))
        return fail("cannot write main-window.png");
    if (!takeSettings(*program.settingsDialog(), settingsFolder))
        return false;

    sim.write("call rings=1 interval=1000 cid=5551234 audio=speech talk=20 end=silence\n");
    VoiceRecorder& recorder = program.program().recorder();
    if (!waitFor([&] { return recorder.receiving(); }, 30000))
        return fail("the simulated call was not recorded");
    settle(4000);
    if (!main.grab().save(outFolder + QStringLiteral("/main-window-recording.png")))
        return fail("cannot write main-window-recording.png");
    program.program().stopRecording();
    main.close();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: orlamo-screenshot OUTPUT_FOLDER [SETTINGS_FOLDER]\n");
        return 2;
    }
    // The program makes its working folder current: the folders are taken from where we started.
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString settings = QDir(QString::fromLocal8Bit(argv[argc - 1])).absolutePath();
    QDir().mkpath(out);
    QDir().mkpath(settings);
    return run(out, settings) ? 0 : 1;
}
