// Main window: creation, first show, close request and close.
#include "gui/MainWindow.h"

#include "base/Config.h"
#include "base/Prompter.h"
#include "gui/TrayIcon.h"
#include "library/Catalogue.h"
#include "library/gui/FolderTreeModel.h"
#include "library/gui/RecordingsListModel.h"
#include "program/Program.h"
#include "recorder/gui/SignalTrace.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMediaDevices>
#include <QMenuBar>
#include <QPainter>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kParamsLower = QStringLiteral("params");
const QString kParams = QStringLiteral("Params");

// The usual red dot; the style offers none.
QIcon recordIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 0, 0));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return QIcon(pixmap);
}
} // namespace

MainWindow::MainWindow(Program& program, QWidget* parent) : QMainWindow(parent), m_program(program) {
    setObjectName(QStringLiteral("fmMain"));
    buildLayout();

    const Config& config = m_program.config();
    const QRect designed = geometry();
    setGeometry(config.readInteger(kParamsLower, QStringLiteral("MainLeft"), designed.left()),
                config.readInteger(kParamsLower, QStringLiteral("MainTop"), designed.top()),
                config.readInteger(kParamsLower, QStringLiteral("MainWid"), designed.width()),
                config.readInteger(kParamsLower, QStringLiteral("MainHeight"), designed.height()));
    if (config.readBool(kParams, QStringLiteral("SystemTray"), false) && m_program.options().startup)
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
    m_tray->addRecorderItems(m_acStop, m_acRecord);
    m_trayModemOn = itemFor(m_acModemOn, QStringLiteral("TrayModemOn"));
    m_trayModemOff = itemFor(m_acModemOff, QStringLiteral("TrayModemOff"));
    m_tray->addModemMenu(m_trayModemOn, m_trayModemOff);
    setModemPortOpen(false);
    connect(m_tray, &TrayIcon::showRequested, this, &MainWindow::showFromTray);
    connect(m_tray, &TrayIcon::exitRequested, this, &QWidget::close);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout() {
    resize(492, 476 + 50);
    setMinimumSize(450, 500);

    buildActions();
    auto* fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    QAction* exitAction = fileMenu->addAction(QStringLiteral("E&xit"));
    exitAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    auto* recorderMenu = menuBar()->addMenu(QStringLiteral("Recorder"));
    recorderMenu->addAction(m_acStop);
    recorderMenu->addAction(m_acRecord);

    auto* optionsMenu = menuBar()->addMenu(QStringLiteral("Options"));
    auto* modemMenu = optionsMenu->addMenu(QStringLiteral("Modem"));
    m_on1 = itemFor(m_acModemOn, QStringLiteral("On1"));
    m_off1 = itemFor(m_acModemOff, QStringLiteral("Off1"));
    modemMenu->addAction(m_on1);
    modemMenu->addAction(m_off1);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 2, 6, 2);

    m_tracePanel = new QFrame(central);
    m_tracePanel->setObjectName(QStringLiteral("Panel3"));
    m_tracePanel->setFrameShape(QFrame::Panel);
    m_tracePanel->setFrameShadow(QFrame::Sunken);
    m_tracePanel->setFixedHeight(60);
    m_tracePanel->setAutoFillBackground(true);
    auto* traceLayout = new QVBoxLayout(m_tracePanel);
    traceLayout->setContentsMargins(2, 2, 2, 2);
    m_trace = new SignalTrace(m_program.prompter(), m_tracePanel);
    traceLayout->addWidget(m_trace);
    layout->addWidget(m_tracePanel);

    m_position = new QSlider(Qt::Horizontal, central);
    m_position->setObjectName(QStringLiteral("TrackBar1"));
    m_position->setRange(0, 100);
    m_position->setEnabled(false);
    layout->addWidget(m_position);

    auto* controls = new QToolBar(central);
    controls->setObjectName(QStringLiteral("ToolBar2"));
    for (QAction* action : {m_acStop, m_acRecord}) {
        controls->addAction(action);
        if (QWidget* button = controls->widgetForAction(action)) {
            button->setCursor(Qt::PointingHandCursor);
            button->setMinimumWidth(40);
        }
    }
    m_volume = new QSlider(Qt::Horizontal, controls);
    m_volume->setObjectName(QStringLiteral("TrackBar2"));
    m_volume->setRange(0, 16);
    m_volume->setTickInterval(2);
    m_volume->setTickPosition(QSlider::TicksBelow);
    m_volume->setToolTip(QStringLiteral("Volume"));
    m_volume->setValue(8);
    controls->addWidget(m_volume);
    layout->addWidget(controls);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("Panel2"));
    m_splitter->setHandleWidth(4);
    m_tree = new QTreeView(m_splitter);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list = new QTableView(m_splitter);
    m_list->setObjectName(QStringLiteral("DBGrid1"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_list);
    m_splitter->setSizes({113, 368});
    layout->addWidget(m_splitter, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    for (int width : {80, 80, 50}) {
        auto* panel = new QLabel(status);
        panel->setMinimumWidth(width);
        panel->setTextFormat(Qt::PlainText);
        status->addWidget(panel);
        m_statusPanels.append(panel);
    }
    setStatusBar(status);
}

void MainWindow::buildActions() {
    m_acModemOn = new QAction(QStringLiteral("On"), this);
    m_acModemOn->setObjectName(QStringLiteral("acModemOn"));
    connect(m_acModemOn, &QAction::triggered, this, &MainWindow::modemOnRequested);
    m_acModemOff = new QAction(QStringLiteral("Off"), this);
    m_acModemOff->setObjectName(QStringLiteral("acModemOff"));
    connect(m_acModemOff, &QAction::triggered, this, &MainWindow::modemOffRequested);

    m_acRecord = new QAction(QStringLiteral("Record"), this);
    m_acRecord->setObjectName(QStringLiteral("acRecord"));
    m_acRecord->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    m_acRecord->setToolTip(QStringLiteral("Record"));
    m_acRecord->setIcon(recordIcon());
    m_acRecord->setCheckable(true);
    m_acRecord->setEnabled(false);
    // The button stays down while recording: the recorder decides, not the click.
    connect(m_acRecord, &QAction::triggered, this, [this] {
        m_acRecord->setChecked(m_recording);
        Q_EMIT recordRequested();
    });
    m_acStop = new QAction(QStringLiteral("Stop"), this);
    m_acStop->setObjectName(QStringLiteral("acStop"));
    m_acStop->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_acStop->setToolTip(QStringLiteral("Stop"));
    m_acStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    connect(m_acStop, &QAction::triggered, this, &MainWindow::stopRequested);
    addActions({m_acRecord, m_acStop});
}

QAction* MainWindow::itemFor(QAction* action, const QString& name) {
    // A menu item of its own, so the main menu and the tray menu each carry their check mark, while
    // the command and whether it is available stay the action's.
    auto* item = new QAction(action->text(), this);
    item->setObjectName(name);
    item->setCheckable(true);
    connect(item, &QAction::triggered, action, [action, item] {
        item->setChecked(!item->isChecked()); // the port's state decides the mark, not the click
        action->trigger();
    });
    connect(action, &QAction::enabledChanged, item, &QAction::setEnabled);
    item->setEnabled(action->isEnabled());
    return item;
}

void MainWindow::setModemPortOpen(bool open) {
    m_on1->setChecked(open);
    m_trayModemOn->setChecked(open);
    m_off1->setChecked(!open);
    m_trayModemOff->setChecked(!open);
}

int MainWindow::splitterWidth() const {
    return m_splitter->sizes().value(0);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    m_tree->setFocus();
    Q_EMIT firstShown();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimising hides the window into the tray, where there is one.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && TrayIcon::available())
        hide();
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

void MainWindow::writeGeometry() {
    if (!m_program.hasConfig())
        return;
    Config& config = m_program.config();
    const QRect g = geometry();
    config.writeInteger(kParamsLower, QStringLiteral("MainTop"), g.top());
    config.writeInteger(kParamsLower, QStringLiteral("MainLeft"), g.left());
    config.writeInteger(kParamsLower, QStringLiteral("MainWid"), g.width());
    config.writeInteger(kParamsLower, QStringLiteral("MainHeight"), g.height());
    config.writeInteger(kParamsLower, QStringLiteral("Volume"), m_volume->value());
    config.writeInteger(kParamsLower, QStringLiteral("Splitter"), splitterWidth());
    const QHeaderView* header = m_list->horizontalHeader();
    for (int i = 0; i < 3; ++i) {
        if (header->count() > i)
            m_columnWidths[static_cast<size_t>(i)] = header->sectionSize(i);
    }
    config.writeInteger(kParams, QStringLiteral("Date"), m_columnWidths[0]);
    config.writeInteger(kParams, QStringLiteral("Time"), m_columnWidths[1]);
    config.writeInteger(kParams, QStringLiteral("Duration"), m_columnWidths[2]);
}

void MainWindow::setModemStatus(const QString& text) {
    m_statusPanels.value(0)->setText(text);
}

QString MainWindow::modemStatus() const {
    return m_statusPanels.value(0)->text();
}

void MainWindow::setRecordEnabled(bool on) {
    m_recordEnabled = on;
    updateRecordControls();
}

void MainWindow::setRecording(bool on) {
    m_recording = on;
    updateRecordControls();
}

void MainWindow::setStopEnabled(bool on) {
    m_acStop->setEnabled(on);
}

void MainWindow::updateRecordControls() {
    // The port opens and closes during a recording's start and stop; Record stays locked meanwhile.
    m_acRecord->setChecked(m_recording);
    m_acRecord->setEnabled(m_recordEnabled && !m_recording);
    m_acModemOn->setEnabled(!m_recording);
    m_acModemOff->setEnabled(!m_recording);
}

void MainWindow::attachCatalogue(Catalogue& catalogue) {
    new FolderTreeModel(catalogue, *m_tree, this);
    auto* list = new RecordingsListModel(catalogue.CallsTbl(), this);
    m_list->setModel(list);
    m_list->horizontalHeader()->setStretchLastSection(true);
    QHeaderView* header = m_list->horizontalHeader();
    for (int i = 0; i < 3; ++i)
        header->resizeSection(i, m_columnWidths[static_cast<size_t>(i)]);
    // A new recording shows as the last row, where the user looks for it.
    connect(list, &QAbstractItemModel::modelReset, m_list, [this, list] {
        if (list->rowCount() > 0)
            m_list->scrollToBottom();
    });
}

void MainWindow::applyLayout() {
    if (!m_program.hasConfig())
        return;
    const Config& config = m_program.config();
    m_volume->setValue(config.readInteger(kParamsLower, QStringLiteral("Volume"), 8));
    const int total = m_splitter->width();
    const int folderWidth = config.readInteger(kParamsLower, QStringLiteral("Splitter"), splitterWidth());
    m_splitter->setSizes({folderWidth, std::max(0, total - folderWidth)});
    m_columnWidths = {config.readInteger(kParams, QStringLiteral("Date"), 75),
                      config.readInteger(kParams, QStringLiteral("Time"), 70),
                      config.readInteger(kParams, QStringLiteral("Duration"), 70)};
    QHeaderView* header = m_list->horizontalHeader();
    for (int i = 0; i < 3 && i < header->count(); ++i)
        header->resizeSection(i, m_columnWidths[static_cast<size_t>(i)]);
}
