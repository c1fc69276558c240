// The autostart entry: its exact text, the quoting of awkward program paths, what the desktop's
// own validator says of it, and folders it cannot be written to.
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

#include "support/TestFiles.h"

namespace {

struct StartupRegistrationTest : ::testing::Test {
    QTemporaryDir dir;
    QString entryPath = dir.filePath(QStringLiteral("config/autostart/orlamo.desktop"));

    /// desktop-file-validate's verdict on the entry: empty when it accepts it.
    static std::optional<QString> validatorComplaint(const QString& path) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {path});
        validate.waitForFinished(30000);
        const QString said = QString::fromLocal8Bit(validate.readAllStandardOutput() + validate.readAllStandardError());
        if (validate.exitStatus() != QProcess::NormalExit || validate.exitCode() != 0)
            return said.isEmpty() ? QStringLiteral("exit code %1").arg(validate.exitCode()) : said;
        return std::nullopt;
    }
    static bool validatorInstalled() {
        return !QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty();
    }
};

} // namespace

TEST_F(StartupRegistrationTest, EntryTextWithABlankInTheProgramPath) {
    StartupRegistration reg(entryPath, QStringLiteral("/home/ann/My Programs/orlamo"));
    ASSERT_TRUE(reg.registerAtLogon(QStringLiteral("STARTUP")));
    EXPECT_EQ(readAll(entryPath), QByteArray("[Desktop Entry]\n"
                                             "Type=Application\n"
                                             "Name=Orlamo\n"
                                             "Exec=\"/home/ann/My Programs/orlamo\" STARTUP\n"
                                             "X-GNOME-Autostart-enabled=true\n"));
    // Without the tray the argument is empty and the line ends with the path and one blank.
    ASSERT_TRUE(reg.registerAtLogon(QString()));
    EXPECT_TRUE(readAll(entryPath).contains("\nExec=\"/home/ann/My Programs/orlamo\" \n"));
    // A program told to work in another folder starts there at logon too.
    StartupRegistration second(entryPath, QStringLiteral("/usr/bin/orlamo"), QStringLiteral("/srv/calls/second line"));
    ASSERT_TRUE(second.registerAtLogon(QStringLiteral("STARTUP")));
    EXPECT_TRUE(readAll(entryPath).contains("\nExec=/usr/bin/orlamo --workdir \"/srv/calls/second line\" STARTUP\n"));
}

TEST_F(StartupRegistrationTest, ReservedCharactersAreEscaped) {
    // A plain path stays unquoted.
    EXPECT_EQ(StartupRegistration::execLine(QStringLiteral("/usr/bin/orlamo"), QStringLiteral("STARTUP")),
              QStringLiteral("/usr/bin/orlamo STARTUP"));
    // Inside quotes ", `, $ and \ take a backslash, which the string escaping doubles; "%" is "%%".
    EXPECT_EQ(StartupRegistration::execLine(QStringLiteral("/opt/a \"b\"/$x`y`/c\\d/50%/orlamo"), QString()),
              QStringLiteral("\"/opt/a \\\\\"b\\\\\"/\\\\$x\\\\`y\\\\`/c\\\\\\\\d/50%%/orlamo\" "));
    EXPECT_EQ(StartupRegistration::execLine(QStringLiteral("/opt/100%/orlamo"), QString()),
              QStringLiteral("/opt/100%%/orlamo "));
    // A line break in a path cannot end the value early.
    EXPECT_FALSE(StartupRegistration::entryText(QStringLiteral("/opt/x\nExec=evil"), QString())
                     .contains(QStringLiteral("\nExec=evil")));
}

TEST_F(StartupRegistrationTest, TheDesktopValidatorAcceptsTheEntry) {
    if (!validatorInstalled())
        GTEST_SKIP() << "desktop-file-validate is not installed (scripts/setup installs desktop-file-utils)";
    const QStringList programs = {QStringLiteral("/usr/bin/orlamo"), QStringLiteral("/home/ann/My Programs/orlamo"),
                                  QStringLiteral("/opt/a \"b\"/$x`y`/c\\d/50%/orlamo")};
    for (const QString& program : programs) {
        for (const QString& argument : {QStringLiteral("STARTUP"), QString()}) {
            StartupRegistration reg(entryPath, program,
                                    program == programs[1] ? QStringLiteral("/srv/my calls") : QString());
            ASSERT_TRUE(reg.registerAtLogon(argument));
            const std::optional<QString> complaint = validatorComplaint(entryPath);
            EXPECT_FALSE(complaint) << program.toStdString() << " [" << argument.toStdString()
                                    << "]: " << complaint.value_or(QString()).toStdString();
        }
    }
    // The validator is not a rubber stamp: an unclosed quote is refused.
    writeFile(entryPath, "[Desktop Entry]\nType=Application\nName=Orlamo\nExec=\"/opt/a b/orlamo STARTUP\n");
    EXPECT_TRUE(validatorComplaint(entryPath));
}

TEST_F(StartupRegistrationTest, UnregisterRemovesTheEntry) {
    StartupRegistration reg(entryPath, QStringLiteral("/usr/bin/orlamo"));
    ASSERT_TRUE(reg.registerAtLogon(QStringLiteral("STARTUP")));
    ASSERT_TRUE(QFile::exists(entryPath));
    EXPECT_TRUE(reg.unregister());
    EXPECT_FALSE(QFile::exists(entryPath));
    EXPECT_TRUE(reg.unregister()); // nothing there is nothing to remove
}

TEST_F(StartupRegistrationTest, AFolderThatCannotBeWrittenChangesNothing) {
    // The autostart folder's place is taken by a file: no folder can be made there.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    writeFile(blocked, "not a folder");
    StartupRegistration reg(blocked + QStringLiteral("/autostart/orlamo.desktop"), QStringLiteral("/usr/bin/orlamo"));
    EXPECT_FALSE(reg.registerAtLogon(QStringLiteral("STARTUP")));
    EXPECT_EQ(readAll(blocked), QByteArray("not a folder"));

    // The entry's name is taken by a folder with something in it: neither written nor removed.
    ASSERT_TRUE(QDir().mkpath(entryPath + QStringLiteral("/keep")));
    StartupRegistration taken(entryPath, QStringLiteral("/usr/bin/orlamo"));
    EXPECT_FALSE(taken.registerAtLogon(QString()));
    EXPECT_FALSE(taken.unregister());
    EXPECT_TRUE(QFileInfo(entryPath + QStringLiteral("/keep")).isDir());
}

TEST_F(StartupRegistrationTest, DefaultPlaceFollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("cfg")).toUtf8());
    EXPECT_EQ(StartupRegistration::defaultEntryPath(), dir.filePath(QStringLiteral("cfg/autostart/orlamo.desktop")));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(StartupRegistration::defaultEntryPath(),
              QDir::homePath() + QStringLiteral("/.config/autostart/orlamo.desktop"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}
