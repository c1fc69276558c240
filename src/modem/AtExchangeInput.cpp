// What the modem sends: replies, a voice stream being ended, sound, and text and events it sends unasked.
#include "base/Logger.h"
#include "modem/AtExchange.h"
#include "modem/SerialChannel.h"

#include <QEventLoop>

void AtExchange::takeReceivedBytes(int count) {
    if (m_voiceReception) {
        QByteArray bytes(count, Qt::Uninitialized);
        for (int i = 0; i < count; ++i)
            bytes[i] = m_channel.readByte();
        Q_EMIT voiceData(bytes);
        return;
    }
    if (m_awaiting != Awaiting::Reply) {
        QByteArray bytes(count, Qt::Uninitialized);
        for (int i = 0; i < count; ++i)
            bytes[i] = m_channel.readByte();
        takeStreamBytes(bytes);
        return;
    }
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = m_channel.readByte();
    // A modem in voice mode reports events as DLE codes among its text: they are no part of a reply.
    QByteArray text;
    std::vector<char> events;
    m_commandDle.process(bytes, text, events);
    m_replyBuffer.reserve(m_replyBuffer.size() + text.size());
    for (const char c : std::as_const(text))
        m_replyBuffer.append(QChar(static_cast<uchar>(c)));
    // Nothing empties the buffer while automatic recording is off and the modem chatters; keep its
    // newest part so a long unattended run does not grow it without end.
    constexpr qsizetype kMaxReplyBuffer = 65536;
    if (m_replyBuffer.size() > kMaxReplyBuffer)
        m_replyBuffer.remove(0, m_replyBuffer.size() - kMaxReplyBuffer / 4);
    // The text first: a ring in the same notification as the handset's event came before it.
    recogniseReply();
    for (const char code : events)
        Q_EMIT lineEvent(code, m_waitLoop != nullptr);
}

void AtExchange::discardInput() {
    // What the modem said before a command is no reply to it, but the events among it still happened:
    // the digits of a number dialled while a recording starts come between the start's commands.
    const QByteArray bytes = m_channel.discardInput();
    QByteArray text;
    std::vector<char> events;
    m_commandDle.process(bytes, text, events);
    for (const char code : events)
        Q_EMIT lineEvent(code, true);
}

void AtExchange::takeStreamBytes(const QByteArray& bytes) {
    constexpr char kDle = 0x10;
    constexpr char kEtx = 0x03;
    if (m_awaiting == Awaiting::StreamData) {
        if (!bytes.isEmpty())
            setReply(Reply::Ok);
        return;
    }
    for (const char b : bytes) {
        if (m_streamEndSeen) {
            m_replyBuffer.append(QChar(static_cast<uchar>(b)));
        } else if (m_streamDle) {
            // A doubled DLE is a sound byte; DLE ETX ends the stream.
            m_streamDle = false;
            m_streamEndSeen = b == kEtx;
        } else {
            m_streamDle = b == kDle;
        }
    }
    if (!m_streamEndSeen)
        return;
    if (m_replyBuffer.contains(QLatin1String("OK")) || m_replyBuffer.contains(QLatin1String("ok")))
        setReply(Reply::Ok);
}

void AtExchange::recogniseReply() {
    const QString& b = m_replyBuffer;
    // With no exchange waiting a reply answers nothing: line noise that happens to spell "ok" would
    // otherwise keep every later ring and caller identification from call detection.
    if (m_waitLoop == nullptr) {
        offerUnansweredText();
        return;
    }
    if (b.contains(QLatin1String("ok")) || b.contains(QLatin1String("OK")))
        setReply(Reply::Ok);
    else if (b.contains(QLatin1String("error")) || b.contains(QLatin1String("ERROR")))
        setReply(Reply::Error);
    else if (b.contains(QLatin1String("connect")) || b.contains(QLatin1String("CONNECT")))
        setReply(Reply::Connect);
    else
        offerUnansweredText();
}

void AtExchange::offerUnansweredText() {
    if (m_unanswered && m_unanswered(m_replyBuffer))
        m_replyBuffer.clear();
}

void AtExchange::channelClosed() {
    m_voiceReception = false;
    // A device lost during an exchange will not answer: end the wait now rather than at the time-out.
    if (m_waitLoop != nullptr)
        setReply(Reply::TimeOut);
}
