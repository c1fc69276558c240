// orlamo-cli diagnostics: the modem's answers to the diagnostics questions, in Diagnostics.log and on
// standard output.
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "modem/ModemController.h"
#include "modemsetup/DiagnosticsReport.h"
#include "modemsetup/QueryModemBox.h"
#include "program/Program.h"

#include <optional>

namespace {

/// Sends the port's failure to standard error as the one line it is.
class ErrorLinePrompter : public UnattendedPrompter {
public:
    explicit ErrorLinePrompter(QTextStream& err) : m_err(err) {}
    void message(const QString& text, Icon icon) override {
        if (icon == Icon::Error)
            m_err << "orlamo-cli diagnostics: " << text << '\n';
    }

private:
    QTextStream& m_err;
};

} // namespace

int cmdDiagnostics(CliContext& context) {
    std::optional<int> port;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        bool ok = false;
        if (context.args[i] == QStringLiteral("--port") && i + 1 < context.args.size())
            port = context.args[++i].toInt(&ok);
        if (!ok) {
            context.err << "usage: orlamo-cli diagnostics [--port N]\n";
            return 2;
        }
    }
    ErrorLinePrompter prompter(context.err);
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    ModemController& modem = program.modem();
    // The port (the configured one unless another is named) is opened here; the report finds it open.
    if (!modem.openModemPort(port.value_or(modem.settings().port), true)) {
        prompter.message(modem.reportOpenFailure() + QStringLiteral(": ") + modem.channel().errorString(),
                         Prompter::Icon::Error);
        return 1;
    }
    if (!program.diagnostics().runDiagnostics())
        return 1;
    for (const QString& line : program.queryBox().lines())
        context.out << line << '\n';
    return 0;
}
