// orlamo-cli status [--floor MB|auto]: the working folder's free space as hours of recording.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "program/Program.h"
#include "recorder/DiskSpaceWatch.h"
#include "settings/SettingsModel.h"

int cmdStatus(CliContext& context) {
    const QStringList& args = context.args;
    std::optional<int> floor;
    if (args.size() == 2 && args.at(0) == QLatin1String("--floor")) {
        bool ok = false;
        const int megabytes = args.at(1).toInt(&ok);
        if (args.at(1) == QLatin1String("auto"))
            floor = 0;
        else if (ok && megabytes > 0)
            floor = megabytes;
    }
    if (!args.isEmpty() && !floor) {
        context.err << "usage: orlamo-cli status [--floor MB|auto]\n";
        return 2;
    }
    UnattendedPrompter prompter; // messages go to standard error
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    if (floor) {
        try {
            program.config().writeInteger(ConfigKeys::kDiskFloor, *floor);
        } catch (const ConfigWriteError& error) {
            context.err << "orlamo-cli status: " << error.text() << '\n';
            return 1;
        }
    }
    const WaveFormat& format = program.settings().fileCompression();
    DiskSpaceWatch disk(context.workDir);
    disk.setBytesPerSecond(format.avgBytesPerSec());
    disk.setFloorMegabytes(program.config().read(ConfigKeys::kDiskFloor));
    disk.check();
    context.out << "Working folder: " << context.workDir << '\n';
    context.out << "File format: " << format.formatDescription() << '\n';
    context.out << disk.summary() << '\n';
    context.out << "Floor: " << disk.floorBytes() / DiskSpaceWatch::kMegabyte << " MB"
                << (program.config().read(ConfigKeys::kDiskFloor) > 0 ? "" : " (automatic)")
                << (disk.low() ? "; below the floor: a recording ends at once" : "") << '\n';
    return 0;
}
