// The autostart entry's contents and location.
#include "settings/StartupRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Exec= follows the desktop entry quoting rules: a path with blanks or specials goes in double quotes
// with ", `, $ and \ escaped.
QString quotedExec(const QString& program) {
    static const QString specials = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : program)
        needsQuotes = needsQuotes || specials.contains(c);
    if (!needsQuotes)
        return program;
    QString escaped;
    for (QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        escaped += c;
    }
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

StartupRegistration::StartupRegistration(QString entryPath, QString programPath)
    : m_entryPath(std::move(entryPath)), m_programPath(std::move(programPath)) {}

QString StartupRegistration::defaultEntryPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation))
        .filePath(QStringLiteral("autostart/orlamo.desktop"));
}

bool StartupRegistration::registerAtLogon(const QString& argument) {
    if (!QDir().mkpath(QFileInfo(m_entryPath).absolutePath()))
        return false;
    QString arg = argument;
    arg.remove(QLatin1Char('\r'));
    arg.remove(QLatin1Char('\n'));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Orlamo\nExec=%1 %2\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(quotedExec(m_programPath), arg);
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool StartupRegistration::unregister() {
    return !QFile::exists(m_entryPath) || QFile::remove(m_entryPath);
}
