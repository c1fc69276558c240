// The main window's commands: the actions, the menu items that carry them, and the menus in order.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

/// The main window's actions, created once. The commands carry their legacy component names as
/// objectName (`acPlay`, `acModemOn`, ...); the items below them are menu items the window handles
/// itself (`Exit1`, `Settings1`, `TrayShow`, ...).
struct MainActions {
    QAction* play = nullptr;
    QAction* pause = nullptr;
    QAction* stop = nullptr;
    QAction* rewind = nullptr;
    QAction* fastForward = nullptr;
    QAction* record = nullptr;
    QAction* memo = nullptr;
    QAction* moveTo = nullptr;
    QAction* copyToFolder = nullptr;
    QAction* emailFile = nullptr;
    QAction* search = nullptr;
    QAction* addList = nullptr;
    QAction* addSublist = nullptr;
    QAction* deleteList = nullptr;
    QAction* renameList = nullptr;
    QAction* retention = nullptr;
    QAction* modemOn = nullptr;
    QAction* modemOff = nullptr;
    QAction* deleteRecordings = nullptr;
    QAction* volumeLevel = nullptr;
    QAction* voiceEqualizer = nullptr;
    /// Names the caller of the selected recording in the contacts.
    QAction* nameCaller = nullptr;

    QAction* exit = nullptr;
    QAction* settings = nullptr;
    QAction* diagnostics = nullptr;
    QAction* contacts = nullptr;
    QAction* helpContents = nullptr;
    QAction* reportProblem = nullptr;
    QAction* about = nullptr;
    QAction* trayShow = nullptr;
    QAction* trayExit = nullptr;
};

/// What decides which commands are available.
struct CommandState {
    int rows = 0;                     ///< recordings in the view
    bool recording = false;           ///< a recording runs (or starts, or stops)
    bool recorderAllowsStop = true;   ///< false while a recording's start sequence runs
    bool recordAvailable = false;     ///< the modem can record
    bool playbackActive = false;      ///< a recording plays or is paused
    bool playbackAllowsRecord = true; ///< playback does not hold the recording controls
    bool playbackAllowsPostProcessing = true;
    bool seekOffered = false; ///< paused: Rewind and Fast forward step
};

/// Every command is an action of its own; each menu item is an action of its own with its component
/// name (`Play1`, `TrayPlay`, `Delete2`, ...) that triggers the command and is available exactly when
/// the command is, so the main menu, the pop-up menus and the tray each carry their own item (and
/// check mark) for one command.
class MainCommands : public QObject {
    Q_OBJECT
public:
    explicit MainCommands(QWidget* window);

    const MainActions& actions() const { return m_actions; }

    /// The main menu: File, Recorder, Post processing, Options, Help.
    void buildMainMenu(QMenuBar* bar);
    /// The recordings list's pop-up menu `PopupMenu1`.
    QMenu* buildListMenu(QWidget* parent);
    /// The folder tree's pop-up menu `PopupMenu2`.
    QMenu* buildTreeMenu(QWidget* parent);
    /// The tray menu's items after "Show": Play, Stop, Record, Modem, Exit.
    void fillTrayMenu(QMenu* tray);

    /// Which commands are available. Those that need a recording need a row in the view; while a
    /// recording runs nothing else may use the modem or the sound (playback, post-processing,
    /// settings, diagnostics, the modem menus); Stop stays while something records or plays, even
    /// when the view has become empty.
    void apply(const CommandState& state);
    /// The check marks of the modem items: On while the port is open, Off while it is closed.
    void setModemPortOpen(bool open);

private:
    QAction* command(const char* name, const QString& caption);
    /// A menu item of its own for `command`, named `name`, with `command`'s caption unless given.
    QAction* item(QAction* command, const char* name, const QString& caption = QString(),
                  const char* shortcut = nullptr);
    /// The "Modem" submenu of `parent` with its On and Off check-mark items, named as given.
    void addModemMenu(QMenu* parent, const char* onName, const char* offName);
    /// A menu item with no command behind it (the window handles its trigger).
    QAction* plainItem(const char* name, const QString& caption, const char* shortcut = nullptr);

    QWidget* m_window;
    MainActions m_actions;
    /// The check-mark items of Modem On and Off in the main menu and the tray.
    QList<QAction*> m_modemOnItems;
    QList<QAction*> m_modemOffItems;
    /// The Modem menus of the main menu and the tray.
    QList<QMenu*> m_modemMenus;
};
