// The "Calls" view beside the recordings list: the call log, and Play for a recorded call.
#pragma once

#include "library/CallLog.h"

#include <QWidget>

class CallLogModel;
class QPushButton;
class QTableView;

class CallLogView : public QWidget {
    Q_OBJECT
public:
    explicit CallLogView(QWidget* parent = nullptr);

    void setRows(const QList<CallLogRow>& rows);
    QTableView* table() const { return m_table; }
    QPushButton* playButton() const { return m_play; }
    CallLogModel* model() const { return m_model; }
    /// The recording id of the chosen row; empty when it has none.
    QString chosenRecording() const;

Q_SIGNALS:
    /// Play (or a double click) on a row with a recording.
    void playRequested(const QString& recordingId);

private:
    void updatePlay();
    void play();

    CallLogModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_play = nullptr;
};
