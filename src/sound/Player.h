// The internal media player: plays a WAV file of any stored format through the wave output.
#pragma once

#include "audio/PlaybackSource.h"
#include "audio/WorkingCopyDecoder.h"
#include "sound/MediaPlayer.h"
#include "sound/WaveOutput.h"

#include <memory>

class OutputDevices;

/// Decodes the sound only as it is played (blocks of 100 ms, about a second ahead), so the time to the
/// first sound does not depend on the recording's length; the working-format copy for the trace is
/// decoded meanwhile on a thread of its own.
class Player : public MediaPlayer {
    Q_OBJECT
public:
    static constexpr int kBlockMs = 100;
    /// Blocks kept handed to the output while playing.
    static constexpr int kQueuedBlocks = 10;

    /// Plays on the devices' playback device with its volume; without a list, on the default output.
    explicit Player(OutputDevices* devices = nullptr, QObject* parent = nullptr);
    ~Player() override;

    /// Tests play into a scripted sink.
    void setSinkFactory(OutputSinkFactory factory) { m_out.setSinkFactory(std::move(factory)); }
    WaveOutput& output() { return m_out; }
    /// Whether Open also decodes the working-format copy for a trace (not needed without a screen).
    void setDecodeCopy(bool on) { m_decodeCopy = on; }
    static QString errorTextOf(int error);

    bool open(const QString& fileName) override;
    bool play() override;
    bool pause() override;
    bool resume() override;
    bool seek(qint64 positionMs) override;
    void close() override;

    Mode mode() const override { return m_mode; }
    qint64 position() const override;
    qint64 length() const override;
    int error() const override { return m_error; }
    QString errorText() const override { return m_errorText; }
    const QByteArray& decodedCopy() const override { return m_copy.copy(); }
    qint64 decodedCopySize() const override { return m_copy.finalSize(); }
    /// Whether the working copy is complete.
    bool decodedCopyDone() const { return m_copy.done(); }

private:
    bool fail(int error, const QString& detail = QString());
    void succeed();
    void fill();
    void audioPlayed();
    void stopOutputAtEnd();
    qint64 currentFrame() const;
    qint64 toMs(qint64 frames) const;
    qint64 toFrames(qint64 ms) const;

    OutputDevices* m_devices;
    WaveOutput m_out;
    WorkingCopyDecoder m_copy;
    std::unique_ptr<PlaybackSource> m_source;
    bool m_decodeCopy = true;
    Mode m_mode = Mode::NotReady;
    qint64 m_frame = 0; ///< the position while silent; where the sounding session started otherwise
    int m_error = NoError;
    QString m_errorText;
};
