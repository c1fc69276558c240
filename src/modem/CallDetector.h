// Call detection from what the modem reports: rings and the pause that ends them, caller identification,
// the local handset, and the trigger that starts a call's recording.
#pragma once

#include "modem/DialledNumber.h"
#include "modem/ModemSettings.h"
#include "modem/ModemTiming.h"

#include <QObject>
#include <QString>
#include <memory>

class Config;
class Logger;

class CallDetector : public QObject {
    Q_OBJECT
public:
    /// Ring time-out used while none has been learned.
    static constexpr int kDefaultRingTimeOutMs = 10233;
    static constexpr int kRingIntervalTickMs = 100;

    /// Reads the learned `RingTimeOut` of section `General` from `config`, where it stores what it learns
    /// (and the `Modem` `HandsetEvents` letter); its timers run on `timing`.
    CallDetector(Config& config, Logger& logger, ModemTiming& timing, QObject* parent = nullptr);

    void setSettings(const ModemSettings& settings) { m_settings = settings; }

    /// Looks for rings and a caller identification in `text`, what the modem sent that answers no
    /// command. True when it took the text: it is spent and starts anew.
    bool takeText(const QString& text);
    /// A DLE event code of a modem in voice mode; `answering`: it came while a command was being answered.
    void lineEvent(char code, bool answering);
    /// Stops measuring the interval between two rings: what came in between (a reply time-out, sound)
    /// makes it no cadence.
    void stopRingInterval();
    /// Stops the ring timers and forgets the call's rings (the port has closed).
    void endCallDetection();

    void enableAutoRecord();
    void disableAutoRecord();
    bool autoRecordMode() const { return m_autoRecord; }
    int ringCount() const { return m_ringCount; }
    bool rejected() const { return m_rejected; }
    bool ringTimeOutKnown() const { return m_ringTimeOutKnown; }
    int ringTimeOut() const { return m_ringTimeOut; }
    bool recordTrigger() const { return m_recordTrigger; }
    /// The idle handler takes the trigger: true once per accepted call whose rings stopped.
    bool takeRecordTrigger();
    bool autoStarted() const { return m_autoStarted; }
    void setAutoStarted(bool on) { m_autoStarted = on; }
    /// The recording last triggered is of a call the user makes (the handset lifted without a ring).
    bool outgoingCall() const { return m_outgoing; }
    /// The digits the modem reported for that call while its recording was starting.
    const DialledNumber& dialledNumber() const { return m_dialled; }
    /// The incoming call last triggered was answered at the local handset (on a modem that reports
    /// it), not found by its rings stopping.
    bool answeredAtHandset() const { return m_answeredAtHandset; }
    /// The letter of the modem's off-hook event ('H' or 'P') learned and stored as `Modem` `HandsetEvents`,
    /// or 0 while none was seen.
    char handsetEvents() const;
    QString callerId() const { return m_callerId; }
    /// Caller identification was turned on anew: the last caller's is gone.
    void clearCallerId() { m_callerId.clear(); }

Q_SIGNALS:
    void autoRecordModeChanged(bool on);
    /// Show the caller identification pop-up with this (untrusted, plain) text.
    void callerIdShown(const QString& text);
    void callerIdHidden();
    void ringCountChanged(int count);
    /// The rings of an accepted call have stopped: the record trigger and auto-started flag are set.
    void recordTriggered();
    /// The modem reported that the local handset went on hook (in the command stream).
    void handsetPutDown();
    /// The first off-hook event of this modem was seen and stored: it reports the handset with `letter`.
    void handsetEventsLearned(char letter);
    /// The rings of a call passed over after the set number of rings have stopped.
    void callPassedOver();

private:
    void showCallerId(const QString& fromTag);
    void handleRing();
    void ringsStopped();
    void storeRingTimeOut();
    /// Sets the record trigger and the auto-started flag for an incoming or an outgoing call.
    void triggerRecording(bool outgoing);
    void handsetLifted(char code);
    void learnHandsetEvents(char code);

    Config& m_config;
    Logger& m_logger;
    ModemSettings m_settings;
    std::unique_ptr<ModemTimer> m_ringGapTimer;
    std::unique_ptr<ModemTimer>
        m_ringIntervalTicker; ///< ticks every kRingIntervalTickMs while a ring interval is measured

    bool m_autoRecord = false;
    int m_ringCount = 0;
    bool m_rejected = false;
    bool m_ringTimeOutKnown = false;
    int m_ringTimeOut = kDefaultRingTimeOutMs;
    int m_ringTicks = 0;
    bool m_recordTrigger = false;
    bool m_autoStarted = false;
    bool m_outgoing = false;
    DialledNumber m_dialled;
    bool m_answeredAtHandset = false;
    QString m_callerId;
};
