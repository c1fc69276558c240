// The autostart entry's contents and location; the Run value on Windows.
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

const QString kTitle = QStringLiteral("Orlamo");

/// One argument of an Exec value. Inside double quotes ", `, $ and \ take a backslash; the value is
/// a string as well, whose own escaping doubles every backslash once more. A "%" starts a field
/// code anywhere, so it is written "%%".
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : argument)
        quote = quote || reserved.contains(c);
    QString out;
    for (QChar c : argument) {
        if (c == QLatin1Char('%'))
            out += QStringLiteral("%%");
        else if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            out += QStringLiteral("\\\\") + c;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            continue; // an entry's value is one line
        else
            out += c;
    }
    return quote ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

} // namespace

StartupRegistration::StartupRegistration(QString entryPath, QString programPath, QString workingFolder)
    : m_entryPath(std::move(entryPath)), m_programPath(std::move(programPath)),
      m_workingFolder(std::move(workingFolder)) {}

QString StartupRegistration::defaultEntryPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/orlamo.desktop"));
}

QString StartupRegistration::execLine(const QString& program, const QString& argument, const QString& workingFolder) {
    QString line = execArgument(program) + QLatin1Char(' ');
    if (!workingFolder.isEmpty())
        line += QStringLiteral("--workdir ") + execArgument(workingFolder) + QLatin1Char(' ');
    return line + execArgument(argument);
}

QString StartupRegistration::entryText(const QString& program, const QString& argument, const QString& workingFolder) {
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nX-GNOME-Autostart-enabled=true\n")
        .arg(kTitle, execLine(program, argument, workingFolder));
}

#ifdef Q_OS_WIN

// The Run key of the local machine: the value's name is the title, its data the program path, a
// blank and the argument. Without the rights to the key nothing is written.
namespace {
const QString kRunKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

bool StartupRegistration::registerAtLogon(const QString& argument) {
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (!run.isWritable())
        return false;
    QString command = QDir::toNativeSeparators(m_programPath) + QLatin1Char(' ');
    if (!m_workingFolder.isEmpty())
        command += QStringLiteral("--workdir \"") + QDir::toNativeSeparators(m_workingFolder) + QStringLiteral("\" ");
    run.setValue(kTitle, command + argument);
    run.sync();
    return run.status() == QSettings::NoError;
}

bool StartupRegistration::unregister() {
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (!run.isWritable())
        return false;
    run.remove(kTitle);
    run.sync();
    return run.status() == QSettings::NoError;
}

#else

bool StartupRegistration::registerAtLogon(const QString& argument) {
    if (!QDir().mkpath(QFileInfo(m_entryPath).absolutePath()))
        return false;
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(m_programPath, argument, m_workingFolder).toUtf8());
    return file.commit();
}

bool StartupRegistration::unregister() {
    return !QFileInfo::exists(m_entryPath) || QFile::remove(m_entryPath);
}

#endif
