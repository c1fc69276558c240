// orlamo-cli catalog: lists the recordings of the working folder, as a table or as CSV.
#include "cli/CliContext.h"
#include "library/CatalogueListing.h"
#include "library/TableError.h"

int cmdCatalog(CliContext& context) {
    bool csv = false;
    QString folder;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args.at(i);
        if (arg == QLatin1String("--csv")) {
            csv = true;
        } else if (arg == QLatin1String("--folder") && i + 1 < context.args.size()) {
            folder = context.args.at(++i);
        } else {
            context.err << "orlamo-cli catalog: unexpected argument '" << arg << "'\n";
            return 2;
        }
    }
    QStringList warnings;
    try {
        const auto rows = CatalogueListing::read(context.workDir, CatalogueDateFormat(), folder, &warnings);
        for (const QString& warning : warnings)
            context.err << "orlamo-cli catalog: " << warning << '\n';
        context.out << (csv ? CatalogueListing::toCsv(rows) : CatalogueListing::toText(rows));
    } catch (const TableError& error) {
        for (const QString& warning : warnings)
            context.err << "orlamo-cli catalog: " << warning << '\n';
        context.err << "orlamo-cli catalog: " << error.message() << '\n';
        return 1;
    }
    return 0;
}
