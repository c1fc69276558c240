// The Record and Stop actions and the sound path of a recording: modem bytes to the WAV file and the trace.
#pragma once

#include "modem/DialledNumber.h"
#include "recorder/RecordedCall.h"
#include "recorder/RecordingPath.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class Catalogue;
class CurrentCompression;
class Logger;
class ModemProfile;
class Prompter;
class SettingsModel;
class ModemController;

/// One instance for the run. The Record action puts the modem into voice reception and records into
/// wav/Recorded.wav; the Stop action catalogues the recording, gives the file its final name and
/// reopens the modem for the next call. Widget-free: the windows follow the signals.
class VoiceRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr int kFileBlock = RecordingPath::kFileBlock;
    static constexpr int kDisplayBlock = RecordingPath::kDisplayBlock;
    static constexpr int kClockMs = 100;

    VoiceRecorder(Logger& logger, Prompter& prompter, ModemController& modem, const ModemProfile& profile,
                  const CurrentCompression& compression, const SettingsModel& settings, Catalogue& catalogue,
                  QString workDir, QObject* parent = nullptr);
    ~VoiceRecorder() override;

    /// `startRecording`: the user's Record command and the automatic start.
    void startRecording();
    /// The recording part of `stopRecording`; does nothing while no recording runs.
    void stopRecording();
    /// The program is closing: a running recording is stopped and catalogued, a start still waiting
    /// on the modem is abandoned when its wait returns, and the port is not opened again.
    void closeDown();
    /// The Record button is down: a recording is starting or running.
    bool recording() const { return m_recordPressed; }
    bool receiving() const { return m_receiving; }
    /// The developer's switch that puts the modem into "at+fclass=12" first.
    void setRedirection(bool on) { m_redirection = on; }

    /// Completes and catalogues a wav/Recorded.wav that a crash or power cut left behind. True when
    /// one was recovered; its memo says so.
    bool recoverRecordedFile();

    QString recordedPath() const;

    /// What keeps a recording from starting (RecordingReadiness), empty when nothing does. Checked
    /// again by `checkReadiness`, which logs a change and reports it with `readinessChanged`.
    const QString& readinessProblem() const { return m_readinessProblem; }
    void checkReadiness();

    /// While the modem is gone (pulled out, or it could not be opened again after a recording), the
    /// port is tried again at this interval, and opened, initialised and armed as soon as it is back.
    static constexpr int kReconnectMs = 2000;
    bool waitingForModem() const { return m_reconnect.isActive(); }
    /// The user switched the modem off: it is not opened again by itself.
    void stopWaitingForModem() { m_reconnect.stop(); }
    /// The disk reached the floor of free space: a running recording ends as on a full disk, and
    /// keeps and catalogues what was received. Does nothing while no recording runs.
    void endAtDiskFloor(const QString& reason);
    /// Audio bytes written to the file of the running (or last) recording.
    qint64 writtenBytes() const;
    /// Turns the caller identification text into the memo of an incoming call's recording (the
    /// program adds the contact's name); the text itself while none is set.
    void setCallerMemo(std::function<QString(const QString&)> memo) { m_callerMemo = std::move(memo); }

Q_SIGNALS:
    /// The Record button's pressed state.
    void recordingChanged(bool running);
    /// Whether the Record items may be used (false while recording and when the modem cannot be reopened).
    void recordEnabled(bool on);
    /// Whether the Stop items may be used.
    void stopEnabled(bool on);
    /// " hh:mm:ss" of the running recording, for the first panel of the status bar.
    void statusText(const QString& text);
    /// One block of the working format for the signal trace.
    void displayBlock(const QByteArray& block);
    void clearDisplay();
    /// A recording was entered in the catalogue under this base name.
    void recordingCatalogued(const QString& baseName);
    /// A recording has stopped (before recordingChanged(false)): what it says about its call.
    void callRecorded(const RecordedCall& call);
    /// The recorder became unable to record (`problem` says why) or able again (`problem` empty).
    void readinessChanged(const QString& problem);

private:
    bool createRecordingFile();
    bool startVoiceStream();
    void openRecordingPath();
    void abortRecordingStart();
    /// Ends a start sequence quietly because the program is closing: no message, no reopened port.
    void abandonStart();
    void restoreControls();
    /// A start that failed before the modem streamed: automatic recording is armed again, so the next
    /// call is not passed over, and what made it fail is checked again.
    void recoverFromFailedStart();
    void releaseWriter();
    void voiceData(const QByteArray& bytes);
    void dleEvent(char code);
    /// The modem reported the handset put down while the start sequence talked to it.
    void handsetPutDown();
    /// The memo of a call the user made: its dialled digits, else "Outgoing call".
    QString outgoingMemo() const;
    /// The digits the modem reported for the call, else those heard on the line.
    QString dialledDigits() const;
    /// Notes the first dial or busy tone on the line, at the line's time.
    void noteTone();
    void writeFailure(const QString& text);
    void lineEnded();
    void requestStop(const QString& reason, const QString& message = QString());
    void portOpenChanged(bool open);
    void clockTick();
    void reopenModem();
    void waitForModem();
    void tryReconnect();

    Logger& m_logger;
    Prompter& m_prompter;
    ModemController& m_modem;
    const ModemProfile& m_profile;
    const CurrentCompression& m_compression;
    const SettingsModel& m_settings;
    Catalogue& m_catalogue;
    QString m_workDir;

    bool m_recordPressed = false;
    bool m_receiving = false;
    bool m_starting = false; ///< the start sequence is running (it may be waiting on the modem)
    bool m_closing = false;
    std::function<QString(const QString&)> m_callerMemo;
    bool m_redirection = false;
    bool m_stopQueued = false;
    QString m_stopMessage;
    bool m_outgoing = false;    ///< the recording is of a call the user makes
    bool m_handsetDown = false; ///< the handset went down before the sound came
    DialledNumber m_dialled;    ///< the number of that call
    qint64 m_toneAtMs = -1;     ///< when the line first gave dial or busy tone, in its sound's time

    QFile m_file;
    std::unique_ptr<RecordingFileWriter> m_writer;
    RecordingPath m_path;

    QTimer m_clock;
    QTimer m_reconnect;
    int m_ticks = 0;
    QDateTime m_startTime;
    QString m_readinessProblem;
};
