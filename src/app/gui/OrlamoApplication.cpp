// Program start and shutdown.
#include "app/gui/OrlamoApplication.h"

#include "app/SingleInstance.h"
#include "app/UnattendedPrompter.h"
#include "app/WorkingFolder.h"
#include "app/gui/DialogPrompter.h"
#include "app/gui/TfmAbout.h"
#include "app/gui/TfmMain.h"
#include "app/gui/TfmMonitor.h"
#include "app/gui/TrayIcon.h"
#include "library/gui/TMoveToForm.h"
#include "modemsetup/gui/TProgressForm.h"
#include "modemsetup/gui/TSpecModemForm.h"
#include "modemsetup/gui/TfmAskSupport.h"
#include "modemsetup/gui/TfmQueryModem.h"
#include "postproc/gui/TfmVoEqzer.h"
#include "postproc/gui/TfmVolLevel.h"
#include "settings/gui/TfmSettings.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[0], &byte, 1);
}

} // namespace

OrlamoApplication::OrlamoApplication(const QStringList& arguments, QObject* parent) : QObject(parent) {
    m_state.options = StartOptions::parse(arguments);
    const QString programFolder = QFileInfo(QApplication::applicationFilePath()).absolutePath();
    m_state.workDir = WorkingFolder::resolve(m_state.options.workDir, programFolder);
    if (m_state.options.unattended) {
        m_unattendedPrompter = std::make_unique<UnattendedPrompter>(&m_state.logger);
        m_state.prompter = m_unattendedPrompter.get();
    } else {
        m_dialogPrompter = std::make_unique<DialogPrompter>();
        m_state.prompter = m_dialogPrompter.get();
    }
}

OrlamoApplication::~OrlamoApplication() {
    // Reverse of creation.
    m_specModem.reset();
    m_queryModem.reset();
    m_voEqzer.reset();
    m_moveTo.reset();
    m_monitor.reset();
    m_progress.reset();
    m_askSupport.reset();
    m_about.reset();
    m_volLevel.reset();
    m_settings.reset();
    m_main.reset();
}

template <class T, class... Args> std::unique_ptr<T> OrlamoApplication::make(Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    m_created.append(QString::fromLatin1(T::staticMetaObject.className()));
    return object;
}

void OrlamoApplication::create() {
    m_main = make<TfmMain>(m_state, std::function<void()>());
    if (m_dialogPrompter)
        m_dialogPrompter->setParent(m_main.get());
    m_settings = make<TfmSettings>(m_main.get());
    m_volLevel = make<TfmVolLevel>(m_main.get());
    m_about = make<TfmAbout>(m_main.get());
    m_askSupport = make<TfmAskSupport>(m_main.get());
    m_progress = make<TProgressForm>(m_main.get());
    m_monitor = make<TfmMonitor>(m_state.logger);
    m_moveTo = make<TMoveToForm>(m_main.get());
    m_voEqzer = make<TfmVoEqzer>(m_main.get());
    m_queryModem = make<TfmQueryModem>(m_main.get());
    m_specModem = make<TSpecModemForm>(m_main.get());
    buildShutdownSequence();
    m_main->closeSequence = [this] {
        // A failing step is ignored; the rest of the close goes on.
        m_shutdown.run();
    };
}

void OrlamoApplication::buildShutdownSequence() {
    m_shutdown.add(QStringLiteral("delete work files"), [this] {
        QFile::remove(m_state.path(QStringLiteral("temp.wav")));
        QFile::remove(m_state.path(QStringLiteral("tempFileWav.wav")));
    });
    m_shutdown.add(QStringLiteral("write event log"), [this] {
        if (!m_state.logger.writeEventLog(m_state.path(QStringLiteral("Events.log"))))
            std::fprintf(stderr, "orlamo: cannot write %s\n",
                         m_state.path(QStringLiteral("Events.log")).toLocal8Bit().constData());
    });
    m_shutdown.add(QStringLiteral("write geometry"), [this] { m_main->writeGeometry(); });
    m_shutdown.add(QStringLiteral("release configuration"), [this] { m_state.config.reset(); });
}

void OrlamoApplication::requestClose() {
    if (!m_main)
        return;
    m_main->forcedClose = true;
    m_main->close();
}

void OrlamoApplication::installSignalHandlers() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalFds[1], &byte, 1);
        requestClose();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

int OrlamoApplication::run() {
    if (!m_state.options.error.isEmpty()) {
        std::fprintf(stderr, "orlamo: %s\n", m_state.options.error.toLocal8Bit().constData());
        return 2;
    }
    m_instance = std::make_unique<SingleInstance>(m_state.workDir);
    if (m_instance->notifyRunningCopy()) {
        m_state.prompter->message(QString::fromLatin1(kAlreadyLoaded));
        return 0;
    }
    m_instance->listen();
    QApplication::setApplicationDisplayName(QStringLiteral("Orlamo"));
    installSignalHandlers();
    create();
    connect(m_instance.get(), &SingleInstance::raiseRequested, m_main.get(), &TfmMain::showFromTray);
    QApplication::setQuitOnLastWindowClosed(false);
    if (m_main->windowState() & Qt::WindowMinimized) {
        // Started into the tray: only the tray icon shows; without a tray the window shows minimised.
        if (!TrayIcon::available())
            m_main->showMinimized();
    } else {
        m_main->show();
    }
    if (m_state.options.unattended) {
        // Scripts driving an unattended run wait for this line before they go on.
        std::fprintf(stderr, "orlamo: ready in %s\n", m_state.workDir.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    // The loop ends when the main window has closed.
    connect(m_main.get(), &TfmMain::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    const int code = QApplication::exec();
    return code;
}
