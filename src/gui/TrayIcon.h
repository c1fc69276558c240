// The tray icon with its menu; shown for the whole run where the desktop has a tray.
#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    /// False on desktops without a tray: the window is then never hidden into it.
    static bool available();
    /// The menu `TrayPopUp` on the icon's right button; the window fills it.
    QMenu* menu() const { return m_menu; }
    bool shown() const;
    /// The icon's tool tip: the program's name, and what keeps it from recording when something does.
    void setRecordingProblem(const QString& problem);
    const QString& toolTip() const { return m_toolTip; }
    /// A second line of the tool tip while the disk is below its floor; empty removes it.
    void setDiskWarning(const QString& warning);

Q_SIGNALS:
    /// A double-click on the icon.
    void showRequested();

private:
    QMenu* m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    QString m_toolTip = QStringLiteral("Orlamo");
    QString m_problemTip = m_toolTip;
    QString m_diskWarning;
};
