// The lock, the catalogue and the prompter of the catalogue commands.
#include "cli/CliCatalogue.h"

#include "library/Catalogue.h"
#include "library/CatalogueLock.h"
#include "library/TableError.h"

namespace {

// A command that runs at the same moment as another one waits for it this long.
constexpr int kLockWaitMs = 1000;

} // namespace

void CommandLinePrompter::error(const QString& text) {
    ++messages;
    // One line per message: a message may hold several.
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        m_err << "orlamo-cli " << m_command << ": " << line << '\n';
    m_err.flush();
}

void CommandLinePrompter::message(const QString& text, Icon) {
    error(text.trimmed().isEmpty() ? text : text.trimmed());
}

Prompter::Answer CommandLinePrompter::confirm(const QString&, Buttons buttons, Answer) {
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

std::optional<QString> CommandLinePrompter::inputBox(const QString&, const QString&, const QString&) {
    if (answers.empty())
        return std::nullopt;
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

int runOnCatalogue(CliContext& context, const QString& command,
                   const std::function<int(Catalogue&, CommandLinePrompter&)>& work) {
    CommandLinePrompter prompter(context.err, command);
    CatalogueLock lock(context.workDir);
    Catalogue catalogue(context.workDir, prompter);
    try {
        // A damaged table restored from its backup is told, and the command goes on.
        catalogue.openCatalogue(lock, kLockWaitMs);
    } catch (const TableError& error) {
        prompter.error(error.message());
        return 1;
    }
    prompter.messages = 0;
    const int code = work(catalogue, prompter);
    catalogue.close();
    return code == 0 && prompter.messages > 0 ? 1 : code;
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
