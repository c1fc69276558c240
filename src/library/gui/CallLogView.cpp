// The call log's table and its Play button.
#include "library/gui/CallLogView.h"

#include "library/CallLogModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

CallLogView::CallLogView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CallLog"));
    m_model = new CallLogModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("CallLogTable"));
    m_table->setAccessibleName(QStringLiteral("Calls"));
    m_table->setAccessibleDescription(QStringLiteral("Every call that rang or was made, newest first"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);

    m_play = new QPushButton(QStringLiteral("Play"), this);
    m_play->setObjectName(QStringLiteral("CallLogPlay"));
    m_play->setToolTip(QStringLiteral("Play the recording of the chosen call"));
    m_play->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_play);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_table, 1);
    column->addLayout(buttons);

    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &CallLogView::updatePlay);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CallLogView::updatePlay);
    connect(m_play, &QPushButton::clicked, this, &CallLogView::play);
    connect(m_table, &QTableView::doubleClicked, this, &CallLogView::play);
}

void CallLogView::setRows(const QList<CallLogRow>& rows) {
    m_model->setRows(rows);
    m_table->resizeColumnsToContents();
}

QString CallLogView::chosenRecording() const {
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid() || current.row() >= m_model->rowCount())
        return QString();
    return m_model->row(current.row()).recordingId;
}

void CallLogView::updatePlay() {
    m_play->setEnabled(!chosenRecording().isEmpty());
}

void CallLogView::play() {
    const QString id = chosenRecording();
    if (!id.isEmpty())
        Q_EMIT playRequested(id);
}
