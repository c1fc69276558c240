// Retention on a real catalogue: days per list and sublist, protection, the size cap, and what is spared.
#include "RecordingFixture.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "library/RetentionRules.h"
#include "library/RetentionSweep.h"

#include <QFile>

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 0, 0));

struct RetentionTest : RecordingFixture {
    std::unique_ptr<Config> config;
    Logger logger;

    void SetUp() override {
        RecordingFixture::SetUp();
        config = std::make_unique<Config>(QDir(work).filePath(QStringLiteral("tvk.ini")));
    }
    void addSublist(const QString& parent, const QString& name) {
        selectList(parent);
        FolderListCommands commands(*catalogue, prompter);
        prompter.texts.push_back(name);
        ASSERT_TRUE(commands.addSublist());
    }
    /// A recording in `list`, `hoursOld` before kNow, with a file of `bytes`; returns its id.
    QString recordIn(const QString& list, qint64 hoursOld, qsizetype bytes = 16) {
        selectList(list);
        RecordingEntry entry;
        entry.endTime = kNow.addSecs(-hoursOld * 3600);
        const QString name = catalogue->addRecordingEntry(entry);
        writeFile(catalogue->wavPath(name), QByteArray(bytes, 'x'));
        return calls().fieldText(QStringLiteral("id"));
    }
    QStringList planned(const QStringList& inUse = {}) {
        QStringList ids;
        for (const RetentionDeletion& deletion :
             RetentionSweep::plan(work, catalogue.get(), *config, kNow, inUse, nullptr))
            ids.append(deletion.id);
        return ids;
    }
};

} // namespace

TEST_F(RetentionTest, DaysFollowSublistsProtectionAndSpareTheYoungAndThePlayed) {
    addList(QStringLiteral("Sales"));
    addSublist(QStringLiteral("Sales"), QStringLiteral("North"));
    addSublist(QStringLiteral("Sales"), QStringLiteral("Keep"));
    addSublist(QStringLiteral("Sales"), QStringLiteral("Always"));
    addList(QStringLiteral("Archive"));
    RetentionRules rules(*config);
    rules.setDays(QStringLiteral("Sales"), 30);
    rules.setProtected(QStringLiteral("Keep"), true);
    rules.setDays(QStringLiteral("Always"), 0);
    rules.setDays(QStringLiteral("Archive"), 2);
    rules.setProtected(QStringLiteral("Archive"), true);

    const QString oldSale = recordIn(QStringLiteral("Sales"), 40 * 24);
    const QString recentSale = recordIn(QStringLiteral("Sales"), 20 * 24);
    const QString oldNorth = recordIn(QStringLiteral("North"), 31 * 24);
    const QString playing = recordIn(QStringLiteral("North"), 50 * 24);
    recordIn(QStringLiteral("Keep"), 40 * 24);
    recordIn(QStringLiteral("Always"), 40 * 24);
    recordIn(QStringLiteral("Archive"), 40 * 24);
    recordIn(QStringLiteral("General"), 400 * 24);
    // A day is the least any rule keeps a recording.
    rules.setDays(QStringLiteral("General"), 1);
    const QString oldGeneral = idsOnDisk().last();
    const QString young = recordIn(QStringLiteral("General"), 23);
    selectList(QStringLiteral("Archive"));

    ASSERT_TRUE(catalogue->locateRecording(playing, true));
    const QString playingFile = catalogue->wavPath(catalogue->recordingBaseName());
    selectList(QStringLiteral("Archive"));
    const QStringList expected{oldGeneral, oldSale, oldNorth};
    EXPECT_EQ(planned({playingFile}), expected);
    const QStringList before = idsOnDisk();
    EXPECT_EQ(before.size(), 9);

    RetentionSweep sweep(*catalogue, *config, logger);
    EXPECT_EQ(sweep.run(kNow, {playingFile}), 3);
    QStringList left = before;
    for (const QString& id : expected)
        left.removeAll(id);
    EXPECT_EQ(idsOnDisk(), left);
    EXPECT_TRUE(idsOnDisk().contains(young));
    EXPECT_TRUE(idsOnDisk().contains(recentSale));
    EXPECT_EQ(logger.lines().filter(QStringLiteral("Retention: ")).size(), 3)
        << logger.lines().join('\n').toStdString();
    EXPECT_TRUE(catalogue->filesWithoutRow().isEmpty());
    EXPECT_EQ(QDir(work + QStringLiteral("/wav")).entryList(QDir::Files).size(), 6);
    // The list the user was looking at stays selected.
    EXPECT_EQ(catalogue->folders().fieldText(QStringLiteral("FolderName")), QStringLiteral("Archive"));
    EXPECT_TRUE(planned({playingFile}).isEmpty());
}

TEST_F(RetentionTest, TheCapDeletesTheOldestFirstButNeverTheProtectedOrTheYoung) {
    addList(QStringLiteral("Keep"));
    RetentionRules rules(*config);
    rules.setProtected(QStringLiteral("Keep"), true);
    constexpr qsizetype kFile = 400 * 1024;
    recordIn(QStringLiteral("Keep"), 20 * 24, kFile);
    const QString tenDays = recordIn(QStringLiteral("General"), 10 * 24, kFile);
    const QString fiveDays = recordIn(QStringLiteral("General"), 5 * 24, kFile);
    const QString threeDays = recordIn(QStringLiteral("General"), 3 * 24, kFile);
    recordIn(QStringLiteral("General"), 2, kFile);
    recordIn(QStringLiteral("General"), 1, kFile);

    EXPECT_TRUE(planned().isEmpty()); // no cap: everything is kept for ever
    rules.setCapMegabytes(2);         // six files of 400 KiB: one more than the cap holds
    EXPECT_EQ(planned(), QStringList{tenDays});
    rules.setCapMegabytes(1);
    EXPECT_EQ(planned(), (QStringList{tenDays, fiveDays, threeDays}));
    EXPECT_EQ(idsOnDisk().size(), 6); // planning deletes nothing
}
