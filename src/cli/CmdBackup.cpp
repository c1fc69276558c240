// orlamo-cli backup DIR|FILE.tar and restore DIR|FILE.tar: a consistent copy of the working folder
// (catalogue, settings, modem profile, recordings), and one put back into an empty working folder.
#include "cli/CliContext.h"
#include "library/Backup.h"
#include "library/BackupError.h"

#include <functional>

namespace {

int runBackupCommand(CliContext& context, const char* name, const std::function<void(const QString&)>& work) {
    if (context.args.size() != 1) {
        context.err << "orlamo-cli " << name << ": give one folder or FILE.tar\n";
        return 2;
    }
    try {
        work(context.userPath(context.args.first()));
    } catch (const BackupError& error) {
        context.err << "orlamo-cli " << name << ": " << error.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int cmdBackup(CliContext& context) {
    return runBackupCommand(context, "backup", [&](const QString& destination) {
        Backup::write(context.workDir, destination);
        context.out << "Backed up " << context.workDir << " to " << destination << '\n';
    });
}

int cmdRestore(CliContext& context) {
    return runBackupCommand(context, "restore", [&](const QString& source) {
        Backup::restore(source, context.workDir);
        context.out << "Restored " << source << " into " << context.workDir << '\n';
    });
}
