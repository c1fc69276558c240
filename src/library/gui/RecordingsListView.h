// The recordings list `DBGrid1`: whole rows, the current row always shown, marking with the keyboard
// and the mouse.
#pragma once

#include "library/RecordingMarks.h"

#include <QTableView>

class RecordingsListModel;

class RecordingsListView : public QTableView {
    Q_OBJECT
public:
    explicit RecordingsListView(QWidget* parent = nullptr);

    /// Shows `model`; the view's current row and the table's current row follow each other.
    void setRecordingsModel(RecordingsListModel* model);
    RecordingsListModel* recordingsModel() const { return m_model; }

    RecordingMarks& marks() { return m_marks; }
    const RecordingMarks& marks() const { return m_marks; }
    /// Marks every row of the view, then makes the last one current (Ctrl+A).
    void markAll();
    void clearMarks();

Q_SIGNALS:
    /// Double-click or Enter on a row: play it.
    void rowActivated();
    /// The mouse was pressed in the list (the header takes the Date column's width then).
    void mousePressedInList();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void showCurrentRow(int row);
    void toggleCurrent();
    void repaintMarks();

    RecordingsListModel* m_model = nullptr;
    RecordingMarks m_marks;
    bool m_following = false;
};
