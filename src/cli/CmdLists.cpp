// orlamo-cli lists and list add|rename|delete: the lists (folders) the recordings are filed in.
// list runs in CatalogueCommands, here or in the process that holds the catalogue.
#include "cli/CliCatalogue.h"
#include "library/CatalogueListing.h"

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
    const QString verb = context.args.value(0);
    if (verb == QLatin1String("retention") || verb == QLatin1String("protect"))
        return cmdListRetention(context);
    return runCatalogueCommand(context, QStringLiteral("list"));
}
