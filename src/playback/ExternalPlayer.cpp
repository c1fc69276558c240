// Starting the external player as a process of its own.
#include "playback/ExternalPlayer.h"

#include "base/Prompter.h"

#include <QFile>
#include <QProcess>

ExternalPlayer::ExternalPlayer(Prompter& prompter)
    : m_prompter(prompter),
      m_launch([](const QString& program, const QString& path) { return QProcess::startDetached(program, {path}); }) {}

bool ExternalPlayer::open(const QString& program, const QString& path) {
    if (!QFile::exists(path)) {
        m_prompter.message(QLatin1Char('"') + path + QStringLiteral("\" file does not exist"), Prompter::Icon::Error);
        return false;
    }
    if (program.size() > kMaxCommandLength) {
        m_prompter.message(
            QStringLiteral("The external player's command is longer than %1 characters.").arg(kMaxCommandLength),
            Prompter::Icon::Error);
        return false;
    }
    if (program.trimmed().isEmpty() || !m_launch(program, path)) {
        m_prompter.message(QStringLiteral("The external player \"%1\" could not be started.").arg(program),
                           Prompter::Icon::Error);
        return false;
    }
    return true;
}
