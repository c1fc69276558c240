// orlamo-cli modems: search ports 1..8 for modems, list them, and optionally write the profile of one.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "modem/PortMap.h"
#include "modemsetup/ModemParams.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "program/Program.h"

namespace {

/// "Section/key=value".
void printKey(const ConfigKey& key, const QString& value, QTextStream& out) {
    out << key.section << '/' << key.name << '=' << value << '\n';
}

void printProfile(const Config& config, QTextStream& out) {
    const ModemParams stored = loadModemProfile(config);
    out << "port=" << stored.port << '\n';
    for (const ModemParams::Field& field : ModemParams::storedFields())
        printKey(field.key, stored.*field.member, out);
    printKey(ConfigKeys::kVoiceFeatures, QString::number(config.read(ConfigKeys::kVoiceFeatures) ? 1 : 0), out);
    printKey(ConfigKeys::kCompression, config.readString(ConfigKeys::kCompression, QString()), out);
    printKey(ConfigKeys::kTimeout, config.readString(ConfigKeys::kTimeout, QString()), out);
}

} // namespace

int cmdModems(CliContext& context) {
    int write = 0;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args[i];
        bool ok = false;
        if (arg == QLatin1String("--write") && i + 1 < context.args.size())
            write = context.args[++i].toInt(&ok);
        else if (arg.startsWith(QLatin1String("--write=")))
            write = arg.section(QLatin1Char('='), 1).toInt(&ok);
        if (!ok || write < 1) {
            context.err << "usage: orlamo-cli modems [--write N]\n";
            return 2;
        }
    }

    UnattendedPrompter prompter; // messages go to standard error
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    const Config& config = program.config();
    ModemSearch& search = program.modemSearch();
    ModemProfileWriter& writer = program.profileWriter();

    try {
        // Only a profile write replaces the stored profile; a listing leaves it alone.
        const int found = search.searchModems(write > 0);
        if (found == 0) {
            context.err << "        No modem detected        \n";
            return 1;
        }
        context.out << "N\tport\tdevice\tmodel\tmanufacturer\trevision\n";
        for (int n = 1; n <= found; ++n) {
            const ModemParams& e = search.entry(n);
            context.out << n << '\t' << e.PortName << '\t' << PortMap::devicePath(&config, e.port) << '\t'
                        << e.Model.trimmed() << '\t' << e.Manufacturer.trimmed() << '\t' << e.DriverDate.trimmed()
                        << '\n';
        }
        if (write == 0)
            return 0;
        if (write > found) {
            context.err << "orlamo-cli modems: there is no modem " << write << '\n';
            return 2;
        }
        const ModemProfileWriter::Result result = writer.writeModemProfile(write);
        if (result != ModemProfileWriter::Result::Written)
            return 1;
        context.out << '\n';
        printProfile(config, context.out);
    } catch (const std::exception& e) {
        context.err << "orlamo-cli modems: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
