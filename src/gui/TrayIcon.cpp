// Tray icon: "Show" and a double-click bring the window back; "Exit" closes it.
#include "gui/TrayIcon.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("TrayPopUp"));
    connect(m_menu->addAction(QStringLiteral("Show")), &QAction::triggered, this, &TrayIcon::showRequested);
    m_menu->addSeparator();
    m_exit = m_menu->addAction(QStringLiteral("Exit"));
    connect(m_exit, &QAction::triggered, this, &TrayIcon::exitRequested);
    if (!available())
        return;
    m_icon = new QSystemTrayIcon(QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon), this);
    m_icon->setToolTip(QStringLiteral("Orlamo"));
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

void TrayIcon::addModemMenu(QAction* on, QAction* off) {
    auto* modem = new QMenu(QStringLiteral("Modem"), m_menu);
    modem->addAction(on);
    modem->addAction(off);
    m_menu->insertMenu(m_exit, modem);
    m_menu->insertSeparator(m_exit);
}

void TrayIcon::addRecorderItems(QAction* stop, QAction* record) {
    m_menu->insertAction(m_exit, stop);
    m_menu->insertAction(m_exit, record);
    m_menu->insertSeparator(m_exit);
}
