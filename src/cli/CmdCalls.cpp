// orlamo-cli calls: the call log of the working folder, every call that rang or was made.
#include "cli/CliContext.h"
#include "library/CallLogListing.h"
#include "library/TableError.h"

int cmdCalls(CliContext& context) {
    CallLogFilter filter;
    bool csv = false;
    const QString usage = QStringLiteral("usage: orlamo-cli calls [--since YYYY-MM-DD] [--missed] [--csv]\n");
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args.at(i);
        if (arg == QLatin1String("--csv")) {
            csv = true;
        } else if (arg == QLatin1String("--missed")) {
            filter.missed = true;
        } else if (arg == QLatin1String("--since") && i + 1 < context.args.size()) {
            filter.since = QDate::fromString(context.args.at(++i), Qt::ISODate);
            if (!filter.since.isValid()) {
                context.err << "orlamo-cli calls: '" << context.args.at(i) << "' is no date (YYYY-MM-DD)\n";
                return 2;
            }
        } else {
            context.err << usage;
            return 2;
        }
    }
    try {
        const QList<CallLogRow> rows = CallLogListing::select(CallLog::readRows(context.workDir), filter);
        context.out << (csv ? CallLogListing::toCsv(rows) : CallLogListing::toText(rows));
    } catch (const TableError& error) {
        context.err << "orlamo-cli calls: " << error.message() << '\n';
        return 1;
    }
    return 0;
}
