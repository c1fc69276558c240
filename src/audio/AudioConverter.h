// The stream converter: a chain of at most three codec stages from FormatIn to FormatOut.
#pragma once

#include "audio/ConverterStage.h"
#include "audio/WaveFormat.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <memory>
#include <vector>

class AudioConverter : public QObject {
    Q_OBJECT
public:
    explicit AudioConverter(QObject* parent = nullptr);
    ~AudioConverter() override;

    /// Setting a format copies it; a change takes effect at the next Open.
    const WaveFormat& FormatIn() const { return m_formatIn; }
    void SetFormatIn(const WaveFormat& format) { m_formatIn.Assign(format); }
    const WaveFormat& FormatOut() const { return m_formatOut; }
    void SetFormatOut(const WaveFormat& format) { m_formatOut.Assign(format); }

    bool RequestRealTime() const { return m_requestRealTime; }
    /// AudioConversionError "Cannot perform this action while active." when open.
    void SetRequestRealTime(bool value);
    bool Set8087FPUFlag() const { return m_maskFpu; }
    void SetSet8087FPUFlag(bool value) { m_maskFpu = value; }

    bool Active() const { return m_active; }
    void SetActive(bool value);
    /// Builds the format chain and opens every stage; AudioConversionError "Conversion not possible."
    /// when no chain of at most three stages exists, "Cannot perform this action while active." when open.
    void Open();
    /// Closes every stage (pending input is dropped); "Cannot perform this action while not active."
    void Close();
    /// Pushes the bytes through every stage; raises OnAudioConverted at most once.
    void Convert(const void* buffer, qint64 count);
    /// Completes the pending PCM input with silence to whole codec blocks and converts it, so the end
    /// of a recording is not lost; raises OnAudioConverted at most once.
    void Flush();

    /// The formats of the chain while open: input, intermediate formats, output.
    const QList<WaveFormat>& FormatChain() const { return m_chain; }
    int StageCount() const { return static_cast<int>(m_stages.size()); }
    const ConverterStage& Stage(int i) const { return *m_stages[static_cast<size_t>(i)]; }

signals:
    /// One block of output; `data` points into the converter and is valid only during the signal.
    void OnAudioConverted(const QByteArray& data);

private:
    bool query(const WaveFormat& from, const WaveFormat& to) const;
    WaveFormat suggestPcm(const WaveFormat& source, const WaveFormat& start) const;
    void buildChain();
    void pushFrom(size_t stage, const uint8_t* data, size_t count);

    WaveFormat m_formatIn;
    WaveFormat m_formatOut;
    bool m_requestRealTime = false;
    bool m_maskFpu = true;
    bool m_active = false;
    QList<WaveFormat> m_chain;
    std::vector<std::unique_ptr<ConverterStage>> m_stages;
};
