// orlamo-cli backup and restore: the round trip byte for byte, and the restores that are refused.
#include "cli/CliCatalogueTest.h"

#include "library/CatalogueLock.h"
#include "library/TarWriter.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>

namespace {

/// Every file of a folder, by relative path, with its bytes (the lock file aside).
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QString relative = QDir(folder).relativeFilePath(file.fileName());
        if (relative != QLatin1String(CatalogueLock::kFileName) && file.open(QIODevice::ReadOnly))
            files.insert(relative, file.readAll());
    }
    return files;
}

/// An archive of one entry `path`; `type` replaces the entry's type (a link, a device).
QByteArray archive(const QString& path, char type = '0') {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TarWriter tar(buffer);
    tar.addFile(path, QByteArray("harm"), QDateTime::currentDateTimeUtc());
    tar.finish();
    QByteArray bytes = buffer.data();
    bytes[156] = type;
    bytes.replace(148, 8, "        ");
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += static_cast<unsigned char>(bytes.at(i));
    bytes.replace(148, 7, QByteArray::number(sum, 8).rightJustified(6, '0') + '\0');
    return bytes;
}

struct BackupCommands : CliCatalogueTest {
    QString restored = root.filePath(QStringLiteral("restored"));

    void SetUp() override {
        CliCatalogueTest::SetUp();
        writeFile(QDir(work).filePath(QStringLiteral("tvk.ini")), "[Params]\nCallerID=1\n");
        writeFile(QDir(work).filePath(QStringLiteral("Compressions.d")), "1,8000,8\n");
        writeFile(QDir(work).filePath(QStringLiteral("FileCompression.cpn")), QByteArray(128, '\1'));
    }
    /// orlamo-cli --workdir `folder` ARGS.
    CliResult cliIn(const QString& folder, const QStringList& args) {
        const QString saved = work;
        work = folder;
        CliResult result = cli(args);
        work = saved;
        return result;
    }
};

} // namespace

TEST_F(BackupCommands, RestoredBackupsHoldEveryFileByteForByteAndOpen) {
    const QMap<QString, QByteArray> original = contents(work);
    ASSERT_TRUE(original.contains(QStringLiteral("Recordings.d")));
    ASSERT_TRUE(original.contains(QStringLiteral("wav/1_20261208_100004.wav")));
    const QString catalog = cli({QStringLiteral("catalog"), QStringLiteral("--csv")}).out;

    // Each backup is taken while another process holds the catalogue, as a running recorder does.
    for (const QString& backup : {QStringLiteral("copy.tar"), QStringLiteral("copy")}) {
        SCOPED_TRACE(backup.toStdString());
        QDir(restored).removeRecursively();
        {
            CatalogueLock recorder(work);
            ASSERT_TRUE(recorder.tryLock());
            const CliResult made = cli({QStringLiteral("backup"), backup});
            ASSERT_EQ(made.code, 0) << made.err.toStdString();
        }
        const CliResult back = cliIn(restored, {QStringLiteral("restore"), root.filePath(backup)});
        ASSERT_EQ(back.code, 0) << back.err.toStdString();
        const QMap<QString, QByteArray> copy = contents(restored);
        EXPECT_EQ(copy.keys(), original.keys());
        for (auto file = original.cbegin(); file != original.cend(); ++file)
            EXPECT_TRUE(copy.value(file.key()) == file.value()) << file.key().toStdString();
        EXPECT_EQ(cliIn(restored, {QStringLiteral("catalog"), QStringLiteral("--csv")}).out, catalog);
    }
    // Another tar program reads the archive.
    QProcess tar;
    tar.start(QStringLiteral("tar"), {QStringLiteral("-tf"), root.filePath(QStringLiteral("copy.tar"))});
    ASSERT_TRUE(tar.waitForFinished(30000));
    EXPECT_EQ(tar.exitCode(), 0);
    EXPECT_TRUE(tar.readAllStandardOutput().contains("wav/1_20261208_100004.wav\n"));
}

TEST_F(BackupCommands, RestoreRefusesAFolderInUseAndHostileArchivesWithOneLine) {
    ASSERT_EQ(cli({QStringLiteral("backup"), QStringLiteral("copy.tar")}).code, 0);
    const CliResult inUse = cli({QStringLiteral("restore"), root.filePath(QStringLiteral("copy.tar"))});
    EXPECT_EQ(inUse.code, 1);
    EXPECT_TRUE(inUse.err.startsWith(QStringLiteral("orlamo-cli restore: The working folder ")));
    EXPECT_TRUE(inUse.err.endsWith(QStringLiteral(" is not empty\n"))) << inUse.err.toStdString();
    EXPECT_EQ(inUse.err.count(QLatin1Char('\n')), 1);

    const QString outside = root.filePath(QStringLiteral("outside"));
    const QList<std::pair<QByteArray, const char*>> hostile = {
        {archive(QStringLiteral("../outside")), "unsafe path"},
        {archive(QStringLiteral("wav/../../outside")), "unsafe path"},
        {archive(outside), "unsafe path"},
        {archive(QStringLiteral("wav/link.wav"), '2'), "not a file or a folder"},
        {archive(QStringLiteral("Recordings.d")).left(700), "damaged"},
    };
    for (const auto& [bytes, why] : hostile) {
        SCOPED_TRACE(why);
        QDir(restored).removeRecursively();
        writeFile(root.filePath(QStringLiteral("hostile.tar")), bytes);
        const CliResult refused = cliIn(restored, {QStringLiteral("restore"), QStringLiteral("hostile.tar")});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains(QLatin1String(why))) << refused.err.toStdString();
        EXPECT_EQ(refused.err.count(QLatin1Char('\n')), 1);
        EXPECT_FALSE(QFile::exists(outside));
        EXPECT_TRUE(contents(restored).isEmpty());
    }
}
