// The catalogue's lock: a second writer is refused with the holder's process; a dead holder's lock is taken over.
#include "library/CatalogueLock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CatalogueLockTest, ASecondWriterIsRefusedUntilTheFirstIsDone) {
    QTemporaryDir dir;
    CatalogueLock first(dir.path());
    ASSERT_TRUE(first.tryLock());
    CatalogueLock second(dir.path());
    EXPECT_FALSE(second.tryLock());
    EXPECT_TRUE(second.heldByAnother());
    const QString holder = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(second.refusal(), QStringLiteral("The catalogue in %1 is in use by %2 (process %3)")
                                    .arg(dir.path(), holder)
                                    .arg(QCoreApplication::applicationPid()));
    first.unlock();
    EXPECT_TRUE(second.tryLock());
    second.unlock();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("catalogue.lock"))));
}

TEST(CatalogueLockTest, TheLockOfAProcessThatEndedIsTakenOver) {
    GTEST_FLAG_SET(death_test_style, "fast");
    QTemporaryDir dir;
    // A holder that ends without unlocking, as a crash or a power cut would.
    EXPECT_EXIT(
        {
            CatalogueLock lock(dir.path());
            std::_Exit(lock.tryLock() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ASSERT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("catalogue.lock"))));
    CatalogueLock lock(dir.path());
    EXPECT_TRUE(lock.tryLock());
}

TEST(CatalogueLockTest, AFolderThatCannotHoldTheLockIsSaid) {
    CatalogueLock lock(QStringLiteral("/proc/no-such-folder"));
    EXPECT_FALSE(lock.tryLock());
    EXPECT_FALSE(lock.heldByAnother());
    EXPECT_EQ(lock.refusal(), QStringLiteral("Cannot write the lock file /proc/no-such-folder/catalogue.lock"));
}
