// The AT command exchange with a modem on a serial channel: commands, their waits and replies, the end
// of a voice stream, and the routing of what the modem sends unasked.
#pragma once

#include "modem/AtResult.h"
#include "modem/DleFilter.h"
#include "modem/ModemTiming.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Logger;
class QEventLoop;
class SerialChannel;

class AtExchange : public QObject {
    Q_OBJECT
public:
    /// Pause before each command, during which the modem finishes what it was saying.
    static constexpr int kCommandPauseMs = 100;

    /// Takes the bytes `channel` receives; `timing` gives the pause and the reply time-out.
    AtExchange(SerialChannel& channel, Logger& logger, ModemTiming& timing, QObject* parent = nullptr);
    ~AtExchange() override;

    void setReplyTimeoutSeconds(int seconds) { m_replyTimeoutSeconds = seconds; }
    /// Text that answers no command is offered to `handler`; when it returns true the text was taken
    /// (a ring, a caller identification) and the buffer is emptied.
    void setUnansweredTextHandler(std::function<bool(const QString&)> handler) { m_unanswered = std::move(handler); }

    /// Sends `command` + CR, logs `description`, waits for a reply and compares it with `expected`
    /// ignoring case. Logs `expected`, "error" or "time out" after it.
    AtResult sendCommand(const QString& command, const QString& description, const QString& expected);
    /// Sends `command` + CR and returns what the modem answered in `reply`, without "OK" and
    /// without outer blanks and line breaks; nothing is logged.
    AtResult sendQuery(const QString& command, QString& reply);
    /// Queues `command` + CR and logs `description`; awaits no reply.
    bool sendNoWait(const QString& command, const QString& description);
    /// Ends a voice stream the modem may be sending (after "at+vrx" whose sound nothing can take):
    /// waits for the stream to begin, sends DLE '!', and waits for DLE ETX and the "OK" after it. True
    /// when the modem said "OK"; the caller resets a modem that did not.
    bool endVoiceStream();
    /// Drops what the modem sent that was not read yet (stale replies, the start of a voice stream); the
    /// events among it are still reported, as ones that came while a command was answered.
    void discardInput();
    /// True while an awaited exchange waits for its reply.
    bool waiting() const { return m_waitLoop != nullptr; }
    QString replyBuffer() const { return m_replyBuffer; }
    void clearReplyBuffer() { m_replyBuffer.clear(); }
    /// While on, every received byte is sound and goes to `voiceData`.
    bool voiceReception() const { return m_voiceReception; }
    void setVoiceReception(bool on) { m_voiceReception = on; }

Q_SIGNALS:
    /// Bytes received while voice reception is active (the recording path takes them from here).
    void voiceData(const QByteArray& bytes);
    /// A DLE event code in the command stream; `answering`: it came while a command was being answered.
    void lineEvent(char code, bool answering);
    /// An awaited reply did not come within the reply time-out.
    void replyTimedOut();

private:
    enum class Reply { None, Ok, Error, Connect, TimeOut };
    /// What the bytes of an exchange are taken as.
    enum class Awaiting { Reply, StreamData, StreamEnd };

    /// True (and logged) while the modem streams a call's sound.
    bool refusedDuringRecording(const QString& command);
    std::optional<AtResult> awaitCommand(const QString& command, const QString* description);
    /// Sends `bytes`, logs `description` when given, and waits for the reply; nothing when one came (or the
    /// time-out), else the AtResult that kept it from being sent. `shown` names it in the busy line.
    std::optional<AtResult> await(const QByteArray& bytes, const QString& shown, const QString* description);
    void takeReceivedBytes(int count);
    /// Takes received bytes while a voice stream is being ended: the sound before DLE ETX is dropped,
    /// what follows is the reply.
    void takeStreamBytes(const QByteArray& bytes);
    void recogniseReply();
    void offerUnansweredText();
    void setReply(Reply reply);
    void channelClosed();

    SerialChannel& m_channel;
    Logger& m_logger;
    ModemTiming& m_timing;
    std::unique_ptr<ModemTimer> m_replyTimer;
    int m_replyTimeoutSeconds = 4;
    std::function<bool(const QString&)> m_unanswered;

    QString m_replyBuffer;
    DleFilter m_commandDle;       ///< takes DLE event codes out of the command stream
    QString m_replyAtRecognition; ///< the buffer as it was when the reply was recognised
    Reply m_reply = Reply::None;
    bool m_replyFlag = false;
    QEventLoop* m_waitLoop = nullptr;
    Awaiting m_awaiting = Awaiting::Reply;
    bool m_streamDle = false;     ///< the last stream byte was a DLE whose partner has not come
    bool m_streamEndSeen = false; ///< DLE ETX has come; what follows is command text
    bool m_voiceReception = false;
};
