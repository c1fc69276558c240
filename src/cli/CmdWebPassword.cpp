// orlamo-cli web-password: the web page's password, read from standard input, stored as its hash.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "cli/CliContext.h"
#include "web/PasswordHash.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int cmdWebPassword(CliContext& context) {
    const bool clear = context.args == QStringList{QStringLiteral("--clear")};
    if (!context.args.isEmpty() && !clear) {
        context.err << "usage: orlamo-cli web-password [--clear]\n";
        return 2;
    }
    Config config(QDir(context.workDir).filePath(QStringLiteral("tvk.ini")));
    QString hash;
    if (!clear) {
        // Standard input, so the password is in no command line and no shell history.
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            context.err << "orlamo-cli web-password: standard input cannot be read\n";
            return 1;
        }
        QByteArray line = input.readLine(4096);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        const QString password = QString::fromUtf8(line);
        if (password.size() < 8) {
            context.err << "orlamo-cli web-password: a password has at least 8 characters\n";
            return 1;
        }
        hash = PasswordHash::make(password);
    }
    try {
        config.writeString(ConfigKeys::kWebPasswordHash, hash);
    } catch (const ConfigWriteError& error) {
        context.err << "orlamo-cli web-password: " << error.what() << '\n';
        return 1;
    }
    // The hash is of no use to anyone else: the file that holds it is for its owner alone.
    QFile::setPermissions(config.path(), QFile::ReadOwner | QFile::WriteOwner);
    context.out << (clear ? "The web password is removed\n" : "The web password is set\n");
    return 0;
}
