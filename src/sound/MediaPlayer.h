// What the main window's playback asks of a media player: a WAV file, its mode, position and length.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

/// Positions and lengths are in milliseconds. A failing call returns false and leaves its error
/// number and text; the playback controller shows them. Seek stops a playing file (the mode becomes
/// Stopped at the new position) and refuses a position outside the recording.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class Mode { NotReady, Stopped, Playing, Paused };
    enum Error {
        NoError = 0,
        FileNotFound = 1,   ///< the file cannot be opened
        CannotDecode = 2,   ///< not a WAV file, or a format no codec decodes
        NoOutputDevice = 3, ///< no sound output device
        OutOfRange = 4,     ///< a position outside the recording
        NotOpen = 5,        ///< no file is open
        OutputFailed = 6,   ///< the output device refused the sound
    };

    using QObject::QObject;

    virtual bool open(const QString& fileName) = 0;
    /// Plays from the current position.
    virtual bool play() = 0;
    virtual bool pause() = 0;
    /// Resumes a paused file; from any other mode plays from the current position.
    virtual bool resume() = 0;
    virtual bool seek(qint64 positionMs) = 0;
    virtual void close() = 0;

    virtual Mode mode() const = 0;
    virtual qint64 position() const = 0;
    virtual qint64 length() const = 0;
    virtual int error() const = 0;
    virtual QString errorText() const = 0;

    /// The open recording decoded into the working format (8 kHz, 8-bit mono) for the trace. It may
    /// still be growing while the player plays; `decodedCopySize` is the size it will reach.
    virtual const QByteArray& decodedCopy() const = 0;
    virtual qint64 decodedCopySize() const = 0;

Q_SIGNALS:
    /// The file could not be decoded to its end (the trace's copy, decoded ahead, or the sound being
    /// played); the playback controller ends playback.
    void decodingFailed();
    /// Playback reached the end of the recording (the mode is Stopped).
    void finished();
};
