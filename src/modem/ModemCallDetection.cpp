// The modem controller's call detection: automatic-record mode, caller identification, rings.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/ModemController.h"

namespace {

/// The first occurrence of either spelling of a caller identification tag, or -1.
qsizetype findTag(const QString& buffer, QLatin1String upper, QLatin1String lower) {
    const qsizetype a = buffer.indexOf(upper);
    const qsizetype b = buffer.indexOf(lower);
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

bool hasRing(QStringView text) {
    return text.contains(QLatin1String("ring")) || text.contains(QLatin1String("RING"));
}

/// A caller identification comes from the line: keep it one bounded text without control codes
/// other than the line breaks of a multi-line report.
QString cleanCallerId(const QString& text) {
    constexpr qsizetype kMaxCallerId = 255;
    QString clean;
    clean.reserve(std::min(text.size(), kMaxCallerId));
    for (const QChar c : text) {
        if (clean.size() >= kMaxCallerId)
            break;
        if (c.unicode() < ' ' && c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            continue;
        if (c.unicode() == 0x7f)
            continue;
        clean.append(c);
    }
    return clean;
}

QString trimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

void ModemController::enableAutoRecord() {
    m_recordTrigger = false;
    m_outgoing = false;
    // Armed anew, the controller waits for the next call: the rings it counted and a rejection belong
    // to the last one. A rejection kept here would pass over the next call as a caller who hung up.
    m_ringCount = 0;
    m_rejected = false;
    m_replyBuffer.clear();
    m_autoRecord = true;
    m_logger.add(QStringLiteral("Enabling autoRecord mode"));
    Q_EMIT autoRecordModeChanged(true);
}

void ModemController::disableAutoRecord() {
    m_replyBuffer.clear();
    m_autoRecord = false;
    m_logger.add(QStringLiteral("Disabling autoRecord mode"));
    Q_EMIT autoRecordModeChanged(false);
}

void ModemController::endCallDetection() {
    // Rings heard on a port that is now closed belong to no call this controller can record: their
    // timers must not fire into a start sequence whose port (or program) is gone.
    m_ringGapTimer->stop();
    m_ringIntervalTicker->stop();
    m_ringCount = 0;
    m_rejected = false;
}

bool ModemController::takeRecordTrigger() {
    if (!m_recordTrigger)
        return false;
    m_recordTrigger = false;
    return true;
}

void ModemController::detectCall() {
    if (m_settings.callerId) {
        qsizetype at = findTag(m_replyBuffer, QLatin1String("ERRM"), QLatin1String("errm"));
        if (at < 0)
            at = findTag(m_replyBuffer, QLatin1String("NMBR"), QLatin1String("nmbr"));
        if (at >= 0) {
            // A ring in the same burst before the report is still a ring of this call.
            const bool ringBefore = hasRing(QStringView(m_replyBuffer).left(at));
            showCallerId(m_replyBuffer.mid(at));
            if (ringBefore && m_autoRecord)
                handleRing();
            return;
        }
    }
    if (m_autoRecord && hasRing(m_replyBuffer)) {
        handleRing();
        m_replyBuffer.clear();
    }
}

void ModemController::showCallerId(const QString& fromTag) {
    const qsizetype equals = fromTag.indexOf(QLatin1Char('='));
    const QString text = cleanCallerId(trimControls(equals >= 0 ? fromTag.mid(equals + 1) : fromTag));
    m_callerId = text;
    m_replyBuffer.clear();
    m_logger.add(text);
    Q_EMIT callerIdShown(text);
}

void ModemController::handleRing() {
    ++m_ringCount;
    m_ringGapTimer->stop();
    Q_EMIT ringCountChanged(m_ringCount);
    if (m_settings.rejectCall && m_settings.rejectRings == m_ringCount) {
        Q_EMIT callerIdHidden();
        m_logger.add(QStringLiteral("Call recording rejected..."));
        m_rejected = true;
    }
    if (m_ringTimeOutKnown) {
        m_ringGapTimer->start(m_ringTimeOut);
    } else if (!m_ringIntervalTicker->isActive() || m_ringTicks == 0) {
        // First ring of a call (or a second one within the same tick, which is no cadence).
        m_ringIntervalTicker->start(kRingIntervalTickMs);
        m_ringTicks = 0;
        m_ringGapTimer->start(kDefaultRingTimeOutMs);
    } else {
        m_ringIntervalTicker->stop();
        m_ringTimeOutKnown = true;
        // ticks x 100 ms x 1.2, a whole number of milliseconds already.
        m_ringTimeOut = m_ringTicks * kRingIntervalTickMs * 6 / 5;
        storeRingTimeOut();
        m_ringGapTimer->start(m_ringTimeOut);
    }
    m_logger.add(QStringLiteral("ring"));
}

void ModemController::storeRingTimeOut() {
    try {
        m_config.writeInteger(ConfigKeys::kRingTimeOut, m_ringTimeOut);
    } catch (const ConfigWriteError& error) {
        // The learned value still serves this run.
        m_logger.add(error.text());
    }
}

void ModemController::onRingGap() {
    // The call is over: a first ring of the next call must not count as this call's second.
    m_ringIntervalTicker->stop();
    Q_EMIT callerIdHidden();
    m_ringGapTimer->stop();
    if (m_rejected) {
        m_rejected = false;
        m_logger.add(QStringLiteral("Calling party hung up"));
        enableAutoRecord();
        return;
    }
    triggerRecording(false);
}

void ModemController::triggerRecording(bool outgoing) {
    m_outgoing = outgoing;
    m_recordTrigger = true;
    m_autoStarted = true;
    Q_EMIT recordTriggered();
}
