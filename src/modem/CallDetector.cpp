// Call detection: automatic-record mode, caller identification, rings and the learned ring time-out.
#include "modem/CallDetector.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/ModemText.h"

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

} // namespace

CallDetector::CallDetector(Config& config, Logger& logger, ModemTiming& timing, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger) {
    m_ringGapTimer = timing.makeTimer(TimerMode::SingleShot, [this] { ringsStopped(); });
    m_ringIntervalTicker = timing.makeTimer(TimerMode::Repeating, [this] { ++m_ringTicks; });

    // A stored value of zero or below is no cadence (a damaged file); it is learned again.
    if (m_config.valueExists(ConfigKeys::kRingTimeOut)) {
        const int stored = m_config.read(ConfigKeys::kRingTimeOut);
        if (stored > 0) {
            m_ringTimeOutKnown = true;
            m_ringTimeOut = stored;
        }
    }
}

void CallDetector::enableAutoRecord() {
    m_recordTrigger = false;
    m_outgoing = false;
    // Armed anew, the detector waits for the next call: the rings it counted and a rejection belong
    // to the last one. A rejection kept here would pass over the next call as a caller who hung up.
    m_ringCount = 0;
    m_rejected = false;
    m_autoRecord = true;
    m_logger.add(QStringLiteral("Enabling autoRecord mode"));
    Q_EMIT autoRecordModeChanged(true);
}

void CallDetector::disableAutoRecord() {
    m_autoRecord = false;
    m_logger.add(QStringLiteral("Disabling autoRecord mode"));
    Q_EMIT autoRecordModeChanged(false);
}

void CallDetector::endCallDetection() {
    // Rings heard on a port that is now closed belong to no call that can be recorded: their
    // timers must not fire into a start sequence whose port (or program) is gone.
    m_ringGapTimer->stop();
    m_ringIntervalTicker->stop();
    m_ringCount = 0;
    m_rejected = false;
}

bool CallDetector::takeRecordTrigger() {
    if (!m_recordTrigger)
        return false;
    m_recordTrigger = false;
    return true;
}

void CallDetector::stopRingInterval() {
    m_ringIntervalTicker->stop();
}

bool CallDetector::takeText(const QString& text) {
    if (m_settings.callerId) {
        qsizetype at = findTag(text, QLatin1String("ERRM"), QLatin1String("errm"));
        if (at < 0)
            at = findTag(text, QLatin1String("NMBR"), QLatin1String("nmbr"));
        if (at >= 0) {
            // A ring in the same burst before the report is still a ring of this call.
            const bool ringBefore = hasRing(QStringView(text).left(at));
            showCallerId(text.mid(at));
            if (ringBefore && m_autoRecord)
                handleRing();
            return true;
        }
    }
    if (m_autoRecord && hasRing(text)) {
        handleRing();
        return true;
    }
    return false;
}

void CallDetector::showCallerId(const QString& fromTag) {
    const qsizetype equals = fromTag.indexOf(QLatin1Char('='));
    const QString text = cleanCallerId(ModemText::trimmed(equals >= 0 ? fromTag.mid(equals + 1) : fromTag));
    m_callerId = text;
    m_logger.add(text);
    Q_EMIT callerIdShown(text);
}

void CallDetector::handleRing() {
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

void CallDetector::storeRingTimeOut() {
    try {
        m_config.writeInteger(ConfigKeys::kRingTimeOut, m_ringTimeOut);
    } catch (const ConfigWriteError& error) {
        // The learned value still serves this run.
        m_logger.add(error.text());
    }
}

void CallDetector::ringsStopped() {
    // The call is over: a first ring of the next call must not count as this call's second.
    m_ringIntervalTicker->stop();
    Q_EMIT callerIdHidden();
    m_ringGapTimer->stop();
    if (m_rejected) {
        m_rejected = false;
        m_logger.add(QStringLiteral("Calling party hung up"));
        Q_EMIT callPassedOver();
        enableAutoRecord();
        return;
    }
    m_answeredAtHandset = false;
    triggerRecording(false);
}

void CallDetector::triggerRecording(bool outgoing) {
    m_outgoing = outgoing;
    m_recordTrigger = true;
    m_autoStarted = true;
    Q_EMIT recordTriggered();
}
