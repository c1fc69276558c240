// The "Move" dialog (a copy of the folder tree, its result) and the modeless find dialog over the search.
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "library/gui/FindDialog.h"
#include "library/gui/MoveToDialog.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct DialogsTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    Catalogue catalogue{dir.path(), prompter, CatalogueDateFormat(QLocale(QStringLiteral("en_US")))};
    MailHandOver mail{dir.path()};
    RecordingOperations operations{catalogue, prompter, mail};
    QStringList ids;

    void SetUp() override {
        QDir(dir.path()).mkdir(QStringLiteral("wav"));
        catalogue.openCatalogue();
        FolderListCommands lists(catalogue, prompter);
        prompter.texts = {QStringLiteral("Work"), QStringLiteral("Clients")};
        ASSERT_TRUE(lists.addList());
        catalogue.selectNode(catalogue.folderTree().find(QStringLiteral("Work")));
        ASSERT_TRUE(lists.addSublist());
        catalogue.selectNode(catalogue.folderTree().find(QStringLiteral("General")));
        for (const QString& memo : {QStringLiteral("first"), QStringLiteral("ABC Ltd"), QStringLiteral("other")}) {
            RecordingEntry entry;
            entry.endTime = QDateTime(QDate(2026, 12, 8), QTime(10, 0, ids.size()));
            entry.callerIdEnabled = true;
            entry.callerId = memo;
            catalogue.addRecordingEntry(entry);
            ids.append(catalogue.recordings().fieldText(QStringLiteral("id")));
        }
    }
    QString current() { return catalogue.recordings().fieldText(QStringLiteral("id")); }
};

// Runs `action` on the "Move" dialog once its modal loop runs.
void whenShown(MoveToDialog& dialog, const std::function<void(QTreeWidget*, QPushButton*)>& action) {
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        ASSERT_TRUE(dialog.isVisible());
        action(dialog.findChild<QTreeWidget*>(QStringLiteral("Tree")),
               dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")));
    });
}

} // namespace

TEST_F(DialogsTest, MoveDialogShowsTheTreeAndGivesTheChosenName) {
    MoveToDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("MoveToForm"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Move"));
    EXPECT_EQ(dialog.size(), QSize(326, 250));
    ASSERT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("Label1")));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Move the item(s) to the selected folder"));

    // OK needs a selected folder; the copy is fully expanded.
    whenShown(dialog, [&dialog](QTreeWidget* tree, QPushButton* ok) {
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("Work"));
        ASSERT_EQ(tree->topLevelItem(1)->childCount(), 1);
        EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("Clients"));
        EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
        EXPECT_FALSE(ok->isEnabled());
        ok->click();
        EXPECT_TRUE(dialog.isVisible());
        tree->setCurrentItem(tree->topLevelItem(1)->child(0));
        EXPECT_TRUE(ok->isEnabled());
        ok->click();
    });
    EXPECT_EQ(dialog.chooseFolder(catalogue.folderTree()), QStringLiteral("Clients"));
    EXPECT_EQ(dialog.result(), QStringLiteral("Clients"));

    // Cancel and closing the window give the empty text, even after an earlier choice.
    whenShown(dialog, [&dialog](QTreeWidget* tree, QPushButton*) {
        tree->setCurrentItem(tree->topLevelItem(0));
        dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    EXPECT_EQ(dialog.chooseFolder(catalogue.folderTree()), QString());
    whenShown(dialog, [&dialog](QTreeWidget*, QPushButton*) { dialog.close(); });
    EXPECT_EQ(dialog.chooseFolder(catalogue.folderTree()), QString());

    // The move command with this dialog: the marked rows go to the chosen list.
    operations.setMoveTargetChooser([this, &dialog] { return dialog.chooseFolder(catalogue.folderTree()); });
    whenShown(dialog, [](QTreeWidget* tree, QPushButton* ok) {
        tree->setCurrentItem(tree->topLevelItem(1));
        ok->click();
    });
    EXPECT_TRUE(operations.moveToList({ids[0], ids[2]}));
    EXPECT_EQ(catalogue.recordings().viewValues(QStringLiteral("id")), QList<QVariant>{ids[1]});
}

TEST_F(DialogsTest, FindDialogSearchesTheMemosDownwards) {
    FindDialog find(operations.search());
    EXPECT_EQ(find.objectName(), QStringLiteral("dlgFind"));
    auto* direction = find.findChild<QGroupBox*>(QStringLiteral("Direction"));
    ASSERT_TRUE(direction);
    EXPECT_FALSE(direction->isEnabled());
    auto* findNext = find.findChild<QPushButton*>(QStringLiteral("FindNext"));
    ASSERT_TRUE(findNext);
    ASSERT_TRUE(find.findChild<QCheckBox*>(QStringLiteral("WholeWord")));

    find.findText()->setText(QStringLiteral("left from before"));
    find.findRecording();
    EXPECT_TRUE(find.isVisible());
    EXPECT_FALSE(find.isModal());
    EXPECT_EQ(find.findText()->text(), QString());
    EXPECT_TRUE(operations.search().restartMarked());
    EXPECT_FALSE(findNext->isEnabled());

    catalogue.recordings().last();
    find.findText()->setText(QStringLiteral("abc"));
    findNext->click();
    EXPECT_EQ(current(), ids[1]) << "the search starts again at the first row";
    EXPECT_TRUE(find.isVisible());
    find.matchCase()->setChecked(true);
    findNext->click();
    EXPECT_EQ(prompter.shown.last(),
              QString(12, QLatin1Char(' ')) + QStringLiteral("Search finished") + QString(12, QLatin1Char(' ')));
    EXPECT_EQ(current(), ids[2]);

    find.findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
    EXPECT_FALSE(find.isVisible());
    EXPECT_FALSE(operations.search().restartMarked());
    find.findRecording();
    find.findText()->setText(QStringLiteral("ABC"));
    findNext->click();
    EXPECT_EQ(current(), ids[1]);
}
