// The modem controller's port handling, initialisation and AT command exchange.
#include "modem/ModemController.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/PortMap.h"

#include <QEventLoop>

namespace {

/// Trims blanks and control characters from both ends.
QString trimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

QByteArray commandLine(const QString& command) {
    return command.toLatin1() + '\r';
}

/// A profile command stored as "none" (any case) was rejected by the modem; an empty one means the
/// profile has none. Neither is sent.
bool sendable(const QString& command) {
    return !command.trimmed().isEmpty() && !command.contains(QLatin1String("NONE"), Qt::CaseInsensitive);
}

} // namespace

ModemController::ModemController(Config& config, Logger& logger, QObject* parent)
    : ModemController(config, logger, nullptr, parent) {}

ModemController::ModemController(Config& config, Logger& logger, std::unique_ptr<ModemTiming> timing, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger),
      m_timing(timing ? std::move(timing) : std::make_unique<RealModemTiming>()) {
    m_replyTimer = m_timing->makeTimer(TimerMode::SingleShot, [this] { onReplyTimeOut(); });
    m_ringGapTimer = m_timing->makeTimer(TimerMode::SingleShot, [this] { onRingGap(); });
    m_ringIntervalTicker = m_timing->makeTimer(TimerMode::Repeating, [this] { ++m_ringTicks; });
    connect(&m_channel, &SerialChannel::bytesAvailable, this, &ModemController::takeReceivedBytes);
    connect(&m_channel, &SerialChannel::opened, this, &ModemController::channelOpened);
    connect(&m_channel, &SerialChannel::closed, this, &ModemController::channelClosed);

    // A stored value of zero or below is no cadence (a damaged file); it is learned again.
    if (m_config.valueExists(ConfigKeys::kRingTimeOut)) {
        const int stored = m_config.read(ConfigKeys::kRingTimeOut);
        if (stored > 0) {
            m_ringTimeOutKnown = true;
            m_ringTimeOut = stored;
        }
    }
}

ModemController::~ModemController() {
    disconnect(&m_channel, nullptr, this, nullptr);
    m_channel.closeChannel();
}

QString ModemController::portText() const {
    return QString::number(m_channel.comNumber());
}

QString ModemController::reportOpenFailure() {
    m_logger.add(PortMap::deviceLine(m_channel.comNumber(), m_channel.device()) +
                 QStringLiteral(" and cannot be opened: ") + m_channel.errorString());
    return QStringLiteral("Error during opening com port ") + portText();
}

// --- command exchange ---

std::optional<AtResult> ModemController::exchange(const QString& command, const QString* description) {
    return await(commandLine(command), command, description);
}

std::optional<AtResult> ModemController::await(const QByteArray& line, const QString& shown,
                                               const QString* description) {
    if (m_waitLoop != nullptr) {
        // The reply flag and buffer belong to the exchange that is waiting; sharing them would
        // hand one command's reply to the other.
        m_logger.add(QStringLiteral("Command refused, the modem is still answering another one: ") + shown);
        return AtResult::Busy;
    }
    m_timing->pause(kCommandPauseMs);
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

    m_replyTimer->start(m_settings.replyTimeoutSeconds * 1000);
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

AtResult ModemController::sendCommand(const QString& command, const QString& description, const QString& expected) {
    if (const std::optional<AtResult> refused = exchange(command, &description))
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

AtResult ModemController::sendQuery(const QString& command, QString& reply) {
    if (const std::optional<AtResult> refused = exchange(command, nullptr))
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
        reply = trimControls(text);
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

bool ModemController::endVoiceStream() {
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
    if (ended)
        return true;
    // A port closed during the wait (an unplugged modem, the program closing) stays closed.
    if (!m_channel.isOpen())
        return false;
    // Closing the port drops DTR, which returns a voice modem to command mode.
    const int port = m_channel.comNumber();
    closeModemPort();
    return openModemPort(port, false);
}

bool ModemController::sendNoWait(const QString& command, const QString& description) {
    m_timing->pause(kCommandPauseMs);
    const QByteArray line = commandLine(command);
    if (!m_channel.isOpen() || m_channel.outputRoom() < line.size())
        return false;
    m_channel.sendText(line);
    m_logger.add(description);
    return true;
}

void ModemController::setReply(Reply reply) {
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

void ModemController::onReplyTimeOut() {
    setReply(Reply::TimeOut);
    m_ringIntervalTicker->stop();
}

void ModemController::takeReceivedBytes(int count) {
    if (m_voiceReception) {
        m_ringIntervalTicker->stop();
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
        lineEvent(code, m_waitLoop != nullptr);
}

void ModemController::discardInput() {
    // What the modem said before a command is no reply to it, but the events among it still happened:
    // the digits of a number dialled while a recording starts come between the start's commands.
    const QByteArray bytes = m_channel.discardInput();
    QByteArray text;
    std::vector<char> events;
    m_commandDle.process(bytes, text, events);
    for (const char code : events)
        lineEvent(code, true);
}

void ModemController::takeStreamBytes(const QByteArray& bytes) {
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

void ModemController::recogniseReply() {
    const QString& b = m_replyBuffer;
    // With no exchange waiting a reply answers nothing: line noise that happens to spell "ok" would
    // otherwise keep every later ring and caller identification from call detection.
    if (m_waitLoop == nullptr) {
        detectCall();
        return;
    }
    if (b.contains(QLatin1String("ok")) || b.contains(QLatin1String("OK")))
        setReply(Reply::Ok);
    else if (b.contains(QLatin1String("error")) || b.contains(QLatin1String("ERROR")))
        setReply(Reply::Error);
    else if (b.contains(QLatin1String("connect")) || b.contains(QLatin1String("CONNECT")))
        setReply(Reply::Connect);
    else
        detectCall();
}

// --- port and initialisation ---

bool ModemController::openModemPort(int port, bool initialise) {
    if (m_portOpen)
        return true;
    m_channel.setBaud(m_settings.baud);
    m_channel.setFlowControl(m_settings.flow);
    m_channel.setComNumber(port);
    m_channel.setDevice(PortMap::devicePath(&m_config, port));
    m_portOpen = false;
    // The channel delivers opened before it returns, so the flag is already set on success.
    if (!m_channel.openChannel() || !m_portOpen)
        return false;
    if (initialise)
        initModem();
    return true;
}

bool ModemController::closeModemPort() {
    const bool closed = m_channel.closeChannel();
    m_voiceReception = false;
    endCallDetection();
    return closed;
}

void ModemController::channelOpened() {
    m_portOpen = true;
    m_commandDle.reset();
    m_logger.add(PortMap::deviceLine(m_channel.comNumber(), m_channel.device()));
    m_logger.add(QStringLiteral("Com port ") + portText() + QStringLiteral(" opened..."));
    Q_EMIT statusText(QStringLiteral(" Modem on"));
    Q_EMIT portOpenChanged(true);
}

void ModemController::channelClosed() {
    m_portOpen = false;
    m_voiceReception = false;
    endCallDetection();
    m_logger.add(QStringLiteral("Com port ") + portText() + QStringLiteral(" closed..."));
    Q_EMIT statusText(QStringLiteral(" Modem off"));
    Q_EMIT portOpenChanged(false);
    // A device lost during an exchange will not answer: end the wait now rather than at the time-out.
    if (m_waitLoop != nullptr)
        setReply(Reply::TimeOut);
}

void ModemController::initModem() {
    sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("ok"));
    sendCommand(QStringLiteral("ats0=0"), QStringLiteral("Setting autoanswer off.."), QStringLiteral("ok"));
    if (!m_settings.callerId)
        return;
    if (sendable(m_settings.forCallerId)) {
        sendCommand(m_settings.forCallerId, QStringLiteral("Enable caller ID.."), QStringLiteral("ok"));
        m_callerId.clear();
    } else if (sendable(m_settings.disCallerId)) {
        sendCommand(m_settings.disCallerId, QStringLiteral("Disable caller ID.."), QStringLiteral("ok"));
    }
}

bool ModemController::modemOnClicked() {
    m_logger.add(QStringLiteral("-- Modem on clicked"));
    if (m_portOpen)
        return true;
    if (!openModemPort(m_settings.port, true))
        return false;
    if (m_settings.autoRecord)
        enableAutoRecord();
    else
        disableAutoRecord();
    return true;
}

bool ModemController::modemOffClicked() {
    m_logger.add(QStringLiteral("-- Modem off clicked"));
    return closeModemPort();
}
