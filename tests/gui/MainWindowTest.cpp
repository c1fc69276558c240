// The main window on a catalogue of a few hundred recordings, driven by component names, keys and
// the mouse: menus, marking, enabling by recording count, column widths, list commands, developer
// keys, help and the tray items.
#include "gui/MainWindow.h"
#include "UrlCatcher.h"
#include "audio/WavWriter.h"
#include "base/Logger.h"
#include "gui/TrayIcon.h"
#include "gui/WindowedProgram.h"
#include "library/Catalogue.h"
#include "library/TableFile.h"
#include "library/gui/RecordingsListModel.h"
#include "library/gui/RecordingsListView.h"
#include "program/Program.h"
#include "sound/OutputDevices.h"
#include "support/ScriptedPrompter.h"
#include "support/SoundServer.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

constexpr int kRows = 300;

/// The menu's entries as "objectName:caption", separators as "-", sub-menus as "caption>".
QStringList entries(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << a->text() + QLatin1Char('>');
        else
            out << a->objectName() + QLatin1Char(':') + a->text();
    }
    return out;
}

struct MainWindowTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<WindowedProgram> app;

    /// A working folder whose ports lead nowhere and whose catalogue holds `rows` recordings.
    void SetUp() override { prepare(kRows); }
    void prepare(int rows, const QByteArray& params = {}) {
        QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        QByteArray ports = "[Ports]\r\n";
        for (int i = 1; i <= 8; ++i)
            ports += "Com" + QByteArray::number(i) + "=" + dir.filePath(QStringLiteral("none")).toUtf8() + "\r\n";
        ini.write(ports + "[Modem]\r\nport=3\r\nModel=Test Modem 56K\r\n[Params]\r\nVoicefeatures=1\r\n" + params);
        ini.close();
        Catalogue catalogue(dir.path(), prompter);
        catalogue.openCatalogue();
        const QDateTime start(QDate(2026, 3, 1), QTime(9, 0));
        for (int i = 0; i < rows; ++i) {
            RecordingEntry entry;
            entry.audioBytes = 8000 * (i + 1);
            entry.avgBytesPerSec = 8000;
            entry.callerIdEnabled = true;
            entry.callerId = QStringLiteral("555%1").arg(i, 4, 10, QLatin1Char('0'));
            entry.endTime = start.addSecs(i * 60);
            catalogue.addRecordingEntry(entry);
        }
        catalogue.saveTree();
        catalogue.close();
    }
    void start(const QStringList& arguments = {}) {
        app = std::make_unique<WindowedProgram>(QStringList{QStringLiteral("--workdir"), dir.path()} + arguments,
                                                &prompter);
        app->create();
        main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
        prompter.shown.clear();
    }
    void TearDown() override {
        app.reset();
        QDir::setCurrent(QDir::tempPath());
    }
    MainWindow& main() { return *app->mainWindow(); }
    RecordingsListView& list() { return *main().recordingsList(); }
    TableFile& calls() { return app->program().catalogue().recordings(); }
    /// The action or menu item of that objectName (`acPlay`, `Play1`, `TrayPlay`, ...).
    QAction* action(const QString& name) { return main().findChild<QAction*>(name); }
    QAction* action(const char* name) { return action(QString::fromLatin1(name)); }
    QToolButton* button(const char* name) { return main().findChild<QToolButton*>(QString::fromLatin1(name)); }
    QMenu* menu(const char* name) { return main().findChild<QMenu*>(QString::fromLatin1(name)); }
    QPoint rowCentre(int row) { return list().visualRect(list().model()->index(row, 1)).center(); }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        list().scrollTo(list().model()->index(row, 0));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, modifiers, rowCentre(row));
    }
    bool markedBackground(int row) { return list().model()->index(row, 0).data(Qt::BackgroundRole).isValid(); }
};

} // namespace

TEST_F(MainWindowTest, MenusCarryTheirItemsInOrderWithCaptionsAndShortcuts) {
    start();
    QStringList titles;
    for (QAction* a : main().menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "Recorder", "Post processing", "Options", "Help"}));
    const QList<QAction*> top = main().menuBar()->actions();
    EXPECT_EQ(
        entries(top[0]->menu()),
        (QStringList{"Comment1:Memo...", "Delete1:Delete...", "MoveTo1:Move to...", "Copytofolder1:Copy to folder...",
                     "EmailFile1:Email wav file to...", "Search1:Search...", "-", "List>", "-", "Exit1:E&xit"}));
    EXPECT_EQ(entries(top[0]->menu()->actions()[7]->menu()),
              (QStringList{"AddList1:Add", "AddSublist1:Add sublist", "DeleteList1:Delete", "RenameList1:Rename"}));
    EXPECT_EQ(entries(top[1]->menu()), (QStringList{"Play1:Play", "Pause1:Pause", "Stop1:Stop", "Previous1:Rewind",
                                                    "Next1:Fast forward", "Record1:Record"}));
    EXPECT_EQ(entries(top[2]->menu()), (QStringList{"mnLevel:Volume level", "mnEqualizer:Voice equalizer"}));
    EXPECT_EQ(entries(top[3]->menu()), (QStringList{"Settings1:Settings...", "Modem>", "-", "Diagnostics1:Diagnostics",
                                                    "Contacts1:Contacts..."}));
    EXPECT_EQ(entries(top[4]->menu()),
              (QStringList{"Contents1:Contents...", "ReportProblem1:Report a problem...", "-", "About1:About"}));
    EXPECT_EQ(
        entries(menu("PopupMenu1")),
        (QStringList{"Memo1:Memo...", "Delete2:Delete...", "MoveTo2:Move to...", "CopyToFolder2:Copy to folder...",
                     "NameCaller2:Name this caller...", "-", "EmailFile2:Email wav file to..."}));
    EXPECT_EQ(entries(menu("PopupMenu2")),
              (QStringList{"AddList2:Add list", "AddSublist2:Add sublist", "DeleteList2:Delete list",
                           "RenameList2:Rename list", "RetentionList2:Retention..."}));
    ASSERT_NE(main().tray(), nullptr);
    EXPECT_EQ(main().tray()->menu()->objectName(), QStringLiteral("TrayPopUp"));
    EXPECT_EQ(entries(main().tray()->menu()), (QStringList{"TrayShow:Show", "-", "TrayPlay:Play", "TrayStop:Stop",
                                                           "TrayRecord:Record", "-", "Modem>", "-", "TrayExit:Exit"}));
    const std::map<const char*, const char*> shortcuts = {
        {"Play1", "Ctrl+P"},   {"Stop1", "Ctrl+S"}, {"Record1", "Ctrl+R"}, {"Comment1", "Ctrl+M"},
        {"Delete1", "Ctrl+D"}, {"Exit1", "Ctrl+X"}, {"Delete2", "Ctrl+D"}, {"TrayStop", "Ctrl+S"}};
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(action(name)->shortcut(), QKeySequence(QString::fromLatin1(keys))) << name;
    // Each key reaches its command from the window: Ctrl+P plays the current recording.
    QSignalSpy played(action("acPlay"), &QAction::triggered);
    list().setFocus();
    QTest::keyClick(&main(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(played.count(), 1);
    // The same keys shown in the pop-up and tray menus do not make the window's ambiguous.
    QSignalSpy stopped(action("acStop"), &QAction::triggered);
    QTest::keyClick(&main(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(MainWindowTest, MarkingFollowsTheKeysAndTheMouse) {
    start();
    ASSERT_EQ(list().model()->rowCount(), kRows);
    list().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));

    // Ctrl+A twice marks every row once; the last row becomes current.
    QTest::keyClick(&list(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&list(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(main().markedIds().size(), kRows);
    EXPECT_EQ(main().markedIds().removeDuplicates(), 0);
    EXPECT_EQ(calls().recNo(), kRows);
    EXPECT_TRUE(markedBackground(0));
    EXPECT_TRUE(markedBackground(kRows - 1));

    // Shift+Up unmarks the current row, then moves up; the next Shift+Up unmarks that one too.
    QTest::keyClick(&list(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(main().markedIds().size(), kRows - 1);
    EXPECT_FALSE(markedBackground(kRows - 1));
    EXPECT_EQ(calls().recNo(), kRows - 1);
    QTest::keyClick(&list(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(main().markedIds().size(), kRows - 2);
    EXPECT_EQ(calls().recNo(), kRows - 2);

    // A plain arrow clears every mark.
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_TRUE(main().markedIds().isEmpty());
    EXPECT_FALSE(markedBackground(0));

    // Shift+Down walked over rows 0, 1, 2 marks them in that order.
    calls().first();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&list(), Qt::Key_Down, Qt::ShiftModifier);
    const TableFile& table = calls();
    const auto idOf = [&](int row) { return table.viewValue(row, table.fieldIndex(QStringLiteral("Id"))).toString(); };
    EXPECT_EQ(main().markedIds(), (QStringList{idOf(0), idOf(1), idOf(2)}));
    EXPECT_EQ(calls().recNo(), 4);

    // Ctrl+click toggles the clicked row; it stays the current row.
    clickRow(5, Qt::ControlModifier);
    EXPECT_EQ(main().markedIds().size(), 4);
    EXPECT_EQ(main().markedIds().last(), idOf(5));
    EXPECT_EQ(calls().recNo(), 6);
    clickRow(5, Qt::ControlModifier);
    EXPECT_EQ(main().markedIds().size(), 3);

    // A plain click clears them and makes the row current.
    clickRow(7);
    EXPECT_TRUE(main().markedIds().isEmpty());
    EXPECT_EQ(calls().recNo(), 8);

    // Another window taking the focus (Alt+Tab, a message box) keeps them; going over to the folder
    // tree clears them.
    QTest::keyClick(&list(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_FALSE(main().markedIds().isEmpty());
    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&list(), &deactivated);
    EXPECT_EQ(main().markedIds().size(), kRows);
    main().tree()->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(main().markedIds().isEmpty());
}

TEST_F(MainWindowTest, TheListAndTheTableFollowEachOther) {
    start();
    calls().setRecNo(42);
    EXPECT_EQ(list().currentIndex().row(), 41);
    clickRow(10);
    EXPECT_EQ(calls().recNo(), 11);
    // The navigator moves the table, and with it the list.
    button("nbLast")->click();
    EXPECT_EQ(list().currentIndex().row(), kRows - 1);
    button("nbFirst")->click();
    button("nbNext")->click();
    EXPECT_EQ(calls().recNo(), 2);
    // The list shows the table's texts.
    EXPECT_EQ(list().model()->index(1, RecordingsListModel::MemoColumn).data().toString(),
              calls().fieldText(QStringLiteral("Comment")));
    EXPECT_EQ(list().model()->index(1, RecordingsListModel::DurationColumn).data().toString(), QStringLiteral("00:02"));
    // Double-click and Enter play the row.
    QSignalSpy played(action("acPlay"), &QAction::triggered);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(3));
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(3));
    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_EQ(played.count(), 2);
}

TEST_F(MainWindowTest, AnEmptyListDisablesTheCommandsThatNeedARecording) {
    prompter.texts.push_back(QStringLiteral("Empty"));
    start();
    const QStringList needRecording = {"acPlay",   "acPause",        "acStop",      "acMemo",        "acDelete",
                                       "acMoveTo", "acCopyToFolder", "acEmailFile", "acSearch",      "Play1",
                                       "TrayPlay", "TrayStop",       "Comment1",    "Memo1",         "Delete1",
                                       "Delete2",  "mnLevel",        "mnEqualizer", "Copytofolder1", "CopyToFolder2"};
    for (const QString& name : needRecording)
        EXPECT_TRUE(action(name)->isEnabled()) << name.toStdString();
    for (const char* name : {"Playsb1", "DeleteSb", "SearchSb", "EmailSb"})
        EXPECT_TRUE(button(name)->isEnabled()) << name;

    // A new list from the File menu is empty; selecting it takes the commands away.
    action("AddList1")->trigger();
    QTreeView* tree = main().tree();
    QModelIndex empty;
    for (int r = 0; r < tree->model()->rowCount(); ++r)
        if (tree->model()->index(r, 0).data().toString() == QStringLiteral("Empty"))
            empty = tree->model()->index(r, 0);
    ASSERT_TRUE(empty.isValid());
    tree->setCurrentIndex(empty);
    ASSERT_EQ(list().model()->rowCount(), 0);
    // The selected folder has an image of its own.
    const auto image = [&](const QModelIndex& at) { return at.data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
    EXPECT_NE(image(empty), image(tree->model()->index(0, 0)));
    for (const QString& name : needRecording)
        EXPECT_FALSE(action(name)->isEnabled()) << name.toStdString();
    for (const char* name : {"acRewind", "acFF", "Previous1", "Next1"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char* name : {"Playsb1", "PauseSb1", "StopSb1", "PrevSb1", "NextSb1", "DeleteSb", "SearchSb", "EmailSb"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;

    // Back in General they return.
    tree->setCurrentIndex(tree->model()->index(0, 0));
    EXPECT_EQ(list().model()->rowCount(), kRows);
    EXPECT_TRUE(action("acPlay")->isEnabled());
    EXPECT_TRUE(button("DeleteSb")->isEnabled());
}

TEST_F(MainWindowTest, ListCommandsChangeTheTreeAndTheFoldersTable) {
    start();
    prompter.texts.push_back(QStringLiteral("Family"));
    action("AddList2")->trigger();
    prompter.texts.push_back(QStringLiteral("Aunt Mary"));
    QTreeView* tree = main().tree();
    QModelIndex family;
    for (int r = 0; r < tree->model()->rowCount(); ++r)
        if (tree->model()->index(r, 0).data().toString() == QStringLiteral("Family"))
            family = tree->model()->index(r, 0);
    ASSERT_TRUE(family.isValid());
    tree->setCurrentIndex(family);
    action("acAddSublist")->trigger();
    QFile folders(dir.filePath(QStringLiteral("Folders.d")));
    ASSERT_TRUE(folders.open(QIODevice::ReadOnly));
    const QByteArray table = folders.readAll();
    EXPECT_TRUE(table.contains("Family"));
    EXPECT_TRUE(table.contains("Aunt Mary"));
    main().close();
    QFile treeFile(dir.filePath(QStringLiteral("tree.d")));
    ASSERT_TRUE(treeFile.open(QIODevice::ReadOnly));
    const QByteArray lines = treeFile.readAll();
    EXPECT_TRUE(lines.contains("Family"));
    EXPECT_TRUE(lines.contains("\tAunt Mary") || lines.contains(" Aunt Mary")) << lines.constData();
}

TEST_F(MainWindowTest, ColumnWidthsFollowTheHeaderAndMemoFillsTheList) {
    start();
    QHeaderView* header = main().recordingsHeader();
    EXPECT_EQ(header->objectName(), QStringLiteral("hdRecordings"));
    EXPECT_EQ(list().columnWidth(0), 75);
    EXPECT_EQ(list().columnWidth(1), 70);
    EXPECT_EQ(list().columnWidth(2), 70);
    auto filled = [&] {
        int sum = 0;
        for (int c = 0; c < 4; ++c)
            sum += list().columnWidth(c);
        return sum == list().viewport()->width();
    };
    EXPECT_TRUE(filled());
    header->resizeSection(1, 110);
    EXPECT_EQ(list().columnWidth(1), 110);
    EXPECT_TRUE(filled());
    // At the minimum size the Memo column still fills what is left.
    main().resize(MainWindow::kMinimumWidth, MainWindow::kMinimumHeight);
    ASSERT_TRUE(waitUntil([&] { return main().width() == MainWindow::kMinimumWidth; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(filled());
    main().resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_GE(main().width(), MainWindow::kMinimumWidth);
    EXPECT_GE(main().height(), MainWindow::kMinimumHeight);
    // A press in the list gives the first header section the Date column's width.
    header->resizeSection(0, 150);
    list().setColumnWidth(0, 90);
    QTest::mousePress(list().viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(0));
    QTest::mouseRelease(list().viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(0));
    EXPECT_EQ(header->sectionSize(0), 90);
    // Written back at close.
    main().close();
    QFile ini(dir.filePath(QStringLiteral("tvk.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("Time=110")) << text.constData();
    EXPECT_TRUE(text.contains("Date=90")) << text.constData();
}

TEST_F(MainWindowTest, StatusPanelsShowThePortAndTheModel) {
    start();
    main().refreshModemPanels();
    EXPECT_EQ(main().statusPanel(1), QStringLiteral(" COM PORT 3"));
    EXPECT_EQ(main().statusPanel(2), QStringLiteral(" Test Modem 56K"));
}

TEST_F(MainWindowTest, DeveloperKeysOnlyWithOnide) {
    start();
    auto loggerShown = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("TfmMonitor") || w->inherits("LoggerWindow"))
                return w->isVisible();
        return false;
    };
    QTest::keyClick(&main(), Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(main().tree(), Qt::Key_6, Qt::AltModifier);
    EXPECT_FALSE(loggerShown());
    EXPECT_TRUE(prompter.shown.isEmpty());

    app.reset();
    start({QStringLiteral("onide")});
    QTest::keyClick(main().tree(), Qt::Key_2, Qt::AltModifier);
    EXPECT_TRUE(loggerShown());
    // Other digits and other modifiers do nothing.
    QTest::keyClick(&list(), Qt::Key_5, Qt::AltModifier);
    QTest::keyClick(&list(), Qt::Key_6, Qt::AltModifier | Qt::ControlModifier);
    EXPECT_TRUE(prompter.shown.isEmpty());
    QTest::keyClick(&list(), Qt::Key_6, Qt::AltModifier);
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Redirection enabled")});
}

TEST_F(MainWindowTest, HelpOpensTheManualShippedWithTheProgram) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    start();
    action("Contents1")->trigger();
    button("HelpSb")->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.opened.size(), 2);
    const QString page = catcher.opened[0].toLocalFile();
    EXPECT_TRUE(page.endsWith(QStringLiteral("manual/index.html"))) << page.toStdString();
    EXPECT_TRUE(QFile::exists(page));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(MainWindowTest, PostProcessingNamesTheCurrentRecordingsFile) {
    start();
    calls().setRecNo(2);
    QSignalSpy level(&main(), &MainWindow::volumeLevelRequested);
    QSignalSpy equalizer(&main(), &MainWindow::voiceEqualizerRequested);
    action("mnLevel")->trigger();
    action("mnEqualizer")->trigger();
    ASSERT_EQ(level.count(), 1);
    ASSERT_EQ(equalizer.count(), 1);
    const QString expected =
        QStringLiteral("wav/") + app->program().catalogue().recordingBaseName() + QStringLiteral(".wav");
    EXPECT_EQ(level.at(0).at(0).toString(), expected);
    const QStringList lines = app->program().logger().lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("-- Volume level clicked")));
    EXPECT_TRUE(lines.contains(QStringLiteral("-- Voice equilizer clicked")));
}

TEST_F(MainWindowTest, ASavedPostProcessingGivesTheRowTheRecordingsLengthAgain) {
    start();
    calls().setRecNo(2);
    Catalogue& catalogue = app->program().catalogue();
    {
        // 37 seconds of sound under a row that says otherwise.
        QFile file(catalogue.wavPath(catalogue.recordingBaseName()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        WavWriter writer(file);
        writer.setFormat(WaveFormat::pcm(8000, 8, 1));
        const QByteArray sound(37 * 8000, '\x90');
        writer.write(sound.constData(), sound.size());
    }
    ASSERT_NE(calls().fieldText(QStringLiteral("Duration")), QStringLiteral("00:37"));
    // The window opens modally: Apply, Save and Close are pressed from its own loop.
    QTimer press;
    press.setInterval(100);
    QObject::connect(&press, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->objectName() != QStringLiteral("fmVolLevel"))
            return;
        press.stop();
        window->findChild<QSlider*>(QStringLiteral("trb"))->setValue(20);
        for (const char* name : {"btnApply", "btnSave", "btnClose"})
            window->findChild<QPushButton*>(QLatin1String(name))->click();
    });
    press.start();
    action("mnLevel")->trigger();
    EXPECT_FALSE(press.isActive()) << prompter.shown.join('|').toStdString();
    EXPECT_EQ(calls().fieldText(QStringLiteral("Duration")), QStringLiteral("00:37"));
}

TEST_F(MainWindowTest, TrayShowBringsTheWindowBackAndTrayExitCloses) {
    start();
    main().showMinimized();
    main().hide();
    action("TrayShow")->trigger();
    EXPECT_TRUE(main().isVisible());
    EXPECT_FALSE(main().windowState() & Qt::WindowMinimized);
    QSignalSpy closed(&main(), &MainWindow::closed);
    action("TrayExit")->trigger();
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainWindowTest, TheRecordingCommandsWorkOnTheMarkedRowsOrTheCurrentOne) {
    start();
    const TableFile& table = calls();
    const auto idOf = [&](int row) { return table.viewValue(row, table.fieldIndex(QStringLiteral("Id"))).toString(); };
    const QStringList doomed = {idOf(4), idOf(9), idOf(20)};
    list().setFocus();
    for (int row : {4, 9, 20})
        clickRow(row, Qt::ControlModifier);
    ASSERT_EQ(main().markedIds(), doomed);
    prompter.answers.push_back(Prompter::Answer::Ok);
    action("Delete1")->trigger();
    EXPECT_EQ(list().model()->rowCount(), kRows - 3);
    EXPECT_TRUE(main().markedIds().isEmpty());
    for (const QString& id : doomed)
        EXPECT_FALSE(calls().locate(QStringLiteral("Id"), id)) << id.toStdString();
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("wav"))).entryList({QStringLiteral("*.wav")}).size(), 0)
        << "the catalogue was made without files";

    // Without marks the memo goes to the current row.
    calls().setRecNo(2);
    prompter.texts.push_back(QStringLiteral("Called back on Monday"));
    action("Comment1")->trigger();
    EXPECT_EQ(list().model()->index(1, RecordingsListModel::MemoColumn).data().toString(),
              QStringLiteral("Called back on Monday"));
}

TEST_F(MainWindowTest, PlayAndStopFromTheWindowDriveThePlayerAndItsControls) {
    QString reason;
    const auto sink = NullSink::create(&reason);
    if (!sink)
        ORLAMO_REQUIRE_SOUND(reason);
    qputenv(OutputDevices::kDeviceVariable, sink->name());
    start();
    // The current recording gets two seconds of sound.
    {
        Catalogue& catalogue = app->program().catalogue();
        calls().first();
        QFile file(catalogue.wavPath(catalogue.recordingBaseName()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        WavWriter writer(file);
        writer.setFormat(WaveFormat::pcm(8000, 8, 1));
        QByteArray tone(16000, '\0');
        for (int i = 0; i < tone.size(); ++i)
            tone[i] = char(128 + (i % 16 < 8 ? 40 : -40));
        writer.write(tone.constData(), tone.size());
    }
    button("Playsb1")->click();
    EXPECT_TRUE(action("acPlay")->isChecked()) << prompter.shown.join('|').toStdString();
    EXPECT_FALSE(action("acRecord")->isEnabled()) << "no recording while playing";
    // Post-processing waits for the end of playback, whichever row becomes current meanwhile.
    calls().next();
    EXPECT_FALSE(action("acVolumeLevel")->isEnabled());
    EXPECT_FALSE(action("acVoiceEqualizer")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return main().positionBar()->value() > 0; }, 20000));
    button("StopSb1")->click();
    EXPECT_FALSE(action("acPlay")->isChecked());
    EXPECT_TRUE(action("acVolumeLevel")->isEnabled());
    qunsetenv(OutputDevices::kDeviceVariable);
}
