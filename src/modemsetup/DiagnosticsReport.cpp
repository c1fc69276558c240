// The questions go one by one through the modem's query exchange; each answer, or ERROR, goes into
// the report with a blank line after it.
#include "modemsetup/DiagnosticsReport.h"

#include "base/Logger.h"
#include "base/Prompter.h"
#include "modem/ModemController.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/QueryModemBox.h"
#include "settings/SettingsModel.h"

#include <QDateTime>
#include <QLocale>
#include <QSaveFile>
#include <cmath>

const QStringList& DiagnosticsReport::commands() {
    static const QStringList list = {
        "ate0",     "ati0",     "ati1",     "ati2",     "ati3",        "ati4",        "ati5",     "ati6",
        "ati7",     "ati8",     "ati9",     "ati10",    "at+fclass=8", "at+fclass=?", "at+VNH=?", "at+FMI?",
        "at+FMM?",  "at+FMR?",  "at+GMI?",  "at+GMM?",  "at+GMR?",     "at+FLO=?",    "at+VIP=?", "at+VTS=?",
        "at+VXT=?", "at+VGR=?", "at+VGT=?", "at+VIT=?", "at+VLS=?",    "at+VRA=?",    "at+VRN=?", "at+VSD=?",
        "at+VSM=?", "at+VTD=?", "at+VDR=?", "at+VDT=?", "at+VEM=?",    "at+VBT=?",    "at+VPP=?", "at+VPR=?"};
    return list;
}

DiagnosticsReport::DiagnosticsReport(ModemController& modem, QueryModemBox& box, const ModemProfile& profile,
                                     const SettingsModel& settings, Logger& logger, Prompter& prompter,
                                     QString workingFolder, QObject* parent)
    : QObject(parent), m_modem(modem), m_box(box), m_profile(profile), m_settings(settings), m_logger(logger),
      m_prompter(prompter), m_workingFolder(std::move(workingFolder)) {}

QString DiagnosticsReport::reportPath() const {
    return m_workingFolder + QLatin1Char('/') + QLatin1String(kFileName);
}

int DiagnosticsReport::progressAfter(int asked, int total) {
    // nearbyint rounds halves to the even neighbour: 2.5 gives 2.
    return static_cast<int>(std::nearbyint(double(asked) * 100.0 / double(total)));
}

bool DiagnosticsReport::runDiagnostics() {
    m_logger.add(QStringLiteral("Diagnostics"));
    if (m_modem.exchange().voiceReception()) {
        m_prompter.message(QString::fromLatin1(kWhileRecording), Prompter::Icon::Warning);
        return false;
    }
    if (!m_modem.portOpen() && !m_modem.openModemPort(m_profile.params().port, true)) {
        m_prompter.message(m_modem.reportOpenFailure(), Prompter::Icon::Error);
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    m_box.clear();
    m_box.addText(locale.toString(now.date(), QLocale::ShortFormat));
    m_box.addText(locale.toString(now.time(), QLocale::LongFormat));
    m_box.addText(QStringLiteral(" "));

    Q_EMIT progressShown(QStringLiteral("Progress..."));
    const bool automatic = m_settings.autoRecord();
    if (automatic)
        m_modem.calls().disableAutoRecord();
    const QStringList& questions = commands();
    for (int i = 0; i < questions.size(); ++i) {
        m_box.addText(questions[i]);
        QString reply;
        if (m_modem.exchange().sendQuery(questions[i], reply) == AtResult::Ok) {
            if (!reply.isEmpty())
                m_box.addText(reply);
            m_box.addText(QStringLiteral("OK"));
        } else {
            m_box.addText(QStringLiteral("ERROR"));
        }
        m_box.addText(QStringLiteral(" "));
        Q_EMIT progressChanged(progressAfter(i + 1, int(questions.size())));
    }
    Q_EMIT progressHidden();
    if (automatic)
        m_modem.calls().enableAutoRecord();

    QSaveFile file(reportPath());
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray text;
        for (const QString& line : m_box.lines())
            text += line.toUtf8() + "\r\n";
        file.write(text);
        if (file.commit())
            return true;
    }
    m_prompter.message(QStringLiteral("Unable to write to ") + reportPath(), Prompter::Icon::Error);
    return false;
}
