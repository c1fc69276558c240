// Follows a call from its first ring (or the handset lifted to dial) to its end and writes its row of
// the call log.
#pragma once

#include "library/CallLog.h"
#include "recorder/RecordedCall.h"

#include <QObject>
#include <functional>
#include <optional>

class CallDetector;
class Logger;
class VoiceRecorder;

/// One row per call: rings, number and name from the caller identification, and what became of the
/// call (recorded with its recording's id, passed over, not answered, outgoing with its digits).
class CallLogWriter : public QObject {
    Q_OBJECT
public:
    /// The name a caller's number stands for (a contact), empty when none is known.
    using NameLookup = std::function<QString(const QString& number)>;

    CallLogWriter(CallLog& log, CallDetector& calls, VoiceRecorder& recorder, Logger& logger,
                  QObject* parent = nullptr);

    /// Where a contact list plugs in: its name is preferred to the one the line sent.
    void setNameLookup(NameLookup lookup) { m_nameLookup = std::move(lookup); }
    /// The call ringing now is not recorded because its caller is one never to be recorded.
    void markDoNotRecord();
    /// Calls older than `days` days go (at once and with every new row); 0 or below keeps them all.
    void setRetentionDays(int days);
    /// Writes the call still open; the program is closing.
    void flush();

Q_SIGNALS:
    /// A row was added to the log.
    void callLogged();

private:
    void ringCounted(int count);
    void callerIdShown(const QString& text);
    void passedOver();
    void recordTriggered();
    void checkRecordingStarted();
    void recordingChanged(bool running);
    void callRecorded(const RecordedCall& call);
    void openCall(bool outgoing);
    /// Writes the open call with `outcome` (a do-not-record mark wins over a call not recorded).
    void finish(CallOutcome outcome);
    void removeExpired();

    CallLog& m_log;
    CallDetector& m_calls;
    VoiceRecorder& m_recorder;
    Logger& m_logger;
    NameLookup m_nameLookup;
    int m_retentionDays = 0;

    std::optional<CallLogRow> m_open;
    bool m_triggered = false;  ///< the open call's rings stopped (or it was answered): a recording may start
    bool m_recording = false;  ///< a recording of the open call runs
    bool m_unanswered = false; ///< the modem reports the handset, and it was never lifted for the call
    bool m_doNotRecord = false;
};
