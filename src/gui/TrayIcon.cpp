// Tray icon: a double-click brings the window back; the menu is the window's.
#include "gui/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("TrayPopUp"));
    if (!available())
        return;
    m_icon = new QSystemTrayIcon(QApplication::windowIcon().isNull()
                                     ? QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon)
                                     : QApplication::windowIcon(),
                                 this);
    m_icon->setToolTip(m_toolTip);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT showRequested();
    });
    m_icon->show();
}

TrayIcon::~TrayIcon() {
    delete m_menu;
}

bool TrayIcon::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::shown() const {
    return m_icon != nullptr && m_icon->isVisible();
}

void TrayIcon::setRecordingProblem(const QString& problem) {
    m_problemTip = problem.isEmpty() ? QStringLiteral("Orlamo") : QStringLiteral("Orlamo cannot record: ") + problem;
    setDiskWarning(m_diskWarning);
}

void TrayIcon::setDiskWarning(const QString& warning) {
    m_diskWarning = warning;
    m_toolTip = warning.isEmpty() ? m_problemTip : m_problemTip + QLatin1Char('\n') + warning;
    if (m_icon)
        m_icon->setToolTip(m_toolTip);
}
