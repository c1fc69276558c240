// orlamo-cli modems: search ports 1..8 for modems, list them, and optionally write the profile of one.
#include "app/Config.h"
#include "app/Logger.h"
#include "app/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "modem/PortMap.h"
#include "modem/TfmModem.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemProfileWriter.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/QueryModemBox.h"
#include "modemsetup/TfmParse.h"

#include <QDir>

namespace {

void printProfile(const Config& config, QTextStream& out) {
    const TModemParams stored = LoadModemProfile(config);
    out << "port=" << stored.port << '\n';
    for (const TModemParams::Field& field : TModemParams::storedFields())
        out << field.section << '/' << field.key << '=' << stored.*field.member << '\n';
    const QString params = QStringLiteral("Params");
    out << "Params/Voicefeatures=" << (config.readBool(params, QStringLiteral("Voicefeatures"), true) ? 1 : 0) << '\n';
    out << "Params/Compression=" << config.readString(params, QStringLiteral("Compression"), QString()) << '\n';
    out << "Params/Timeout=" << config.readString(params, QStringLiteral("Timeout"), QString()) << '\n';
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

    Config config(QDir(context.workDir).filePath(QStringLiteral("tvk.ini")));
    Logger logger;
    UnattendedPrompter prompter; // messages go to standard error
    TfmModem modem(config, logger);
    modem.setSettings(ModemSettings::fromConfig(config));
    ModemProfile profile;
    QueryModemBox box;
    TfmParse parse(config, logger, prompter, profile, box, context.workDir);
    parse.setQuery([&modem](const QString& command, QString& reply) { return modem.SendQuery(command, reply); });
    CurrentCompression current;
    ModemSearch search(config, logger, modem);
    ModemProfileWriter writer(config, logger, prompter, modem, profile, parse, current, search, context.workDir);

    try {
        // Only a profile write replaces the stored profile; a listing leaves it alone.
        const int found = search.SearchModems(write > 0);
        if (found == 0) {
            context.err << "        No modem detected        \n";
            return 1;
        }
        context.out << "N\tport\tdevice\tmodel\tmanufacturer\trevision\n";
        for (int n = 1; n <= found; ++n) {
            const TModemParams& e = search.entry(n);
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
        const ModemProfileWriter::Result result = writer.WriteModemProfile(write);
        if (result != ModemProfileWriter::Result::Written)
            return 1;
        context.out << '\n';
        printProfile(config, context.out);
    } catch (const ConfigWriteError& e) {
        context.err << "orlamo-cli modems: " << e.text() << '\n';
        return 1;
    }
    return 0;
}
