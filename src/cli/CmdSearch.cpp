// orlamo-cli search: the recordings whose memo holds a text, listed as orlamo-cli catalog lists them.
#include "cli/CliContext.h"
#include "library/CatalogueListing.h"
#include "library/RecordingSearch.h"
#include "library/TableError.h"

int cmdSearch(CliContext& context) {
    bool csv = false;
    bool matchCase = false;
    QString text;
    bool haveText = false;
    for (const QString& arg : context.args) {
        if (arg == QLatin1String("--csv")) {
            csv = true;
        } else if (arg == QLatin1String("--match-case")) {
            matchCase = true;
        } else if (!haveText && !arg.startsWith(QLatin1String("--"))) {
            text = arg;
            haveText = true;
        } else {
            context.err << "usage: orlamo-cli search TEXT [--match-case] [--csv]\n";
            return 2;
        }
    }
    if (!haveText) {
        context.err << "usage: orlamo-cli search TEXT [--match-case] [--csv]\n";
        return 2;
    }
    QStringList warnings;
    try {
        std::vector<CatalogueListRow> rows =
            CatalogueListing::read(context.workDir, CatalogueDateFormat(), QString(), &warnings);
        std::erase_if(rows, [&](const CatalogueListRow& row) {
            return !RecordingSearch::memoMatches(row.memo, text, matchCase);
        });
        for (const QString& warning : warnings)
            context.err << "orlamo-cli search: " << warning << '\n';
        context.out << (csv ? CatalogueListing::toCsv(rows) : CatalogueListing::toText(rows));
    } catch (const TableError& error) {
        context.err << "orlamo-cli search: " << error.message() << '\n';
        return 1;
    }
    return 0;
}
