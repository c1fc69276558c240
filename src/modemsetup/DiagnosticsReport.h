// The diagnostics report: the modem's answers to 40 questions, for whoever helps the user.
#pragma once

#include <QObject>
#include <QStringList>

class Logger;
class ModemController;
class ModemProfile;
class Prompter;
class QueryModemBox;
class SettingsModel;

/// Collects the report in the Query Modem box and saves it to Diagnostics.log in the working folder.
/// The port stays open afterwards; automatic-record mode is off during the questions and as the
/// setting says afterwards.
class DiagnosticsReport : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "Diagnostics.log";
    /// Refused while the modem streams a call's sound: its questions would throw the sound away.
    static constexpr const char* kWhileRecording =
        "The modem is recording a call; the diagnostics can run when the call has ended.";
    /// The questions, in the order they are asked.
    static const QStringList& commands();

    DiagnosticsReport(ModemController& modem, QueryModemBox& box, const ModemProfile& profile,
                      const SettingsModel& settings, Logger& logger, Prompter& prompter, QString workingFolder,
                      QObject* parent = nullptr);

    /// `runDiagnostics`. False, after the port message and with nothing written, when the port cannot
    /// be opened; false too when Diagnostics.log cannot be written (the user is told).
    bool runDiagnostics();
    QString reportPath() const;

    /// The bar after question `asked` of `total`: to the nearest whole percent, halves to even.
    static int progressAfter(int asked, int total);

Q_SIGNALS:
    void progressShown(const QString& caption);
    void progressChanged(int percent);
    void progressHidden();

private:
    ModemController& m_modem;
    QueryModemBox& m_box;
    const ModemProfile& m_profile;
    const SettingsModel& m_settings;
    Logger& m_logger;
    Prompter& m_prompter;
    QString m_workingFolder;
};
