// The lock, the catalogue and the prompter of the catalogue commands.
#include "cli/CliCatalogue.h"

#include "base/Config.h"
#include "library/Catalogue.h"
#include "library/CatalogueLock.h"
#include "library/RecordingOperations.h"
#include "library/TableError.h"
#include "program/CatalogueCommands.h"
#include "program/CommandClient.h"

#include <QDir>

namespace {

// A command that runs at the same moment as another one waits for it this long.
constexpr int kLockWaitMs = 1000;

// The catalogue under the lock, or the answer of the process that holds it.
int runHere(CliContext& context, const QString& command,
            const std::function<int(Catalogue&, CommandLinePrompter&)>& work, const CommandProtocol::Request* forward) {
    CommandLinePrompter prompter(context.err, command);
    CatalogueLock lock(context.workDir);
    if (forward && !lock.tryLock() && lock.heldByAnother()) {
        if (const std::optional<CommandProtocol::Answer> answer = CommandClient::send(*forward)) {
            context.out << answer->out;
            context.err << answer->err;
            return answer->status;
        }
    }
    Catalogue catalogue(context.workDir, prompter);
    try {
        // A damaged table restored from its backup is told, and the command goes on.
        catalogue.openCatalogue(lock, kLockWaitMs);
    } catch (const TableError& error) {
        prompter.error(error.message());
        return 1;
    }
    prompter.messages = 0;
    const int code = work(catalogue, prompter);
    catalogue.close();
    return code == 0 && prompter.messages > 0 ? 1 : code;
}

} // namespace

int runOnCatalogue(CliContext& context, const QString& command,
                   const std::function<int(Catalogue&, CommandLinePrompter&)>& work) {
    return runHere(context, command, work, nullptr);
}

int runCatalogueCommand(CliContext& context, const QString& command) {
    const QString workDir = context.workDir;
    const CatalogueCommand prepared = CatalogueCommands::prepare(
        command, context.args, workDir,
        [workDir] {
            return RecordingOperations::webAddressFrom(Config(QDir(workDir).filePath(QStringLiteral("tvk.ini"))));
        },
        context.err);
    if (!prepared.work)
        return 2;
    const CommandProtocol::Request request{command, context.args, workDir};
    return runHere(context, prepared.name, prepared.work, &request);
}
