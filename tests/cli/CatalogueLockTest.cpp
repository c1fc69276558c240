// One writer at a time: while another program holds the catalogue, the catalogue commands are
// refused with the holder's process and change nothing; readers go on. The recorder that holds it
// runs them itself.
#include "library/CatalogueLock.h"
#include "CliCatalogueTest.h"
#include "program/CommandSocket.h"
#include "support/ModemSim.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalServer>

#include <sys/stat.h>

#include <csignal>

TEST_F(CliCatalogueTest, ASecondWriterIsRefusedWithTheHoldersProcess) {
    CatalogueLock lock(work);
    ASSERT_TRUE(lock.tryLock());
    // A socket others may open is nobody's to trust: orlamo-cli does not use it.
    QLocalServer stranger;
    ASSERT_TRUE(stranger.listen(CommandSocket::pathFor(work)));
    ASSERT_EQ(::chmod(QFile::encodeName(stranger.fullServerName()).constData(), 0666), 0);
    const QByteArray before = readAll(table());
    const QString refusal = QStringLiteral("The catalogue in %1 is in use by %2 (process %3)\n")
                                .arg(work, QFileInfo(QCoreApplication::applicationFilePath()).fileName())
                                .arg(QCoreApplication::applicationPid());
    for (const QStringList& args :
         {QStringList{QStringLiteral("delete"), a}, QStringList{QStringLiteral("memo"), a, QStringLiteral("x")},
          QStringList{QStringLiteral("move"), a, QStringLiteral("--to"), QStringLiteral("Work")},
          QStringList{QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("New")}}) {
        const CliResult result = cli(args);
        EXPECT_EQ(result.code, 1) << args.join(' ').toStdString();
        EXPECT_EQ(result.err,
                  QStringLiteral("orlamo-cli %1: ")
                          .arg(args.at(0) == QLatin1String("list") ? QStringLiteral("list add") : args.at(0)) +
                      refusal);
    }
    EXPECT_EQ(readAll(table()), before);
    EXPECT_TRUE(QFile::exists(wavFile(1)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(stranger.hasPendingConnections());
    // Reading needs no lock.
    EXPECT_EQ(cli({QStringLiteral("catalog")}).code, 0);
    EXPECT_EQ(cli({QStringLiteral("search"), QStringLiteral("abc")}).code, 0);
    EXPECT_EQ(cli({QStringLiteral("lists")}).code, 0);

    lock.unlock();
    EXPECT_EQ(cli({QStringLiteral("delete"), a}).code, 0);
    EXPECT_FALSE(QFile::exists(wavFile(1)));
}

TEST_F(CliCatalogueTest, TheRecorderRunsTheCatalogueCommandsUntilItEnds) {
    ModemSim sim;
    ASSERT_TRUE(sim.start());
    ASSERT_TRUE(sim.writeFirstStartConfig(QDir(work).filePath(QStringLiteral("tvk.ini"))));
    QProcess recorder;
    recorder.setProcessEnvironment(environment);
    recorder.start(qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo-cli"),
                   {QStringLiteral("--workdir"), work, QStringLiteral("record")});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    QByteArray seen;
    while (!seen.contains("Enabling autoRecord mode")) {
        ASSERT_TRUE(recorder.waitForReadyRead(30000)) << seen.constData();
        seen += recorder.readAllStandardOutput();
    }
    CliResult result = cli({QStringLiteral("memo"), a, QStringLiteral("changed")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    result = cli({QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("Forwarded")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(cli({QStringLiteral("catalog")}).out.contains(QStringLiteral("changed")));
    EXPECT_TRUE(cli({QStringLiteral("lists")}).out.contains(QStringLiteral("Forwarded")));

    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(30000));
    EXPECT_EQ(recorder.exitCode(), 0);
    // The recorder's close kept what it ran.
    EXPECT_TRUE(rows().contains(a + QStringLiteral(" General changed")));
    EXPECT_TRUE(cli({QStringLiteral("lists")}).out.contains(QStringLiteral("Forwarded")));

    // A recorder that cannot have the catalogue does not start.
    CatalogueLock lock(work);
    ASSERT_TRUE(lock.tryLock());
    result = cli({QStringLiteral("record")});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("is in use by"))) << result.err.toStdString();
}
