// The attachments are the files as they are when the report is sent; a report from an earlier run is
// sent too when the modem cannot be reached now.
#include "program/ProblemReport.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/LegacyText.h"
#include "base/Logger.h"
#include "library/MailHandOver.h"
#include "modemsetup/DiagnosticsReport.h"
#include "modemsetup/QueryModemBox.h"

#include <QFile>
#include <QRegularExpression>

namespace {

QString linesWithFeeds(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    return text;
}

} // namespace

ProblemReport::ProblemReport(Config& config, Logger& logger, DiagnosticsReport& diagnostics, QueryModemBox& box,
                             MailHandOver& mail, QString workingFolder)
    : m_config(config), m_logger(logger), m_diagnostics(diagnostics), m_box(box), m_mail(mail),
      m_workingFolder(std::move(workingFolder)) {}

QString ProblemReport::supportAddress() const {
    const QString stored = m_config.readString(ConfigKeys::kSupportAddress, QString());
    return stored.trimmed().isEmpty() ? QString(ConfigKeys::kSupportAddress.defaultValue) : stored.trimmed();
}

MailMessage ProblemReport::message(const QString& body) const {
    MailMessage mail;
    mail.Subject = QString::fromLatin1(kSubject);
    mail.Recipients << supportAddress();
    mail.Body = body;
    for (const char* name : {"diagnostics.log", "events.log", "tvk.ini"}) {
        // The files are written as Diagnostics.log and Events.log; the names are looked up either way.
        const QString path = m_workingFolder + QLatin1Char('/') + QString::fromLatin1(name);
        const QString capitalised = m_workingFolder + QLatin1Char('/') + QString::fromLatin1(name).at(0).toUpper() +
                                    QString::fromLatin1(name + 1);
        if (QFile::exists(path))
            mail.Attachments << path;
        else if (QFile::exists(capitalised))
            mail.Attachments << capitalised;
    }
    return mail;
}

QString ProblemReport::inlineBody(const QString& description) const {
    QStringList lines = description.split(QLatin1Char('\n'));
    lines << QString() << QStringLiteral("----------------- Diagnostics -------------------");
    lines += m_box.lines();
    lines << QString() << QStringLiteral("------------------- tvk.ini ---------------------");
    QFile ini(m_config.path());
    if (ini.open(QIODevice::ReadOnly)) {
        QStringList iniLines =
            LegacyText::decode(ini.readAll()).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        // The file's last line break ends a line; it does not start an empty one.
        if (!iniLines.isEmpty() && iniLines.last().isEmpty())
            iniLines.removeLast();
        lines += iniLines;
    }
    lines << QStringLiteral("--------------------- End -----------------------") << QString()
          << QStringLiteral("------------------- Events ---------------------");
    const QString end = QStringLiteral("--------------------- End -----------------------");
    // The mail program gets the body as one argument, which the system refuses beyond 128 KiB (and
    // xdg-email may escape each byte into three): the newest events that fit go, with a note.
    qsizetype budget = kInlineBodyLimit - linesWithFeeds(lines).toUtf8().size() - end.toUtf8().size() - 1;
    const QStringList events = m_logger.lines();
    qsizetype first = events.size();
    const QString note = QStringLiteral("(%1 earlier lines are left out: Events.log holds them all)");
    budget -= note.toUtf8().size() + 8;
    while (first > 0 && budget - (events[first - 1].toUtf8().size() + 1) >= 0) {
        budget -= events[first - 1].toUtf8().size() + 1;
        --first;
    }
    if (first > 0)
        lines << note.arg(first);
    lines += events.mid(first);
    lines << end;
    return linesWithFeeds(lines);
}

QString ProblemReport::failure() const {
    return m_mail.failure();
}

bool ProblemReport::send(const QString& description) {
    m_logger.writeEventLog(m_workingFolder + QStringLiteral("/Events.log"));
    m_diagnostics.runDiagnostics();
    if (m_mail.send(message(linesWithFeeds(description.split(QLatin1Char('\n'))))))
        return true;
    // The mail program did not take it (none, or the user closed its window): everything in the text.
    return m_mail.send(message(inlineBody(description)));
}
