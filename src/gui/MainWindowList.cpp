// Main window: the folder tree and the recordings list with their header, column widths, fonts and
// the list commands.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "gui/MainCommands.h"
#include "gui/MainWindow.h"
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "library/TableFile.h"
#include "library/gui/FolderTreeModel.h"
#include "library/gui/RecordingsListModel.h"
#include "library/gui/RecordingsListView.h"
#include "recorder/gui/SignalTrace.h"
#include "settings/SettingsModel.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

void MainWindow::attachCatalogue(Catalogue& catalogue) {
    m_catalogue = &catalogue;
    new FolderTreeModel(catalogue, *m_tree, this);
    m_listModel = new RecordingsListModel(catalogue.recordings(), m_list->marks(), this);
    m_list->setRecordingsModel(m_listModel);
    for (int i = 0; i < 3; ++i)
        m_list->setColumnWidth(i, m_columnWidths[size_t(i)]);
    connect(m_listModel, &QAbstractItemModel::modelReset, this, [this] {
        setRecordingCount(m_listModel->rowCount());
        fitMemoColumn();
    });
    connect(m_listModel, &RecordingsListModel::currentRowChanged, this,
            [this] { setRecordingCount(m_listModel->rowCount()); });
    setRecordingCount(m_listModel->rowCount());
    connect(m_header, &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { headerSectionResized(section, size); });
    connect(m_list->horizontalScrollBar(), &QScrollBar::valueChanged, m_header, &QHeaderView::setOffset);
    // Leaving the list for the tree clears the marks (the list does it on losing the focus).
    connectListCommands(catalogue);
    fitMemoColumn();
}

void MainWindow::connectListCommands(Catalogue& catalogue) {
    m_listCommands = std::make_unique<FolderListCommands>(catalogue, m_prompter);
    const MainActions& a = actions();
    auto run = [this](bool (FolderListCommands::*command)()) {
        return [this, command] {
            try {
                (m_listCommands.get()->*command)();
            } catch (const std::exception& e) {
                m_prompter.message(QString::fromUtf8(e.what()), Prompter::Icon::Error);
            }
            updateListCommands();
        };
    };
    connect(a.addList, &QAction::triggered, this, run(&FolderListCommands::addList));
    connect(a.addSublist, &QAction::triggered, this, run(&FolderListCommands::addSublist));
    connect(a.deleteList, &QAction::triggered, this, run(&FolderListCommands::deleteList));
    connect(a.renameList, &QAction::triggered, this, run(&FolderListCommands::renameList));
    connect(&catalogue.folderTree(), &FolderTree::selectionChanged, this, &MainWindow::updateListCommands);
    connect(&catalogue.folderTree(), &FolderTree::changed, this, &MainWindow::updateListCommands);
    // Navigator: first, prior, next, last row of the recordings view.
    TableFile& calls = catalogue.recordings();
    const std::array<void (MemoryTable::*)(), 4> moves = {&MemoryTable::first, &MemoryTable::prior, &MemoryTable::next,
                                                          &MemoryTable::last};
    for (size_t i = 0; i < moves.size(); ++i) {
        connect(m_navigatorButtons[i], &QToolButton::clicked, this, [&calls, move = moves[i]] {
            if (calls.active() && calls.recordCount() > 0)
                (calls.*move)();
        });
    }
    updateListCommands();
}

void MainWindow::updateListCommands() {
    const bool selected = m_listCommands && m_listCommands->hasSelection();
    const MainActions& a = actions();
    for (QAction* command : {a.addSublist, a.deleteList, a.renameList})
        command->setEnabled(selected);
    a.retention->setEnabled(selected);
}

void MainWindow::fitMemoColumn() {
    if (!m_list || m_closing)
        return;
    int fixed = 0;
    for (int i = 0; i < 3; ++i)
        fixed += m_list->columnWidth(i);
    const int memo = std::max(0, m_list->viewport()->width() - fixed);
    m_list->setColumnWidth(RecordingsListModel::MemoColumn, memo);
    const QSignalBlocker quiet(m_header);
    m_header->resizeSection(RecordingsListModel::MemoColumn, memo);
}

void MainWindow::headerSectionResized(int section, int newSize) {
    if (section < 0 || section > RecordingsListModel::MemoColumn)
        return;
    m_list->setColumnWidth(section, newSize);
    if (section < 3)
        m_columnWidths[size_t(section)] = newSize;
    fitMemoColumn();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport()) {
        if (event->type() == QEvent::Resize)
            fitMemoColumn();
        else if (event->type() == QEvent::MouseButtonPress)
            // The mouse in the list: the first header section takes the Date column's width.
            m_header->resizeSection(0, m_list->columnWidth(0));
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyLayout(const SettingsModel& settings) {
    if (!m_config)
        return;
    QFont font(settings.fontName(), settings.fontSize());
    for (QWidget* view : std::initializer_list<QWidget*>{m_list, m_tree}) {
        view->setFont(font);
        QPalette own = view->palette();
        own.setColor(QPalette::Text, colourFromStored(settings.fontColor()));
        view->setPalette(own);
    }
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    // The volume, the folder panel and the columns are written only at exit: the stored ones are taken
    // once, and an apply after the settings dialog keeps what the user set during this run.
    if (!m_storedLayoutTaken) {
        m_storedLayoutTaken = true;
        const Config& config = *m_config;
        m_volume->setValue(config.read(ConfigKeys::kVolume));
        const int total = m_splitter->width();
        // Without a stored width (a first start) the panel has its designed width, wide enough for
        // "General"; the splitter's own width before the window is laid out is its minimum.
        const int folderWidth = config.readInteger(ConfigKeys::kSplitter, kDesignFolderWidth);
        m_splitter->setSizes({folderWidth, std::max(0, total - folderWidth)});
        m_columnWidths = {config.read(ConfigKeys::kDateWidth), config.read(ConfigKeys::kTimeWidth),
                          config.read(ConfigKeys::kDurationWidth)};
    }
    for (int i = 0; i < 3; ++i) {
        m_list->setColumnWidth(i, m_columnWidths[size_t(i)]);
        const QSignalBlocker quiet(m_header);
        m_header->resizeSection(i, m_columnWidths[size_t(i)]);
    }
    fitMemoColumn();
}

void MainWindow::resetListControls() {
    actions().rewind->setEnabled(false);
    actions().fastForward->setEnabled(false);
    if (!m_catalogue)
        return;
    TableFile& calls = m_catalogue->recordings();
    if (calls.active() && calls.recordCount() > 0)
        calls.first();
    setRecordingCount(m_listModel ? m_listModel->rowCount() : 0);
}

void MainWindow::writeGeometry() {
    if (!m_config)
        return;
    Config& config = *m_config;
    // Where the window is on the screen while it is hidden in the tray is where it comes back.
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    config.writeInteger(ConfigKeys::kMainTop, g.top());
    config.writeInteger(ConfigKeys::kMainLeft, g.left());
    config.writeInteger(ConfigKeys::kMainWidth, g.width());
    config.writeInteger(ConfigKeys::kMainHeight, g.height());
    config.writeInteger(ConfigKeys::kVolume, m_volume->value());
    config.writeInteger(ConfigKeys::kSplitter, splitterWidth());
    for (int i = 0; i < 3; ++i)
        m_columnWidths[size_t(i)] = m_list->columnWidth(i);
    config.writeInteger(ConfigKeys::kDateWidth, m_columnWidths[0]);
    config.writeInteger(ConfigKeys::kTimeWidth, m_columnWidths[1]);
    config.writeInteger(ConfigKeys::kDurationWidth, m_columnWidths[2]);
}
