// The modem controller: owns the serial channel, runs the AT command exchange and watches for calls.
#pragma once

#include "modem/AtResult.h"
#include "modem/DialledNumber.h"
#include "modem/DleFilter.h"
#include "modem/ModemSettings.h"
#include "modem/ModemTiming.h"
#include "modem/SerialChannel.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class Config;
class Logger;
class QEventLoop;

class ModemController : public QObject {
    Q_OBJECT
public:
    /// Pause before each command, during which the modem finishes what it was saying.
    static constexpr int kCommandPauseMs = 100;
    /// Ring time-out used while none has been learned.
    static constexpr int kDefaultRingTimeOutMs = 10233;
    static constexpr int kRingIntervalTickMs = 100;

    /// Reads the learned `RingTimeOut` of section `General` from `config`.
    ModemController(Config& config, Logger& logger, QObject* parent = nullptr);
    /// As above, on the clock `timing` (the real one when null).
    ModemController(Config& config, Logger& logger, std::unique_ptr<ModemTiming> timing, QObject* parent = nullptr);
    ~ModemController() override;

    void setSettings(const ModemSettings& settings) { m_settings = settings; }
    const ModemSettings& settings() const { return m_settings; }
    SerialChannel& channel() { return m_channel; }

    // --- command exchange ---
    /// Sends `command` + CR, logs `description`, waits for a reply and compares it with `expected`
    /// ignoring case. Logs `expected`, "error" or "time out" after it.
    AtResult sendCommand(const QString& command, const QString& description, const QString& expected);
    /// Sends `command` + CR and returns what the modem answered in `reply`, without "OK" and
    /// without outer blanks and line breaks; nothing is logged.
    AtResult sendQuery(const QString& command, QString& reply);
    /// Queues `command` + CR and logs `description`; awaits no reply.
    bool sendNoWait(const QString& command, const QString& description);
    /// Ends a voice stream the modem may be sending (after "at+vrx" whose sound nothing can take):
    /// waits for the stream to begin, sends DLE '!', and waits for DLE ETX and the "OK" after it. A
    /// modem that does not answer has its port closed, which drops DTR, and opened again. True when
    /// the port is open and the modem takes commands again.
    bool endVoiceStream();
    /// Drops what the modem sent that was not read yet (stale replies, the start of a voice stream); the
    /// events among it are still taken, as ones that came while a command was answered.
    void discardInput();
    /// True while an awaited exchange waits for its reply.
    bool exchangeWaiting() const { return m_waitLoop != nullptr; }
    QString replyBuffer() const { return m_replyBuffer; }

    // --- port, initialisation, automatic-record mode ---
    /// Opens `port` with the line settings, and initialises the modem when `initialise`. True when
    /// the port is (or already was) open.
    bool openModemPort(int port, bool initialise);
    bool closeModemPort();
    void initModem();
    void enableAutoRecord();
    void disableAutoRecord();
    /// The Modem On command: logs its click; when the port is closed opens the configured port and
    /// arms or disarms automatic recording by the setting. False when the port could not be opened
    /// (the caller shows `reportOpenFailure()` and disables Record).
    bool modemOnClicked();
    /// The Modem Off command: logs its click and closes the port.
    bool modemOffClicked();

    bool portOpen() const { return m_portOpen; }
    /// The port's number as the fixed log lines and messages show it.
    QString portText() const;
    /// After a failed `openModemPort`: logs which device failed and why, and returns the message the
    /// user sees, "Error during opening com port " N.
    QString reportOpenFailure();
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
    /// The letter of the modem's off-hook event ('H' or 'P') learned and stored as `Modem` `HandsetEvents`,
    /// or 0 while none was seen.
    char handsetEvents() const;
    QString callerId() const { return m_callerId; }
    bool voiceReception() const { return m_voiceReception; }
    void setVoiceReception(bool on) { m_voiceReception = on; }

Q_SIGNALS:
    void portOpenChanged(bool open);
    /// " Modem on" or " Modem off", for the first panel of the status bar.
    void statusText(const QString& text);
    void autoRecordModeChanged(bool on);
    /// Show the caller identification pop-up with this (untrusted, plain) text.
    void callerIdShown(const QString& text);
    void callerIdHidden();
    void ringCountChanged(int count);
    /// The rings of an accepted call have stopped: the record trigger and auto-started flag are set.
    void recordTriggered();
    /// Bytes received while voice reception is active (the recording path takes them from here).
    void voiceData(const QByteArray& bytes);
    /// The modem reported that the local handset went on hook (in the command stream).
    void handsetPutDown();
    /// The first off-hook event of this modem was seen and stored: it reports the handset with `letter`.
    void handsetEventsLearned(char letter);

private:
    enum class Reply { None, Ok, Error, Connect, TimeOut };
    /// What the bytes of an exchange are taken as.
    enum class Awaiting { Reply, StreamData, StreamEnd };

    std::optional<AtResult> exchange(const QString& command, const QString* description);
    /// Sends `bytes`, logs `description` when given, and waits for the reply; nothing when one came (or the
    /// time-out), else the AtResult that kept it from being sent. `shown` names it in the busy line.
    std::optional<AtResult> await(const QByteArray& bytes, const QString& shown, const QString* description);
    /// Takes received bytes while a voice stream is being ended: the sound before DLE ETX is dropped,
    /// what follows is the reply.
    void takeStreamBytes(const QByteArray& bytes);
    void takeReceivedBytes(int count);
    void channelOpened();
    void channelClosed();
    void recogniseReply();
    void setReply(Reply reply);
    void onReplyTimeOut();
    void detectCall();
    void showCallerId(const QString& fromTag);
    void handleRing();
    /// Stops the ring timers and forgets the call's rings (the port has closed).
    void endCallDetection();
    void onRingGap();
    void storeRingTimeOut();
    /// Sets the record trigger and the auto-started flag for an incoming or an outgoing call.
    void triggerRecording(bool outgoing);
    /// A DLE event code in the command stream; `answering`: it came while a command was being answered.
    void lineEvent(char code, bool answering);
    void handsetLifted(char code);
    void learnHandsetEvents(char code);

    Config& m_config;
    Logger& m_logger;
    ModemSettings m_settings;
    SerialChannel m_channel;
    std::unique_ptr<ModemTiming> m_timing;
    std::unique_ptr<ModemTimer> m_replyTimer;
    std::unique_ptr<ModemTimer> m_ringGapTimer;
    std::unique_ptr<ModemTimer>
        m_ringIntervalTicker; ///< ticks every kRingIntervalTickMs while a ring interval is measured

    QString m_replyBuffer;
    DleFilter m_commandDle;       ///< takes DLE event codes out of the command stream
    QString m_replyAtRecognition; ///< the buffer as it was when the reply was recognised
    Reply m_reply = Reply::None;
    bool m_replyFlag = false;
    QEventLoop* m_waitLoop = nullptr;
    Awaiting m_awaiting = Awaiting::Reply;
    bool m_streamDle = false;     ///< the last stream byte was a DLE whose partner has not come
    bool m_streamEndSeen = false; ///< DLE ETX has come; what follows is command text

    bool m_portOpen = false;
    bool m_voiceReception = false;
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
    QString m_callerId;
};
