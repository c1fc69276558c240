// Logger window: a read-only text box that follows the event log.
#include "gui/LoggerWindow.h"

#include "base/Logger.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

LoggerWindow::LoggerWindow(Logger& logger, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_memo(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("fmMonitor"));
    setWindowTitle(QStringLiteral("Logger"));
    setGeometry(20, 177, 238, 416);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setAccessibleName(QStringLiteral("Event log"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The window shows what the log holds; the log itself bounds a long run.
    m_memo->setMaximumBlockCount(static_cast<int>(Logger::kMaxLines));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    for (const QString& line : logger.lines())
        m_memo->appendPlainText(line);
    connect(&logger, &Logger::appended, m_memo, &QPlainTextEdit::appendPlainText);
}
