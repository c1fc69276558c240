// The tray icon with its menu; shown for the whole run where the desktop has a tray.
#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class QAction;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    /// False on desktops without a tray: the window is then never hidden into it.
    static bool available();
    QMenu* menu() const { return m_menu; }
    /// The "Modem" sub-menu with the main window's On and Off actions, before "Exit".
    void addModemMenu(QAction* on, QAction* off);
    /// The main window's Stop and Record actions, after "Show".
    void addRecorderItems(QAction* stop, QAction* record);

Q_SIGNALS:
    void showRequested();
    void exitRequested();

private:
    QMenu* m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QAction* m_exit = nullptr;
};
