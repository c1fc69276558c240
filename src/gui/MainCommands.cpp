// Captions, shortcuts and menu order of the main window.
#include "gui/MainCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <tuple>

MainCommands::MainCommands(QWidget* window) : QObject(window), m_window(window) {
    MainActions& a = m_actions;
    a.play = command("acPlay", QStringLiteral("Play"));
    a.pause = command("acPause", QStringLiteral("Pause"));
    a.stop = command("acStop", QStringLiteral("Stop"));
    a.rewind = command("acRewind", QStringLiteral("Rewind"));
    a.fastForward = command("acFF", QStringLiteral("Fast forward"));
    a.record = command("acRecord", QStringLiteral("Record"));
    a.memo = command("acMemo", QStringLiteral("Memo..."));
    a.moveTo = command("acMoveTo", QStringLiteral("Move to..."));
    a.copyToFolder = command("acCopyToFolder", QStringLiteral("Copy to folder..."));
    a.emailFile = command("acEmailFile", QStringLiteral("Email wav file to..."));
    a.search = command("acSearch", QStringLiteral("Search..."));
    a.addList = command("acAddList", QStringLiteral("Add list"));
    a.addSublist = command("acAddSublist", QStringLiteral("Add sublist"));
    a.deleteList = command("acDeleteList", QStringLiteral("Delete list"));
    a.renameList = command("acRenameList", QStringLiteral("Rename list"));
    a.retention = command("acRetention", QStringLiteral("Retention..."));
    a.modemOn = command("acModemOn", QStringLiteral("On"));
    a.modemOff = command("acModemOff", QStringLiteral("Off"));
    // Commands of menu items that have no action of their own: one place decides whether they are
    // available, the items follow.
    a.deleteRecordings = command("acDelete", QStringLiteral("Delete..."));
    a.volumeLevel = command("acVolumeLevel", QStringLiteral("Volume level"));
    a.voiceEqualizer = command("acVoiceEqualizer", QStringLiteral("Voice equalizer"));
    a.nameCaller = command("acNameCaller", QStringLiteral("Name this caller..."));
    a.record->setCheckable(true);
}

QAction* MainCommands::command(const char* name, const QString& caption) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(caption);
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
    const MainActions& a = m_actions;

    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->addAction(item(a.memo, "Comment1", {}, "Ctrl+M"));
    file->addAction(item(a.deleteRecordings, "Delete1", {}, "Ctrl+D"));
    file->addAction(item(a.moveTo, "MoveTo1"));
    file->addAction(item(a.copyToFolder, "Copytofolder1"));
    file->addAction(item(a.emailFile, "EmailFile1"));
    file->addAction(item(a.search, "Search1"));
    file->addSeparator();
    QMenu* list = file->addMenu(QStringLiteral("List"));
    list->addAction(item(a.addList, "AddList1", QStringLiteral("Add")));
    list->addAction(item(a.addSublist, "AddSublist1"));
    list->addAction(item(a.deleteList, "DeleteList1", QStringLiteral("Delete")));
    list->addAction(item(a.renameList, "RenameList1", QStringLiteral("Rename")));
    file->addSeparator();
    m_actions.exit = plainItem("Exit1", QStringLiteral("E&xit"), "Ctrl+X");
    file->addAction(m_actions.exit);

    QMenu* recorder = bar->addMenu(QStringLiteral("Recorder"));
    recorder->addAction(item(a.play, "Play1", {}, "Ctrl+P"));
    recorder->addAction(item(a.pause, "Pause1"));
    recorder->addAction(item(a.stop, "Stop1", {}, "Ctrl+S"));
    recorder->addAction(item(a.rewind, "Previous1"));
    recorder->addAction(item(a.fastForward, "Next1"));
    recorder->addAction(item(a.record, "Record1", {}, "Ctrl+R"));

    QMenu* post = bar->addMenu(QStringLiteral("Post processing"));
    post->addAction(item(a.volumeLevel, "mnLevel"));
    post->addAction(item(a.voiceEqualizer, "mnEqualizer"));

    QMenu* options = bar->addMenu(QStringLiteral("Options"));
    m_actions.settings = plainItem("Settings1", QStringLiteral("Settings..."));
    options->addAction(m_actions.settings);
    addModemMenu(options, "On1", "Off1");
    options->addSeparator();
    m_actions.diagnostics = plainItem("Diagnostics1", QStringLiteral("Diagnostics"));
    options->addAction(m_actions.diagnostics);
    m_actions.contacts = plainItem("Contacts1", QStringLiteral("Contacts..."));
    options->addAction(m_actions.contacts);

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    m_actions.helpContents = plainItem("Contents1", QStringLiteral("Contents..."));
    help->addAction(m_actions.helpContents);
    m_actions.reportProblem = plainItem("ReportProblem1", QStringLiteral("Report a problem..."));
    help->addAction(m_actions.reportProblem);
    help->addSeparator();
    m_actions.about = plainItem("About1", QStringLiteral("About"));
    help->addAction(m_actions.about);
}

QMenu* MainCommands::buildListMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    const MainActions& a = m_actions;
    menu->addAction(item(a.memo, "Memo1"));
    menu->addAction(item(a.deleteRecordings, "Delete2", {}, "Ctrl+D"));
    menu->addAction(item(a.moveTo, "MoveTo2"));
    menu->addAction(item(a.copyToFolder, "CopyToFolder2"));
    menu->addAction(item(a.nameCaller, "NameCaller2"));
    menu->addSeparator();
    menu->addAction(item(a.emailFile, "EmailFile2"));
    return menu;
}

QMenu* MainCommands::buildTreeMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PopupMenu2"));
    const MainActions& a = m_actions;
    menu->addAction(item(a.addList, "AddList2"));
    menu->addAction(item(a.addSublist, "AddSublist2"));
    menu->addAction(item(a.deleteList, "DeleteList2"));
    menu->addAction(item(a.renameList, "RenameList2"));
    menu->addAction(item(a.retention, "RetentionList2"));
    return menu;
}

void MainCommands::fillTrayMenu(QMenu* tray) {
    const MainActions& a = m_actions;
    m_actions.trayShow = plainItem("TrayShow", QStringLiteral("Show"));
    tray->addAction(m_actions.trayShow);
    tray->addSeparator();
    tray->addAction(item(a.play, "TrayPlay"));
    tray->addAction(item(a.stop, "TrayStop", {}, "Ctrl+S"));
    tray->addAction(item(a.record, "TrayRecord"));
    tray->addSeparator();
    addModemMenu(tray, "TrayModemOn", "TrayModemOff");
    tray->addSeparator();
    m_actions.trayExit = plainItem("TrayExit", QStringLiteral("Exit"));
    tray->addAction(m_actions.trayExit);
}

void MainCommands::addModemMenu(QMenu* parent, const char* onName, const char* offName) {
    QMenu* modem = parent->addMenu(QStringLiteral("Modem"));
    m_modemMenus.append(modem);
    for (auto [command, name, items] : {std::tuple{m_actions.modemOn, onName, &m_modemOnItems},
                                        std::tuple{m_actions.modemOff, offName, &m_modemOffItems}}) {
        QAction* entry = item(command, name);
        entry->setCheckable(true);
        items->append(entry);
        modem->addAction(entry);
    }
}

void MainCommands::apply(const CommandState& state) {
    const bool any = state.rows > 0;
    const bool idle = !state.recording;
    const MainActions& a = m_actions;
    for (QAction* command : {a.memo, a.deleteRecordings, a.copyToFolder, a.moveTo, a.search, a.emailFile, a.nameCaller})
        command->setEnabled(any);
    a.play->setEnabled(any && idle);
    a.pause->setEnabled((any || state.playbackActive) && idle);
    a.stop->setEnabled(state.recording ? state.recorderAllowsStop : any || state.playbackActive);
    for (QAction* command : {a.rewind, a.fastForward})
        command->setEnabled(state.seekOffered && state.playbackActive && idle);
    for (QAction* command : {a.volumeLevel, a.voiceEqualizer})
        command->setEnabled(any && idle && state.playbackAllowsPostProcessing && !state.playbackActive);
    a.record->setChecked(state.recording);
    a.record->setEnabled(state.recordAvailable && idle && state.playbackAllowsRecord);
    for (QAction* command : {a.modemOn, a.modemOff})
        command->setEnabled(idle);
    for (QMenu* menu : m_modemMenus)
        menu->menuAction()->setEnabled(idle);
    for (QAction* item : {a.settings, a.diagnostics})
        if (item)
            item->setEnabled(idle);
}

void MainCommands::setModemPortOpen(bool open) {
    for (QAction* item : m_modemOnItems)
        item->setChecked(open);
    for (QAction* item : m_modemOffItems)
        item->setChecked(!open);
}
