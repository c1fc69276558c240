// Running xdg-email with the message's parts as separate arguments.
#include "library/MailHandOver.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

bool hasPrefix(const QString& text, QLatin1String prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// xdg-email reads a word that starts with "-" as an option of its own.
bool usableAddress(const QString& address) {
    if (address.trimmed().isEmpty() || address.startsWith(QLatin1Char('-')))
        return false;
    for (const QChar c : address)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString withoutPrefix(const QString& recipient) {
    if (hasPrefix(recipient, QLatin1String("BCC:")))
        return recipient.mid(4);
    if (hasPrefix(recipient, QLatin1String("CC:")))
        return recipient.mid(3);
    return recipient;
}

} // namespace

MailHandOver::MailHandOver(const QString& workDir, QObject* parent) : QObject(parent), m_workDir(workDir) {
    setObjectName(QStringLiteral("MAPIMail"));
}

MailHandOver::~MailHandOver() = default;

QStringList MailHandOver::arguments(const MailMessage& message) {
    // Qt passes arguments in UTF-8 whatever the locale says.
    QStringList args{QStringLiteral("--utf8")};
    if (!message.Subject.isEmpty())
        args << QStringLiteral("--subject") << message.Subject;
    if (!message.Body.isEmpty())
        args << QStringLiteral("--body") << message.Body;
    QStringList to;
    for (const QString& recipient : message.Recipients) {
        if (hasPrefix(recipient, QLatin1String("BCC:")))
            args << QStringLiteral("--bcc") << withoutPrefix(recipient);
        else if (hasPrefix(recipient, QLatin1String("CC:")))
            args << QStringLiteral("--cc") << withoutPrefix(recipient);
        else
            to << recipient;
    }
    for (const QString& path : message.Attachments)
        args << QStringLiteral("--attach") << path;
    return args + to;
}

QString MailHandOver::refusedAttachment(const QStringList& paths) const {
    const QString home = QFileInfo(m_workDir).canonicalFilePath();
    const QString wav = QFileInfo(QDir(m_workDir).filePath(QStringLiteral("wav"))).canonicalFilePath();
    for (const QString& path : paths) {
        const QFileInfo file(path);
        const QString folder = QFileInfo(file.canonicalFilePath()).path();
        if (home.isEmpty() || !file.isFile() || (folder != home && folder != wav))
            return path;
    }
    return {};
}

bool MailHandOver::fail(int code, const QString& why) {
    m_result = code;
    m_failure = why;
    return false;
}

bool MailHandOver::send(const MailMessage& message) {
    m_result = 0;
    m_failure.clear();
    for (const QString& recipient : message.Recipients)
        if (!usableAddress(withoutPrefix(recipient)))
            return fail(kRefused, QStringLiteral("Not a mail address: %1").arg(recipient));
    if (const QString refused = refusedAttachment(message.Attachments); !refused.isEmpty())
        return fail(kRefused, QStringLiteral("Only files of the working folder and its wav folder are attached: %1")
                                  .arg(QDir::toNativeSeparators(refused)));
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return fail(kNotFound, QStringLiteral("xdg-email was not found; it comes with the xdg-utils package"));

    // A mail program started by xdg-email may outlive the wait and this object: it must not hold
    // our pipes, so its output goes nowhere and its messages to our standard error.
    auto* process = new QProcess(this);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QTimer wait;
    wait.setSingleShot(true);
    connect(&wait, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    process->start(program, arguments(message));
    if (!process->waitForStarted()) {
        const QString why = process->errorString();
        delete process;
        return fail(kNotStarted, QStringLiteral("xdg-email could not be run: %1").arg(why));
    }
    wait.start(m_waitMs);
    if (process->state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // Still waiting on the mail program's compose window: the message is with it.
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const QProcess::ExitStatus status = process->exitStatus();
    const int code = process->exitCode();
    delete process;
    if (status != QProcess::NormalExit)
        return fail(kNotStarted, QStringLiteral("xdg-email crashed"));
    if (code != 0)
        return fail(code, QStringLiteral("xdg-email ended with status %1").arg(code));
    return true;
}
