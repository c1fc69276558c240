// The main window's commands: the actions, the menu items that carry them, and the menus in order.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

/// Every command has an action named as its component (`play`, `modemOnAction`, ...); each menu item is
/// an action of its own with its component name (`Play1`, `TrayPlay`, `Delete2`, ...) that triggers
/// the command and is available exactly when the command is, so the main menu, the pop-up menus
/// and the tray each carry their own item (and check mark) for one command.
class MainCommands : public QObject {
    Q_OBJECT
public:
    explicit MainCommands(QWidget* window);

    /// The action or menu item of that component name; null for an unknown name.
    QAction* action(const QString& name) const { return m_actions.value(name); }
    QAction* operator[](const QString& name) const { return action(name); }

    /// The main menu: File, Recorder, Post processing, Options, Help.
    void buildMainMenu(QMenuBar* bar);
    /// The recordings list's pop-up menu `PopupMenu1`.
    QMenu* buildListMenu(QWidget* parent);
    /// The folder tree's pop-up menu `PopupMenu2`.
    QMenu* buildTreeMenu(QWidget* parent);
    /// The tray menu's items after "Show": Play, Stop, Record, Modem, Exit.
    void fillTrayMenu(QMenu* tray);

    /// Which commands need a recording: available when the view has at least one row. Rewind and
    /// Fast forward are taken away with an empty view; playback gives them back.
    void setRecordingCount(int rows);
    /// The check marks of the modem items: On while the port is open, Off while it is closed.
    void setModemPortOpen(bool open);

private:
    QAction* command(const char* name, const QString& caption, const char* shortcut = nullptr);
    /// A menu item of its own for `command`, named `name`, with `command`'s caption unless given.
    QAction* item(QAction* command, const char* name, const QString& caption = QString(),
                  const char* shortcut = nullptr);
    /// A menu item with no command behind it (the window handles its trigger).
    QAction* plainItem(const char* name, const QString& caption, const char* shortcut = nullptr);

    QWidget* m_window;
    QHash<QString, QAction*> m_actions;
};
