// orlamo-cli at: send AT commands to the configured modem and print each reply.
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "modem/ModemController.h"
#include "modem/PortMap.h"
#include "program/Program.h"

#include <optional>

namespace {

QString resultName(AtResult code) {
    switch (code) {
    case AtResult::Ok:
        return QStringLiteral("ok");
    case AtResult::NotQueued:
        return QStringLiteral("not queued");
    case AtResult::TimeOut:
        return QStringLiteral("time out");
    case AtResult::Error:
        return QStringLiteral("error");
    case AtResult::Unexpected:
        return QStringLiteral("unexpected reply");
    case AtResult::Busy:
        break;
    }
    return QStringLiteral("refused");
}

} // namespace

int cmdAt(CliContext& context) {
    std::optional<int> port;
    QStringList commands;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args[i];
        if (arg == QLatin1String("--port") || arg.startsWith(QLatin1String("--port="))) {
            const QString value = arg.contains(QLatin1Char('='))
                                      ? arg.section(QLatin1Char('='), 1)
                                      : (i + 1 < context.args.size() ? context.args[++i] : QString());
            bool ok = false;
            port = value.toInt(&ok);
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

    UnattendedPrompter prompter;
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    ModemController& modem = program.modem();
    const int number = port.value_or(modem.settings().port);
    if (!modem.openModemPort(number, false)) {
        context.err << "Error during opening com port "
                    << PortMap::describe(number, PortMap::devicePath(&program.config(), number)) << ": "
                    << modem.channel().errorString() << '\n';
        return 1;
    }
    int exitCode = 0;
    for (const QString& command : commands) {
        QString reply;
        const AtResult code = modem.exchange().sendQuery(command, reply);
        context.out << "> " << command << '\n';
        if (code == AtResult::Ok && !reply.isEmpty())
            context.out << reply.replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        context.out << "= " << static_cast<int>(code) << ' ' << resultName(code) << '\n';
        context.out.flush();
        if (code != AtResult::Ok)
            exitCode = 1;
    }
    modem.closeModemPort();
    return exitCode;
}
