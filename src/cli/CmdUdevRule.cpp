// orlamo-cli udev-rule: the rule line for the configured USB modem.
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "modem/ModemController.h"
#include "modem/PortMap.h"
#include "modem/UsbModemRule.h"
#include "program/Program.h"

int cmdUdevRule(CliContext& context) {
    std::optional<int> port;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        if (context.args[i] == QStringLiteral("--port") && i + 1 < context.args.size()) {
            bool ok = false;
            port = context.args[++i].toInt(&ok);
            if (!ok) {
                context.err << "orlamo-cli udev-rule: --port needs a number\n";
                return 2;
            }
        } else {
            context.err << "usage: orlamo-cli udev-rule [--port N]\n";
            return 2;
        }
    }
    UnattendedPrompter prompter;
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    const int number = port.value_or(program.modem().settings().port);
    const QString device = PortMap::devicePath(&program.config(), number);
    const std::optional<UsbDeviceIds> ids = UsbModemRule::idsOf(device);
    if (!ids) {
        context.err << "orlamo-cli udev-rule: port " << number << " (" << (device.isEmpty() ? "no device" : device)
                    << ") is not a USB device; ModemManager leaves built-in serial ports alone\n";
        return 1;
    }
    context.out << "# /etc/udev/rules.d/61-orlamo-modem-local.rules\n" << UsbModemRule::ruleFor(*ids) << '\n';
    return 0;
}
