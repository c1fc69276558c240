// Captions, shortcuts and menu order of the main window.
#include "gui/MainCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

MainCommands::MainCommands(QWidget* window) : QObject(window), m_window(window) {
    command("acPlay", QStringLiteral("Play"));
    command("acPause", QStringLiteral("Pause"));
    command("acStop", QStringLiteral("Stop"));
    command("acRewind", QStringLiteral("Rewind"));
    command("acFF", QStringLiteral("Fast forward"));
    command("acRecord", QStringLiteral("Record"));
    command("acMemo", QStringLiteral("Memo..."));
    command("acMoveTo", QStringLiteral("Move to..."));
    command("acCopyToFolder", QStringLiteral("Copy to folder..."));
    command("acEmailFile", QStringLiteral("Email wav file to..."));
    command("acSearch", QStringLiteral("Search..."));
    command("acAddList", QStringLiteral("Add list"));
    command("acAddSublist", QStringLiteral("Add sublist"));
    command("acDeleteList", QStringLiteral("Delete list"));
    command("acRenameList", QStringLiteral("Rename list"));
    command("acModemOn", QStringLiteral("On"));
    command("acModemOff", QStringLiteral("Off"));
    // Commands of menu items that have no action of their own: one place decides whether they are
    // available, the items follow.
    command("acDelete", QStringLiteral("Delete..."));
    command("acVolumeLevel", QStringLiteral("Volume level"));
    command("acVoiceEqualizer", QStringLiteral("Voice equalizer"));
    action(QStringLiteral("acRecord"))->setCheckable(true);
}

QAction* MainCommands::command(const char* name, const QString& caption, const char* shortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(caption);
    if (shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    m_actions.insert(action->objectName(), action);
    return action;
}

QAction* MainCommands::plainItem(const char* name, const QString& caption, const char* shortcut) {
    auto* item = new QAction(caption, m_window);
    item->setObjectName(QString::fromLatin1(name));
    if (shortcut) {
        item->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        // Only the main menu's items are live shortcuts; the same keys shown in the pop-up and tray
        // menus would otherwise make them ambiguous.
        item->setShortcutContext(Qt::WindowShortcut);
    }
    m_actions.insert(item->objectName(), item);
    return item;
}

QAction* MainCommands::item(QAction* command, const char* name, const QString& caption, const char* shortcut) {
    QAction* entry = plainItem(name, caption.isEmpty() ? command->text() : caption, shortcut);
    entry->setEnabled(command->isEnabled());
    entry->setCheckable(command->isCheckable());
    entry->setChecked(command->isChecked());
    connect(entry, &QAction::triggered, command, [command, entry] {
        // The command's state decides the item's mark, not the click.
        entry->setChecked(command->isChecked());
        command->trigger();
    });
    connect(command, &QAction::enabledChanged, entry, &QAction::setEnabled);
    connect(command, &QAction::toggled, entry, &QAction::setChecked);
    return entry;
}

void MainCommands::buildMainMenu(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto& c = *this;

    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->addAction(item(c["acMemo"], "Comment1", {}, "Ctrl+M"));
    file->addAction(item(c["acDelete"], "Delete1", {}, "Ctrl+D"));
    file->addAction(item(c["acMoveTo"], "MoveTo1"));
    file->addAction(item(c["acCopyToFolder"], "Copytofolder1"));
    file->addAction(item(c["acEmailFile"], "EmailFile1"));
    file->addAction(item(c["acSearch"], "Search1"));
    file->addSeparator();
    QMenu* list = file->addMenu(QStringLiteral("List"));
    list->addAction(item(c["acAddList"], "AddList1", QStringLiteral("Add")));
    list->addAction(item(c["acAddSublist"], "AddSublist1"));
    list->addAction(item(c["acDeleteList"], "DeleteList1", QStringLiteral("Delete")));
    list->addAction(item(c["acRenameList"], "RenameList1", QStringLiteral("Rename")));
    file->addSeparator();
    file->addAction(plainItem("Exit1", QStringLiteral("E&xit"), "Ctrl+X"));

    QMenu* recorder = bar->addMenu(QStringLiteral("Recorder"));
    recorder->addAction(item(c["acPlay"], "Play1", {}, "Ctrl+P"));
    recorder->addAction(item(c["acPause"], "Pause1"));
    recorder->addAction(item(c["acStop"], "Stop1", {}, "Ctrl+S"));
    recorder->addAction(item(c["acRewind"], "Previous1"));
    recorder->addAction(item(c["acFF"], "Next1"));
    recorder->addAction(item(c["acRecord"], "Record1", {}, "Ctrl+R"));

    QMenu* post = bar->addMenu(QStringLiteral("Post processing"));
    post->addAction(item(c["acVolumeLevel"], "mnLevel"));
    post->addAction(item(c["acVoiceEqualizer"], "mnEqualizer"));

    QMenu* options = bar->addMenu(QStringLiteral("Options"));
    options->addAction(plainItem("Settings1", QStringLiteral("Settings...")));
    QMenu* modem = options->addMenu(QStringLiteral("Modem"));
    modem->addAction(item(c["acModemOn"], "On1"));
    modem->addAction(item(c["acModemOff"], "Off1"));
    for (const char* name : {"On1", "Off1"})
        action(QString::fromLatin1(name))->setCheckable(true);
    options->addSeparator();
    options->addAction(plainItem("Diagnostics1", QStringLiteral("Diagnostics")));

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->addAction(plainItem("Contents1", QStringLiteral("Contents...")));
    help->addAction(plainItem("ReportProblem1", QStringLiteral("Report a problem...")));
    help->addSeparator();
    help->addAction(plainItem("About1", QStringLiteral("About")));
}

QMenu* MainCommands::buildListMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    auto& c = *this;
    menu->addAction(item(c["acMemo"], "Memo1"));
    menu->addAction(item(c["acDelete"], "Delete2"));
    menu->addAction(item(c["acMoveTo"], "MoveTo2"));
    menu->addAction(item(c["acCopyToFolder"], "CopyToFolder2"));
    menu->addSeparator();
    menu->addAction(item(c["acEmailFile"], "EmailFile2"));
    return menu;
}

QMenu* MainCommands::buildTreeMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PopupMenu2"));
    auto& c = *this;
    menu->addAction(item(c["acAddList"], "AddList2"));
    menu->addAction(item(c["acAddSublist"], "AddSublist2"));
    menu->addAction(item(c["acDeleteList"], "DeleteList2"));
    menu->addAction(item(c["acRenameList"], "RenameList2"));
    return menu;
}

void MainCommands::fillTrayMenu(QMenu* tray) {
    auto& c = *this;
    tray->addAction(plainItem("TrayShow", QStringLiteral("Show")));
    tray->addSeparator();
    tray->addAction(item(c["acPlay"], "TrayPlay"));
    tray->addAction(item(c["acStop"], "TrayStop"));
    tray->addAction(item(c["acRecord"], "TrayRecord"));
    tray->addSeparator();
    QMenu* modem = tray->addMenu(QStringLiteral("Modem"));
    modem->addAction(item(c["acModemOn"], "TrayModemOn"));
    modem->addAction(item(c["acModemOff"], "TrayModemOff"));
    for (const char* name : {"TrayModemOn", "TrayModemOff"})
        action(QString::fromLatin1(name))->setCheckable(true);
    tray->addSeparator();
    tray->addAction(plainItem("TrayExit", QStringLiteral("Exit")));
}

void MainCommands::setRecordingCount(int rows) {
    const bool any = rows > 0;
    for (const char* name : {"acMemo", "acDelete", "acCopyToFolder", "acPlay", "acPause", "acStop", "acMoveTo",
                             "acVolumeLevel", "acVoiceEqualizer", "acSearch", "acEmailFile"})
        action(QString::fromLatin1(name))->setEnabled(any);
    if (!any) {
        action(QStringLiteral("acRewind"))->setEnabled(false);
        action(QStringLiteral("acFF"))->setEnabled(false);
    }
}

void MainCommands::setModemPortOpen(bool open) {
    for (const char* name : {"On1", "TrayModemOn"})
        if (QAction* a = action(QString::fromLatin1(name)))
            a->setChecked(open);
    for (const char* name : {"Off1", "TrayModemOff"})
        if (QAction* a = action(QString::fromLatin1(name)))
            a->setChecked(!open);
}
