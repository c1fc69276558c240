// Takes the pictures of the README and the manual: the main window idle on a catalogue of a few
// recordings and while a simulated call is being recorded, each tab of the settings dialog, and every
// other window as the user opens it.
// Usage: orlamo-screenshot README_FOLDER MANUAL_FOLDER (under an X server).
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/UnattendedPrompter.h"
#include "gui/MainWindow.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "library/TableFile.h"
#include "program/Program.h"
#include "recorder/VoiceRecorder.h"
#include "settings/gui/SettingsDialog.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
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

/// Waits for the top-level window `name` to show, lets it settle, saves its picture and ends it as
/// `finish` says. Windows that open modally are waited for from inside their own loop.
class Snapshot {
public:
    enum class Finish {
        Cancel, ///< a dialog's Cancel, or the window closed
        Leave,  ///< left as it is: a window that shows only briefly (a progress window), taken at once
    };
    /// `path` empty: no picture, the window is only prepared and finished. `prepare` runs halfway
    /// through the `settleTicks` (of 100 ms) the window is given before its picture.
    Snapshot(QString name, QString path, std::function<void(QWidget*)> prepare = {}, Finish finish = Finish::Cancel,
             int settleTicks = 0)
        : m_name(std::move(name)), m_path(std::move(path)), m_prepare(std::move(prepare)), m_finish(finish),
          m_settleTicks(settleTicks > 0           ? settleTicks
                        : finish == Finish::Leave ? 2
                                                  : 12) {
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start();
    }
    bool done() const { return !m_timer.isActive(); }
    /// Waits until the picture is taken; false (saying which) when the window never came.
    bool wait(int ms = 20000) {
        waitFor([this] { return done(); }, ms);
        m_timer.stop();
        if (!m_saved)
            std::fprintf(stderr, "orlamo-screenshot: no picture of %s\n", qPrintable(m_name));
        return m_saved;
    }

private:
    void look() {
        if (m_busy)
            return;
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == m_name && w->isVisible())
                window = w;
        if (!window)
            return;
        ++m_ticks;
        const QScopedValueRollback busy(m_busy, true);
        if (m_ticks == m_settleTicks / 2 && m_prepare) {
            m_prepare(window);
            // Only the preparation was asked for (it may have closed the window).
            if (m_path.isEmpty()) {
                m_saved = true;
                m_timer.stop();
                return;
            }
        }
        if (m_ticks < m_settleTicks)
            return;
        m_saved = window->grab().save(m_path);
        m_timer.stop();
        if (m_finish == Finish::Leave)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    }

    QString m_name;
    QString m_path;
    std::function<void(QWidget*)> m_prepare;
    Finish m_finish;
    int m_settleTicks;
    QTimer m_timer;
    int m_ticks = 0;
    bool m_busy = false;
    bool m_saved = false;
};

/// Clicks the button `name` of a window.
std::function<void(QWidget*)> clickButton(const char* name) {
    return [name](QWidget* w) {
        if (auto* button = w->findChild<QPushButton*>(QLatin1String(name)))
            button->click();
    };
}

/// Chooses the menu command `name` of the main window, as a click would.
bool choose(MainWindow& main, const char* name) {
    auto* action = main.findChild<QAction*>(QLatin1String(name));
    if (!action)
        return fail(name);
    action->trigger();
    return true;
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

/// The windows that open from the menus while the program is idle.
bool takeDialogs(MainWindow& main, const QString& manual) {
    const auto file = [&manual](const char* name) { return manual + QLatin1Char('/') + QLatin1String(name); };
    {
        Snapshot about(QStringLiteral("fmAbout"), file("about.png"));
        if (!choose(main, "About1") || !about.wait())
            return false;
    }
    {
        Snapshot report(QStringLiteral("fmAskSupport"), file("report-problem.png"), [](QWidget* w) {
            if (auto* memo = w->findChild<QPlainTextEdit*>(QStringLiteral("Memo1")))
                memo->setPlainText(QStringLiteral("Since Monday the calls in the evening are recorded silent."));
        });
        if (!choose(main, "ReportProblem1") || !report.wait())
            return false;
    }
    {
        Snapshot find(QStringLiteral("dlgFind"), file("find.png"), [](QWidget* w) {
            if (auto* text = w->findChild<QLineEdit*>(QStringLiteral("FindText")))
                text->setText(QStringLiteral("Dentist"));
        });
        if (!choose(main, "acSearch") || !find.wait())
            return false;
    }
    {
        Snapshot move(QStringLiteral("MoveToForm"), file("move-to.png"));
        if (!choose(main, "acMoveTo") || !move.wait())
            return false;
    }
    {
        // The diagnostics ask the simulated modem, with the progress window; the answers then fill
        // the Query Modem window.
        Snapshot progress(QStringLiteral("ProgressForm"), file("progress.png"), {}, Snapshot::Finish::Leave);
        if (!choose(main, "Diagnostics1"))
            return false;
        waitFor([&progress] { return progress.done(); }, 60000);
        Snapshot query(QStringLiteral("fmQueryModem"), file("query-modem.png"));
        Q_EMIT main.queryModemWindowRequested();
        if (!query.wait() || !progress.wait(1))
            return false;
    }
    Snapshot events(QStringLiteral("fmMonitor"), file("event-log.png"));
    Q_EMIT main.loggerWindowRequested();
    return events.wait();
}

/// Makes the first recording whose file exists the current one.
bool selectRecordedCall(Catalogue& catalogue) {
    TableFile& calls = catalogue.recordings();
    for (calls.first(); !calls.eof(); calls.next())
        if (QFile::exists(catalogue.wavPath(catalogue.recordingBaseName())))
            return true;
    return fail("the recorded call is not in the list");
}

/// The post-processing windows on the call just recorded.
bool takePostProcessing(MainWindow& main, Catalogue& catalogue, const QString& manual) {
    if (!selectRecordedCall(catalogue))
        return false;
    Snapshot level(QStringLiteral("fmVolLevel"), manual + QStringLiteral("/volume-level.png"), [](QWidget* w) {
        if (auto* slider = w->findChild<QSlider*>(QStringLiteral("trb")))
            slider->setValue(30);
    });
    if (!choose(main, "acVolumeLevel") || !level.wait())
        return false;
    Snapshot equalizer(QStringLiteral("fmVoEqzer"), manual + QStringLiteral("/voice-equalizer.png"));
    return choose(main, "acVoiceEqualizer") && equalizer.wait();
}

bool run(const QString& readme, const QString& manual) {
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

    // A first start: the search for modems shows its progress and the modems found, and OK takes the
    // simulated one.
    Snapshot finding(QStringLiteral("ProgressForm"), manual + QStringLiteral("/finding-modems.png"), {},
                     Snapshot::Finish::Leave);
    Snapshot choice(QStringLiteral("SpecModemForm"), manual + QStringLiteral("/modem-choice.png"), {},
                    Snapshot::Finish::Leave, 10);
    Snapshot takeModem(QStringLiteral("SpecModemForm"), QString(), clickButton("btnOk"), Snapshot::Finish::Leave, 30);
    WindowedProgram program({QStringLiteral("--workdir"), work.path()}, &prompter);
    program.create();
    if (!finding.wait(1) || !choice.wait(1) || !takeModem.wait(1))
        return false;
    MainWindow& main = *program.mainWindow();
    main.show();
    settle(1500);
    const QPixmap idle = main.grab();
    if (!idle.save(readme + QStringLiteral("/main-window.png")) ||
        !idle.save(manual + QStringLiteral("/main-window.png")))
        return fail("cannot write main-window.png");
    if (!takeSettings(*program.settingsDialog(), manual) || !takeDialogs(main, manual))
        return false;

    Snapshot callerId(QStringLiteral("fmCallerID"), manual + QStringLiteral("/caller-id.png"), {},
                      Snapshot::Finish::Leave);
    sim.write("call rings=3 interval=3000 cid=5551234 audio=speech talk=20 end=silence\n");
    VoiceRecorder& recorder = program.program().recorder();
    if (!waitFor([&] { return recorder.receiving(); }, 60000))
        return fail("the simulated call was not recorded");
    settle(4000);
    const QPixmap recording = main.grab();
    if (!recording.save(readme + QStringLiteral("/main-window-recording.png")) ||
        !recording.save(manual + QStringLiteral("/main-window-recording.png")))
        return fail("cannot write main-window-recording.png");
    program.program().stopRecording();
    if (!waitFor([&] { return !recorder.recording(); }, 30000) || !callerId.wait(1))
        return fail("the recording did not stop");
    settle(1000);
    if (!takePostProcessing(main, program.program().catalogue(), manual))
        return false;
    main.close();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: orlamo-screenshot README_FOLDER MANUAL_FOLDER\n");
        return 2;
    }
    // The program makes its working folder current: the folders are taken from where we started.
    const QString readme = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString manual = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(readme);
    QDir().mkpath(manual);
    return run(readme, manual) ? 0 : 1;
}
