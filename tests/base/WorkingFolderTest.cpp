// Where the program keeps its files: beside a portable program, in the user's data folder when
// installed, or where --workdir says.
#include "base/WorkingFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct WorkingFolderTest : ::testing::Test {
    QTemporaryDir root;
    QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    void SetUp() override { qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8()); }
    void TearDown() override { qputenv("XDG_DATA_HOME", savedDataHome); }
    QString dataFolder() const { return root.filePath(QStringLiteral("data/orlamo")); }
};

} // namespace

TEST_F(WorkingFolderTest, APortableProgramKeepsItsFilesBesideItself) {
    const QString program = root.filePath(QStringLiteral("portable"));
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(WorkingFolder::resolve(QString(), program), QDir(program).absolutePath());
}

TEST_F(WorkingFolderTest, AnInstalledProgramUsesTheDataFolderEvenWhereItsFolderIsWritable) {
    const QString prefix = root.filePath(QStringLiteral("usr"));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/share/doc/orlamo/manual")));
    EXPECT_EQ(WorkingFolder::resolve(QString(), prefix + QStringLiteral("/bin")), dataFolder());
    EXPECT_TRUE(QDir(dataFolder()).exists());
}

TEST_F(WorkingFolderTest, TheOptionWinsAndIsCreated) {
    const QString chosen = root.filePath(QStringLiteral("chosen/deeper"));
    EXPECT_EQ(WorkingFolder::resolve(chosen, root.filePath(QStringLiteral("portable"))), chosen);
    EXPECT_TRUE(QDir(chosen).exists());
}
