// A recording whose final name is already taken (an earlier one ended in the same second) keeps its sound.
#include "recorder/RecordingTestBase.h"

#include "library/TableFile.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>

TEST_F(RecordingTestBase, ARecordingEndingInTheSecondOfAnEarlierOneKeepsBothFiles) {
    configure(1);
    createCore();
    // The earlier recordings of every second of the next two minutes: whenever this one ends, its
    // plain name belongs to one of them.
    const QByteArray earlier = QByteArrayLiteral("earlier recording");
    QDir().mkpath(dir.filePath(QStringLiteral("wav")));
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 120; ++s) {
        const QString name = QStringLiteral("wav/1_") + now.addSecs(s).toString(QStringLiteral("yyyyMMdd_HHmmss"));
        QFile file(dir.filePath(name + QStringLiteral(".wav")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    QSignalSpy catalogued(&recorder(), &VoiceRecorder::recordingCatalogued);
    recorder().startRecording();
    ASSERT_TRUE(recorder().receiving()) << prompter.shown.join('\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return recorder().writtenBytes() >= 8000; }));
    recorder().stopRecording();
    ASSERT_EQ(catalogued.size(), 1) << prompter.shown.join('\n').toStdString();
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join('\n').toStdString();

    // The new one went to <name>_<id>.wav; the earlier file of that second is untouched.
    const QString baseName = catalogued.first().at(0).toString();
    TableFile& calls = core->catalogue().recordings();
    calls.last();
    const QString id = calls.fieldText(QStringLiteral("Id"));
    ASSERT_TRUE(baseName.endsWith(QLatin1Char('_') + id)) << baseName.toStdString();
    const QString plain = baseName.left(baseName.size() - id.size() - 1);
    QFile earlierFile(dir.filePath(QStringLiteral("wav/") + plain + QStringLiteral(".wav")));
    ASSERT_TRUE(earlierFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlierFile.readAll(), earlier);
    QFile mine(dir.filePath(QStringLiteral("wav/") + baseName + QStringLiteral(".wav")));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_GE(mine.size(), 44 + 8000);
    EXPECT_TRUE(mine.read(4) == "RIFF");
    EXPECT_FALSE(QFile::exists(recorder().recordedPath()));
    // The row finds its own file again.
    EXPECT_EQ(core->catalogue().recordingBaseName(), baseName);
}
