// "Report a problem": the user's description mailed with the diagnostics, the event log and tvk.ini.
#pragma once

#include <QString>

class Config;
class DiagnosticsReport;
class Logger;
class MailHandOver;
class QueryModemBox;
struct MailMessage;

/// The report window's OK, without the window.
class ProblemReport {
public:
    static constexpr const char* kSubject = "TVK v1.7.5 support";
    /// The largest text the second hand-over carries, in UTF-8 bytes.
    static constexpr qsizetype kInlineBodyLimit = 32 * 1024;

    ProblemReport(Config& config, Logger& logger, DiagnosticsReport& diagnostics, QueryModemBox& box,
                  MailHandOver& mail, QString workingFolder);

    /// Writes events.log, runs the diagnostics and mails `description` with the three files that exist;
    /// when the mail program does not take it, sends once more with everything in the text. Returns
    /// whether either hand-over succeeded.
    bool send(const QString& description);

    /// `[Mail] SupportAddress`, or the default.
    QString supportAddress() const;
    /// The second attempt's text: the description, the report, tvk.ini and the newest lines of the
    /// event log, at most kInlineBodyLimit bytes unless the description and tvk.ini alone are longer.
    QString inlineBody(const QString& description) const;
    /// Why the last hand-over failed, as the mail hand-over tells it.
    QString failure() const;

private:
    MailMessage message(const QString& body) const;

    Config& m_config;
    Logger& m_logger;
    DiagnosticsReport& m_diagnostics;
    QueryModemBox& m_box;
    MailHandOver& m_mail;
    QString m_workingFolder;
};
