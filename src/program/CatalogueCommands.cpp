// memo, delete, move, mail and list add|rename|delete on an opened catalogue.
#include "program/CatalogueCommands.h"

#include "base/Config.h"
#include "export/CompressedCopies.h"
#include "library/Catalogue.h"
#include "library/FolderListCommands.h"
#include "library/MailHandOver.h"
#include "library/RecordingOperations.h"
#include "program/CommandLinePrompter.h"

#include <QDir>

namespace CatalogueCommands {

namespace {

constexpr const char* kListUsage = "usage: orlamo-cli list add NAME [--under PARENT] | rename OLD NEW | delete NAME\n";

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
    Operations(const QString& workDir, Catalogue& catalogue, CommandLinePrompter& prompter)
        : mail(workDir), operations(catalogue, prompter, mail) {
        operations.setAnyList(true);
        operations.setCopyWriter(compressedCopyWriter());
    }
    MailHandOver mail;
    RecordingOperations operations;
};

CatalogueCommand memo(const QStringList& args, const QString& workDir, QTextStream& err) {
    if (args.size() != 2 || args.at(0).startsWith(QLatin1String("--"))) {
        err << "usage: orlamo-cli memo ID TEXT\n";
        return {};
    }
    const QString id = args.at(0);
    const QString text = args.at(1);
    return {QStringLiteral("memo"), [=](Catalogue& catalogue, CommandLinePrompter& prompter) {
                if (!knownRecordings(catalogue, prompter, {id}))
                    return 1;
                // As in the window: an empty memo is no answer.
                if (text.isEmpty()) {
                    prompter.error(QStringLiteral("a memo cannot be emptied; give a blank \" \" for none"));
                    return 1;
                }
                Operations ops(workDir, catalogue, prompter);
                return ops.operations.setMemo(text) ? 0 : 1;
            }};
}

CatalogueCommand remove(const QStringList& ids, const QString& workDir, QTextStream& err) {
    if (!onlyIds(ids)) {
        err << "usage: orlamo-cli delete ID...\n";
        return {};
    }
    return {QStringLiteral("delete"), [=](Catalogue& catalogue, CommandLinePrompter& prompter) {
                if (!knownRecordings(catalogue, prompter, ids))
                    return 1;
                Operations ops(workDir, catalogue, prompter);
                ops.operations.deleteRecordings(ids);
                return 0;
            }};
}

CatalogueCommand move(const QStringList& args, const QString& workDir, QTextStream& err) {
    QStringList ids;
    QString list;
    if (!idsAndTarget(args, ids, list)) {
        err << "usage: orlamo-cli move ID... --to LIST\n";
        return {};
    }
    return {
        QStringLiteral("move"), [=](Catalogue& catalogue, CommandLinePrompter& prompter) {
            if (!knownRecordings(catalogue, prompter, ids))
                return 1;
            if (catalogue.folders().lookup(QStringLiteral("FolderName"), list, QStringLiteral("FolderName")).isNull()) {
                prompter.error(QStringLiteral("There is no list named \"%1\"").arg(list));
                return 1;
            }
            Operations ops(workDir, catalogue, prompter);
            ops.operations.moveRecordings(ids, list);
            return 0;
        }};
}

CatalogueCommand mail(const QStringList& ids, const QString& workDir, const std::function<QString()>& webAddress,
                      QTextStream& err) {
    if (!onlyIds(ids)) {
        err << "usage: orlamo-cli mail ID...\n";
        return {};
    }
    return {QStringLiteral("mail"), [=](Catalogue& catalogue, CommandLinePrompter& prompter) {
                if (!knownRecordings(catalogue, prompter, ids))
                    return 1;
                Operations ops(workDir, catalogue, prompter);
                ops.operations.setWebAddress(webAddress());
                ops.operations.setAttachFormat(
                    RecordingOperations::attachFormatFrom(Config(QDir(workDir).filePath(QStringLiteral("tvk.ini")))));
                if (ops.operations.emailRecordings(ids))
                    return 0;
                // A copy that could not be encoded was reported already; the hand-over was not tried.
                if (!ops.mail.failure().isEmpty())
                    prompter.error(ops.mail.failure());
                return 1;
            }};
}

bool selectList(Catalogue& catalogue, CommandLinePrompter& prompter, const QString& name) {
    FolderNode* node = catalogue.folderTree().find(name);
    if (!node) {
        prompter.error(QStringLiteral("There is no list named \"%1\"").arg(name));
        return false;
    }
    catalogue.selectNode(node);
    return true;
}

// The tree lives in tree.d, which the window writes when it closes; here it is written at once.
int saveTree(Catalogue& catalogue, CommandLinePrompter& prompter, bool changed) {
    if (changed && !catalogue.saveTree()) {
        prompter.error(QStringLiteral("Unable to write to ") + catalogue.folder() + QStringLiteral("/tree.d"));
        return 1;
    }
    return 0;
}

CatalogueCommand list(const QStringList& args, QTextStream& err) {
    const QString verb = args.value(0);
    QString name;
    QString parent;
    QString newName;
    if (verb == QLatin1String("add") &&
        (args.size() == 2 || (args.size() == 4 && args.at(2) == QLatin1String("--under")))) {
        name = args.at(1);
        parent = args.value(3);
    } else if (verb == QLatin1String("rename") && args.size() == 3) {
        name = args.at(1);
        newName = args.at(2);
    } else if (verb == QLatin1String("delete") && args.size() == 2) {
        name = args.at(1);
    } else {
        err << kListUsage;
        return {};
    }
    const QString typed = verb == QLatin1String("rename") ? newName : name;
    if (verb != QLatin1String("delete") && FolderListCommands::cleanName(typed).trimmed().isEmpty()) {
        err << "orlamo-cli list: a list needs a name that is not blank\n";
        return {};
    }
    return {QStringLiteral("list ") + verb, [=](Catalogue& catalogue, CommandLinePrompter& prompter) {
                FolderListCommands commands(catalogue, prompter);
                bool changed = false;
                if (verb == QLatin1String("add")) {
                    if (!parent.isEmpty() && !selectList(catalogue, prompter, parent))
                        return 1;
                    prompter.answers.push_back(name);
                    changed = parent.isEmpty() ? commands.addList() : commands.addSublist();
                } else {
                    if (!selectList(catalogue, prompter, name))
                        return 1;
                    if (verb == QLatin1String("rename")) {
                        prompter.answers.push_back(newName);
                        changed = commands.renameList();
                    } else {
                        changed = commands.deleteList();
                    }
                }
                return saveTree(catalogue, prompter, changed);
            }};
}

} // namespace

bool isForwardable(const QString& command) {
    static const QStringList commands = {QStringLiteral("memo"), QStringLiteral("delete"), QStringLiteral("move"),
                                         QStringLiteral("mail"), QStringLiteral("list")};
    return commands.contains(command);
}

CatalogueCommand prepare(const QString& command, const QStringList& args, const QString& workDir,
                         const std::function<QString()>& webAddress, QTextStream& err) {
    if (command == QLatin1String("memo"))
        return memo(args, workDir, err);
    if (command == QLatin1String("delete"))
        return remove(args, workDir, err);
    if (command == QLatin1String("move"))
        return move(args, workDir, err);
    if (command == QLatin1String("mail"))
        return mail(args, workDir, webAddress, err);
    if (command == QLatin1String("list"))
        return list(args, err);
    err << "orlamo-cli: unknown command '" << command << "' (see orlamo-cli --help)\n";
    return {};
}

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

bool knownRecordings(Catalogue& catalogue, CommandLinePrompter& prompter, const QStringList& ids) {
    for (const QString& id : ids) {
        if (!catalogue.locateRecording(id, true)) {
            prompter.error(QStringLiteral("there is no recording with the id '%1'").arg(id));
            return false;
        }
    }
    return true;
}

} // namespace CatalogueCommands
