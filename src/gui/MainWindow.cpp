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
#include "program/Program.h"
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

MainWindow::MainWindow(Program& program, QWidget* parent) : QMainWindow(parent), m_program(program) {
    setObjectName(QStringLiteral("fmMain"));
    m_commands = new MainCommands(this);
    buildLayout();
    m_commands->buildMainMenu(menuBar());
    m_listMenu = m_commands->buildListMenu(this);
    m_treeMenu = m_commands->buildTreeMenu(this);

    const Config& config = m_program.config();
    const QRect designed = geometry();
    setGeometry(config.readInteger(ConfigKeys::kMainLeft, designed.left()),
                config.readInteger(ConfigKeys::kMainTop, designed.top()),
                config.readInteger(ConfigKeys::kMainWidth, designed.width()),
                config.readInteger(ConfigKeys::kMainHeight, designed.height()));
    if (config.read(ConfigKeys::kSystemTray) && m_program.options().startup)
        setWindowState(Qt::WindowMinimized);
    setWindowTitle(QStringLiteral("Orlamo"));

    // Qt offers no volume-capability flag per device: any output device will do for playback volume.
    m_hasPlaybackDevice = !QMediaDevices::audioOutputs().isEmpty();
    if (!m_hasPlaybackDevice)
        m_program.prompter().message(QStringLiteral("Your system has no sound card or\n"
                                                    "your sound card is not set up properly.\n"
                                                    "This software requires a sound card to play WAV files"),
                                     Prompter::Icon::Warning);

    m_tray = new TrayIcon(this);
    m_commands->fillTrayMenu(m_tray->menu());
    connect(m_tray, &TrayIcon::showRequested, this, &MainWindow::showFromTray);

    if (m_program.options().onIde) {
        m_developerKeys = new DeveloperKeys(this);
        for (QObject* watched : std::initializer_list<QObject*>{this, m_tree, m_list})
            watched->installEventFilter(m_developerKeys);
        connect(m_developerKeys, &DeveloperKeys::loggerWindowRequested, this, &MainWindow::loggerWindowRequested);
        connect(m_developerKeys, &DeveloperKeys::queryModemWindowRequested, this,
                &MainWindow::queryModemWindowRequested);
        connect(m_developerKeys, &DeveloperKeys::reprobeRequested, this, &MainWindow::reprobeRequested);
        connect(m_developerKeys, &DeveloperKeys::redirectionRequested, this, [this] {
            Q_EMIT redirectionEnabled();
            m_program.prompter().message(QStringLiteral("Redirection enabled"));
        });
    }
    connectWindowCommands();
    setModemPortOpen(false);
    m_commands->setRecordingCount(0);
    updateRecordControls();
    // Moving the volume hands the focus back to the list.
    connect(m_volume, &QSlider::valueChanged, this, [this] { m_list->setFocus(Qt::OtherFocusReason); });
    m_header->viewport()->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::action(const QString& name) const {
    return m_commands->action(name);
}

QAction* MainWindow::modemOnAction() const {
    return action(QStringLiteral("acModemOn"));
}
QAction* MainWindow::modemOffAction() const {
    return action(QStringLiteral("acModemOff"));
}
QAction* MainWindow::recordAction() const {
    return action(QStringLiteral("acRecord"));
}
QAction* MainWindow::stopAction() const {
    return action(QStringLiteral("acStop"));
}

void MainWindow::connectWindowCommands() {
    auto& c = *m_commands;
    connect(c["acModemOn"], &QAction::triggered, this, &MainWindow::modemOnRequested);
    connect(c["acModemOff"], &QAction::triggered, this, &MainWindow::modemOffRequested);
    // The button stays down while recording: the recorder decides, not the click.
    connect(c["acRecord"], &QAction::triggered, this, [this] {
        recordAction()->setChecked(m_recording);
        Q_EMIT recordRequested();
    });
    connect(c["acStop"], &QAction::triggered, this, &MainWindow::stopRequested);
    connect(c["Exit1"], &QAction::triggered, this, &QWidget::close);
    connect(c["TrayExit"], &QAction::triggered, this, &QWidget::close);
    connect(c["TrayShow"], &QAction::triggered, this, &MainWindow::showFromTray);
    const QString programFolder = QApplication::applicationDirPath();
    connect(c["Contents1"], &QAction::triggered, this, [programFolder] { HelpManual::open(programFolder); });
    connect(findChild<QToolButton*>(QStringLiteral("HelpSb")), &QToolButton::clicked, this,
            [programFolder] { HelpManual::open(programFolder); });
    connect(c["Diagnostics1"], &QAction::triggered, this,
            [this] { m_program.logger().add(QStringLiteral("-- Options -> Diagnostics clicked")); });
    connect(c["acVolumeLevel"], &QAction::triggered, this, [this] { postProcessing(false); });
    connect(c["acVoiceEqualizer"], &QAction::triggered, this, [this] { postProcessing(true); });
    // The top bar's buttons run the commands of their menu items.
    const std::array<std::pair<const char*, const char*>, 3> bar = {
        {{"DeleteSb", "acDelete"}, {"SearchSb", "acSearch"}, {"EmailSb", "acEmailFile"}}};
    for (const auto& [buttonName, commandName] : bar) {
        auto* b = findChild<QToolButton*>(QString::fromLatin1(buttonName));
        QAction* command = c[QString::fromLatin1(commandName)];
        connect(b, &QToolButton::clicked, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, b, &QWidget::setEnabled);
        b->setEnabled(command->isEnabled());
    }
    connect(m_list, &RecordingsListView::rowActivated, c["acPlay"], [this] {
        if (QAction* play = action(QStringLiteral("acPlay")); play->isEnabled())
            play->trigger();
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_listMenu->popup(m_list->viewport()->mapToGlobal(at)); });
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_treeMenu->popup(m_tree->viewport()->mapToGlobal(at)); });
}

void MainWindow::postProcessing(bool equalizer) {
    m_program.logger().add(equalizer ? QStringLiteral("-- Voice equilizer clicked")
                                     : QStringLiteral("-- Volume level clicked"));
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
        m_program.prompter().message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
        return;
    }
    if (equalizer)
        Q_EMIT voiceEqualizerRequested(path);
    else
        Q_EMIT volumeLevelRequested(path);
}

void MainWindow::showError(const QString& text) {
    m_program.prompter().message(text, Prompter::Icon::Error);
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
        if (!forcedClose &&
            m_program.prompter().confirm(QStringLiteral("Exit while recording?"), Prompter::Buttons::YesNo,
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
    if (!m_program.hasConfig())
        return;
    const Config& config = m_program.config();
    m_statusPanels[1]->setText(QStringLiteral(" COM PORT ") +
                               QString::number(config.readInteger(ConfigKeys::kModemPort, 0)));
    m_statusPanels[2]->setText(QLatin1Char(' ') + config.readString(ConfigKeys::kModel, QString()));
}

void MainWindow::setRecordEnabled(bool on) {
    m_recordEnabled = on;
    updateRecordControls();
}

void MainWindow::setRecording(bool on) {
    m_recording = on;
    updateRecordControls();
}

void MainWindow::setPlaybackAllowsRecord(bool on) {
    m_playbackAllowsRecord = on;
    updateRecordControls();
}

void MainWindow::setStopEnabled(bool on) {
    stopAction()->setEnabled(on);
}

void MainWindow::updateRecordControls() {
    // The port opens and closes during a recording's start and stop; Record stays locked meanwhile.
    recordAction()->setChecked(m_recording);
    recordAction()->setEnabled(m_recordEnabled && !m_recording && m_playbackAllowsRecord);
    modemOnAction()->setEnabled(!m_recording);
    modemOffAction()->setEnabled(!m_recording);
    action(QStringLiteral("Settings1"))->setEnabled(!m_recording);
}
