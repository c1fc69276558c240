// orlamo-cli memo, delete, move, export and mail: the recording commands of the window, by id.
// All but export run in CatalogueCommands, here or in the process that holds the catalogue.
#include "cli/CliCatalogue.h"
#include "library/Catalogue.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "program/CatalogueCommands.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The operations as orlamo-cli uses them: ids name recordings in any list.
struct Operations {
    Operations(CliContext& context, Catalogue& catalogue, CommandLinePrompter& prompter)
        : mail(context.workDir), operations(catalogue, prompter, mail) {
        operations.setAnyList(true);
    }
    MailHandOver mail;
    RecordingOperations operations;
};

} // namespace

int cmdMemo(CliContext& context) {
    return runCatalogueCommand(context, QStringLiteral("memo"));
}

int cmdDelete(CliContext& context) {
    return runCatalogueCommand(context, QStringLiteral("delete"));
}

int cmdMove(CliContext& context) {
    return runCatalogueCommand(context, QStringLiteral("move"));
}

int cmdExport(CliContext& context) {
    QStringList ids;
    QString folder;
    if (!CatalogueCommands::idsAndTarget(context.args, ids, folder)) {
        context.err << "usage: orlamo-cli export ID... --to DIR\n";
        return 2;
    }
    const QString target = context.userPath(folder);
    return runOnCatalogue(context, QStringLiteral("export"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!CatalogueCommands::knownRecordings(catalogue, prompter, ids))
            return 1;
        if (!QFileInfo(target).isDir()) {
            prompter.error(QStringLiteral("The folder %1 does not exist").arg(QDir::toNativeSeparators(target)));
            return 1;
        }
        Operations ops(context, catalogue, prompter);
        for (const QString& path : ops.operations.copyRecordings(ids, target))
            context.out << QDir::toNativeSeparators(path) << '\n';
        return 0;
    });
}

int cmdMail(CliContext& context) {
    return runCatalogueCommand(context, QStringLiteral("mail"));
}
