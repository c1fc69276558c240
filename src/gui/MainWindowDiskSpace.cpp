// The main window's free-space panel: hours of recording left, red while below the floor.
#include "gui/MainWindow.h"
#include "gui/TrayIcon.h"

#include <QLabel>
#include <QStatusBar>

void MainWindow::setDiskSpace(const QString& summary, const QString& warning) {
    if (!m_diskSpace) {
        m_diskSpace = new QLabel(statusBar());
        m_diskSpace->setObjectName(QStringLiteral("DiskSpace"));
        m_diskSpace->setTextFormat(Qt::PlainText);
        statusBar()->addPermanentWidget(m_diskSpace);
    }
    m_diskSpace->setText(warning.isEmpty() ? summary : warning);
    m_diskSpace->setToolTip(summary);
    m_diskSpace->setStyleSheet(warning.isEmpty() ? QString() : QStringLiteral("color: #b00020;"));
    if (m_tray)
        m_tray->setDiskWarning(warning);
}

QString MainWindow::diskSpace() const {
    return m_diskSpace ? m_diskSpace->text() : QString();
}
