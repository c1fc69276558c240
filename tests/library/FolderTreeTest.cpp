// Folder tree: tree.d round trip and level rules, and the four list commands with their messages.
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace {

QStringList shape(const FolderTree& tree) {
    QStringList out;
    for (const FolderNode* node : tree.nodes())
        out.append(QString(node->level(), QLatin1Char('>')) + node->text);
    return out;
}

struct ListCommandsTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    Catalogue catalogue{dir.path(), prompter, CatalogueDateFormat(QLocale(QStringLiteral("en_US")))};
    FolderListCommands commands{catalogue, prompter};

    void SetUp() override {
        QDir(dir.path()).mkdir(QStringLiteral("wav"));
        catalogue.openCatalogue();
    }
    bool add(const QString& name, bool sublist = false) {
        prompter.texts.push_back(name);
        return sublist ? commands.addSublist() : commands.addList();
    }
    void select(const QString& text) { catalogue.selectNode(catalogue.folderTree().find(text)); }
    QStringList folderNames() {
        QStringList out;
        for (const QVariant& v : catalogue.folders().viewValues(QStringLiteral("FolderName")))
            out.append(v.toString());
        return out;
    }
    QString record(const QDateTime& end) {
        RecordingEntry entry;
        entry.endTime = end;
        const QString name = catalogue.addRecordingEntry(entry);
        writeFile(catalogue.wavPath(name), "RIFF");
        return name;
    }
};

} // namespace

TEST(FolderTreeTest, TreeFileRoundTripAndLevels) {
    FolderTree tree;
    tree.addTopLevel(QStringLiteral("General"));
    FolderNode* work = tree.addTopLevel(QStringLiteral("Work"));
    tree.addChild(work, QStringLiteral("Clients"));
    EXPECT_EQ(tree.serialize(), QByteArray("General\r\nWork\r\n\tClients\r\n"));
    FolderTree back;
    EXPECT_EQ(back.parse(tree.serialize()), QString());
    EXPECT_EQ(shape(back), shape(tree));

    // LF and CR endings, spaces as levels, going up several levels, empty lines.
    EXPECT_EQ(back.parse("A\n\tB\n\t C\r\t  D\n\nE\r\n E1\n"), QString());
    EXPECT_EQ(shape(back), (QStringList{QStringLiteral("A"), QStringLiteral(">B"), QStringLiteral(">>C"),
                                        QStringLiteral(">>>D"), QStringLiteral("E"), QStringLiteral(">E1")}));
    // A jump of two levels stops reading; what was read stays.
    EXPECT_EQ(back.parse("A\n\tB\n\t\t\tX\nC\n"), QStringLiteral("Invalid level (3) for item \"X\""));
    EXPECT_EQ(shape(back), (QStringList{QStringLiteral("A"), QStringLiteral(">B")}));
    // Windows-1252 text of files from the original platform, where 0x80-0x9F are letters and quotes.
    EXPECT_EQ(back.parse("M\xfcller\r\n\x93"
                         "Caf\xe9\x94 \x80 \x96 \x97\r\n"),
              QString());
    EXPECT_EQ(back.nodes().front()->text, QStringLiteral("M\u00fcller"));
    EXPECT_EQ(back.nodes().at(1)->text, QStringLiteral("\u201cCaf\u00e9\u201d \u20ac \u2013 \u2014"));
}

TEST_F(ListCommandsTest, AddListAndSublist) {
    EXPECT_TRUE(add(QStringLiteral("Work")));
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("Give name"));
    EXPECT_EQ(catalogue.folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("General"));
    select(QStringLiteral("Work"));
    EXPECT_TRUE(add(QStringLiteral("Clients"), true));
    EXPECT_EQ(catalogue.folderTree().selected()->text, QStringLiteral("Work"));
    EXPECT_EQ(catalogue.folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("Work"));
    // Taken anywhere in the tree: refused; another letter case is a new name.
    prompter.shown.clear();
    EXPECT_FALSE(add(QStringLiteral("Clients")));
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("Name folder Clientsalready exits. Try another"));
    EXPECT_TRUE(add(QStringLiteral("clients")));
    // Blank or cancelled names do nothing.
    EXPECT_FALSE(add(QStringLiteral("   ")));
    EXPECT_FALSE(commands.addList());
    // Leading blanks are dropped (tree.d would read them as levels), trailing ones kept.
    EXPECT_TRUE(add(QStringLiteral("\t  Home  ")));
    EXPECT_EQ(shape(catalogue.folderTree()),
              (QStringList{QStringLiteral("General"), QStringLiteral("Work"), QStringLiteral(">Clients"),
                           QStringLiteral("clients"), QStringLiteral("Home  ")}));
    EXPECT_EQ(folderNames(), (QStringList{QStringLiteral("General"), QStringLiteral("Work"), QStringLiteral("Clients"),
                                          QStringLiteral("clients"), QStringLiteral("Home  ")}));
    // Saved at once, and the tree comes back from tree.d.
    ASSERT_TRUE(catalogue.saveTree());
    ScriptedPrompter other;
    Catalogue again(dir.path(), other, CatalogueDateFormat(QLocale(QStringLiteral("en_US"))));
    again.openCatalogue();
    EXPECT_EQ(shape(again.folderTree()), shape(catalogue.folderTree()));
    EXPECT_EQ(again.folders().recordCount(), 5);
    // Without a selection Add sublist does nothing.
    catalogue.selectNode(nullptr);
    EXPECT_FALSE(commands.hasSelection());
    EXPECT_FALSE(add(QStringLiteral("Orphan"), true));
}

TEST_F(ListCommandsTest, DeleteListRemovesItsSublistsRowsAndFiles) {
    const QString general = record(QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)));
    add(QStringLiteral("Work"));
    select(QStringLiteral("Work"));
    add(QStringLiteral("Clients"), true);
    const QString work1 = record(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0)));
    const QString work2 = record(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 1)));
    select(QStringLiteral("Clients"));
    const QString client = record(QDateTime(QDate(2026, 12, 8), QTime(11, 0, 0)));
    select(QStringLiteral("Work"));
    ASSERT_EQ(catalogue.recordings().recordCount(), 2);

    prompter.answers.push_back(Prompter::Answer::Cancel);
    EXPECT_FALSE(commands.deleteList());
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("Delete list? All of your files in the list will be deleted"));
    EXPECT_EQ(catalogue.recordings().recordCount(), 2);

    prompter.answers.push_back(Prompter::Answer::Ok);
    EXPECT_TRUE(commands.deleteList());
    EXPECT_EQ(shape(catalogue.folderTree()), QStringList{QStringLiteral("General")});
    EXPECT_EQ(folderNames(), QStringList{QStringLiteral("General")});
    for (const QString& name : {work1, work2, client})
        EXPECT_FALSE(QFile::exists(catalogue.wavPath(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(catalogue.wavPath(general)));
    // The folder that became current is shown, in the tree and the list.
    EXPECT_EQ(catalogue.folderTree().selected()->text, QStringLiteral("General"));
    EXPECT_EQ(catalogue.recordings().recordCount(), 1);
    ScriptedPrompter other;
    Catalogue again(dir.path(), other, CatalogueDateFormat(QLocale(QStringLiteral("en_US"))));
    again.openCatalogue();
    again.recordings().setMasterSource(nullptr);
    EXPECT_EQ(again.recordings().recordCount(), 1);
}

TEST_F(ListCommandsTest, GeneralCanBeNeitherDeletedNorRenamed) {
    select(QStringLiteral("General"));
    EXPECT_FALSE(commands.deleteList());
    EXPECT_FALSE(commands.renameList());
    EXPECT_EQ(prompter.shown, (QStringList{QStringLiteral("General folder can not be deleted"),
                                           QStringLiteral("General folder can not be renamed")}));
    // Nor deleted with a list above it (a tree.d edited by hand).
    add(QStringLiteral("Top"));
    FolderNode* top = catalogue.folderTree().find(QStringLiteral("Top"));
    catalogue.folderTree().remove(catalogue.folderTree().find(QStringLiteral("General")));
    catalogue.folderTree().addChild(top, QStringLiteral("General"));
    catalogue.selectNode(top);
    EXPECT_FALSE(commands.deleteList());
    EXPECT_EQ(folderNames().size(), 2);
}

TEST_F(ListCommandsTest, RenameList) {
    add(QStringLiteral("Work"));
    add(QStringLiteral("Home"));
    select(QStringLiteral("Work"));
    // Blank answers are asked again; a trailing blank is kept.
    prompter.texts = {QStringLiteral("  "), QStringLiteral("Job ")};
    EXPECT_TRUE(commands.renameList());
    EXPECT_EQ(catalogue.folderTree().selected()->text, QStringLiteral("Job "));
    EXPECT_EQ(folderNames(), (QStringList{QStringLiteral("General"), QStringLiteral("Job "), QStringLiteral("Home")}));
    // A name another list has is refused; cancelling keeps the name.
    prompter.texts = {QStringLiteral("Home")};
    EXPECT_FALSE(commands.renameList());
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("Name folder Homealready exits. Try another"));
    EXPECT_FALSE(commands.renameList());
    EXPECT_EQ(folderNames(), (QStringList{QStringLiteral("General"), QStringLiteral("Job "), QStringLiteral("Home")}));
    EXPECT_EQ(catalogue.folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("Job "));
}
