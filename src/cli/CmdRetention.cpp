// orlamo-cli retention and list retention|protect: how long recordings are kept, and running it now.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "cli/CliCatalogue.h"
#include "library/Catalogue.h"
#include "library/CatalogueListing.h"
#include "library/RetentionRules.h"
#include "library/RetentionSweep.h"
#include "library/TableError.h"

#include <QDateTime>
#include <QDir>

namespace {

constexpr const char* kListUsage = "usage: orlamo-cli list retention NAME DAYS|never|inherit | protect NAME on|off\n";
constexpr const char* kUsage = "usage: orlamo-cli retention [--dry-run] | cap MB|none\n";

Config configOf(const CliContext& context) {
    return Config(QDir(context.workDir).filePath(QStringLiteral("tvk.ini")));
}

// The lists as the window shows them (tree.d and Folders.d); retention is kept by name.
bool listExists(const CliContext& context, const QString& name) {
    for (const QString& line : CatalogueListing::treeLines(context.workDir, nullptr))
        if (line.trimmed() == name.trimmed())
            return true;
    return false;
}

QString daysText(std::optional<int> days) {
    if (!days)
        return QStringLiteral("as its parent list");
    return *days == 0 ? QStringLiteral("for ever") : QStringLiteral("%1 days").arg(*days);
}

} // namespace

int cmdListRetention(CliContext& context) {
    const QStringList& args = context.args;
    const QString verb = args.value(0);
    const QString name = args.value(1);
    const QString value = args.value(2);
    bool ok = false;
    const int days = value.toInt(&ok);
    const bool retention =
        verb == QLatin1String("retention") &&
        (value == QLatin1String("never") || value == QLatin1String("inherit") || (ok && days > 0 && days <= 36500));
    const bool protect =
        verb == QLatin1String("protect") && (value == QLatin1String("on") || value == QLatin1String("off"));
    if (args.size() != 3 || (!retention && !protect)) {
        context.err << kListUsage;
        return 2;
    }
    if (!listExists(context, name)) {
        context.err << "orlamo-cli list " << verb << ": There is no list named \"" << name << "\"\n";
        return 1;
    }
    Config config = configOf(context);
    RetentionRules rules(config);
    try {
        if (protect) {
            rules.setProtected(name, value == QLatin1String("on"));
        } else {
            rules.setDays(name, value == QLatin1String("inherit") ? std::nullopt
                                : value == QLatin1String("never") ? std::optional<int>(0)
                                                                  : std::optional<int>(days));
        }
    } catch (const ConfigWriteError& error) {
        context.err << "orlamo-cli list " << verb << ": " << error.text() << '\n';
        return 1;
    }
    context.out << name << ": kept " << daysText(rules.ownDays(name)) << (rules.ownProtected(name) ? ", protected" : "")
                << '\n';
    return 0;
}

int cmdRetention(CliContext& context) {
    const QStringList& args = context.args;
    if (args.value(0) == QLatin1String("cap") && args.size() == 2) {
        bool ok = false;
        const int megabytes = args.at(1).toInt(&ok);
        if (args.at(1) != QLatin1String("none") && (!ok || megabytes <= 0)) {
            context.err << kUsage;
            return 2;
        }
        Config config = configOf(context);
        try {
            RetentionRules(config).setCapMegabytes(ok ? megabytes : 0);
        } catch (const ConfigWriteError& error) {
            context.err << "orlamo-cli retention: " << error.text() << '\n';
            return 1;
        }
        context.out << "Size cap: " << (ok ? QStringLiteral("%1 MB").arg(megabytes) : QStringLiteral("none")) << '\n';
        return 0;
    }
    const bool dryRun = args == QStringList{QStringLiteral("--dry-run")};
    if (!args.isEmpty() && !dryRun) {
        context.err << kUsage;
        return 2;
    }
    Config config = configOf(context);
    if (dryRun) {
        // Reads the tables as saved: no lock, so it also works beside a running recorder.
        QStringList warnings;
        std::vector<RetentionDeletion> chosen;
        try {
            chosen =
                RetentionSweep::plan(context.workDir, nullptr, config, QDateTime::currentDateTime(), {}, &warnings);
        } catch (const TableError& error) {
            context.err << "orlamo-cli retention: " << error.message() << '\n';
            return 1;
        }
        for (const QString& warning : warnings)
            context.err << "orlamo-cli retention: " << warning << '\n';
        for (const RetentionDeletion& deletion : chosen)
            context.out << "would delete " << RetentionPlan::describe(deletion) << '\n';
        context.out << chosen.size() << " recording(s) would be deleted\n";
        return 0;
    }
    return runOnCatalogue(context, QStringLiteral("retention"), [&](Catalogue& catalogue, CommandLinePrompter&) {
        Logger logger;
        QObject::connect(&logger, &Logger::appended, [&context](const QString& line) { context.out << line << '\n'; });
        const int deleted = RetentionSweep(catalogue, config, logger).run(QDateTime::currentDateTime(), {});
        context.out << deleted << " recording(s) deleted\n";
        return 0;
    });
}
