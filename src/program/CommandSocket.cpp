// The command socket's path and the checks of its owner.
#include "program/CommandSocket.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CommandSocket {

namespace {

constexpr mode_t kOthers = S_IRWXG | S_IRWXO;

// $XDG_RUNTIME_DIR when it is a folder of this user that only the user may enter.
QString runtimeFolder() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat info {};
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return {};
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & kOthers) != 0)
        return {};
    return folder;
}

QString inWorkingFolder(const QString& workDir) {
    return QDir(workDir).filePath(QStringLiteral("commands.socket"));
}

} // namespace

QString pathFor(const QString& workDir) {
    const QString runtime = runtimeFolder();
    if (runtime.isEmpty())
        return inWorkingFolder(workDir);
    const QByteArray hash = QCryptographicHash::hash(workDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(runtime).filePath(QStringLiteral("orlamo-%1.commands").arg(QString::fromLatin1(hash)));
}

QStringList candidatePaths(const QString& workDir) {
    QStringList paths{pathFor(workDir)};
    if (!paths.contains(inWorkingFolder(workDir)))
        paths.append(inWorkingFolder(workDir));
    return paths;
}

bool isUsersOwn(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISSOCK(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & kOthers) == 0;
}

bool restrictToUser(const QString& path) {
    return ::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) == 0 && isUsersOwn(path);
}

bool peerIsUser(qintptr descriptor) {
    struct ucred credentials {};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof(credentials))
        return false;
    return credentials.uid == ::getuid();
}

} // namespace CommandSocket
