// Main window layout, top to bottom: top bar, trace panel, position bar, control bar, folder tree
// and recordings list, status bar.
#include "gui/MainCommands.h"
#include "gui/MainWindow.h"
#include "library/gui/CallLogView.h"
#include "library/gui/RecordingsListView.h"
#include "recorder/gui/SignalTrace.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

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

constexpr int kDesignWidth = 492;
constexpr int kDesignHeight = 476;

} // namespace

void MainWindow::buildLayout() {
    resize(kDesignWidth, kDesignHeight + 50);
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    QStyle* s = style();
    const MainActions& a = actions();
    a.play->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    a.pause->setIcon(s->standardIcon(QStyle::SP_MediaPause));
    a.stop->setIcon(s->standardIcon(QStyle::SP_MediaStop));
    a.rewind->setIcon(s->standardIcon(QStyle::SP_MediaSeekBackward));
    a.fastForward->setIcon(s->standardIcon(QStyle::SP_MediaSeekForward));
    a.record->setIcon(recordIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(2);
    layout->addWidget(buildTopBar(central));

    m_tracePanel = new QFrame(central);
    m_tracePanel->setObjectName(QStringLiteral("Panel3"));
    m_tracePanel->setAccessibleName(QStringLiteral("Signal trace"));
    m_tracePanel->setAccessibleDescription(QStringLiteral("The sound of the call being recorded or played"));
    m_tracePanel->setFrameShape(QFrame::Panel);
    m_tracePanel->setFrameShadow(QFrame::Sunken);
    m_tracePanel->setFixedHeight(60);
    m_tracePanel->setAutoFillBackground(true);
    auto* traceLayout = new QVBoxLayout(m_tracePanel);
    traceLayout->setContentsMargins(2, 2, 2, 2);
    m_trace = new SignalTrace(m_prompter, m_tracePanel);
    m_trace->setObjectName(QStringLiteral("pBox"));
    traceLayout->addWidget(m_trace);
    layout->addWidget(m_tracePanel);

    m_position = new QSlider(Qt::Horizontal, central);
    m_position->setObjectName(QStringLiteral("TrackBar1"));
    m_position->setAccessibleName(QStringLiteral("Position"));
    m_position->setAccessibleDescription(QStringLiteral("How far the recording has played, in percent"));
    m_position->setRange(0, 100);
    m_position->setTickPosition(QSlider::NoTicks);
    // It shows the playback position; the user does not move it.
    m_position->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_position->setFocusPolicy(Qt::NoFocus);
    m_position->setFixedHeight(17);
    layout->addWidget(m_position);

    layout->addWidget(buildControlBar(central));
    layout->addWidget(buildMainArea(central), 1);
    setCentralWidget(central);
    buildStatusBar();
}

QToolButton* MainWindow::button(QWidget* parent, const char* name, QAction* action, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    if (action) {
        b->setDefaultAction(action);
    }
    b->setToolTip(hint);
    // The hint is what the button is called when it shows only a picture.
    b->setAccessibleName(hint.isEmpty() && action ? action->text() : hint);
    b->setAutoRaise(true);
    return b;
}

QWidget* MainWindow::buildTopBar(QWidget* parent) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setFixedHeight(38);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(2);

    auto* navigator = new QWidget(bar);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    auto* navigatorRow = new QHBoxLayout(navigator);
    navigatorRow->setContentsMargins(0, 0, 0, 0);
    navigatorRow->setSpacing(0);
    struct Move {
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
    };
    const std::array<Move, 4> moves = {{{"nbFirst", "First file", QStyle::SP_MediaSkipBackward},
                                        {"nbPrior", "Prior file", QStyle::SP_ArrowLeft},
                                        {"nbNext", "Next file", QStyle::SP_ArrowRight},
                                        {"nbLast", "Last file", QStyle::SP_MediaSkipForward}}};
    for (size_t i = 0; i < moves.size(); ++i) {
        QToolButton* b = button(navigator, moves[i].name, nullptr, QString::fromLatin1(moves[i].hint));
        b->setIcon(style()->standardIcon(moves[i].icon));
        navigatorRow->addWidget(b);
        m_navigatorButtons[i] = b;
    }
    row->addWidget(navigator);

    m_deleteButton = button(bar, "DeleteSb", nullptr, QStringLiteral("Delete"));
    m_deleteButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    row->addWidget(m_deleteButton);
    m_searchButton = button(bar, "SearchSb", nullptr, QStringLiteral("Search"));
    m_searchButton->setText(QStringLiteral("Search"));
    row->addWidget(m_searchButton);
    m_emailButton = button(bar, "EmailSb", nullptr, QStringLiteral("Email to..."));
    m_emailButton->setText(QStringLiteral("Email to"));
    row->addWidget(m_emailButton);
    row->addStretch(1);
    m_helpButton = button(bar, "HelpSb", nullptr, QStringLiteral("Help"));
    m_helpButton->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    row->addWidget(m_helpButton);
    return bar;
}

QWidget* MainWindow::buildControlBar(QWidget* parent) {
    auto* bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("ToolBar2"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(0);
    const MainActions& a = actions();
    struct Control {
        const char* name;
        QAction* command;
        QToolButton** kept;
    };
    const std::array<Control, 6> controls = {{{"Playsb1", a.play, nullptr},
                                              {"PauseSb1", a.pause, nullptr},
                                              {"StopSb1", a.stop, nullptr},
                                              {"PrevSb1", a.rewind, &m_rewindButton},
                                              {"NextSb1", a.fastForward, &m_fastForwardButton},
                                              {"RecSb1", a.record, nullptr}}};
    for (const Control& control : controls) {
        QToolButton* b = button(bar, control.name, control.command, control.command->text());
        b->setCursor(Qt::PointingHandCursor);
        b->setFixedWidth(40);
        row->addWidget(b);
        if (control.kept)
            *control.kept = b;
    }
    row->addSpacing(12);
    auto* speaker = new QLabel(bar);
    speaker->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    row->addWidget(speaker);
    m_volume = new QSlider(Qt::Horizontal, bar);
    m_volume->setObjectName(QStringLiteral("TrackBar2"));
    m_volume->setAccessibleName(QStringLiteral("Volume"));
    m_volume->setAccessibleDescription(QStringLiteral("The volume of the sound output"));
    m_volume->setRange(0, 16);
    m_volume->setTickInterval(2);
    m_volume->setTickPosition(QSlider::TicksBelow);
    m_volume->setToolTip(QStringLiteral("Volume"));
    m_volume->setValue(8);
    m_volume->setMaximumWidth(150);
    row->addWidget(m_volume);
    row->addStretch(1);
    return bar;
}

QWidget* MainWindow::buildMainArea(QWidget* parent) {
    m_splitter = new QSplitter(Qt::Horizontal, parent);
    m_splitter->setObjectName(QStringLiteral("Panel2"));
    m_splitter->setHandleWidth(4);
    m_splitter->setChildrenCollapsible(false);

    m_tree = new QTreeView(m_splitter);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setAccessibleName(QStringLiteral("Lists"));
    m_tree->setAccessibleDescription(QStringLiteral("The lists and sub-lists the recordings are kept in"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setMinimumWidth(40);

    // The recordings and the call log share the place beside the lists, one page each.
    m_pages = new QTabWidget(m_splitter);
    m_pages->setObjectName(QStringLiteral("Pages"));
    m_pages->setDocumentMode(true);
    auto* right = new QWidget(m_pages);
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // A header of its own above the list: the handle for the column widths.
    m_header = new QHeaderView(Qt::Horizontal, right);
    m_header->setObjectName(QStringLiteral("hdRecordings"));
    auto* titles = new QStandardItemModel(0, 4, m_header);
    titles->setHorizontalHeaderLabels(
        {QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Duration"), QStringLiteral("Memo")});
    m_header->setModel(titles);
    m_header->setFixedHeight(22);
    m_header->setSectionsClickable(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setStretchLastSection(false);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::array<int, 4> designed = {80, 80, 75, 1000};
    for (int i = 0; i < 4; ++i)
        m_header->resizeSection(i, designed[size_t(i)]);
    column->addWidget(m_header);
    m_list = new RecordingsListView(right);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(m_list, 1);

    m_pages->addTab(right, QStringLiteral("Recordings"));
    m_callLogView = new CallLogView(m_pages);
    m_pages->addTab(m_callLogView, QStringLiteral("Calls"));

    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_pages);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kDesignFolderWidth, 368});
    return m_splitter;
}

void MainWindow::buildStatusBar() {
    auto* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(25);
    status->setSizeGripEnabled(true);
    const std::array<int, 3> widths = {80, 80, 50};
    for (size_t i = 0; i < widths.size(); ++i) {
        auto* panel = new QLabel(status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setMinimumWidth(widths[i]);
        // Modem texts are shown as they came, never as markup.
        panel->setTextFormat(Qt::PlainText);
        status->addWidget(panel, i + 1 == widths.size() ? 1 : 0);
        m_statusPanels[i] = panel;
    }
    // What keeps the recorder from recording, where the user looks; hidden while nothing does.
    m_recordingProblem = new QLabel(status);
    m_recordingProblem->setObjectName(QStringLiteral("RecordingProblem"));
    m_recordingProblem->setTextFormat(Qt::PlainText);
    m_recordingProblem->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_recordingProblem->hide();
    status->addPermanentWidget(m_recordingProblem);
}
