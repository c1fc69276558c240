// Where the command socket of a working folder is, and who may use it.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

/// The process that holds a working folder's catalogue listens on a local socket for the catalogue
/// commands of orlamo-cli. The socket is the user's alone: the server refuses a peer of another
/// user, and orlamo-cli uses no socket file another user could have made or may open.
namespace CommandSocket {

/// $XDG_RUNTIME_DIR/orlamo-<hash of the folder>.commands when that folder is the user's own,
/// else commands.socket in the working folder.
QString pathFor(const QString& workDir);
/// Where orlamo-cli looks, in order: the server's path and the working folder's, in case the
/// server ran without $XDG_RUNTIME_DIR.
QStringList candidatePaths(const QString& workDir);
/// True when `path` is a socket of this user that nobody else may read or write.
bool isUsersOwn(const QString& path);
/// Takes read and write away from everyone but the user; false when it cannot.
bool restrictToUser(const QString& path);
/// True when the process at the other end of a connected local socket runs as this user.
bool peerIsUser(qintptr descriptor);

} // namespace CommandSocket
