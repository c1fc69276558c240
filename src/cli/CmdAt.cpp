// orlamo-cli at: send AT commands to the configured modem and print each reply.
#include "app/Config.h"
#include "app/Logger.h"
#include "cli/CliContext.h"
#include "modem/PortMap.h"
#include "modem/TfmModem.h"

#include <QDir>

namespace {

QString resultName(int code) {
    switch (code) {
    case AtOk:
        return QStringLiteral("ok");
    case AtNotQueued:
        return QStringLiteral("not queued");
    case AtTimeOut:
        return QStringLiteral("time out");
    case AtError:
        return QStringLiteral("error");
    case AtUnexpected:
        return QStringLiteral("unexpected reply");
    default:
        return QStringLiteral("refused");
    }
}

} // namespace

int cmdAt(CliContext& context) {
    Config config(QDir(context.workDir).filePath(QStringLiteral("tvk.ini")));
    ModemSettings settings = ModemSettings::fromConfig(config);
    QStringList commands;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args[i];
        if (arg == QLatin1String("--port") || arg.startsWith(QLatin1String("--port="))) {
            const QString value = arg.contains(QLatin1Char('='))
                                      ? arg.section(QLatin1Char('='), 1)
                                      : (i + 1 < context.args.size() ? context.args[++i] : QString());
            bool ok = false;
            settings.port = value.toInt(&ok);
            if (!ok) {
                context.err << "orlamo-cli at: --port needs a port number\n";
                return 2;
            }
        } else {
            commands.append(arg);
        }
    }
    if (commands.isEmpty()) {
        context.err << "usage: orlamo-cli at [--port N] COMMAND...\n";
        return 2;
    }

    Logger logger;
    TfmModem modem(config, logger);
    modem.setSettings(settings);
    if (!modem.OpenModemPort(settings.port, false)) {
        context.err << "Error during opening com port "
                    << PortMap::describe(settings.port, PortMap::devicePath(&config, settings.port)) << ": "
                    << modem.ComPort1().errorString() << '\n';
        return 1;
    }
    int exitCode = 0;
    for (const QString& command : commands) {
        QString reply;
        const int code = modem.SendQuery(command, reply);
        context.out << "> " << command << '\n';
        if (code == AtOk && !reply.isEmpty())
            context.out << reply.replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        context.out << "= " << code << ' ' << resultName(code) << '\n';
        context.out.flush();
        if (code != AtOk)
            exitCode = 1;
    }
    modem.CloseModemPort();
    return exitCode;
}
