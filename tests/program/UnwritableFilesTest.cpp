// A start that cannot write its files: a clear message, a non-zero status, and nothing stored changed.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Every file under `folder` with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(folder).relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

struct ProgramRun {
    int exitCode = -1;
    QByteArray errors;
};

// File permissions do not stop root, so as root the program runs as the unprivileged "nobody".
ProgramRun runUnattended(const QString& workDir) {
    const QString orlamo = qEnvironmentVariable("ORLAMO_BIN_DIR") + QStringLiteral("/orlamo");
    QStringList arguments{QStringLiteral("--unattended"), QStringLiteral("--workdir"), workDir};
    QString program = orlamo;
    if (::geteuid() == 0) {
        arguments.prepend(orlamo);
        arguments.prepend(QStringLiteral("--clear-groups"));
        arguments.prepend(QStringLiteral("--regid=65534"));
        arguments.prepend(QStringLiteral("--reuid=65534"));
        program = QStringLiteral("setpriv");
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), workDir);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError();
    return run;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A working folder the unprivileged user can enter, with a tvk.ini that lacks most settings (so the
// start has defaults to write) and a catalogue from an earlier run.
struct Folder {
    QTemporaryDir dir;
    Folder() {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup |
                                              QFile::WriteGroup | QFile::ExeGroup);
        writeFile(dir.filePath(QStringLiteral("tvk.ini")), "[Params]\r\nMainLeft=30\r\n");
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

} // namespace

TEST(UnwritableFiles, AReadOnlyConfigurationEndsTheStartWithItsMessage) {
    Folder folder;
    const QString ini = folder.path("tvk.ini");
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto before = snapshot(folder.dir.path());

    const ProgramRun run = runUnattended(folder.dir.path());
    EXPECT_NE(run.exitCode, 0) << run.errors.constData();
    EXPECT_NE(run.exitCode, -1) << "the program ended by itself, without a crash: " << run.errors.constData();
    EXPECT_TRUE(run.errors.contains("orlamo: Unable to write to " + ini.toLocal8Bit())) << run.errors.constData();
    EXPECT_FALSE(run.errors.contains("orlamo: ready")) << "the program does not run on";

    const auto after = snapshot(folder.dir.path());
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString() << " changed";
}

TEST(UnwritableFiles, ACatalogueThatCannotBeWrittenEndsTheStartWithItsMessage) {
    Folder folder;
    // No catalogue yet, and a folder where none can be created.
    ASSERT_TRUE(QFile::setPermissions(folder.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                             QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                                             QFile::ExeGroup));
    const auto before = snapshot(folder.dir.path());

    const ProgramRun run = runUnattended(folder.dir.path());
    EXPECT_NE(run.exitCode, 0) << run.errors.constData();
    EXPECT_NE(run.exitCode, -1) << "the program ended by itself, without a crash: " << run.errors.constData();
    EXPECT_TRUE(run.errors.contains("Recordings.d")) << run.errors.constData();
    EXPECT_FALSE(run.errors.contains("orlamo: ready"));
    EXPECT_EQ(snapshot(folder.dir.path()), before);
    QFile::setPermissions(folder.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
