// The AT command exchange: commands, their waits and the replies they come to.
#include "modem/AtExchange.h"

#include "base/Logger.h"
#include "modem/ModemText.h"
#include "modem/SerialChannel.h"

#include <QEventLoop>

namespace {

QByteArray commandLine(const QString& command) {
    return command.toLatin1() + '\r';
}

} // namespace

AtExchange::AtExchange(SerialChannel& channel, Logger& logger, ModemTiming& timing, QObject* parent)
    : QObject(parent), m_channel(channel), m_logger(logger), m_timing(timing) {
    m_replyTimer = m_timing.makeTimer(TimerMode::SingleShot, [this] {
        setReply(Reply::TimeOut);
        Q_EMIT replyTimedOut();
    });
    connect(&m_channel, &SerialChannel::bytesAvailable, this, &AtExchange::takeReceivedBytes);
    // A new port starts a new command stream.
    connect(&m_channel, &SerialChannel::opened, this, [this] { m_commandDle.reset(); });
    connect(&m_channel, &SerialChannel::closed, this, &AtExchange::channelClosed);
}

AtExchange::~AtExchange() {
    disconnect(&m_channel, nullptr, this, nullptr);
}

std::optional<AtResult> AtExchange::awaitCommand(const QString& command, const QString* description) {
    if (refusedDuringRecording(command))
        return AtResult::Busy;
    return await(commandLine(command), command, description);
}

bool AtExchange::refusedDuringRecording(const QString& command) {
    // A command sent into the voice stream would throw away its sound and time out: nothing but the
    // recording (which ends the stream first) talks to the modem meanwhile.
    if (!m_voiceReception)
        return false;
    m_logger.add(QStringLiteral("Command refused, a call is being recorded: ") + command);
    return true;
}

std::optional<AtResult> AtExchange::await(const QByteArray& line, const QString& shown, const QString* description) {
    if (m_waitLoop != nullptr) {
        // The reply flag and buffer belong to the exchange that is waiting; sharing them would
        // hand one command's reply to the other.
        m_logger.add(QStringLiteral("Command refused, the modem is still answering another one: ") + shown);
        return AtResult::Busy;
    }
    m_timing.pause(kCommandPauseMs);
    if (!m_channel.isOpen())
        return AtResult::NotQueued;
    if (m_awaiting == Awaiting::Reply)
        discardInput();
    else
        m_channel.discardInput();
    if (m_channel.outputRoom() < line.size())
        return AtResult::NotQueued;
    if (!line.isEmpty())
        m_channel.sendText(line);
    if (description != nullptr)
        m_logger.add(*description);

    m_replyTimer->start(m_replyTimeoutSeconds * 1000);
    m_replyFlag = false;
    m_reply = Reply::None;
    m_replyBuffer.clear();
    m_replyAtRecognition.clear();
    // Sleeps until an event comes: the reply's data notification, the time-out, or anything else.
    QEventLoop loop;
    m_waitLoop = &loop;
    if (!m_replyFlag)
        loop.exec();
    m_waitLoop = nullptr;
    m_replyTimer->stop();
    return std::nullopt;
}

AtResult AtExchange::sendCommand(const QString& command, const QString& description, const QString& expected) {
    if (const std::optional<AtResult> refused = awaitCommand(command, &description))
        return *refused;
    QString reply;
    switch (m_reply) {
    case Reply::Ok:
        reply = QStringLiteral("ok");
        break;
    case Reply::Error:
        reply = QStringLiteral("error");
        break;
    case Reply::Connect:
        reply = QStringLiteral("connect");
        break;
    case Reply::TimeOut:
        reply = QStringLiteral("time out");
        break;
    case Reply::None:
        break;
    }
    if (reply.toUpper() == expected.toUpper()) {
        m_logger.add(expected);
        return AtResult::Ok;
    }
    if (m_reply == Reply::Error) {
        m_logger.add(QStringLiteral("error"));
        return AtResult::Error;
    }
    if (m_reply == Reply::TimeOut) {
        m_logger.add(QStringLiteral("time out"));
        return AtResult::TimeOut;
    }
    return AtResult::Unexpected;
}

AtResult AtExchange::sendQuery(const QString& command, QString& reply) {
    if (const std::optional<AtResult> refused = awaitCommand(command, nullptr))
        return *refused;
    switch (m_reply) {
    case Reply::Ok: {
        QString text = m_replyAtRecognition;
        qsizetype at = text.indexOf(QLatin1String("OK"));
        if (at >= 0)
            text.remove(at, 2);
        at = text.indexOf(QLatin1String("ok"));
        if (at >= 0)
            text.remove(at, 2);
        reply = ModemText::trimmed(text);
        return AtResult::Ok;
    }
    case Reply::Error:
        reply = QStringLiteral("error");
        return AtResult::Error;
    case Reply::TimeOut:
        reply = QStringLiteral("time out");
        return AtResult::TimeOut;
    default:
        return AtResult::Unexpected;
    }
}

bool AtExchange::endVoiceStream() {
    m_voiceReception = false;
    if (!m_channel.isOpen())
        return false;
    // A DLE '!' the modem reads before it has begun the stream is taken as command text and lost:
    // wait for the stream (or its CONNECT) first.
    m_awaiting = Awaiting::StreamData;
    std::optional<AtResult> refused = await(QByteArray(), QStringLiteral("<wait for the voice stream>"), nullptr);
    bool ended = false;
    if (!refused && m_reply != Reply::TimeOut) {
        m_awaiting = Awaiting::StreamEnd;
        m_streamDle = false;
        m_streamEndSeen = false;
        const QString description = QStringLiteral("Ending voice reception..");
        refused = await(QByteArray("\x10!", 2), QStringLiteral("<DLE>!"), &description);
        ended = !refused && m_reply == Reply::Ok;
        m_logger.add(ended ? QStringLiteral("ok") : QStringLiteral("time out"));
    }
    m_awaiting = Awaiting::Reply;
    return ended;
}

bool AtExchange::sendNoWait(const QString& command, const QString& description) {
    if (refusedDuringRecording(command))
        return false;
    m_timing.pause(kCommandPauseMs);
    const QByteArray line = commandLine(command);
    if (!m_channel.isOpen() || m_channel.outputRoom() < line.size())
        return false;
    m_channel.sendText(line);
    m_logger.add(description);
    return true;
}

void AtExchange::setReply(Reply reply) {
    // The first reply of an exchange counts; a later notification still finding it in the buffer
    // must not stretch the text a query returns.
    if (m_replyFlag)
        return;
    m_reply = reply;
    m_replyFlag = true;
    m_replyAtRecognition = m_replyBuffer;
    if (m_waitLoop != nullptr)
        m_waitLoop->quit();
}
