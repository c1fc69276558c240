// The audio exception family and the fixed error texts chosen by a codec service result code.
#pragma once

#include <QString>
#include <stdexcept>

/// Base of every audio error; carries its message text.
class AudioError : public std::runtime_error {
public:
    explicit AudioError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

class AudioCodecError : public AudioError {
    using AudioError::AudioError;
};
class AudioConversionError : public AudioError {
    using AudioError::AudioError;
};
class AudioIOError : public AudioError {
    using AudioError::AudioError;
};
class AudioOutError : public AudioIOError {
    using AudioIOError::AudioIOError;
};
class AudioDeviceError : public AudioError {
    using AudioError::AudioError;
};
class AudioDeviceOutError : public AudioDeviceError {
    using AudioDeviceError::AudioDeviceError;
};
class AudioStreamError : public AudioError {
    using AudioError::AudioError;
};
class AudioReadError : public AudioStreamError {
    using AudioStreamError::AudioStreamError;
};

/// A file that cannot be opened or created: "Cannot open file <name>".
class FileOpenError : public std::runtime_error {
public:
    explicit FileOpenError(const QString& fileName)
        : std::runtime_error(QStringLiteral("Cannot open file %1").arg(fileName).toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

/// A file stream that fails to write (disk full, device gone): "Stream write error".
class StreamWriteError : public std::runtime_error {
public:
    StreamWriteError() : std::runtime_error("Stream write error") {}
    QString text() const { return QString::fromStdString(what()); }
};

/// Result codes of the codec service and the wave output device.
namespace AcmResult {
constexpr int NoError = 0;
constexpr int BadDeviceId = 2;
constexpr int NotEnabled = 3;
constexpr int Allocated = 4;
constexpr int InvalidHandle = 5;
constexpr int NoDriver = 6;
constexpr int NoMemory = 7;
constexpr int NotSupported = 8;
constexpr int InvalidFlag = 10;
constexpr int InvalidParam = 11;
constexpr int HandleBusy = 12;
constexpr int BadFormat = 32;
constexpr int StillPlaying = 33;
constexpr int Unprepared = 34;
constexpr int Sync = 35;
constexpr int NotPossible = 512;
constexpr int Busy = 513;
constexpr int StreamUnprepared = 514;
constexpr int Cancelled = 515;
} // namespace AcmResult

/// The text for a failing result code, with the caption (if any) and a CR LF in front.
QString acmErrorText(int code, const QString& caption = QString());

/// Raises E with acmErrorText(code, caption) unless code is 0.
template <class E = AudioError> void acmCheck(int code, const QString& caption = QString()) {
    if (code != AcmResult::NoError)
        throw E(acmErrorText(code, caption));
}
