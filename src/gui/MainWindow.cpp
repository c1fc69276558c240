// Main window: creation, first show, resizing, the tray, the status panels, close request and close.
#include "gui/MainWindow.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "gui/DeveloperKeys.h"
#include "gui/HelpManual.h"
#include "gui/MainCommands.h"
#include "gui/TrayIcon.h"
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "library/gui/RecordingsListModel.h"
#include "library/gui/RecordingsListView.h"
#include "program/StartOptions.h"
#include "recorder/gui/SignalTrace.h"

#include <QAction>
#include <QApplication>
#include <QAudioDevice>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMediaDevices>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>

MainWindow::MainWindow(Config& config, Catalogue& catalogue, Logger& logger, Prompter& prompter,
                       const StartOptions& options, QWidget* parent)
    : QMainWindow(parent), m_config(&config), m_logger(logger), m_prompter(prompter) {
    setObjectName(QStringLiteral("fmMain"));
    m_commands = new MainCommands(this);
    buildLayout();
    m_commands->buildMainMenu(menuBar());
    m_listMenu = m_commands->buildListMenu(this);
    m_treeMenu = m_commands->buildTreeMenu(this);

    const QRect designed = geometry();
    setGeometry(config.readInteger(ConfigKeys::kMainLeft, designed.left()),
                config.readInteger(ConfigKeys::kMainTop, designed.top()),
                config.readInteger(ConfigKeys::kMainWidth, designed.width()),
                config.readInteger(ConfigKeys::kMainHeight, designed.height()));
    if (config.read(ConfigKeys::kSystemTray) && options.startup)
        setWindowState(Qt::WindowMinimized);
    setWindowTitle(QStringLiteral("Orlamo"));

    // Qt offers no volume-capability flag per device: any output device will do for playback volume.
    m_hasPlaybackDevice = !QMediaDevices::audioOutputs().isEmpty();
    if (!m_hasPlaybackDevice)
        m_prompter.message(QStringLiteral("Your system has no sound card or\n"
                                          "your sound card is not set up properly.\n"
                                          "This software requires a sound card to play WAV files"),
                           Prompter::Icon::Warning);

    m_tray = new TrayIcon(this);
    m_commands->fillTrayMenu(m_tray->menu());
    connect(m_tray, &TrayIcon::showRequested, this, &MainWindow::showFromTray);

    if (options.onIde) {
        m_developerKeys = new DeveloperKeys(this);
        for (QObject* watched : std::initializer_list<QObject*>{this, m_tree, m_list})
            watched->installEventFilter(m_developerKeys);
        connect(m_developerKeys, &DeveloperKeys::loggerWindowRequested, this, &MainWindow::loggerWindowRequested);
        connect(m_developerKeys, &DeveloperKeys::queryModemWindowRequested, this,
                &MainWindow::queryModemWindowRequested);
        connect(m_developerKeys, &DeveloperKeys::reprobeRequested, this, &MainWindow::reprobeRequested);
        connect(m_developerKeys, &DeveloperKeys::redirectionRequested, this, [this] {
            Q_EMIT redirectionEnabled();
            m_prompter.message(QStringLiteral("Redirection enabled"));
        });
    }
    connectWindowCommands();
    setModemPortOpen(false);
    updateCommands();
    // Moving the volume hands the focus back to the list.
    connect(m_volume, &QSlider::valueChanged, this, [this] { m_list->setFocus(Qt::OtherFocusReason); });
    m_header->viewport()->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    attachCatalogue(catalogue);
}

MainWindow::~MainWindow() = default;

void MainWindow::connectWindowCommands() {
    const MainActions& a = actions();
    connect(a.modemOn, &QAction::triggered, this, &MainWindow::modemOnRequested);
    connect(a.modemOff, &QAction::triggered, this, &MainWindow::modemOffRequested);
    // The button stays down while recording: the recorder decides, not the click.
    connect(a.record, &QAction::triggered, this, [this] {
        actions().record->setChecked(m_commandState.recording);
        Q_EMIT recordRequested();
    });
    connect(a.stop, &QAction::triggered, this, &MainWindow::stopRequested);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.trayExit, &QAction::triggered, this, &QWidget::close);
    connect(a.trayShow, &QAction::triggered, this, &MainWindow::showFromTray);
    const QString programFolder = QApplication::applicationDirPath();
    connect(a.helpContents, &QAction::triggered, this, [programFolder] { HelpManual::open(programFolder); });
    connect(m_helpButton, &QToolButton::clicked, this, [programFolder] { HelpManual::open(programFolder); });
    connect(a.diagnostics, &QAction::triggered, this,
            [this] { m_logger.add(QStringLiteral("-- Options -> Diagnostics clicked")); });
    connect(a.volumeLevel, &QAction::triggered, this, [this] { postProcessing(false); });
    connect(a.voiceEqualizer, &QAction::triggered, this, [this] { postProcessing(true); });
    // The top bar's buttons run the commands of their menu items.
    const std::array<std::pair<QToolButton*, QAction*>, 3> bar = {
        {{m_deleteButton, a.deleteRecordings}, {m_searchButton, a.search}, {m_emailButton, a.emailFile}}};
    for (const auto& [b, command] : bar) {
        connect(b, &QToolButton::clicked, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, b, &QWidget::setEnabled);
        b->setEnabled(command->isEnabled());
    }
    connect(m_list, &RecordingsListView::rowActivated, a.play, [play = a.play] {
        if (play->isEnabled())
            play->trigger();
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_listMenu->popup(m_list->viewport()->mapToGlobal(at)); });
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_treeMenu->popup(m_tree->viewport()->mapToGlobal(at)); });
}

void MainWindow::postProcessing(bool equalizer) {
    m_logger.add(equalizer ? QStringLiteral("-- Voice equilizer clicked") : QStringLiteral("-- Volume level clicked"));
    if (!m_catalogue)
        return;
    QString path;
    try {
        // Migrated first: a legacy file that moves to the "_id" name (another call of the same
        // second holds the plain one) is then found under the name it now has.
        m_catalogue->migrateLegacyFile();
        m_catalogue->setCurrentFileName(m_catalogue->recordingBaseName());
        path = QStringLiteral("wav/") + m_catalogue->currentFileName() + QStringLiteral(".wav");
    } catch (const std::exception& e) {
        m_prompter.message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
        return;
    }
    if (equalizer)
        Q_EMIT voiceEqualizerRequested(path);
    else
        Q_EMIT volumeLevelRequested(path);
}

void MainWindow::showError(const QString& text) {
    m_prompter.message(text, Prompter::Icon::Error);
}

void MainWindow::setModemPortOpen(bool open) {
    m_commands->setModemPortOpen(open);
}

int MainWindow::splitterWidth() const {
    return m_splitter->sizes().value(0);
}

QStringList MainWindow::markedIds() const {
    return m_list->marks().ids();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    m_tree->setFocus();
    refreshModemPanels();
    fitMemoColumn();
    Q_EMIT firstShown();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimising hides the window into the tray, where there is one; elsewhere it stays on the
    // taskbar, so it can always be found again.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && TrayIcon::available())
        hide();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshModemPanels();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_closing)
        return;
    // The layout gives the bars and the main area the window's width; the list's Memo column takes
    // what the other columns leave.
    fitMemoColumn();
}

void MainWindow::showFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool MainWindow::closeRequest() {
    if (isRecording && isRecording()) {
        if (!forcedClose && m_prompter.confirm(QStringLiteral("Exit while recording?"), Prompter::Buttons::YesNo,
                                               Prompter::Answer::No) != Prompter::Answer::Yes)
            return false;
        if (stopRecording)
            stopRecording();
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    if (!closeRequest()) {
        event->ignore();
        return;
    }
    if (closeSequence)
        closeSequence();
    m_closing = true;
    event->accept();
    Q_EMIT closed();
}

void MainWindow::setRecordingProblem(const QString& problem) {
    m_recordingProblem->setText(problem.isEmpty() ? QString() : QStringLiteral("Cannot record: ") + problem);
    m_recordingProblem->setToolTip(m_recordingProblem->text());
    m_recordingProblem->setVisible(!problem.isEmpty());
    if (m_tray)
        m_tray->setRecordingProblem(problem);
}

QString MainWindow::recordingProblem() const {
    return m_recordingProblem->text();
}

void MainWindow::setModemStatus(const QString& text) {
    m_statusPanels[0]->setText(text);
}

QString MainWindow::modemStatus() const {
    return m_statusPanels[0]->text();
}

QString MainWindow::statusPanel(int index) const {
    return index >= 0 && index < int(m_statusPanels.size()) ? m_statusPanels[size_t(index)]->text() : QString();
}

void MainWindow::refreshModemPanels() {
    if (!m_config)
        return;
    const Config& config = *m_config;
    m_statusPanels[1]->setText(QStringLiteral(" COM PORT ") +
                               QString::number(config.readInteger(ConfigKeys::kModemPort, 0)));
    m_statusPanels[2]->setText(QLatin1Char(' ') + config.readString(ConfigKeys::kModel, QString()));
}

void MainWindow::setRecordEnabled(bool on) {
    m_commandState.recordAvailable = on;
    updateCommands();
}

void MainWindow::setRecording(bool on) {
    m_commandState.recording = on;
    updateCommands();
}

void MainWindow::setPlaybackAllowsRecord(bool on) {
    m_commandState.playbackAllowsRecord = on;
    updateCommands();
}

void MainWindow::setStopEnabled(bool on) {
    m_commandState.recorderAllowsStop = on;
    updateCommands();
}

void MainWindow::setPlaybackActive(bool on) {
    m_commandState.playbackActive = on;
    updateCommands();
}

void MainWindow::setSeekOffered(bool on) {
    m_commandState.seekOffered = on;
    updateCommands();
}

void MainWindow::setPlaybackAllowsPostProcessing(bool on) {
    m_commandState.playbackAllowsPostProcessing = on;
    updateCommands();
}

void MainWindow::setRecordingCount(int rows) {
    m_commandState.rows = rows;
    updateCommands();
}

void MainWindow::updateCommands() {
    // The port opens and closes during a recording's start and stop; the commands stay locked meanwhile.
    m_commands->apply(m_commandState);
}
