// Playing a recording: opening, the sounding session on the wave output, pause, seek and the end.
#include "sound/Player.h"

#include "audio/AudioErrors.h"
#include "sound/OutputDevices.h"

#include <exception>

Player::Player(OutputDevices* devices, QObject* parent) : MediaPlayer(parent), m_devices(devices) {
    m_out.setOutputDevices(devices);
    connect(&m_out, &WaveOutput::audioPlayed, this, &Player::audioPlayed);
    connect(&m_out, &WaveOutput::playFailed, this, [this](const QString& text) {
        m_frame = std::min(m_frame + m_out.playedBytes() / std::max<qint64>(1, m_out.format().blockAlign()),
                           m_source ? m_source->frames() : 0);
        m_mode = Mode::Stopped;
        fail(OutputFailed, text);
        Q_EMIT finished();
    });
    connect(&m_copy, &WorkingCopyDecoder::decodingFailed, this, &MediaPlayer::decodingFailed);
}

Player::~Player() {
    close();
}

QString Player::errorTextOf(int error) {
    switch (error) {
    case NoError:
        return QStringLiteral("The command completed without error.");
    case FileNotFound:
        return QStringLiteral("The file cannot be opened.");
    case CannotDecode:
        return QStringLiteral("The file is not a WAV file in a format that can be decoded.");
    case NoOutputDevice:
        return QStringLiteral("There is no sound output device.");
    case OutOfRange:
        return QStringLiteral("The position is outside the recording.");
    case NotOpen:
        return QStringLiteral("No recording is open.");
    case OutputFailed:
        return QStringLiteral("The sound output device failed.");
    default:
        return QStringLiteral("Unknown error.");
    }
}

bool Player::fail(int error, const QString& detail) {
    m_error = error;
    m_errorText = errorTextOf(error);
    if (!detail.isEmpty())
        m_errorText += QLatin1Char(' ') + QString(detail).replace(QLatin1String("\r\n"), QLatin1String(" "));
    return false;
}

void Player::succeed() {
    m_error = NoError;
    m_errorText.clear();
}

qint64 Player::toMs(qint64 frames) const {
    const qint64 rate = m_source ? m_source->pcmFormat().samplesPerSec() : 0;
    return rate > 0 ? frames * 1000 / rate : 0;
}

qint64 Player::toFrames(qint64 ms) const {
    const qint64 rate = m_source ? m_source->pcmFormat().samplesPerSec() : 0;
    return ms * rate / 1000;
}

qint64 Player::length() const {
    return m_source ? toMs(m_source->frames()) : 0;
}

qint64 Player::currentFrame() const {
    if (!m_source)
        return 0;
    if (m_mode != Mode::Playing && m_mode != Mode::Paused)
        return m_frame;
    const qint64 frameBytes = std::max<qint64>(1, m_source->pcmFormat().blockAlign());
    return std::min(m_frame + m_out.devicePlayedBytes() / frameBytes, m_source->frames());
}

qint64 Player::position() const {
    return toMs(currentFrame());
}

bool Player::open(const QString& fileName) {
    close();
    try {
        m_source = std::make_unique<PlaybackSource>(fileName);
    } catch (const FileOpenError&) {
        return fail(FileNotFound);
    } catch (const std::exception&) {
        return fail(CannotDecode);
    }
    const qint64 rate = m_source->pcmFormat().samplesPerSec();
    if (m_decodeCopy)
        m_copy.start(fileName, m_source->frames() * 8000 / rate);
    m_mode = Mode::Stopped;
    m_frame = 0;
    succeed();
    return true;
}

bool Player::play() {
    if (!m_source)
        return fail(NotOpen);
    if (m_mode == Mode::Playing)
        return true;
    if (m_mode == Mode::Paused)
        return resume();
    if (m_devices && m_devices->playbackIndex() < 0)
        return fail(NoOutputDevice);
    if (m_frame >= m_source->frames()) {
        m_mode = Mode::Stopped;
        succeed();
        return true;
    }
    try {
        m_source->seekFrame(m_frame);
        m_out.close();
        m_out.setFormat(m_source->pcmFormat());
        m_out.open();
        m_mode = Mode::Playing;
        fill();
    } catch (const AudioError& e) {
        m_out.close();
        m_mode = Mode::Stopped;
        return fail(OutputFailed, e.text());
    }
    succeed();
    return true;
}

namespace {
/// The recording's data failed to decode while it played, as opposed to the output refusing it.
class DecodingError : public AudioError {
    using AudioError::AudioError;
};
} // namespace

void Player::fill() {
    const qint64 blockBytes = std::max<qint64>(1, m_source->pcmFormat().samplesPerSec() * kBlockMs / 1000) *
                              m_source->pcmFormat().blockAlign();
    while (m_out.queuedCount() + m_out.heldCount() < kQueuedBlocks) {
        QByteArray block;
        try {
            block = m_source->read(blockBytes);
        } catch (const AudioError& e) {
            throw DecodingError(e.text());
        }
        if (block.isEmpty())
            break;
        m_out.play(block.constData(), block.size());
    }
    // The end of the recording comes before the pre-buffer is full for a short one.
    if (m_source->atEnd())
        m_out.startHeld();
}

void Player::audioPlayed() {
    if (m_mode != Mode::Playing || !m_source)
        return;
    try {
        fill();
    } catch (const AudioError& e) {
        m_frame = currentFrame();
        m_out.close();
        m_mode = Mode::Stopped;
        const bool decoding = dynamic_cast<const DecodingError*>(&e) != nullptr;
        fail(decoding ? CannotDecode : OutputFailed, e.text());
        if (decoding)
            Q_EMIT decodingFailed();
        Q_EMIT finished();
        return;
    }
    // The buffer just reported is still counted: it was the last one when it is the only one.
    if (m_source->atEnd() && m_out.heldCount() == 0 && m_out.queuedCount() <= 1)
        stopOutputAtEnd();
}

void Player::stopOutputAtEnd() {
    m_out.close();
    m_frame = m_source->frames();
    m_mode = Mode::Stopped;
    Q_EMIT finished();
}

bool Player::pause() {
    if (!m_source)
        return fail(NotOpen);
    if (m_mode == Mode::Playing) {
        m_out.pause();
        m_mode = Mode::Paused;
    }
    succeed();
    return true;
}

bool Player::resume() {
    if (!m_source)
        return fail(NotOpen);
    if (m_mode != Mode::Paused)
        return play();
    m_out.restart();
    m_mode = Mode::Playing;
    succeed();
    return true;
}

bool Player::seek(qint64 positionMs) {
    if (!m_source)
        return fail(NotOpen);
    if (positionMs < 0 || positionMs > length())
        return fail(OutOfRange);
    m_out.close();
    m_frame = std::min(toFrames(positionMs), m_source->frames());
    m_mode = Mode::Stopped;
    succeed();
    return true;
}

void Player::close() {
    m_out.close();
    m_copy.stop();
    m_copy.clear();
    m_source.reset();
    m_mode = Mode::NotReady;
    m_frame = 0;
}
