// The recording commands on a real catalogue: delete, move, copy, memo, search and e-mail.
#include "library/RecordingOperations.h"
#include "RecordingFixture.h"
#include "base/ConfigKeys.h"
#include "library/MailHandOver.h"
#include "support/XdgEmailStandIn.h"

#include <QFileInfo>
#include <QSignalSpy>

namespace {

struct OperationsTest : RecordingFixture {
    XdgEmailStandIn standIn;
    std::unique_ptr<MailHandOver> mail;
    std::unique_ptr<RecordingOperations> operations;
    int marksCleared = 0;

    void SetUp() override {
        RecordingFixture::SetUp();
        ASSERT_TRUE(standIn.valid());
        standIn.put();
        mail = std::make_unique<MailHandOver>(work);
        makeOperations();
    }
    void makeOperations() {
        operations = std::make_unique<RecordingOperations>(*catalogue, prompter, *mail);
        QObject::connect(operations.get(), &RecordingOperations::marksCleared, [this] { ++marksCleared; });
    }
    void reopen() {
        operations.reset();
        open();
        makeOperations();
    }
    QString current() { return calls().fieldText(QStringLiteral("id")); }
    QString memo() { return calls().fieldText(QStringLiteral("Comment")); }
    QString recordingsFile() const { return QDir(work).filePath(QStringLiteral("Recordings.d")); }
};

const QString kFinished =
    QString(12, QLatin1Char(' ')) + QStringLiteral("Search finished") + QString(12, QLatin1Char(' '));

} // namespace

TEST_F(OperationsTest, DeleteTakesTheMarkedRowsWithTheirFilesAndSavesEachRow) {
    const QStringList ids{record(1), record(2), record(3), record(4), record(5)};
    QStringList files;
    for (const QString& id : ids)
        files.append(fileOf(id));
    const QString noFile = record(6, QStringLiteral("no file"), false);
    QSignalSpy saves(&calls(), &TableFile::saved);

    prompter.answers.push_back(Prompter::Answer::Cancel);
    EXPECT_FALSE(operations->confirmAndDelete({ids[3], ids[1], ids[0]}));
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("Delete selected record(s)?"));
    EXPECT_EQ(saves.count(), 0);
    EXPECT_EQ(marksCleared, 0);

    // Three marked rows, and an id that is not in the list (skipped).
    prompter.answers.push_back(Prompter::Answer::Ok);
    EXPECT_TRUE(operations->confirmAndDelete({ids[3], ids[1], QStringLiteral("NotHere1"), ids[0]}));
    EXPECT_EQ(viewIds(), (QStringList{ids[2], ids[4], noFile}));
    for (int i : {0, 1, 3})
        EXPECT_FALSE(QFile::exists(files[i])) << i;
    for (int i : {2, 4})
        EXPECT_TRUE(QFile::exists(files[i])) << i;
    EXPECT_EQ(saves.count(), 4) << "one save per row, then once more";
    EXPECT_EQ(marksCleared, 1);
    EXPECT_EQ(idsOnDisk(), (QStringList{ids[2], ids[4], noFile}));

    // Without marks the current row goes, also when its file is missing.
    ASSERT_TRUE(calls().locate(QStringLiteral("id"), noFile));
    prompter.answers.push_back(Prompter::Answer::Ok);
    EXPECT_TRUE(operations->confirmAndDelete({}));
    EXPECT_EQ(idsOnDisk(), (QStringList{ids[2], ids[4]}));
    EXPECT_TRUE(prompter.shown.endsWith(QStringLiteral("Delete selected record(s)?")));
}

TEST_F(OperationsTest, MoveFilesRowsInTheChosenListAndReloads) {
    addList(QStringLiteral("Work"));
    const QString a = record(1);
    const QString b = record(2);
    const QString c = record(3);
    ASSERT_TRUE(calls().locate(QStringLiteral("id"), b));
    const QByteArray before = readAll(recordingsFile());
    QSignalSpy saves(&calls(), &TableFile::saved);

    // To the list it is already in: nothing changes, not even the current row.
    EXPECT_FALSE(operations->moveRecordings({}, QStringLiteral("General")));
    EXPECT_EQ(saves.count(), 0);
    EXPECT_EQ(readAll(recordingsFile()), before);
    EXPECT_EQ(current(), b);
    marksCleared = 0;

    // The dialog cancelled: the marks go, nothing else.
    QString chosen;
    operations->setMoveTargetChooser([&chosen] { return chosen; });
    EXPECT_FALSE(operations->moveToList({a}));
    EXPECT_EQ(marksCleared, 1);
    EXPECT_EQ(readAll(recordingsFile()), before);

    chosen = QStringLiteral("Work");
    EXPECT_TRUE(operations->moveToList({c, a}));
    EXPECT_EQ(marksCleared, 2);
    EXPECT_EQ(saves.count(), 1);
    EXPECT_EQ(viewIds(), QStringList{b});
    EXPECT_EQ(current(), b);
    selectList(QStringLiteral("Work"));
    EXPECT_EQ(viewIds(), (QStringList{a, c}));
    EXPECT_TRUE(QFile::exists(fileOf(a)));

    // A list the tree shows but the folders table lacks is refused, nothing changes.
    const QByteArray moved = readAll(recordingsFile());
    EXPECT_FALSE(operations->moveRecordings({a}, QStringLiteral("Nowhere")));
    EXPECT_EQ(prompter.shown.last(), QStringLiteral("There is no list named \"Nowhere\""));
    EXPECT_EQ(readAll(recordingsFile()), moved);

    reopen();
    selectList(QStringLiteral("Work"));
    EXPECT_EQ(viewIds(), (QStringList{a, c}));
}

TEST_F(OperationsTest, CopyKeepsTheBaseNamesWhateverNameWasTyped) {
    const QString a = record(1);
    const QString b = record(2);
    const QString c = record(3);
    const QString target = root.filePath(QStringLiteral("copies of \"calls\" 'q'"));
    ASSERT_TRUE(QDir().mkpath(target));
    const QString bCopy = QDir(target).filePath(QFileInfo(fileOf(b)).fileName());
    writeFile(bCopy, "an older copy");

    prompter.texts.push_back(target + QStringLiteral("/whatever I typed.txt"));
    EXPECT_TRUE(operations->copyToFolder({c, b}));
    EXPECT_TRUE(prompter.proposed.last().endsWith(QStringLiteral("/Selected Files")));
    EXPECT_EQ(QDir(target).entryList(QDir::Files),
              (QStringList{QFileInfo(fileOf(b)).fileName(), QFileInfo(fileOf(c)).fileName()}));
    EXPECT_EQ(readAll(bCopy), readAll(fileOf(b))) << "replaced";
    EXPECT_EQ(marksCleared, 1);

    // Cancelled: nothing copied, the marks stay.
    prompter.texts.push_back(std::nullopt);
    EXPECT_FALSE(operations->copyToFolder({a}));
    EXPECT_EQ(marksCleared, 1);
    EXPECT_FALSE(QFile::exists(QDir(target).filePath(QFileInfo(fileOf(a)).fileName())));

    // The current row: the dialog proposes its own name.
    ASSERT_TRUE(calls().locate(QStringLiteral("id"), a));
    prompter.texts.push_back(target + QStringLiteral("/other.wav"));
    EXPECT_TRUE(operations->copyToFolder({}));
    EXPECT_EQ(QFileInfo(prompter.proposed.last()).fileName(), QFileInfo(fileOf(a)).fileName());
    EXPECT_EQ(readAll(QDir(target).filePath(QFileInfo(fileOf(a)).fileName())), readAll(fileOf(a)));
    EXPECT_FALSE(QFile::exists(QDir(target).filePath(QStringLiteral("other.wav"))));

    // Into the wav folder itself: the file is not lost by copying it onto itself.
    const QByteArray sound = readAll(fileOf(a));
    prompter.texts.push_back(QDir(work).filePath(QStringLiteral("wav/x.wav")));
    EXPECT_TRUE(operations->copyToFolder({}));
    EXPECT_EQ(readAll(fileOf(a)), sound);

    // A missing file is told, the others are copied.
    const QString other = root.filePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(QFile::remove(fileOf(c)));
    EXPECT_EQ(operations->copyRecordings({c, a}, other).size(), 1);
    EXPECT_TRUE(prompter.shown.last().startsWith(QStringLiteral("Could not copy ")))
        << prompter.shown.last().toStdString();
    EXPECT_TRUE(prompter.shown.last().endsWith(QStringLiteral(": the file is missing")));
    EXPECT_EQ(QDir(other).entryList(QDir::Files), QStringList{QFileInfo(fileOf(a)).fileName()});
}

TEST_F(OperationsTest, MemoOfSpacesIsStoredAnEmptyAnswerChangesNothing) {
    record(1, QStringLiteral("+4930 123"));
    prompter.texts.push_back(QStringLiteral("   "));
    EXPECT_TRUE(operations->editMemo());
    EXPECT_EQ(prompter.shown.last(), QString()) << "the input box has no prompt";
    EXPECT_EQ(prompter.proposed.last(), QStringLiteral("+4930 123"));
    EXPECT_EQ(memo(), QStringLiteral("   "));

    QSignalSpy saves(&calls(), &TableFile::saved);
    prompter.texts.push_back(QString());
    EXPECT_FALSE(operations->editMemo());
    prompter.texts.push_back(std::nullopt);
    EXPECT_FALSE(operations->editMemo());
    EXPECT_EQ(saves.count(), 0);
    EXPECT_EQ(memo(), QStringLiteral("   "));

    reopen();
    EXPECT_EQ(memo(), QStringLiteral("   "));
    // At most 255 characters; a line break stays on the list's one line.
    EXPECT_TRUE(operations->setMemo(QString(300, QLatin1Char('x'))));
    EXPECT_EQ(memo(), QString(255, QLatin1Char('x')));
    EXPECT_TRUE(operations->setMemo(QStringLiteral("Ann\r\nBob")));
    EXPECT_EQ(memo(), QStringLiteral("Ann  Bob"));
}

TEST_F(OperationsTest, SearchFindsDownwardsAndReportsTheEnd) {
    const QStringList ids{record(1, QStringLiteral("first")), record(2, QStringLiteral("call from ABC Ltd")),
                          record(3, QStringLiteral("nothing")), record(4, QStringLiteral("abc again")),
                          record(5, QStringLiteral("the last"))};
    RecordingSearch& search = operations->search();
    search.dialogShown();
    EXPECT_TRUE(search.findNext(QStringLiteral("abc"), false));
    EXPECT_EQ(current(), ids[1]);
    // The list is not moved row by row while the search walks: it hears of the result once.
    QSignalSpy moved(&calls(), &TableFile::currentChanged);
    EXPECT_TRUE(search.findNext(QStringLiteral("abc"), false));
    EXPECT_EQ(current(), ids[3]);
    EXPECT_EQ(moved.count(), 1);
    EXPECT_FALSE(search.findNext(QStringLiteral("abc"), false));
    EXPECT_EQ(prompter.shown.last(), kFinished);
    EXPECT_EQ(current(), ids[4]);

    // Searching again at the end says so at once.
    prompter.shown.clear();
    EXPECT_FALSE(search.findNext(QStringLiteral("abc"), true));
    EXPECT_EQ(prompter.shown, QStringList{kFinished});
    // Closing and reopening the dialog starts at the first row; with match case ABC is no match.
    search.dialogClosed();
    search.dialogShown();
    EXPECT_TRUE(search.findNext(QStringLiteral("abc"), true));
    EXPECT_EQ(current(), ids[3]);
    // Another row made current: the search goes on below it.
    ASSERT_TRUE(calls().locate(QStringLiteral("id"), ids[2]));
    EXPECT_TRUE(search.findNext(QStringLiteral("AGAIN"), false));
    EXPECT_EQ(current(), ids[3]);

    // At the beginning of the view the current row is tested first; elsewhere it is not.
    calls().first();
    EXPECT_TRUE(search.findNext(QStringLiteral("FIRST"), false));
    EXPECT_EQ(current(), ids[0]);
    calls().setRecNo(1);
    EXPECT_FALSE(search.findNext(QStringLiteral("first"), false));
    // A match on the last row is found once; the next press ends the search there.
    search.dialogShown();
    prompter.shown.clear();
    EXPECT_TRUE(search.findNext(QStringLiteral("last"), false));
    EXPECT_EQ(current(), ids[4]);
    EXPECT_FALSE(search.findNext(QStringLiteral("last"), false));
    EXPECT_EQ(current(), ids[4]);
    EXPECT_EQ(prompter.shown, QStringList{kFinished});
    EXPECT_TRUE(RecordingSearch::memoMatches(QStringLiteral("M\u00fcller"), QStringLiteral("m\u00fcLLER"), false));
    EXPECT_FALSE(RecordingSearch::memoMatches(QStringLiteral("M\u00dcLLER"), QStringLiteral("m\u00fcller"), false));
}

TEST_F(OperationsTest, MailAttachesTheFilesThatExist) {
    const QString a = record(1);
    const QString b = record(2, QStringLiteral("no file"), false);
    const QString c = record(3);
    // A row whose file still has its legacy name wav/<id>.wav.
    const QString d = record(4, QStringLiteral("legacy"), false);
    writeFile(QDir(work).filePath(QStringLiteral("wav/") + d + QStringLiteral(".wav")), "RIFFlegacy");
    const QString body = RecordingOperations::mailBody(ConfigKeys::kWebAddress.defaultValue);
    EXPECT_EQ(body, QStringLiteral("Hello,\n\n\nRecorded with Orlamo\nhttps://orlamo.example.org\n"));

    EXPECT_TRUE(operations->emailRecordings({a, b, d, c}));
    EXPECT_EQ(standIn.arguments(),
              (QStringList{QStringLiteral("--utf8"), QStringLiteral("--body"), body, QStringLiteral("--attach"),
                           fileOf(a), QStringLiteral("--attach"), fileOf(d), QStringLiteral("--attach"), fileOf(c)}));
    EXPECT_TRUE(fileOf(d).endsWith(QStringLiteral("/wav/1_20261208_100004.wav")));
    EXPECT_EQ(readAll(fileOf(d)), QByteArray("RIFFlegacy"));
    EXPECT_EQ(marksCleared, 1);

    // The current row without its file: the compose window still opens, with the body only.
    ASSERT_TRUE(calls().locate(QStringLiteral("id"), b));
    operations->setWebAddress(QStringLiteral("https://example.net/a b"));
    EXPECT_TRUE(operations->emailRecordings({}));
    EXPECT_EQ(standIn.arguments(),
              (QStringList{QStringLiteral("--utf8"), QStringLiteral("--body"),
                           RecordingOperations::mailBody(QStringLiteral("https://example.net/a b"))}));

    standIn.setExitCode(3);
    prompter.shown.clear();
    EXPECT_FALSE(operations->emailRecordings({a}));
    EXPECT_EQ(prompter.shown, QStringList{QStringLiteral("Mail failed to be dispatched")});
    EXPECT_EQ(mail->result(), 3);
}
