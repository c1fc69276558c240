// The working folder rule.
#include "base/WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace WorkingFolder {

QString resolve(const QString& override, const QString& programFolder) {
    if (!override.isEmpty()) {
        QDir().mkpath(override);
        return QDir(override).absolutePath();
    }
    const QFileInfo program(programFolder);
    const bool installed = QFileInfo(programFolder + QStringLiteral("/../share/doc/orlamo")).isDir();
    if (program.isDir() && program.isWritable() && !installed)
        return QDir(programFolder).absolutePath();
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/orlamo");
    QDir().mkpath(data);
    return data;
}

bool makeCurrent(const QString& folder) {
    return QDir::setCurrent(folder);
}

QString current() {
    QString path = QDir::currentPath();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace WorkingFolder
