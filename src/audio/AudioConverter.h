// The stream converter: a chain of at most three codec stages from formatIn to formatOut.
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
    const WaveFormat& formatIn() const { return m_formatIn; }
    void setFormatIn(const WaveFormat& format) { m_formatIn.assign(format); }
    const WaveFormat& formatOut() const { return m_formatOut; }
    void setFormatOut(const WaveFormat& format) { m_formatOut.assign(format); }

    bool requestRealTime() const { return m_requestRealTime; }
    /// AudioConversionError "Cannot perform this action while active." when open.
    void setRequestRealTime(bool value);
    bool masksFpuExceptions() const { return m_masksFpuExceptions; }
    void setMasksFpuExceptions(bool value) { m_masksFpuExceptions = value; }

    bool active() const { return m_active; }
    void setActive(bool value);
    /// Builds the format chain and opens every stage; AudioConversionError "Conversion not possible."
    /// when no chain of at most three stages exists, "Cannot perform this action while active." when open.
    void open();
    /// Closes every stage (pending input is dropped); "Cannot perform this action while not active."
    void close();
    /// Pushes the bytes through every stage; raises audioConverted at most once.
    void convert(const void* buffer, qint64 count);
    /// Completes the pending PCM input with silence to whole codec blocks and converts it, so the end
    /// of a recording is not lost; raises audioConverted at most once.
    void flush();

    /// The formats of the chain while open: input, intermediate formats, output.
    const QList<WaveFormat>& formatChain() const { return m_chain; }
    int stageCount() const { return static_cast<int>(m_stages.size()); }
    const ConverterStage& stage(int i) const { return *m_stages[static_cast<size_t>(i)]; }

signals:
    /// One block of output; `data` points into the converter and is valid only during the signal.
    void audioConverted(const QByteArray& data);

private:
    bool query(const WaveFormat& from, const WaveFormat& to) const;
    WaveFormat suggestPcm(const WaveFormat& source, const WaveFormat& start) const;
    void buildChain();
    void pushFrom(size_t stage, const uint8_t* data, size_t count);

    WaveFormat m_formatIn;
    WaveFormat m_formatOut;
    bool m_requestRealTime = false;
    bool m_masksFpuExceptions = true;
    bool m_active = false;
    QList<WaveFormat> m_chain;
    std::vector<std::unique_ptr<ConverterStage>> m_stages;
};
