// orlamo-cli memo, delete, move, export and mail: the recording commands of the window, by id.
// All but export run in CatalogueCommands, here or in the process that holds the catalogue.
#include "cli/CliCatalogue.h"
#include "export/CompressedCopies.h"
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
        operations.setCopyWriter(compressedCopyWriter());
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

// Takes "--as FORMAT" out of the arguments; false when it is given twice, without a value or with
// a format no copy is written in.
bool takeCopyFormat(QStringList& args, CopyFormat& format) {
    bool given = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != QLatin1String("--as"))
            continue;
        const std::optional<CopyFormat> named =
            i + 1 < args.size() ? copyFormatFromName(args.at(i + 1)) : std::optional<CopyFormat>();
        if (given || !named)
            return false;
        given = true;
        format = *named;
        args.remove(i, 2);
        --i;
    }
    return true;
}

int cmdExport(CliContext& context) {
    QStringList ids;
    QString folder;
    QStringList args = context.args;
    CopyFormat format = CopyFormat::Wav;
    if (!takeCopyFormat(args, format) || !CatalogueCommands::idsAndTarget(args, ids, folder)) {
        context.err << "usage: orlamo-cli export ID... --to DIR [--as opus|mp3|flac|wav]\n";
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
        const QStringList written = ops.operations.copyRecordings(ids, target, format);
        for (const QString& path : written)
            context.out << QDir::toNativeSeparators(path) << '\n';
        // A WAV copy that failed has always been reported only; an encoding that failed fails the command.
        return format != CopyFormat::Wav && written.size() < ids.size() ? 1 : 0;
    });
}

int cmdMail(CliContext& context) {
    return runCatalogueCommand(context, QStringLiteral("mail"));
}
