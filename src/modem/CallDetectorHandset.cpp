// Call detection and the local handset: modems that report line current start an answered call's
// recording when the handset is lifted, and can record the calls the user makes.
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/CallDetector.h"
#include "modem/DleFilter.h"

namespace {

/// The stored letter when it is one call detection acts on; anything else counts as none.
char storedLetter(const QString& text) {
    if (text == QLatin1String("H") || text == QLatin1String("P"))
        return text.at(0).toLatin1();
    return 0;
}

} // namespace

char CallDetector::handsetEvents() const {
    return storedLetter(m_config.readString(ConfigKeys::kHandsetEvents, QString()));
}

void CallDetector::lineEvent(char code, bool answering) {
    if (DleFilter::offHook(code)) {
        // Around a command the event may be the modem's own doing: a modem that seizes the line for the
        // recording reports the line current it now draws.
        if (!answering)
            handsetLifted(code);
    } else if (DleFilter::onHook(code)) {
        if (!m_autoRecord) {
            Q_EMIT handsetPutDown();
            return;
        }
        m_logger.add(QStringLiteral("Handset put down"));
        if (m_recordTrigger) {
            // Lifted and put down again before the recording could start: there is no call to record.
            m_recordTrigger = false;
            m_autoStarted = false;
            enableAutoRecord();
        }
        Q_EMIT handsetPutDown();
    } else if (DleFilter::dtmfDigit(code) && m_outgoing) {
        // The number being dialled while the recording of the call starts; no clock runs here, and the
        // start takes well under the pause that ends the dialling.
        m_dialled.add(code, 0);
    }
}

void CallDetector::handsetLifted(char code) {
    learnHandsetEvents(code);
    if (!m_autoRecord)
        return;
    m_logger.add(QStringLiteral("Handset lifted"));
    if (m_recordTrigger)
        return; // the rings have already stopped: the recording is on its way
    if (m_ringCount > 0) {
        // A rejected call rings out as before; the rings-stopped rule then says the caller hung up.
        if (m_rejected)
            return;
        // The call is answered now, not when the ring time-out says the rings have stopped.
        m_ringIntervalTicker->stop();
        m_ringGapTimer->stop();
        Q_EMIT callerIdHidden();
        m_answeredAtHandset = true;
        triggerRecording(false);
        return;
    }
    if (!m_settings.recordOutgoing)
        return;
    m_logger.add(QStringLiteral("Outgoing call"));
    m_dialled.clear();
    triggerRecording(true);
}

void CallDetector::learnHandsetEvents(char code) {
    // The first off-hook event seen is the modem's; later ones (an extension of the other kind) do not
    // change it. A port opened without a profile (the modem search) stores nothing.
    if (handsetEvents() != 0 || !m_config.sectionExists(ConfigKeys::kModemSection))
        return;
    try {
        m_config.writeString(ConfigKeys::kHandsetEvents, QString(QLatin1Char(code)));
    } catch (const ConfigWriteError& error) {
        m_logger.add(error.text());
        return;
    }
    Q_EMIT handsetEventsLearned(code);
}
