// The call log's rows from the call detector's and the recorder's signals.
#include "program/CallLogWriter.h"

#include "base/Logger.h"
#include "library/TableError.h"
#include "modem/CallDetector.h"
#include "modem/CallerIdFields.h"
#include "recorder/VoiceRecorder.h"

CallLogWriter::CallLogWriter(CallLog& log, CallDetector& calls, VoiceRecorder& recorder, Logger& logger,
                             QObject* parent)
    : QObject(parent), m_log(log), m_calls(calls), m_recorder(recorder), m_logger(logger) {
    connect(&calls, &CallDetector::ringCountChanged, this, &CallLogWriter::ringCounted);
    connect(&calls, &CallDetector::callerIdShown, this, &CallLogWriter::callerIdShown);
    connect(&calls, &CallDetector::callPassedOver, this, &CallLogWriter::passedOver);
    connect(&calls, &CallDetector::recordTriggered, this, &CallLogWriter::recordTriggered);
    connect(&recorder, &VoiceRecorder::recordingChanged, this, &CallLogWriter::recordingChanged);
    connect(&recorder, &VoiceRecorder::callRecorded, this, &CallLogWriter::callRecorded);
}

void CallLogWriter::setRetentionDays(int days) {
    m_retentionDays = days;
    removeExpired();
}

void CallLogWriter::openCall(bool outgoing) {
    if (m_open)
        finish(m_open->outcome);
    m_open = CallLogRow();
    m_open->when = QDateTime::currentDateTime();
    m_open->outcome = outgoing ? CallOutcome::Outgoing : CallOutcome::NotRecorded;
    m_triggered = false;
    m_recording = false;
    m_unanswered = false;
    m_doNotRecord = false;
}

void CallLogWriter::ringCounted(int count) {
    // The first ring of a call (a caller identification may have come before it), or a ring after the
    // last call's rings stopped: a new call.
    if (!m_open || m_triggered || (count <= 1 && m_open->rings > 0))
        openCall(false);
    m_open->rings = count;
}

void CallLogWriter::callerIdShown(const QString& text) {
    if (!m_open || m_open->outcome == CallOutcome::Outgoing)
        openCall(false);
    const CallerIdFields fields = CallerIdFields::parse(text);
    m_open->number = fields.number;
    const QString contact = m_nameLookup && !fields.number.isEmpty() ? m_nameLookup(fields.number) : QString();
    m_open->name = contact.isEmpty() ? fields.name : contact;
}

void CallLogWriter::markDoNotRecord() {
    if (m_open)
        m_doNotRecord = true;
}

void CallLogWriter::passedOver() {
    if (m_open)
        finish(CallOutcome::PassedOver);
}

void CallLogWriter::recordTriggered() {
    if (m_calls.outgoingCall()) {
        openCall(true);
    } else {
        if (!m_open)
            openCall(false);
        // A modem that reports the handset would have said it was lifted: the rings stopped by themselves.
        m_unanswered = m_calls.handsetEvents() != 0 && !m_calls.answeredAtHandset();
    }
    m_triggered = true;
    // After the program's own queued start: by then a recording of this call is running, or none will.
    QMetaObject::invokeMethod(this, &CallLogWriter::checkRecordingStarted, Qt::QueuedConnection);
}

void CallLogWriter::checkRecordingStarted() {
    if (!m_open || !m_triggered || m_recording || m_recorder.recording())
        return;
    if (m_open->outcome == CallOutcome::Outgoing) {
        m_open->number = m_calls.dialledNumber().digits();
        finish(CallOutcome::Outgoing);
    } else {
        finish(m_unanswered ? CallOutcome::NotAnswered : CallOutcome::NotRecorded);
    }
}

void CallLogWriter::recordingChanged(bool running) {
    if (running) {
        if (m_open && m_triggered)
            m_recording = true;
        return;
    }
    // A start that failed ends without a recorded call.
    if (m_open && m_recording)
        finish(m_open->outcome == CallOutcome::Outgoing ? CallOutcome::Outgoing : CallOutcome::NotRecorded);
}

void CallLogWriter::callRecorded(const RecordedCall& call) {
    if (!m_open || !m_recording)
        return;
    m_open->recordingId = call.recordingId;
    if (call.outgoing) {
        m_open->number = call.dialled;
        finish(CallOutcome::Outgoing);
        return;
    }
    if (m_unanswered || call.toneAtOnce)
        finish(CallOutcome::NotAnswered);
    else
        finish(call.recordingId.isEmpty() ? CallOutcome::NotRecorded : CallOutcome::Recorded);
}

void CallLogWriter::finish(CallOutcome outcome) {
    if (!m_open)
        return;
    CallLogRow row = *m_open;
    m_open.reset();
    m_triggered = false;
    m_recording = false;
    row.outcome = m_doNotRecord && outcome != CallOutcome::Recorded ? CallOutcome::DoNotRecord : outcome;
    if (!m_log.active())
        return;
    try {
        m_log.add(row);
        removeExpired();
    } catch (const TableError& e) {
        m_logger.add(e.message());
        return;
    }
    Q_EMIT callLogged();
}

void CallLogWriter::flush() {
    if (m_open)
        finish(m_open->outcome);
}

void CallLogWriter::removeExpired() {
    if (m_retentionDays <= 0 || !m_log.active())
        return;
    try {
        m_log.removeBefore(QDate::currentDate().addDays(-m_retentionDays));
    } catch (const TableError& e) {
        m_logger.add(e.message());
    }
}
