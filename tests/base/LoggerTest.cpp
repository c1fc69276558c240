// The event log's file and its bound on a long run.
#include "base/Logger.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(Logger, FileHoldsTheLinesWithCrLfAndIsReplacedWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Events.log"));
    {
        Logger first;
        first.add(QStringLiteral("Com port 1 opened..."));
        first.add(QStringLiteral("echo off.."));
        first.add(QStringLiteral("ok"));
        ASSERT_TRUE(first.writeEventLog(path));
    }
    EXPECT_EQ(readAll(path), QByteArray("Com port 1 opened...\r\necho off..\r\nok\r\n"));
    Logger second;
    second.add(QStringLiteral("-- Voice equilizer clicked"));
    ASSERT_TRUE(second.writeEventLog(path));
    EXPECT_EQ(readAll(path), QByteArray("-- Voice equilizer clicked\r\n"));
    // Writing does not clear the lines.
    EXPECT_EQ(second.lines().size(), 1);
}

TEST(Logger, LinesAreKeptExactlyAndAnnounced) {
    Logger logger;
    QSignalSpy spy(&logger, &Logger::appended);
    logger.add(QStringLiteral("  NMBR = 5551234 \x01"));
    logger.add(QString());
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("  NMBR = 5551234 \x01"));
    EXPECT_EQ(logger.lines(), QStringList({QStringLiteral("  NMBR = 5551234 \x01"), QString()}));
}

TEST(Logger, AnUnwritableFolderFailsWithoutThrowing) {
    Logger logger;
    logger.add(QStringLiteral("x"));
    EXPECT_FALSE(logger.writeEventLog(QStringLiteral("/nonexistent-folder/Events.log")));
}

TEST(Logger, AVeryLongRunKeepsTheNewestLinesAndSaysHowManyWentMissing) {
    Logger logger;
    const qsizetype total = Logger::kMaxLines + 5;
    for (qsizetype i = 0; i < total; ++i)
        logger.add(QString::number(i));
    const QStringList lines = logger.lines();
    EXPECT_LE(lines.size(), Logger::kMaxLines + 1);
    EXPECT_EQ(lines.last(), QString::number(total - 1));
    EXPECT_EQ(lines.first(), QStringLiteral("(%1 earlier lines dropped)").arg(logger.droppedLines()));
    EXPECT_EQ(lines.at(1), QString::number(logger.droppedLines()));
}
