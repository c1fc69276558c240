// Command-line parsing shared by orlamo and orlamo-cli.
#include "program/StartOptions.h"

StartOptions StartOptions::parse(const QStringList& arguments) {
    StartOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--workdir")) {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("--workdir needs a folder");
                break;
            }
            options.workDir = arguments[++i];
        } else if (arg.startsWith(QLatin1String("--workdir="))) {
            options.workDir = arg.mid(10);
        } else if (arg == QLatin1String("--unattended")) {
            options.unattended = true;
        } else {
            options.rest.append(arg);
        }
    }
    if (!options.rest.isEmpty()) {
        const QString& first = options.rest.first();
        options.startup = first.compare(QLatin1String("STARTUP"), Qt::CaseInsensitive) == 0;
        options.onIde = first.compare(QLatin1String("ONIDE"), Qt::CaseInsensitive) == 0;
    }
    return options;
}
