// Where the manual is looked for, in order: beside the program (a build copies it there), the
// installed documentation.
#include "gui/HelpManual.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString HelpManual::indexPath(const QString& programFolder) {
    const QDir folder(programFolder);
    const QStringList candidates = {
        folder.filePath(QStringLiteral("manual/index.html")),
        folder.filePath(QStringLiteral("../share/doc/orlamo/manual/index.html")),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

bool HelpManual::open(const QString& programFolder) {
    const QString index = indexPath(programFolder);
    if (index.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(index));
}
