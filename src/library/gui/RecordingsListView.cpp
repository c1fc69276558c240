// Marking follows exact modifier sets: Ctrl+A marks all, Shift+arrows toggle the row being left,
// plain arrows and plain clicks clear, Ctrl+click toggles, leaving the list clears.
#include "library/gui/RecordingsListView.h"

#include "library/gui/RecordingsListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

RecordingsListView::RecordingsListView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    setAccessibleName(QStringLiteral("Recordings"));
    setAccessibleDescription(QStringLiteral("The recordings of the selected list: date, time, length and memo"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Rows as high as a line of text, not the style's roomy default.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The current row is always grey with white text, focused or not.
    QPalette colours = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, Qt::gray);
        colours.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(colours);
    connect(this, &QAbstractItemView::doubleClicked, this, &RecordingsListView::rowActivated);
}

void RecordingsListView::setRecordingsModel(RecordingsListModel* model) {
    m_model = model;
    setModel(model);
    connect(model, &RecordingsListModel::currentRowChanged, this, &RecordingsListView::showCurrentRow);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { showCurrentRow(m_model->currentRow()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (!m_following && current.isValid())
            m_model->setCurrentRow(current.row());
    });
    showCurrentRow(model->currentRow());
}

void RecordingsListView::showCurrentRow(int row) {
    if (!m_model || row == currentIndex().row())
        return;
    m_following = true;
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const QModelIndex at = m_model->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(at);
    }
    m_following = false;
}

QItemSelectionModel::SelectionFlags RecordingsListView::selectionCommand(const QModelIndex& index,
                                                                         const QEvent* event) const {
    // Ctrl+click marks; it never unselects the current row.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    (void)event;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void RecordingsListView::markAll() {
    if (!m_model)
        return;
    setUpdatesEnabled(false);
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row)
        m_marks.add(m_model->idAt(row));
    m_model->setCurrentRow(rows - 1);
    setUpdatesEnabled(true);
    repaintMarks();
}

void RecordingsListView::clearMarks() {
    if (m_marks.isEmpty())
        return;
    m_marks.clear();
    repaintMarks();
}

void RecordingsListView::toggleCurrent() {
    if (!m_model)
        return;
    const QString id = m_model->idAt(currentIndex().row());
    if (id.isEmpty())
        return;
    m_marks.toggle(id);
    repaintMarks();
}

void RecordingsListView::repaintMarks() {
    if (m_model)
        m_model->marksChanged();
    viewport()->update();
}

void RecordingsListView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool vertical = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_A) {
        markAll();
        event->accept();
        return;
    }
    if (vertical && modifiers == Qt::ShiftModifier) {
        toggleCurrent();
        // Then the list moves as an unmodified arrow would move it.
        QKeyEvent plain(event->type(), event->key(), Qt::NoModifier, event->text(), event->isAutoRepeat());
        QTableView::keyPressEvent(&plain);
        return;
    }
    if (vertical && modifiers == Qt::NoModifier)
        clearMarks();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier &&
        currentIndex().isValid()) {
        Q_EMIT rowActivated();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void RecordingsListView::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mousePressedInList();
    QTableView::mousePressEvent(event);
}

void RecordingsListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (event->modifiers() == Qt::ControlModifier)
        toggleCurrent();
    else if (event->modifiers() == Qt::NoModifier)
        clearMarks();
}

void RecordingsListView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // A pop-up menu of the list takes the focus for a moment; the marks are what its commands use. A
    // window that is merely deactivated (another window, a message box) gives the focus back as it was.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    m_marks.clear();
    if (m_model)
        m_model->marksChanged();
}
