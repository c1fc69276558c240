// orlamo-cli memo, delete, move, export and mail: the recording commands of the window, by id.
#include "base/Config.h"
#include "cli/CliCatalogue.h"
#include "export/CompressedCopies.h"
#include "library/Catalogue.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Splits "ID... --to VALUE" (the option anywhere); false on a bad command line.
bool idsAndTarget(const QStringList& args, QStringList& ids, QString& target) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--to")) {
            if (i + 1 >= args.size() || !target.isNull())
                return false;
            target = args.at(++i);
        } else if (args.at(i).startsWith(QLatin1String("--"))) {
            return false;
        } else {
            ids.append(args.at(i));
        }
    }
    return !ids.isEmpty() && !target.isEmpty();
}

bool onlyIds(const QStringList& args) {
    if (args.isEmpty())
        return false;
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            return false;
    return true;
}

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
    if (context.args.size() != 2 || context.args.at(0).startsWith(QLatin1String("--"))) {
        context.err << "usage: orlamo-cli memo ID TEXT\n";
        return 2;
    }
    const QString id = context.args.at(0);
    const QString text = context.args.at(1);
    return runOnCatalogue(context, QStringLiteral("memo"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!knownRecordings(catalogue, prompter, {id}))
            return 1;
        // As in the window: an empty memo is no answer.
        if (text.isEmpty()) {
            prompter.error(QStringLiteral("a memo cannot be emptied; give a blank \" \" for none"));
            return 1;
        }
        Operations ops(context, catalogue, prompter);
        return ops.operations.setMemo(text) ? 0 : 1;
    });
}

int cmdDelete(CliContext& context) {
    if (!onlyIds(context.args)) {
        context.err << "usage: orlamo-cli delete ID...\n";
        return 2;
    }
    return runOnCatalogue(context, QStringLiteral("delete"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!knownRecordings(catalogue, prompter, context.args))
            return 1;
        Operations ops(context, catalogue, prompter);
        ops.operations.deleteRecordings(context.args);
        return 0;
    });
}

int cmdMove(CliContext& context) {
    QStringList ids;
    QString list;
    if (!idsAndTarget(context.args, ids, list)) {
        context.err << "usage: orlamo-cli move ID... --to LIST\n";
        return 2;
    }
    return runOnCatalogue(context, QStringLiteral("move"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!knownRecordings(catalogue, prompter, ids))
            return 1;
        if (catalogue.folders().lookup(QStringLiteral("FolderName"), list, QStringLiteral("FolderName")).isNull()) {
            prompter.error(QStringLiteral("There is no list named \"%1\"").arg(list));
            return 1;
        }
        Operations ops(context, catalogue, prompter);
        ops.operations.moveRecordings(ids, list);
        return 0;
    });
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
    if (!takeCopyFormat(args, format) || !idsAndTarget(args, ids, folder)) {
        context.err << "usage: orlamo-cli export ID... --to DIR [--as opus|mp3|flac|wav]\n";
        return 2;
    }
    const QString target = context.userPath(folder);
    return runOnCatalogue(context, QStringLiteral("export"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!knownRecordings(catalogue, prompter, ids))
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
    if (!onlyIds(context.args)) {
        context.err << "usage: orlamo-cli mail ID...\n";
        return 2;
    }
    return runOnCatalogue(context, QStringLiteral("mail"), [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
        if (!knownRecordings(catalogue, prompter, context.args))
            return 1;
        Operations ops(context, catalogue, prompter);
        const Config config(QDir(context.workDir).filePath(QStringLiteral("tvk.ini")));
        ops.operations.setWebAddress(RecordingOperations::webAddressFrom(config));
        ops.operations.setAttachFormat(RecordingOperations::attachFormatFrom(config));
        if (ops.operations.emailRecordings(context.args))
            return 0;
        // A copy that could not be encoded was reported already; the hand-over was not tried.
        if (!ops.mail.failure().isEmpty())
            prompter.error(ops.mail.failure());
        return 1;
    });
}
