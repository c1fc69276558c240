// orlamo-cli lists and list add|rename|delete: the lists (folders) the recordings are filed in.
#include "cli/CliCatalogue.h"
#include "library/Catalogue.h"
#include "library/CatalogueListing.h"
#include "library/FolderListCommands.h"
#include "library/TableError.h"

namespace {

constexpr const char* kUsage = "usage: orlamo-cli list add NAME [--under PARENT] | rename OLD NEW | delete NAME\n";

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

} // namespace

int cmdLists(CliContext& context) {
    if (!context.args.isEmpty()) {
        context.err << "usage: orlamo-cli lists\n";
        return 2;
    }
    QStringList warnings;
    const QStringList lines = CatalogueListing::treeLines(context.workDir, &warnings);
    for (const QString& warning : warnings)
        context.err << "orlamo-cli lists: " << warning << '\n';
    for (const QString& line : lines)
        context.out << line << '\n';
    return 0;
}

int cmdListRetention(CliContext& context);

int cmdList(CliContext& context) {
    const QStringList& args = context.args;
    const QString verb = args.value(0);
    if (verb == QLatin1String("retention") || verb == QLatin1String("protect"))
        return cmdListRetention(context);
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
        context.err << kUsage;
        return 2;
    }
    const QString typed = verb == QLatin1String("rename") ? newName : name;
    if (verb != QLatin1String("delete") && FolderListCommands::cleanName(typed).trimmed().isEmpty()) {
        context.err << "orlamo-cli list: a list needs a name that is not blank\n";
        return 2;
    }
    return runOnCatalogue(context, QStringLiteral("list ") + verb,
                          [&](Catalogue& catalogue, CommandLinePrompter& prompter) {
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
                          });
}
