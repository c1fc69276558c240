// The "Logger" window: shows the event log's lines.
#pragma once

#include <QWidget>

class Logger;
class QPlainTextEdit;

class LoggerWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoggerWindow(Logger& logger, QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return m_memo; }

private:
    QPlainTextEdit* m_memo;
};
